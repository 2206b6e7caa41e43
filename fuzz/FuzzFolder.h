#pragma once

#include <QByteArray>
#include <QString>

namespace korvane::fuzz {

/**
 * A temporary folder kept for the whole fuzzing run, for readers that take a path: each input is
 * written to a file in it before the reader opens that file. Set TMPDIR=/dev/shm for speed.
 */
class FuzzFolder
{
public:
    /** The folder's path, created on first use and removed when the run ends. */
    static QString path();
    /** Writes the bytes to the named file in the folder, replacing it, and returns its full path. */
    static QString put(const QString& name, const QByteArray& bytes);
    /** The bytes of the named file in the folder, empty when it cannot be read. */
    static QByteArray take(const QString& name);
};

} // namespace korvane::fuzz
