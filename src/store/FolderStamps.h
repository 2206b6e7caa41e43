#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>
#include <optional>
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
    /**
     * Stamps the given files of the folder (names relative to it), on as many threads as given; the
     * moment is taken first.
     */
    static FolderStamps take(const QString& folder, const QStringList& names, int threads = 1);

    /**
     * Notes the contents just read from a stamped file (the bytes a reader took in, from the first),
     * kept when its stamp is too recent to trust.
     */
    void noteContents(const QString& name, const QByteArray& bytes);

    /**
     * The files that differ between `earlier` and these stamps of the same folder: of `names` (those
     * these stamps were taken of), the new and the changed ones; of the names `earlierNames` gives,
     * asked only when a file is gone, the gone ones. Nothing when a gone file is not among those.
     */
    std::optional<QStringList> changesSince(const FolderStamps& earlier, const QStringList& names,
                                            const std::function<QStringList()>& earlierNames) const;
    /** Of the named files, the only ones that may have changed, those that are not what was stamped. */
    QStringList changedFiles(const QStringList& names) const;
    /** True when the stamps describe the folder's files as last read. */
    bool isValid() const { return m_valid; }
    const QString& folder() const { return m_folder; }
    /** The number of files stamped. */
    qsizetype size() const { return qsizetype(m_entries.size()); }

    /** Stamps the named files anew, before they are read again; files gone are forgotten. */
    void restamp(const QStringList& names);
    /** Keeps the contents noted in `earlier` for files whose stamps are the same here. */
    void keepContentsOf(const FolderStamps& earlier);
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
        /** How many of the file's first bytes the checksum covers. */
        qsizetype length = 0;
        size_t checksum = 0;
    };

    /** The stamp of one file, and whether its times are too close to `moment` to be trusted. */
    quint64 stampOf(const QString& name, time_t moment, bool& recent) const;
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
