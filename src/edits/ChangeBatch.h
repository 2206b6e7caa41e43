#pragma once

#include "edits/Change.h"
#include "edits/RecordEdits.h"

#include <QByteArray>
#include <QSet>
#include <functional>
#include <vector>

namespace korvane {

class RecordStore;

/**
 * Applies a long run of changes (thousands of records added in one command), each a change of its
 * own with its own history entry and all or nothing, but flushed to disk once per group of changes
 * instead of twice per change: the group's history entries are flushed before its first record
 * file changes, and its record files before its entries are marked finished.
 */
class ChangeBatch
{
public:
    /** How one queued change went, told when its group is applied. */
    using Done = std::function<void(const EditResult& result)>;

    explicit ChangeBatch(RecordStore& store, qsizetype groupSize = 512);
    ~ChangeBatch();
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;

    /**
     * Queues a change prepared from the store as it is, without the queued changes (so it may not
     * depend on them, apart from the identifiers in `reserved`); a change that touches a file of a
     * queued one has those applied first.
     */
    void add(const Change& change, const QByteArray& identifier, Done done);
    /** Applies the queued changes. */
    void flush();
    /** The identifiers the queued changes give new records, for the next new identifiers to avoid. */
    const QSet<QByteArray>& reserved() const { return m_reserved; }

private:
    struct Queued
    {
        Change change;
        QByteArray identifier;
        Done done;
    };

    RecordStore& m_store;
    qsizetype m_groupSize;
    std::vector<Queued> m_queue;
    QSet<QByteArray> m_reserved;
    /** The files the queued changes touch. */
    QSet<QString> m_files;
};

} // namespace korvane
