#pragma once

#include <QByteArray>
#include <QString>

namespace korvane {

/**
 * A file opened for reading only when it is a regular file, or a link to one that stays inside a
 * given folder: named pipes, sockets and devices are never opened, so a folder from elsewhere can
 * neither block a read nor feed it without end.
 */
class RegularFile
{
public:
    /**
     * Opens `path` when it is a regular file, or a link to a regular file inside `folder` (anywhere
     * when `folder` is empty); otherwise `reason()` says why it was not opened.
     */
    explicit RegularFile(const QString& path, const QString& folder = {});
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    /** Why the file was not opened or could not be read, without the path. */
    const QString& reason() const { return m_reason; }
    /** The size the open file had when it was opened. */
    qint64 size() const { return m_size; }

    /** Appends up to `count` more bytes to `buffer`; false with `reason()` set on a read error. */
    bool readMore(QByteArray& buffer, qint64 count);
    /** Reads the whole file when it holds at most `limit` bytes; false with `reason()` set otherwise. */
    bool readAll(QByteArray& data, qint64 limit);

private:
    void open(const QString& path, const QString& folder);
    void fail(const QString& reason);

    int m_fd = -1;
    qint64 m_size = 0;
    QString m_reason;
};

} // namespace korvane
