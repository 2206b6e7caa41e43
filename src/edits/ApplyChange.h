#pragma once

#include "edits/Change.h"

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

/** The state of one file now: its bytes and, for a record file, the record the store holds. */
FileStep currentState(const RecordStore& store, const FileRef& file);

/** The full path of the file a step names. */
QString filePath(const RecordStore& store, const FileRef& file);

} // namespace korvane
