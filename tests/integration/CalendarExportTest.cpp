#include "integration/CalendarReader.h"
#include "integration/CalendarWriter.h"
#include "integration/IcalComponent.h"
#include "integration/ImportItems.h"
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/TextList.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

using namespace korvane;

namespace {

// The same zone the import tests pin: +05:30 all year, so times written in a zone with summer time
// must be converted both ways to come back unchanged.
const bool kLocalZone = [] {
    qputenv("TZ", "Asia/Kolkata");
    tzset();
    return true;
}();

DateTime local(int year, int month, int day, int hour, int minute)
{
    return DateTime::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute)));
}

QByteArray text(icalcomponent* component, icalproperty_kind kind)
{
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    return property ? QByteArray(icalvalue_get_text(icalproperty_get_value(property))) : QByteArray("<none>");
}

QList<icalcomponent*> children(icalcomponent* calendar, icalcomponent_kind kind)
{
    QList<icalcomponent*> list;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, kind); c;
         c = icalcomponent_get_next_component(calendar, kind))
        list.append(c);
    return list;
}

QByteArray parameter(icalproperty* property, icalparameter_kind kind)
{
    icalparameter* found = icalproperty_get_first_parameter(property, kind);
    return found ? QByteArray(icalparameter_as_ical_string(found)) : QByteArray();
}

class CalendarExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kLocalZone);
        ASSERT_TRUE(m_dir.isValid());
        m_store.setWorkingDirectory(m_dir.path());
        Clock::setFixed(QDateTime(QDate(2025, 2, 1), QTime(9, 0)));

        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.identifier = "P1";
        project.name = "Harbour, phase 2; west";
        ASSERT_EQ(m_store.ModifyProject(project), "");

        ResourceRecord resource = emptyRecord<ResourceRecord>();
        resource.identifier = "R1";
        resource.name = "Ana Souza";
        ASSERT_EQ(m_store.ModifyResource(resource), "");

        TaskRecord task = emptyRecord<TaskRecord>();
        task.identifier = "T1";
        task.projectIdentifier = "P1";
        task.kind = TaskRecord::kTopLevel;
        task.name = "Survey the quay";
        task.priority = TaskRecord::High;
        task.start = local(2025, 3, 28, 9, 30); // the Friday before summer time starts in Berlin
        task.end = local(2025, 4, 2, 17, 0);
        task.reminderOn = 1;
        task.reminderTime = local(2025, 3, 27, 8, 15);
        task.percentComplete = 40;
        task.resources = TextList::append({}, "R1");
        task.subTaskList = TextList::append({}, "T2");
        ASSERT_EQ(m_store.ModifyTask(task), "");

        TaskRecord sub = task;
        sub.identifier = "T2";
        sub.kind = TaskRecord::kSubTask;
        sub.name = "Order buoys";
        sub.priority = TaskRecord::Low;
        sub.reminderOn = 0;
        sub.completed = 1;
        sub.percentComplete = 100;
        sub.subTaskList.clear();
        sub.resources.clear();
        ASSERT_EQ(m_store.ModifyTask(sub), "");

        MeetingRecord meeting = emptyRecord<MeetingRecord>();
        meeting.identifier = "M1";
        meeting.projectIdentifier = "P1";
        meeting.subject = "Kick-off";
        meeting.place = "Pier 4, room B";
        meeting.lead = "Ana Souza";
        meeting.attendees = TextList::append(TextList::append({}, "Ana Souza"), "Lee, Kim");
        meeting.start = local(2025, 11, 3, 10, 0);
        meeting.end = local(2025, 11, 3, 11, 30);
        meeting.notes = "Bring the charts";
        ASSERT_EQ(m_store.ModifyMeeting(meeting), "");
        const QList<AgendaRecord> agenda{{"Budget", local(2025, 11, 3, 10, 15)}};
        ASSERT_EQ(SafeFile::write(m_store.fileName(ListFile::Agenda, "M1"), encodeList(agenda)), "");
        const QList<ActionRecord> actions{{"Send minutes", local(2025, 11, 5, 0, 0), "Kim Lee", 0}};
        ASSERT_EQ(SafeFile::write(m_store.fileName(ListFile::Action, "M1"), encodeList(actions)), "");
    }
    void TearDown() override { Clock::setFixed({}); }

    IcalComponent parsed(const QByteArray& calendar)
    {
        return IcalComponent(icalparser_parse_string(calendar.constData()));
    }

    QTemporaryDir m_dir;
    RecordStore m_store;
    const QTimeZone m_berlin{"Europe/Berlin"};
};

