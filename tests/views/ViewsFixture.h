#pragma once

#include "records/RecordCodec.h"
#include "store/DisplayFormat.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"

namespace korvane::test {

/** A store on a fresh data folder, with "now" fixed, and small helpers to add records to it. */
class ViewsFixture : public StoreFolderTest
{
protected:
    static DateTime at(int year, int month, int day, int hour = 0, int minute = 0)
    {
        return DateTime::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute)));
    }
    static QString shortDate(const DateTime& value) { return DisplayFormat::shortDate(value); }

    QByteArray addProject(const QByteArray& name, const DateTime& start, const DateTime& end,
                          const QByteArray& currency = "Rs.", const QByteArray& client = {})
    {
        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.name = name;
        project.startDate = start;
        project.endDate = end;
        project.currency = currency;
        project.clientIdentifier = client;
        return added(m_store.AddProject(project));
    }

    QByteArray addTask(const QByteArray& project, const QByteArray& name, const DateTime& start,
                       std::int32_t priority = TaskRecord::High, std::int32_t percent = 0,
                       const QByteArray& resources = {}, const char* kind = TaskRecord::kTopLevel)
    {
        TaskRecord task = emptyRecord<TaskRecord>();
        task.projectIdentifier = project;
        task.name = name;
        task.kind = kind;
        task.start = start;
        task.end = start;
        task.priority = priority;
        task.percentComplete = percent;
        task.resources = resources;
        return added(m_store.AddTask(task));
    }

    QByteArray addResource(const QByteArray& name, const QByteArray& designation = {},
                           const QByteArray& department = {}, const QByteArray& phone1 = {},
                           const QByteArray& phone2 = {})
    {
        ResourceRecord resource = emptyRecord<ResourceRecord>();
        resource.name = name;
        resource.designation = designation;
        resource.department = department;
        resource.phone1 = phone1;
        resource.phone2 = phone2;
        return added(m_store.AddResource(resource));
    }

    QByteArray addMeeting(const QByteArray& project, const QByteArray& subject, const DateTime& start,
                          const QByteArray& attendees = {}, const QByteArray& place = {},
                          const QByteArray& lead = {})
    {
        MeetingRecord meeting = emptyRecord<MeetingRecord>();
        meeting.projectIdentifier = project;
        meeting.subject = subject;
        meeting.start = start;
        meeting.attendees = attendees;
        meeting.place = place;
        meeting.lead = lead;
        return added(m_store.AddMeeting(meeting));
    }

    /** Writes a meeting's agenda or action file. */
    void writeList(ListFile file, const QByteArray& meeting, const QByteArray& bytes)
    {
        ASSERT_EQ(SafeFile::write(m_store.fileName(file, meeting), bytes), QString());
    }

    static QByteArray added(const AddResult& result)
    {
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        return result.identifier;
    }
};

} // namespace korvane::test
