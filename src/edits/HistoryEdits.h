#pragma once

#include "edits/History.h"
#include "edits/RecordEdits.h"

#include <QStringList>

namespace korvane {

class RecordStore;

/**
 * Undo, redo and restore: each puts files back as the history keeps them, as a change of its own,
 * and refuses, naming the record, when a file was changed since by someone else.
 */
class HistoryEdits
{
public:
    /** Undoes the newest change not yet undone; `description` is that change's. */
    static EditResult undo(RecordStore& store);
    /** Makes again the change undone last. */
    static EditResult redo(RecordStore& store);
    /** What Undo and Redo would act on now, for the Edit menu; "" when nothing. */
    static QString undoDescription(const RecordStore& store);
    static QString redoDescription(const RecordStore& store);

    /**
     * Puts the records of a change back as they were before it, as one new change. Refused unless
     * `force` when later changes touched the same files (listed in `later`) or one was changed elsewhere.
     */
    static EditResult restore(RecordStore& store, const QByteArray& id, bool force, QStringList* later = nullptr);

    /** A record's or list's name for messages: `the task "Pour"`, `the agenda of a meeting`. */
    static QString fileCaption(const HistoryEntry::File& file);
};

} // namespace korvane