TEST_F(CalendarExportTest, EveryPropertyReadsBackWithLibical)
{
    const IcalComponent calendar = parsed(CalendarWriter(m_store, m_berlin).calendar({"P1"}));
    ASSERT_TRUE(calendar);
    const QList<icalcomponent*> zones = children(calendar.get(), ICAL_VTIMEZONE_COMPONENT);
    ASSERT_EQ(zones.size(), 1);
    EXPECT_EQ(text(zones[0], ICAL_TZID_PROPERTY), "Europe/Berlin");

    const QList<icalcomponent*> todos = children(calendar.get(), ICAL_VTODO_COMPONENT);
    ASSERT_EQ(todos.size(), 2);
    icalcomponent* task =
        icalcomponent_get_uid(todos[0]) == QByteArray("korvane-task-T1") ? todos[0] : todos[1];
    icalcomponent* sub = task == todos[0] ? todos[1] : todos[0];
    EXPECT_EQ(text(task, ICAL_SUMMARY_PROPERTY), "Survey the quay");
    // 09:30 in Kolkata is 05:00 in Berlin before summer time; 17:00 is 13:30 after it.
    icalproperty* start = icalcomponent_get_first_property(task, ICAL_DTSTART_PROPERTY);
    EXPECT_EQ(parameter(start, ICAL_TZID_PARAMETER), "TZID=Europe/Berlin");
    EXPECT_STREQ(icaltime_as_ical_string(icalproperty_get_dtstart(start)), "20250328T050000");
    EXPECT_STREQ(icaltime_as_ical_string(icalcomponent_get_due(task)), "20250402T133000");
    EXPECT_EQ(icalproperty_get_priority(icalcomponent_get_first_property(task, ICAL_PRIORITY_PROPERTY)), 1);
    EXPECT_EQ(icalproperty_get_percentcomplete(
                  icalcomponent_get_first_property(task, ICAL_PERCENTCOMPLETE_PROPERTY)),
              40);
    EXPECT_EQ(icalcomponent_get_first_property(task, ICAL_STATUS_PROPERTY), nullptr);
    EXPECT_EQ(text(task, ICAL_DESCRIPTION_PROPERTY), "Ana Souza");
    EXPECT_EQ(icalcomponent_get_first_property(task, ICAL_RELATEDTO_PROPERTY), nullptr);
    icalcomponent* alarm = icalcomponent_get_first_component(task, ICAL_VALARM_COMPONENT);
    ASSERT_NE(alarm, nullptr);
    const icaltriggertype trigger =
        icalproperty_get_trigger(icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY));
    EXPECT_STREQ(icaltime_as_ical_string(trigger.time), "20250327T024500Z");

    EXPECT_EQ(icalproperty_get_priority(icalcomponent_get_first_property(sub, ICAL_PRIORITY_PROPERTY)), 9);
    EXPECT_EQ(icalcomponent_get_status(sub), ICAL_STATUS_COMPLETED);
    EXPECT_EQ(text(sub, ICAL_RELATEDTO_PROPERTY), "korvane-task-T1");
    EXPECT_EQ(icalcomponent_get_first_component(sub, ICAL_VALARM_COMPONENT), nullptr);

    const QList<icalcomponent*> events = children(calendar.get(), ICAL_VEVENT_COMPONENT);
    ASSERT_EQ(events.size(), 1);
    icalcomponent* event = events[0];
    EXPECT_EQ(QByteArray(icalcomponent_get_uid(event)), "korvane-meeting-M1");
    EXPECT_EQ(text(event, ICAL_SUMMARY_PROPERTY), "Kick-off");
    EXPECT_EQ(text(event, ICAL_LOCATION_PROPERTY), "Pier 4, room B");
    EXPECT_STREQ(icaltime_as_ical_string(icalcomponent_get_dtstart(event)), "20251103T053000");
    EXPECT_STREQ(icaltime_as_ical_string(icalcomponent_get_dtend(event)), "20251103T070000");
    icalproperty* organizer = icalcomponent_get_first_property(event, ICAL_ORGANIZER_PROPERTY);
    ASSERT_NE(organizer, nullptr);
    EXPECT_EQ(parameter(organizer, ICAL_CN_PARAMETER), "CN=Ana Souza");
    QByteArrayList attendees;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_ATTENDEE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_ATTENDEE_PROPERTY))
        attendees.append(parameter(p, ICAL_CN_PARAMETER));
    EXPECT_EQ(attendees, QByteArrayList({"CN=Ana Souza", "CN=\"Lee, Kim\""}));
    const QByteArray description = text(event, ICAL_DESCRIPTION_PROPERTY);
    EXPECT_TRUE(description.startsWith("Bring the charts\n\nAgenda:\n")) << description.constData();
    EXPECT_TRUE(description.contains("Budget")) << description.constData();
    EXPECT_TRUE(description.contains("\n\nActions:\nSend minutes (due ")) << description.constData();
    EXPECT_TRUE(description.endsWith(", Kim Lee)")) << description.constData();
}

