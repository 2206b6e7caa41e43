#pragma once

#include "integration/ImportRow.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace korvane {

class RecordStore;

/** What adding an import's rows gave: the new identifiers in row order, or the first error. */
struct ImportAddResult
{
    QList<QByteArray> identifiers;
    /** Empty on success; otherwise why a record could not be stored (the rows added before it are removed
     * again). */
    QString error;

    bool ok() const { return error.isEmpty(); }
};

/**
 * Adds the checked rows to the store in row order, each with its position in `rows` (0, 1, 2 ...)
 * as the batch number, so items added in the same second still get distinct identifiers. When one
 * cannot be stored, those already added by this call are removed again: an import is all or nothing.
 */
ImportAddResult addImportRows(RecordStore& store, const QList<ImportRow>& rows);

} // namespace korvane
