#pragma once

#include "integration/ImportRow.h"
#include "integration/PimItems.h"

namespace korvane {

/** Turns contacts, tasks and appointments read from a file into the records and rows of an import. */
class ImportItems
{
public:
    /** The resource of a contact: its name, job title, department and two telephone numbers. */
    static ResourceRecord resource(const ContactItem& contact);
    /** A top-level task of the project with the task's name, priority, dates and reminder. */
    static TaskRecord task(const TaskItem& item, const QByteArray& projectIdentifier);
    /** A meeting of the project with the appointment's subject, place, times and notes. */
    static MeetingRecord meeting(const AppointmentItem& item, const QByteArray& projectIdentifier);

    /** The list row of a record: the name, or for a meeting the subject and " - " and a place it has. */
    static ImportRow row(const ResourceRecord& resource);
    static ImportRow row(const TaskRecord& task);
    static ImportRow row(const MeetingRecord& meeting);

    /** The text the rows sort by: the record's name, or a meeting's subject. */
    static const QByteArray& sortKey(const ImportRow& row);
};

/** Sorts the rows by name or subject, byte by byte and case-sensitive ("A - Z" or "Z - A"). */
void sortImportRows(QList<ImportRow>& rows, bool ascending);

} // namespace korvane
