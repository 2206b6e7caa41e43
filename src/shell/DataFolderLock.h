#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QLockFile;

namespace korvane {

/**
 * Guards a data folder against a second copy of the program on the same machine: a lock file of
 * this machine ("Korvane-HOST.lock") inside the data folder, held while the program works on it. A
 * lock left behind by a program that no longer runs is taken over. The lock files of other machines
 * (a folder synced or shared) do not block and are never taken over or removed: they are only told.
 */
class DataFolderLock
{
public:
    DataFolderLock();
    /** Releases the lock. */
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    /** The name of this machine's lock file inside the data folder. */
    static QString lockFileName();

    /** The other machines that held a lock of the folder when it was acquired, by host name. */
    const QStringList& otherHosts() const { return m_otherHosts; }

    /**
     * Takes the lock of `dataFolder`, releasing the one held before only when this succeeds, so a
     * refused folder leaves the current lock in place. Returns false when another running program
     * holds it, with the message for the user in `error`. A lock file that cannot be created at all
     * (a read-only folder) does not stop the program: it then goes on unguarded and true is returned.
     */
    bool acquire(const QString& dataFolder, QString* error);

    /** Gives the lock up; nothing happens when none is held. */
    void release();

    /** The data folder acquired last ("" after release). */
    QString folder() const;

    /** Tells whether a lock file is really held (false for an unguarded read-only folder). */
    bool isLocked() const;

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
    QStringList m_otherHosts;
};

} // namespace korvane
