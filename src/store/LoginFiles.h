#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace korvane {

/** The five login texts as stored: name and password enciphered, the hint texts plain. */
struct LoginDetails
{
    QByteArray loginName;
    QByteArray password;
    QByteArray passwordHint;
    QByteArray hintQuestion;
    QByteArray hintAnswer;

    /** The details every new data folder starts with (name and password "naro"). */
    static LoginDetails defaults();
};

/** Reads and writes the login details file and the login status file of one data folder. */
class LoginFiles
{
public:
    /** What loading the login details gives: the details, and texts the user must be shown in order. */
    struct LoadResult
    {
        LoginDetails details;
        /** The two "details lost" notices (not in quiet mode), then any write error. */
        QStringList messages;
    };

    /** Works on the files "Korvane.pws" and "Korvane.dis" inside the given data folder. */
    explicit LoginFiles(const QString& folder);

    /** Path of the login details file. */
    QString detailsPath() const { return m_detailsPath; }
    /** Path of the login status file. */
    QString statusPath() const { return m_statusPath; }

    /**
     * Reads the login details; a missing or truncated file is replaced by the defaults, announced
     * unless `quiet` (used when a new data folder is made), while a failed write is always reported.
     */
    LoadResult load(bool quiet);

    /**
     * Stores a new login (name and password given plain), keeping the file's filler texts, and
     * switches the login window on again. Returns the error text, or "" on success.
     */
    QString changeLogin(const QByteArray& newName, const QByteArray& newPassword,
                        const QByteArray& passwordHint, const QByteArray& hintQuestion,
                        const QByteArray& hintAnswer);

    /**
     * Reads the login status (0 = login window shown); a missing or short file is created holding 0,
     * and a failure to create it is put into `error` when given.
     */
    std::int32_t readStatus(QString* error = nullptr);

    /** Writes the login status (0 shows the login window, 1 skips it); returns the error text or "". */
    QString writeStatus(std::int32_t status);

    /** Tells whether the login window is to be shown at start. */
    bool isLoginEnabled(QString* error = nullptr);

    /** Tells whether typed name and password equal the stored ones exactly (the defaults if unreadable). */
    bool matches(const QByteArray& typedName, const QByteArray& typedPassword) const;

    /** Tells whether typed name and password equal those of details loaded earlier. */
    static bool matches(const LoginDetails& details, const QByteArray& typedName,
                        const QByteArray& typedPassword);

private:
    QString m_detailsPath;
    QString m_statusPath;
};

} // namespace korvane
