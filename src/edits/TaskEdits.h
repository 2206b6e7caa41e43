#pragma once

#include "edits/Change.h"
#include "edits/RecordEdits.h"

namespace korvane {

class RecordStore;

/**
 * How tasks and their sub tasks change together: a sub task is linked into its parent's sub task
 * list, moves with its parent to another project, and goes with it when the parent is deleted.
 */
class TaskEdits
{
public:
    /**
     * Adds `task` as a sub task of the top-level task `parentIdentifier`: kind "SubTask", the
     * parent's project, its identifier and a line feed appended to the parent's list, in one change.
     */
    static EditResult addSubTask(RecordStore& store, TaskRecord task, const QByteArray& parentIdentifier);

    /** The change of a modified task; a top-level task moved to another project takes its sub tasks. */
    static Change modifyChange(const RecordStore& store, const TaskRecord& task);
    /** Deleting a task: a sub task leaves its parent's list, a top-level task takes its sub tasks. */
    static Change removeChange(const RecordStore& store, const QByteArray& identifier);

    /** The top-level task that holds a task: itself, or the task whose sub task list names it. */
    static QByteArray topLevelTaskOf(const RecordStore& store, const QByteArray& taskIdentifier);

    /**
     * The list with the entry added as its last entry. Text after the last line feed is no entry;
     * the new entry goes in front of it, so that it counts and the tail keeps its bytes.
     */
    static QByteArray withEntry(const QByteArray& list, const QByteArray& entry);
};

} // namespace korvane
