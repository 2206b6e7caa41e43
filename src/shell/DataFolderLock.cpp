#include "shell/DataFolderLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <csignal>
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

/** This machine's name as lock files give it. */
QString thisHost()
{
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("localhost") : host;
}

/** The host named in a lock file, or "" when it is no small regular file or names none. */
QString hostOfLockFile(const QString& path, qint64* pid)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kMostLockFileBytes)
        return {};
    QString host;
    QString application;
    return QLockFile(path).getLockInfo(pid, &host, &application) ? host : QString();
}

} // namespace

DataFolderLock::DataFolderLock() = default;

DataFolderLock::~DataFolderLock()
{
    release();
}

QString DataFolderLock::lockFileName()
{
    // One lock file per machine: a folder synced between machines carries them all along.
    QString host = thisHost();
    for (QChar& c : host) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    return QStringLiteral("Korvane-%1.lock").arg(host);
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
    // Locks of other machines, and the one lock file of earlier versions, held by another machine.
    QStringList others;
    const QDir dir(dataFolder);
    const QStringList names =
        dir.entryList({QStringLiteral("Korvane-*.lock"), QStringLiteral("Korvane.lock")},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        qint64 pid = 0;
        const QString host = name == lockFileName() ? QString() : hostOfLockFile(dir.filePath(name), &pid);
        if (host.isEmpty())
            continue;
        if (host != thisHost()) {
            if (!others.contains(host))
                others.append(host);
        } else if (name == QLatin1String("Korvane.lock") && pid > 0 && ::kill(pid_t(pid), 0) == 0) {
            // An earlier version of the program runs on this machine with the folder open.
            if (error)
                *error = heldByMessage(QLockFile(dir.filePath(name)));
            return false;
        }
    }
    release();
    m_lock = std::move(lock);
    m_folder = dataFolder;
    m_otherHosts = others;
    return true;
}

void DataFolderLock::release()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
    m_folder.clear();
    m_otherHosts.clear();
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
