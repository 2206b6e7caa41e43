#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <ctime>
#include <vector>

namespace korvane {

/**
 * What the record files of a data folder looked like when they were last read (identity, size,
 * change times), so that reading the folder again can be skipped when nothing in it changed.
 *
 * A file changed twice within its file system's timestamp step keeps its stamp, so files whose
 * times lie within a few seconds of the moment the stamps were taken also keep a checksum of their
 * contents, and are read once more to compare. Each file costs 16 bytes, so that a folder of a
 * hundred thousand records adds little to the program's memory.
 */
class FolderStamps
{
public:
    /** Stamps the given files of the folder (names relative to it); the moment is taken first. */
    static FolderStamps take(const QString& folder, const QStringList& names);

    /** Notes the contents just read from a stamped file, kept when its stamp is too recent to trust. */
    void noteContents(const QString& name, const QByteArray& bytes);

    /** True when these stamps show the very files that `earlier` stamped, with the same contents. */
    bool unchangedSince(const FolderStamps& earlier) const;
    /** True when the named files, the only ones that may have changed, are still what was stamped. */
    bool unchangedFiles(const QStringList& names) const;
    /** True when the stamps describe the folder's files as last read, or written by the program since. */
    bool isValid() const { return m_valid; }
    const QString& folder() const { return m_folder; }
    /** The number of files stamped. */
    qsizetype size() const { return qsizetype(m_entries.size()); }

    /** Takes a fresh stamp of a file the program itself just wrote with these bytes. */
    void noteWritten(const QString& name, const QByteArray& bytes);
    /** Forgets a file the program itself just removed. */
    void noteRemoved(const QString& name);
    /** Makes the next comparison fail, for changes that reading the folder would not reproduce. */
    void invalidate() { m_valid = false; }

private:
    struct Entry
    {
        quint64 name;
        /** A digest of the file's identity, size, mode and times; 0 when the file could not be stated. */
        quint64 stamp;
        bool operator<(const Entry& other) const { return name < other.name; }
    };
    struct Recent
    {
        QString name;
        bool hasChecksum = false;
        size_t checksum = 0;
    };

    /** The stamp of one file, and whether its times are too close to the taking to be trusted. */
    quint64 stampOf(const QString& name, bool& recent) const;
    Entry* find(quint64 name);
    const Entry* find(quint64 name) const;
    /** True when the file still holds the contents noted for it. */
    bool sameContents(const Recent& recent) const;

    QString m_folder;
    bool m_valid = false;
    time_t m_takenAt = 0;
    /** Ordered by name digest. */
    std::vector<Entry> m_entries;
    QHash<quint64, Recent> m_recent;
};

} // namespace korvane
