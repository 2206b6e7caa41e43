#include "store/FolderStamps.h"

#include "store/SafeFile.h"

#include <QFile>
#include <algorithm>
#include <sys/stat.h>

namespace korvane {

namespace {

// Coarse file systems (FAT keeps two-second steps) round a modification time down; a change in
// the same step as the stamp is only seen by comparing contents.
constexpr time_t kTrustAfterSeconds = 3;
constexpr size_t kSeed = 0x4b6f7276616e65;

quint64 nameDigest(const QString& name)
{
    return quint64(qHash(name, kSeed));
}

size_t checksumOf(const QByteArray& bytes)
{
    return qHash(bytes, kSeed);
}

} // namespace

quint64 FolderStamps::stampOf(const QString& name, bool& recent) const
{
    struct stat info;
    recent = true;
    if (::stat(QFile::encodeName(m_folder + QLatin1Char('/') + name).constData(), &info) != 0)
        return 0;
    const qint64 fields[] = {qint64(info.st_dev),          qint64(info.st_ino),          qint64(info.st_size),
                             qint64(info.st_mode),         qint64(info.st_mtim.tv_sec),  qint64(info.st_mtim.tv_nsec),
                             qint64(info.st_ctim.tv_sec),  qint64(info.st_ctim.tv_nsec)};
    recent = info.st_mtim.tv_sec >= m_takenAt - kTrustAfterSeconds ||
             info.st_ctim.tv_sec >= m_takenAt - kTrustAfterSeconds;
    const quint64 stamp = quint64(qHashBits(fields, sizeof fields, kSeed));
    return stamp == 0 ? 1 : stamp;
}

FolderStamps::Entry* FolderStamps::find(quint64 name)
{
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), Entry{name, 0});
    return it != m_entries.end() && it->name == name ? &*it : nullptr;
}

const FolderStamps::Entry* FolderStamps::find(quint64 name) const
{
    return const_cast<FolderStamps*>(this)->find(name);
}

bool FolderStamps::sameContents(const Recent& recent) const
{
    // A file that could not be read leaves no contents to compare with.
    QByteArray bytes;
    return recent.hasChecksum && SafeFile::read(m_folder + QLatin1Char('/') + recent.name, bytes) &&
           checksumOf(bytes) == recent.checksum;
}

bool FolderStamps::unchangedFiles(const QStringList& names) const
{
    if (!m_valid)
        return false;
    for (const QString& name : names) {
        const quint64 digest = nameDigest(name);
        bool recent = false;
        const quint64 now = stampOf(name, recent);
        const Entry* entry = find(digest);
        if (!entry) {
            if (now != 0) // a new file
                return false;
            continue; // made and removed again in between
        }
        if (now == 0 || now != entry->stamp)
            return false;
        const auto noted = m_recent.constFind(digest);
        if (noted != m_recent.cend() && !sameContents(*noted))
            return false;
    }
    return true;
}

FolderStamps FolderStamps::take(const QString& folder, const QStringList& names)
{
    FolderStamps stamps;
    stamps.m_folder = folder;
    stamps.m_valid = true;
    stamps.m_takenAt = ::time(nullptr);
    stamps.m_entries.reserve(std::size_t(names.size()));
    for (const QString& name : names) {
        bool recent = false;
        const quint64 digest = nameDigest(name);
        stamps.m_entries.push_back({digest, stamps.stampOf(name, recent)});
        if (recent)
            stamps.m_recent.insert(digest, Recent{name});
    }
    std::sort(stamps.m_entries.begin(), stamps.m_entries.end());
    return stamps;
}

void FolderStamps::noteContents(const QString& name, const QByteArray& bytes)
{
    const auto found = m_recent.find(nameDigest(name));
    if (found == m_recent.end())
        return;
    found->hasChecksum = true;
    found->checksum = checksumOf(bytes);
}

bool FolderStamps::unchangedSince(const FolderStamps& earlier) const
{
    if (!m_valid || !earlier.m_valid || m_folder != earlier.m_folder || m_entries.size() != earlier.m_entries.size())
        return false;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& now = m_entries[i];
        const Entry& before = earlier.m_entries[i];
        if (now.name != before.name || now.stamp == 0 || now.stamp != before.stamp)
            return false;
    }
    for (const Recent& recent : earlier.m_recent) {
        if (!sameContents(recent))
            return false;
    }
    return true;
}

void FolderStamps::noteWritten(const QString& name, const QByteArray& bytes)
{
    const quint64 digest = nameDigest(name);
    Entry* entry = m_valid ? find(digest) : nullptr;
    if (!entry) {
        // A new file: reading the folder would put its record elsewhere in the enumeration.
        m_valid = false;
        return;
    }
    bool recent = false;
    entry->stamp = stampOf(name, recent);
    m_recent.insert(digest, Recent{name, true, checksumOf(bytes)});
}

void FolderStamps::noteRemoved(const QString& name)
{
    const quint64 digest = nameDigest(name);
    if (Entry* entry = find(digest))
        m_entries.erase(m_entries.begin() + (entry - m_entries.data()));
    m_recent.remove(digest);
}

} // namespace korvane