TEST_F(CalendarExportTest, ImportGivesBackTheExportedTasksAndMeetings)
{
    for (const QTimeZone& zone : {m_berlin, QTimeZone::systemTimeZone(), QTimeZone::utc()}) {
        SCOPED_TRACE(zone.id().constData());
        const QByteArray calendar = CalendarWriter(m_store, zone).calendar({"P1"});
        QList<TaskItem> tasks;
        ASSERT_EQ(CalendarReader::readTasks(calendar, tasks), "");
        ASSERT_EQ(tasks.size(), 2);
        for (const TaskItem& item : tasks) {
            const TaskRecord back = ImportItems::task(item, "P9");
            const TaskRecord original = m_store.GetTask(item.subject == "Order buoys" ? "T2" : "T1");
            EXPECT_EQ(back.name, original.name);
            EXPECT_EQ(back.priority, original.priority);
            EXPECT_EQ(back.start.toQDateTime(), original.start.toQDateTime());
            EXPECT_EQ(back.end.toQDateTime(), original.end.toQDateTime());
            EXPECT_EQ(back.reminderOn, original.reminderOn);
            if (original.reminderOn) {
                EXPECT_EQ(back.reminderTime.toQDateTime(), original.reminderTime.toQDateTime());
            }
        }
        QList<AppointmentItem> meetings;
        ASSERT_EQ(CalendarReader::readAppointments(calendar, meetings), "");
        ASSERT_EQ(meetings.size(), 1);
        const MeetingRecord back = ImportItems::meeting(meetings[0], "P9");
        const MeetingRecord original = m_store.GetMeeting("M1");
        EXPECT_EQ(back.subject, original.subject);
        EXPECT_EQ(back.place, original.place);
        EXPECT_EQ(back.start.toQDateTime(), original.start.toQDateTime());
        EXPECT_EQ(back.end.toQDateTime(), original.end.toQDateTime());
    }
}

