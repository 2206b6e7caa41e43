#include "store/FolderStamps.h"

#include "store/InOrderWorkers.h"
#include "store/RegularFile.h"

#include <QFile>
#include <QSet>
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

quint64 FolderStamps::stampOf(const QString& name, time_t moment, bool& recent) const
{
    struct stat info;
    recent = true;
    if (::stat(QFile::encodeName(m_folder + QLatin1Char('/') + name).constData(), &info) != 0)
        return 0;
    const qint64 fields[] = {qint64(info.st_dev),          qint64(info.st_ino),          qint64(info.st_size),
                             qint64(info.st_mode),         qint64(info.st_mtim.tv_sec),  qint64(info.st_mtim.tv_nsec),
                             qint64(info.st_ctim.tv_sec),  qint64(info.st_ctim.tv_nsec)};
    recent = info.st_mtim.tv_sec >= moment - kTrustAfterSeconds ||
             info.st_ctim.tv_sec >= moment - kTrustAfterSeconds;
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
    // A file that could not be read leaves no contents to compare with. Only the bytes its reader
    // took in are compared: the record's fields lie in them.
    if (!recent.hasChecksum)
        return false;
    RegularFile file(m_folder + QLatin1Char('/') + recent.name, m_folder);
    QByteArray bytes;
    return file.readMore(bytes, recent.length) && bytes.size() == recent.length &&
           checksumOf(bytes) == recent.checksum;
}

QStringList FolderStamps::changedFiles(const QStringList& names) const
{
    QStringList changed;
    for (const QString& name : names) {
        const quint64 digest = nameDigest(name);
        bool recent = false;
        const quint64 now = stampOf(name, m_takenAt, recent);
        const Entry* entry = find(digest);
        if (!entry) {
            if (now != 0) // a new file
                changed.append(name);
            continue; // made and removed again in between
        }
        const auto noted = m_recent.constFind(digest);
        if (now == 0 || now != entry->stamp || (noted != m_recent.cend() && !sameContents(*noted)))
            changed.append(name);
    }
    return changed;
}

std::optional<QStringList> FolderStamps::changesSince(const FolderStamps& earlier, const QStringList& names,
                                                      const std::function<QStringList()>& earlierNames) const
{
    if (!m_valid || !earlier.m_valid || m_folder != earlier.m_folder)
        return std::nullopt;
    // Both lists are ordered by name digest: one walk finds the new, the changed and the gone.
    QSet<quint64> changed;
    QSet<quint64> gone;
    auto now = m_entries.cbegin();
    auto before = earlier.m_entries.cbegin();
    while (now != m_entries.cend() || before != earlier.m_entries.cend()) {
        if (before == earlier.m_entries.cend() || (now != m_entries.cend() && now->name < before->name)) {
            changed.insert((now++)->name);
        } else if (now == m_entries.cend() || before->name < now->name) {
            gone.insert((before++)->name);
        } else {
            if (now->stamp == 0 || now->stamp != before->stamp)
                changed.insert(now->name);
            ++now;
            ++before;
        }
    }
    for (auto it = earlier.m_recent.cbegin(); it != earlier.m_recent.cend(); ++it) {
        if (!changed.contains(it.key()) && !gone.contains(it.key()) && !sameContents(*it))
            changed.insert(it.key());
    }

    QStringList result;
    if (!changed.isEmpty()) {
        for (const QString& name : names) {
            if (changed.contains(nameDigest(name)))
                result.append(name);
        }
    }
    if (!gone.isEmpty()) {
        for (const QString& name : earlierNames()) {
            if (gone.remove(nameDigest(name)))
                result.append(name);
        }
        if (!gone.isEmpty())
            return std::nullopt;
    }
    return result;
}

FolderStamps FolderStamps::take(const QString& folder, const QStringList& names, int threads)
{
    FolderStamps stamps;
    stamps.m_folder = folder;
    stamps.m_valid = true;
    stamps.m_takenAt = ::time(nullptr);
    stamps.m_entries.reserve(std::size_t(names.size()));
    struct Stamped
    {
        quint64 stamp;
        bool recent;
    };
    InOrderWorkers::run(
        names.size(), threads,
        [&](qsizetype i) {
            Stamped stamped{0, false};
            stamped.stamp = stamps.stampOf(names[i], stamps.m_takenAt, stamped.recent);
            return stamped;
        },
        [&](qsizetype i, Stamped stamped) {
            const quint64 digest = nameDigest(names[i]);
            stamps.m_entries.push_back({digest, stamped.stamp});
            if (stamped.recent)
                stamps.m_recent.insert(digest, Recent{names[i]});
        });
    std::sort(stamps.m_entries.begin(), stamps.m_entries.end());
    return stamps;
}

void FolderStamps::noteContents(const QString& name, const QByteArray& bytes)
{
    const auto found = m_recent.find(nameDigest(name));
    if (found == m_recent.end())
        return;
    found->hasChecksum = true;
    found->length = bytes.size();
    found->checksum = checksumOf(bytes);
}

void FolderStamps::restamp(const QStringList& names)
{
    if (names.isEmpty())
        return;
    // Trusted or not as of now: a file changed long ago and stamped only now needs no checksum.
    const time_t moment = ::time(nullptr);
    const std::size_t stamped = m_entries.size();
    for (const QString& name : names) {
        const quint64 digest = nameDigest(name);
        bool recent = false;
        const quint64 stamp = stampOf(name, moment, recent);
        Entry* entry = find(digest);
        if (stamp == 0) {
            if (entry)
                entry->stamp = 0; // dropped below, once the new entries are in order
            m_recent.remove(digest);
            continue;
        }
        if (entry)
            entry->stamp = stamp;
        else
            m_entries.push_back({digest, stamp});
        if (recent)
            m_recent.insert(digest, Recent{name});
        else
            m_recent.remove(digest);
    }
    std::sort(m_entries.begin() + qsizetype(stamped), m_entries.end());
    std::inplace_merge(m_entries.begin(), m_entries.begin() + qsizetype(stamped), m_entries.end());
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.stamp == 0; }),
        m_entries.end());
}

void FolderStamps::keepContentsOf(const FolderStamps& earlier)
{
    for (auto it = m_recent.begin(); it != m_recent.end(); ++it) {
        if (it->hasChecksum)
            continue;
        const auto noted = earlier.m_recent.constFind(it.key());
        const Entry* now = find(it.key());
        const Entry* before = earlier.find(it.key());
        if (noted != earlier.m_recent.cend() && noted->hasChecksum && now && before &&
            now->stamp == before->stamp) {
            it->hasChecksum = true;
            it->length = noted->length;
            it->checksum = noted->checksum;
        }
    }
}

void FolderStamps::noteRemoved(const QString& name)
{
    const quint64 digest = nameDigest(name);
    if (Entry* entry = find(digest))
        m_entries.erase(m_entries.begin() + (entry - m_entries.data()));
    m_recent.remove(digest);
}

} // namespace korvane
