#pragma once

#include "edits/RecordEdits.h"
#include "store/RecordKind.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace korvane {

class RecordStore;

/** One version of a record whose file has conflicting copies: where it lies and what it holds. */
struct ConflictVersion
{
    QString path;
    QByteArray bytes;
    /** True for the record's own file, the one the store reads the record from. */
    bool own = false;
};

/** One field of a record in every version of it, as text, and whether the versions differ in it. */
struct ConflictField
{
    QString name;
    QStringList values;
    bool differs = false;
};

/**
 * Conflicting copies of records, as sync programs leave them: every version of a record side by
 * side, and the choice of one, which becomes the record while the others are set aside, never lost.
 */
class ConflictEdits
{
public:
    /** The records that have conflicting copies, each once, in the order the store lists the copies. */
    static QList<std::pair<RecordKind, QByteArray>> records(const RecordStore& store);
    /** Every version of a record: its own file first, then each copy (a file that cannot be read has no
     * bytes). */
    static QList<ConflictVersion> versions(const RecordStore& store, RecordKind kind,
                                           const QByteArray& identifier);
    /** The stored fields of the versions side by side, in the record's field order. */
    static QList<ConflictField> compare(RecordKind kind, const QList<ConflictVersion>& versions);
    /**
     * Makes the version in `keepPath` the record, byte for byte (as a change of its own when it is a
     * copy), then moves every copy into the data folder's "Conflicts" folder.
     */
    static EditResult resolve(RecordStore& store, RecordKind kind, const QByteArray& identifier,
                              const QString& keepPath);
};

} // namespace korvane
