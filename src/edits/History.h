#pragma once

#include "edits/Change.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace korvane {

class RecordStore;

/** One change as the history keeps it: what it did, and every file's bytes before and after it. */
struct HistoryEntry
{
    struct File
    {
        FileRef file;
        std::optional<QByteArray> before;
        std::optional<QByteArray> after;
    };

    /** Sorts in the order the changes were made ("20261207131500123-0001"). */
    QByteArray id;
    QDateTime time;
    QString description;
    ChangeKind kind = ChangeKind::Plain;
    /** For an undo or a redo: the entry it acts on. */
    QByteArray target;
    QList<TouchedRecord> records;
    std::vector<File> files;
};

/**
 * The history of a data folder, kept in its "History" folder where neither the store nor the
 * Windows program looks: one file per change, written and flushed before the change touches the
 * first record file, so an interrupted change is found and rolled back at the next start. Undo,
 * redo and restore are changes of their own, read back from these entries.
 */
class History
{
public:
    explicit History(const QString& dataFolder);

    /** The "History" folder inside the data folder. */
    QString folder() const { return m_folder; }

    /** Starts an entry for a change about to be made; "" on success, else why it cannot be kept. */
    QString begin(HistoryEntry& entry);
    /** Marks a begun entry as finished: its change is whole on disk. */
    void finish(const HistoryEntry& entry);
    /** Drops a begun entry whose change was put back as it was. */
    void abandon(const HistoryEntry& entry);

    /** The identifiers of the finished entries, oldest first (read from the folder's names only). */
    QList<QByteArray> entryIds() const;
    /** One finished entry, read whole; nothing when it is gone or unreadable. */
    std::optional<HistoryEntry> read(const QByteArray& id) const;

    /** The entry Undo would undo now, and the one Redo would redo; empty when there is none. */
    QByteArray undoTarget() const;
    QByteArray redoTarget() const;

    /**
     * Finds changes a crash or power cut interrupted and puts each folder back as it was before it
     * (or, where every file already holds what the change wrote, marks it finished). Returns one
     * line per change for the user; nothing when there was none.
     */
    QStringList recover(RecordStore& store);

    /**
     * Removes the oldest entries while the history is larger than `maxBytes`, keeping the newest
     * `keepCount` and everything younger than `keepDays` days.
     */
    void prune(qint64 maxBytes, int keepCount = 1000, int keepDays = 90);

    /** The bytes of an entry file, and an entry from them (for tests and the fuzz targets). */
    static QByteArray encode(const HistoryEntry& entry);
    static std::optional<HistoryEntry> decode(const QByteArray& bytes);

    /** Switches the keeping of history off and on for this process (benchmarks compare both). */
    static void setKept(bool kept);
    static bool isKept();
    /** The size the history is trimmed to, from time to time after a change (the user's setting). */
    static void setMaxBytes(qint64 maxBytes);

    /** The largest size the history may take by default: 256 MB. */
    static constexpr qint64 kDefaultMaxBytes = qint64(256) * 1024 * 1024;

private:
    QString pathOf(const QByteArray& id, const char* suffix) const;

    QString m_folder;
};

} // namespace korvane
