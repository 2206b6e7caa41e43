#include "store/SafeFile.h"

#include "store/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::SafeFile {

namespace {
thread_local bool t_deferred = false;

QString describe(const QString& path, const QString& reason)
{
    return QStringLiteral("%1: %2").arg(path, reason);
}
bool isLink(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

/**
 * Writes the data to a new file beside the path and renames it over whatever stands there (a link
 * too, wherever it pointed); flushed to disk first unless `flush` is false.
 */
QString replaceStaged(const QString& path, const QByteArray& data, bool flush)
{
    QTemporaryFile staged(path + QStringLiteral(".XXXXXX"));
    staged.setAutoRemove(true);
    if (!staged.open())
        return describe(path, staged.errorString());
    if (staged.write(data) != data.size() || !staged.flush())
        return describe(path, staged.errorString());
    if (flush && ::fsync(staged.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return describe(path, QString::fromLocal8Bit(std::strerror(errno)));
    // QTemporaryFile makes its files readable by the owner only; a record file is as any other.
    staged.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                          QFileDevice::ReadOther);
    // rename() replaces the link itself, wherever it pointed.
    if (::rename(QFile::encodeName(staged.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return describe(path, QString::fromLocal8Bit(std::strerror(errno)));
    staged.setAutoRemove(false);
    return {};
}

} // namespace

QString write(const QString& path, const QByteArray& data)
{
    // QSaveFile writes a link's target, which may lie anywhere: a link is replaced instead.
    if (isLink(path))
        return replaceStaged(path, data, !t_deferred);
    // QSaveFile always flushes to disk on commit.
    if (t_deferred)
        return replaceStaged(path, data, false);

    // Unbuffered, so that every write reaches the file here and its failure is seen: QSaveFile's
    // commit() ignores a failed flush of buffered data and would put a cut-off file in place of the
    // old one when the disk is full. A short write is retried, and the retry tells the reason.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return describe(path, file.errorString());
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 chunk = file.write(data.constData() + written, data.size() - written);
        if (chunk <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return describe(path, reason);
        }
        written += chunk;
    }
    // commit() syncs too but ignores a failure, which a disk that fills late reports only here.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return describe(path, reason);
    }
    if (!file.commit())
        return describe(path, file.errorString());
    return {};
}

QString create(const QString& path, const QByteArray& data)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return describe(path, QString::fromLocal8Bit(std::strerror(errno)));
    qsizetype written = 0;
    int error = 0;
    while (written < data.size() && error == 0) {
        const ssize_t chunk = ::write(fd, data.constData() + written, std::size_t(data.size() - written));
        if (chunk > 0)
            written += chunk;
        else if (chunk < 0 && errno != EINTR)
            error = errno;
        else if (chunk == 0)
            error = ENOSPC;
    }
    if (error == 0 && !t_deferred && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno;
    // A full disk may tell only when the file is closed (on network file systems).
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0) {
        ::unlink(QFile::encodeName(path).constData());
        return describe(path, QString::fromLocal8Bit(std::strerror(error)));
    }
    return {};
}

void deferFlush(bool deferred)
{
    t_deferred = deferred;
}

QString flushAll(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return describe(folder, QString::fromLocal8Bit(std::strerror(errno)));
    const int result = ::syncfs(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0)
        return describe(folder, QString::fromLocal8Bit(std::strerror(error)));
    return {};
}

bool exists(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QString remove(const QString& path)
{
    // A link is removed itself, even one that leads nowhere.
    QFile file(path);
    if (!exists(path))
        return {};
    if (!file.remove())
        return describe(path, file.errorString());
    return {};
}

bool read(const QString& path, QByteArray& data, QString* error, const QString& folder)
{
    RegularFile file(path, folder.isEmpty() ? QFileInfo(path).absolutePath() : folder);
    if (file.readAll(data, kMostBytesRead))
        return true;
    if (error)
        *error = describe(path, file.reason());
    return false;
}

} // namespace korvane::SafeFile
