#include "store/FolderStamps.h"

#include "store/SafeFile.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>

namespace korvane {

namespace {

// Coarse file systems (FAT keeps two-second steps) round a modification time down; a change in
// the same step as the stamp is only seen by comparing contents.
constexpr time_t kTrustAfterSeconds = 3;

size_t checksumOf(const QByteArray& bytes)
{
    return qHash(bytes, size_t(0x4b6f7276616e65));
}

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

bool FolderStamps::Stamp::sameFileAs(const Stamp& other) const
{
    return stated && other.stated && device == other.device && inode == other.inode && size == other.size &&
           mode == other.mode && sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

FolderStamps::Stamp FolderStamps::stampOf(const QString& name) const
{
    Stamp stamp;
    struct stat info;
    if (::stat(QFile::encodeName(m_folder + QLatin1Char('/') + name).constData(), &info) != 0)
        return stamp;
    stamp.stated = true;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.mode = quint32(info.st_mode);
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    stamp.recent = info.st_mtim.tv_sec >= m_takenAt - kTrustAfterSeconds ||
                   info.st_ctim.tv_sec >= m_takenAt - kTrustAfterSeconds;
    return stamp;
}

FolderStamps FolderStamps::take(const QString& folder, const QStringList& names)
{
    FolderStamps stamps;
    stamps.m_folder = folder;
    stamps.m_valid = true;
    stamps.m_takenAt = ::time(nullptr);
    stamps.m_stamps.reserve(names.size());
    for (const QString& name : names)
        stamps.m_stamps.insert(name, stamps.stampOf(name));
    return stamps;
}

void FolderStamps::noteContents(const QString& name, const QByteArray& bytes)
{
    const auto found = m_stamps.find(name);
    if (found == m_stamps.end() || !found->recent)
        return;
    found->hasChecksum = true;
    found->checksum = checksumOf(bytes);
}

bool FolderStamps::unchangedSince(const FolderStamps& earlier) const
{
    if (!m_valid || !earlier.m_valid || m_folder != earlier.m_folder || m_stamps.size() != earlier.m_stamps.size())
        return false;
    for (auto it = m_stamps.cbegin(); it != m_stamps.cend(); ++it) {
        const auto before = earlier.m_stamps.constFind(it.key());
        if (before == earlier.m_stamps.cend() || !it->sameFileAs(*before))
            return false;
        if (!before->recent)
            continue;
        // A file that could not be read leaves no contents to compare with.
        QByteArray bytes;
        if (!before->hasChecksum || !SafeFile::read(m_folder + QLatin1Char('/') + it.key(), bytes) ||
            checksumOf(bytes) != before->checksum)
            return false;
    }
    return true;
}

void FolderStamps::noteWritten(const QString& name, const QByteArray& bytes)
{
    if (!m_valid || !m_stamps.contains(name)) {
        // A new file: reading the folder would put its record elsewhere in the enumeration.
        m_valid = false;
        return;
    }
    Stamp stamp = stampOf(name);
    stamp.recent = true;
    stamp.hasChecksum = true;
    stamp.checksum = checksumOf(bytes);
    m_stamps.insert(name, stamp);
}

void FolderStamps::noteRemoved(const QString& name)
{
    m_stamps.remove(name);
}

} // namespace korvane
