#pragma once

#include "edits/Change.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace korvane {

class RecordStore;

/** What an edit gave: the identifier of the record it added or changed, or why nothing changed. */
struct EditResult
{
    QByteArray identifier;
    QString error;
    /** What the change did, as the history and the Edit menu name it. */
    QString description{};
    /** Refused because a record was changed since (elsewhere, or by a later change): forcing would go on. */
    bool conflict = false;
    /** The record file whose change elsewhere since it was read made the edit change nothing. */
    std::optional<FileRef> changedElsewhere{};

    bool ok() const { return error.isEmpty(); }
};

/**
 * The changes of single records of every kind, with what each takes along: a project's delete
 * takes its client, documents, tasks, meetings and money flow; a meeting's its lists; a task's its
 * sub tasks. Every function prepares one change from the store as it is and applies it all or nothing.
 */
class RecordEdits
{
public:
    /** Adds a record under a new identifier (`batch` as for an import's items, -1 for none). */
    template <class R> static EditResult add(RecordStore& store, R record, int batch = -1);
    /** Stores a new version of a record; a top-level task moved to another project takes its sub tasks. */
    template <class R> static EditResult modify(RecordStore& store, const R& record);
    /** Deletes a record as the user's delete command does, with everything that hangs on it. */
    static EditResult remove(RecordStore& store, RecordKind kind, const QByteArray& identifier);

    /** The change `add` applies; `record` receives its new identifier. */
    template <class R>
    static Change addChange(RecordStore& store, R& record, int batch = -1,
                            const QSet<QByteArray>& reserved = {});
    /** The change `modify` applies. */
    template <class R> static Change modifyChange(const RecordStore& store, const R& record);
    /** The change `remove` applies; empty when there is no such record. */
    static Change removeChange(const RecordStore& store, RecordKind kind, const QByteArray& identifier);

    /** A record's name as descriptions and messages show it ("Cedar Hill", a task's name, an invoice number).
     */
    template <class R> static QString nameOf(const R& record);
    /** `Verb Kind "Name"`, the description of a change of one record. */
    template <class R> static QString describe(const char* verb, const R& record);

    /** Applies a prepared change; `identifier` is handed back in the result on success. */
    static EditResult apply(RecordStore& store, const Change& change, const QByteArray& identifier = {});
};

} // namespace korvane
