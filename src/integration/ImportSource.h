#pragma once

#include "integration/ImportRow.h"

#include <QByteArray>
#include <QString>

namespace korvane {

/** Reads a vCard or iCalendar file into the rows of an import: one prepared record per item. */
class ImportSource
{
public:
    /** Files larger than this are refused rather than read into memory. */
    static constexpr qint64 MaxFileSize = qint64(64) * 1024 * 1024;

    /**
     * Reads every item of the kind from the file (contacts from a .vcf, tasks and meetings from an
     * .ics) and prepares its record; tasks and meetings belong to the project `projectIdentifier`.
     * A file that cannot be read or parsed gives no rows and an error naming the file and the reason.
     */
    static ImportReadResult read(ImportKind kind, const QString& path, const QByteArray& projectIdentifier);

    /** The message when a file holds no item of the kind: "No Contacts was Found in <file>". */
    static QString noItemsMessage(ImportKind kind, const QString& path);

    /** The import dialog's caption for the kind: "Import Contacts", "Import Tasks", "Import
     * Meetings/Appointments". */
    static QString caption(ImportKind kind);

    /** The heading of the list's one column: "Name" for contacts and "Subject" for tasks and meetings. */
    static QString columnHeading(ImportKind kind);

    /** The file's text as UTF-8 bytes: a byte order mark is dropped and UTF-16 is converted. */
    static QByteArray normalisedText(const QByteArray& bytes);
};

} // namespace korvane
