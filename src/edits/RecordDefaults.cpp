#include "edits/RecordDefaults.h"

#include "records/Text.h"
#include "store/ProjectDocuments.h"

namespace korvane::RecordDefaults {

namespace {

void orDefault(QByteArray& text, const char* fallback)
{
    if (text.isEmpty())
        text = fallback;
}

} // namespace

void fill(ProjectRecord& project)
{
    orDefault(project.name, "Untitled");
    orDefault(project.projectCode, "###");
    orDefault(project.endUser, "Unknown");
}

void fill(ClientRecord& client)
{
    orDefault(client.clientName, "Unknown");
    orDefault(client.contactPerson, "Unknown");
}

void fill(ResourceRecord& resource)
{
    orDefault(resource.name, "Unknown");
}

void fill(TaskRecord& task)
{
    orDefault(task.name, "Unknown");
    orDefault(task.taskCode, "***");
}

void fill(MeetingRecord& meeting)
{
    orDefault(meeting.subject, "Untitled");
    orDefault(meeting.meetingCode, "###");
    orDefault(meeting.place, "Unknown");
    orDefault(meeting.lead, "Unknown");
}

void fill(AgendaRecord& item)
{
    orDefault(item.name, "Unknown");
}

void fill(ActionRecord& item)
{
    orDefault(item.todo, "Untitled");
    orDefault(item.who, "Unknown");
}

void fill(DocumentRow& row)
{
    orDefault(row.name, "Untitled");
}

QByteArray taskName(const QString& typed)
{
    return trimmedOr(typed, "UnTitled");
}

QByteArray trimmedOr(const QString& typed, const char* fallback)
{
    const QString trimmed = typed.trimmed();
    return trimmed.isEmpty() ? QByteArray(fallback) : storedText(trimmed);
}

} // namespace korvane::RecordDefaults
