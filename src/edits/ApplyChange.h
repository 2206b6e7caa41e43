#pragma once

#include "edits/Change.h"
#include "edits/History.h"

#include <QString>
#include <optional>
#include <vector>

namespace korvane {

class RecordStore;

/** What a file held before a change: its bytes and record, or nothing when it was not there. */
using FileBefore = FileStep;

/**
 * Carries out every step of a change, in order, or none: when a file cannot be written, the files
 * already changed get their old bytes back and the store its old records. Returns "" on success,
 * otherwise the reason naming the file. `before`, when given, receives each file's previous state.
 * A record file changed elsewhere since the store read it is not overwritten unless the store is
 * told to: then nothing is changed and `changedElsewhere`, when given, names that file.
 */
QString applyChange(RecordStore& store, const Change& change, std::vector<FileBefore>* before = nullptr,
                    std::optional<FileRef>* changedElsewhere = nullptr);

/** A change whose history entry is written and whose files are not changed yet. */
struct BegunChange
{
    /** Every file the change touches as it is before it, in the order the change first touches them. */
    std::vector<FileStep> original;
    HistoryEntry entry;
    /** True when the entry was written and is the change's to finish or abandon. */
    bool kept = false;
};

/**
 * The three parts of `applyChange`, for a run of changes that flushes to disk once per group:
 * notes the files as they are and writes the history entry; "" or why nothing was changed.
 */
QString beginChange(RecordStore& store, const Change& change, BegunChange& begun,
                    std::optional<FileRef>* changedElsewhere = nullptr);
/** Carries out a begun change's steps, or none of them (its entry is then dropped); "" or the reason. */
QString carryOutChange(RecordStore& store, const Change& change, const BegunChange& begun);
/** Marks a carried out change finished in the history. */
void finishChange(const RecordStore& store, const BegunChange& begun);

/** The state of one file now: its bytes and, for a record file, the record the store holds. */
FileStep currentState(const RecordStore& store, const FileRef& file);

/** The full path of the file a step names. */
QString filePath(const RecordStore& store, const FileRef& file);

} // namespace korvane
