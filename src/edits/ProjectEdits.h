#pragma once

#include "edits/Change.h"
#include "edits/RecordEdits.h"

#include <optional>

namespace korvane {

class CurrencyList;

class RecordStore;

/**
 * How a project changes with what belongs to it: its client record, made with it and kept beside
 * it; its documents file; and, when it is deleted, its tasks, meetings with their lists and money
 * flow (its invoices stay, as they always did).
 */
class ProjectEdits
{
public:
    /**
     * Adds a project with a new client record and, when given, the bytes of its documents file,
     * in one change. `project.clientIdentifier` is set to the new client's.
     */
    static EditResult addProject(RecordStore& store, ProjectRecord project, ClientRecord client,
                                 const std::optional<QByteArray>& documents = std::nullopt);
    /**
     * Stores a project, its client and, when given, its documents file in one change; a project whose
     * client identifier is empty or cannot name a file gets a new client record.
     */
    static EditResult modifyProject(RecordStore& store, ProjectRecord project, ClientRecord client,
                                    const std::optional<QByteArray>& documents = std::nullopt);
    /** Stores a new synopsis text for the project, leaving every other field as it is stored. */
    static EditResult commitSynopsis(RecordStore& store, const QByteArray& projectIdentifier,
                                     const QByteArray& synopsis);
    /**
     * Saves the shared list of currency formats, as a change of its own (so it can be undone) when the
     * list is the one in the program's folder and differs from what the file holds.
     */
    static EditResult saveCurrencyList(RecordStore& store, const CurrencyList& list);
    /** Writes a project's documents file with these bytes. */
    static EditResult writeDocuments(RecordStore& store, const QByteArray& projectIdentifier,
                                     const QByteArray& bytes);

    /** Deleting a project: its client, documents file, tasks, meetings with their lists, money flow. */
    static Change removeChange(const RecordStore& store, const QByteArray& identifier);
};

} // namespace korvane
