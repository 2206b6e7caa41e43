#pragma once

#include <QString>

namespace korvane {

/**
 * What handing a linked file to the desktop would do, found out before it is done: a program, a
 * script or a desktop entry may run rather than show, so the user is asked first; a file that is not
 * there, cannot be read, or is no file at all is reported instead.
 */
class OpenableFile
{
public:
    enum class Verdict
    {
        /** A document or a folder: opened at once. */
        Open,
        /** May run something: opened only when the user agrees. */
        Ask,
        /** Not opened at all. */
        Refuse,
        /** Nothing is there. */
        Missing
    };

    /** Looks at the file the path names (following links) without running or blocking on it. */
    explicit OpenableFile(const QString& path);

    Verdict verdict() const { return m_verdict; }
    /** For `Ask`, what the file is ("a program"); for `Refuse`, why it is not opened. */
    const QString& description() const { return m_description; }

private:
    Verdict m_verdict = Verdict::Open;
    QString m_description;
};

} // namespace korvane
