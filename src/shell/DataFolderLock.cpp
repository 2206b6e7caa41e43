#include "shell/DataFolderLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

namespace {

// Compares folders as the file system sees them, so a second path to the same folder is the same.
QString folderKey(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

QString heldByMessage(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host;
    QString application;
    QString holder;
    if (lock.getLockInfo(&pid, &host, &application))
        holder = QStringLiteral(" (process %1 on host %2)")
                     .arg(pid)
                     .arg(host.isEmpty() ? QStringLiteral("?") : host);
    return QStringLiteral("Korvane is already open on this data folder%1.\n"
                          "Close the other window first, or pick another working folder.")
        .arg(holder);
}

// A lock file holds a process number, a host and a program name: a few dozen bytes.
constexpr off_t kMostLockFileBytes = 4096;

/**
 * Removes what stands in the lock file's place without being one: reading a holder's details from
 * a named pipe would block start-up, and from a link or a huge file would have no end.
 */
void removeForeignLockFile(const QString& lockPath)
{
    const QByteArray native = QFile::encodeName(lockPath);
    struct stat info;
    if (::lstat(native.constData(), &info) != 0 || S_ISDIR(info.st_mode))
        return;
    if (!S_ISREG(info.st_mode) || info.st_size > kMostLockFileBytes)
        ::unlink(native.constData());
}

} // namespace

DataFolderLock::DataFolderLock() = default;

DataFolderLock::~DataFolderLock()
{
    release();
}

QString DataFolderLock::lockFileName()
{
    return QStringLiteral("Korvane.lock");
}

bool DataFolderLock::acquire(const QString& dataFolder, QString* error)
{
    if (error)
        error->clear();
    const QString lockPath = QDir(dataFolder).filePath(lockFileName());
    if (!m_folder.isEmpty() && folderKey(m_folder) == folderKey(dataFolder)) {
        if (m_lock && QFileInfo::exists(lockPath)) {
            m_folder = dataFolder;
            return true;
        }
        // The folder was removed and made again: the old lock's file is gone, and giving that lock up
        // after the new one is taken would remove the new lock's file.
        release();
    }

    removeForeignLockFile(lockPath);
    auto lock = std::make_unique<QLockFile>(lockPath);
    // The program holds its lock for hours: only a holder that no longer runs makes a lock stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        const QLockFile::LockError reason = lock->error();
        if (reason != QLockFile::PermissionError && reason != QLockFile::UnknownError) {
            if (error)
                *error = heldByMessage(*lock);
            return false;
        }
        // No lock file can be made here (read-only medium): nothing can be guarded, and nothing
        // can be written either, so the folder is still used, unguarded.
        lock.reset();
    }
    release();
    m_lock = std::move(lock);
    m_folder = dataFolder;
    return true;
}

void DataFolderLock::release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
    m_folder.clear();
}

QString DataFolderLock::folder() const
{
    return m_folder;
}

bool DataFolderLock::isLocked() const
{
    return m_lock && m_lock->isLocked();
}

} // namespace korvane
