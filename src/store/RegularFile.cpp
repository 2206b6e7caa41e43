#include "store/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/** Why a file of this type is not read, or "" for a regular file. */
QString typeReason(mode_t mode, bool throughLink)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return throughLink ? QStringLiteral("a link to a folder stands where the file should be")
                           : QStringLiteral("a folder stands where the file should be");
    const QString what = S_ISFIFO(mode)                   ? QStringLiteral("a named pipe")
                         : S_ISSOCK(mode)                 ? QStringLiteral("a socket")
                         : S_ISCHR(mode) || S_ISBLK(mode) ? QStringLiteral("a device")
                                                          : QStringLiteral("of an unknown type");
    return QStringLiteral("not a regular file (%1%2)")
        .arg(throughLink ? QStringLiteral("a link to ") : QString(), what);
}

/** The folder with every link resolved, or "" when it cannot be resolved. */
QByteArray resolvedFolder(const QString& folder)
{
    char* resolved = ::realpath(QFile::encodeName(folder).constData(), nullptr);
    if (!resolved)
        return {};
    QByteArray result(resolved);
    std::free(resolved);
    return result;
}

} // namespace

RegularFile::RegularFile(const QString& path, const QString& folder)
{
    open(path, folder);
}

void RegularFile::open(const QString& path, const QString& folder)
{
    QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::lstat(native.constData(), &info) != 0)
        return fail(systemReason(errno));
    const bool link = S_ISLNK(info.st_mode);
    int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW;
    if (link) {
        char* resolved = ::realpath(native.constData(), nullptr);
        if (!resolved) {
            const int error = errno;
            return fail(error == ENOENT ? QStringLiteral("a link that leads nowhere")
                        : error == ELOOP
                            ? QStringLiteral("a link that leads round in a loop")
                            : QStringLiteral("a link that cannot be followed (%1)").arg(systemReason(error)));
        }
        native = QByteArray(resolved);
        std::free(resolved);
        // Every link of the resolved path is gone, so its last part must not be one either.
        if (::stat(native.constData(), &info) != 0)
            return fail(systemReason(errno));
        if (QString reason = typeReason(info.st_mode, link); !reason.isEmpty())
            return fail(reason);
        if (!folder.isEmpty()) {
            const QByteArray inside = resolvedFolder(folder);
            if (inside.isEmpty() || !native.startsWith(inside + '/'))
                return fail(QStringLiteral("a link to a file outside the data folder"));
        }
    }
    // The type is checked before opening, so that nothing blocks or has side effects on open; the
    // open cannot block either, and the type is checked again on the handle in case it changed.
    if (QString reason = typeReason(info.st_mode, link); !reason.isEmpty())
        return fail(reason);
    m_fd = ::open(native.constData(), flags);
    if (m_fd < 0)
        return fail(errno == ELOOP ? QStringLiteral("became a link while it was opened")
                                   : systemReason(errno));
    if (::fstat(m_fd, &info) != 0)
        return fail(systemReason(errno));
    if (QString reason = typeReason(info.st_mode, link); !reason.isEmpty())
        return fail(reason);
    m_size = qint64(info.st_size);
}

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void RegularFile::fail(const QString& reason)
{
    m_reason = reason;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool RegularFile::readMore(QByteArray& buffer, qint64 count)
{
    if (m_fd < 0)
        return false;
    const qsizetype start = buffer.size();
    // Exactly the room asked for: growing by a share would hold far more than the file gives.
    buffer.reserve(start + qsizetype(count));
    buffer.resize(start + qsizetype(count));
    qsizetype filled = 0;
    while (filled < count) {
        const ssize_t got = ::read(m_fd, buffer.data() + start + filled, std::size_t(count - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            buffer.resize(start + filled);
            fail(systemReason(errno));
            return false;
        }
        if (got == 0)
            break; // the file was shortened since it was opened; the reader finds it ends early
        filled += got;
    }
    buffer.resize(start + filled);
    return true;
}

bool RegularFile::readAll(QByteArray& data, qint64 limit)
{
    if (m_fd < 0)
        return false;
    if (m_size > limit) {
        fail(QStringLiteral("holds %1 bytes, more than the %2 any such file needs").arg(m_size).arg(limit));
        return false;
    }
    // What a file gains while it is read is left for the next read, which sees its new stamp.
    QByteArray read;
    if (!readMore(read, m_size))
        return false;
    data = std::move(read);
    return true;
}

} // namespace korvane
