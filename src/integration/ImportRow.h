#pragma once

#include "records/Records.h"

#include <QList>
#include <QString>
#include <variant>

namespace korvane {

/** What an import brings in; the numbers are the import dialog's kinds. */
enum class ImportKind
{
    Contacts = 0,
    Tasks = 1,
    Meetings = 2
};

/** One row of the import list: the text it shows, the record it would add and its check mark. */
struct ImportRow
{
    QString text;
    std::variant<ResourceRecord, TaskRecord, MeetingRecord> record;
    bool checked = true;
};

/** The rows read from one file, in the file's order, or the reason the file could not be read. */
struct ImportReadResult
{
    QList<ImportRow> rows;
    /** Empty when the file was read; otherwise "<file>: <reason>", and `rows` is empty. */
    QString error;

    bool ok() const { return error.isEmpty(); }
};

} // namespace korvane