TEST_F(CalendarExportTest, UidsAndContentStayTheSameAcrossExports)
{
    const CalendarWriter writer(m_store, m_berlin);
    const QList<CalendarEntry> first = writer.entries({"P1"});
    Clock::setFixed(QDateTime(QDate(2026, 6, 1), QTime(12, 0)));
    const QList<CalendarEntry> second = writer.entries({"P1"});
    ASSERT_EQ(first.size(), 3);
    ASSERT_EQ(second.size(), 3);
    for (qsizetype i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].uid, second[i].uid);
        // Only the moment of writing (DTSTAMP) differs.
        QByteArrayList a = first[i].text.split('\n');
        QByteArrayList b = second[i].text.split('\n');
        a.removeIf([](const QByteArray& line) { return line.startsWith("DTSTAMP"); });
        b.removeIf([](const QByteArray& line) { return line.startsWith("DTSTAMP"); });
        EXPECT_EQ(a, b);
        // Each entry is a calendar of its own, with the zone its times name.
        const IcalComponent calendar = parsed(first[i].text);
        ASSERT_TRUE(calendar);
        EXPECT_EQ(children(calendar.get(), ICAL_VTIMEZONE_COMPONENT).size(), 1);
    }
    EXPECT_TRUE(std::any_of(first.begin(), first.end(),
                            [](const CalendarEntry& entry) { return entry.uid == "korvane-task-T1"; }));
}

TEST_F(CalendarExportTest, MeetingsWithoutTimesStillMakeValidEvents)
{
    MeetingRecord noStart = m_store.GetMeeting("M1");
    noStart.start = DateTime::null();
    ASSERT_EQ(m_store.ModifyMeeting(noStart), "");
    MeetingRecord noTime = noStart;
    noTime.identifier = "M2";
    noTime.end = DateTime{DateTime::Invalid, 0.0};
    ASSERT_EQ(m_store.ModifyMeeting(noTime), "");

    const IcalComponent calendar = parsed(CalendarWriter(m_store, m_berlin).calendar({"P1"}));
    const QList<icalcomponent*> events = children(calendar.get(), ICAL_VEVENT_COMPONENT);
    ASSERT_EQ(events.size(), 1); // a meeting without any time has no place in a calendar
    EXPECT_STREQ(icaltime_as_ical_string(icalcomponent_get_dtstart(events[0])), "20251103T070000");
    EXPECT_FALSE(CalendarWriter::isWritten(noTime));
}

TEST_F(CalendarExportTest, LongTextsAreEscapedAndFoldedIntoShortLines)
{
    QByteArray name = "Façade, north; \"wing\"\nphase ";
    while (QString::fromUtf8(name).size() < 197)
        name += "ü ";
    name += "end"; // libical's reader drops a value's trailing blanks
    TaskRecord task = m_store.GetTask("T1");
    task.name = name;
    ASSERT_EQ(m_store.ModifyTask(task), "");
    const QByteArray calendar = CalendarWriter(m_store, m_berlin).calendar({"P1"});

    for (const QByteArray& line : calendar.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.constData(); // 75 octets and the carriage return
        EXPECT_TRUE(QString::fromUtf8(line).toUtf8() == line)
            << "a fold splits a character: " << line.constData();
    }
    EXPECT_TRUE(calendar.contains("SUMMARY:Façade\\, north\\; \"wing\"\\nphase ")) << calendar.constData();
    // The project's name is one category, its comma and semicolon escaped.
    EXPECT_TRUE(calendar.contains("CATEGORIES:Harbour\\, phase 2\\; west\r\n")) << calendar.constData();

    const IcalComponent parsedCalendar = parsed(calendar);
    QByteArrayList summaries;
    for (icalcomponent* todo : children(parsedCalendar.get(), ICAL_VTODO_COMPONENT))
        summaries.append(text(todo, ICAL_SUMMARY_PROPERTY));
    EXPECT_TRUE(summaries.contains(name)) << summaries.join('|').constData();
}

} // namespace
