#include "integration/ImportBatch.h"
#include "integration/ImportItems.h"
#include "integration/ImportSource.h"
#include "records/Clock.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "support/NoFileOverride.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>

using namespace korvane;

namespace {

// Every expected time below is written for this zone: +05:30 all year, unlike any zone in the files.
const bool kLocalZone = [] {
    qputenv("TZ", "Asia/Kolkata");
    tzset();
    return true;
}();

QString fixture(const char* name)
{
    return QStringLiteral(KORVANE_TEST_DATA "/import/") + QLatin1String(name);
}

DateTime local(int year, int month, int day, int hour, int minute, int second = 0)
{
    return DateTime::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

template <class R> QList<R> records(const ImportReadResult& result)
{
    QList<R> list;
    for (const ImportRow& row : result.rows)
        list.append(std::get<R>(row.record));
    return list;
}

class ImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kLocalZone);
        ASSERT_TRUE(m_dir.isValid());
        Clock::setFixed(m_now);
    }
    void TearDown() override { Clock::setFixed({}); }

    QString write(const QString& name, const QByteArray& text)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_EQ(SafeFile::write(path, text), "");
        return path;
    }

    QTemporaryDir m_dir;
    const QDateTime m_now{QDate(2024, 1, 15), QTime(10, 20, 30)};
};

TEST_F(ImportTest, ContactsBecomeResourcesWithTheirNameAndTwoPhones)
{
    struct Case
    {
        const char* file;
        const char* name;
        const char* designation;
        const char* department;
        const char* phone1;
        const char* phone2;
    };
    // One row per card, in file order. The fallback number is taken only when home and mobile are empty.
    const Case cases[] = {
        // home plus business: the business number is not taken; title folded over two lines, escapes
        {"contacts-3.0.vcf", "Dr. John Quinlan Smith", "Site Lead, North Yard", "Civil Works", "+1 555 0100",
         ""},
        {"contacts-3.0.vcf", " Paula  Page", "", "", "555 0300", ""},      // only a pager number
        {"contacts-3.0.vcf", " Acme Reception  ", "", "", "", "555 0400"}, // no N: FN is the first name
        // escaped comma kept, two middle names, group prefixes; business fax comes before the car phone
        {"contacts-3.0.vcf", " Se\xc3\xa1n Mary Ann O'Brien, Jr.", "", "", "555 0500", ""},
        // "N:;;;;" counts as no name; the preferred number comes before an untyped one and "tel:" goes
        {"contacts-4.0.vcf", " Northwind Depot  ", "", "", "+1-555-0700", ""},
        {"contacts-4.0.vcf", "Ms. Ana  Lee", "", "", "555 0800", "555 0802"}, // TYPE=home;TYPE=voice form
        {"contacts-4.0.vcf", " Switchboard  ", "", "", "555-0900", ""}, // untyped is primary, before work
        // 2.1: bare types, quoted-printable with a soft line break and UTF-8
        {"contacts-2.1.vcf", " Hans  M\xc3\xbcller", "Head of Planning", "R&D", "555 1000", ""},
    };
    QMap<QString, QList<ResourceRecord>> read;
    for (const char* file : {"contacts-3.0.vcf", "contacts-4.0.vcf", "contacts-2.1.vcf"}) {
        const ImportReadResult result = ImportSource::read(ImportKind::Contacts, fixture(file), {});
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        read[file] = records<ResourceRecord>(result);
        for (const ImportRow& row : result.rows)
            EXPECT_EQ(row.text, displayText(std::get<ResourceRecord>(row.record).name));
    }
    QMap<QString, int> next;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.name);
        const int index = next[c.file]++;
        ASSERT_LT(index, read[c.file].size());
        const ResourceRecord& resource = read[c.file][index];
        EXPECT_EQ(resource.name, c.name);
        EXPECT_EQ(resource.designation, c.designation);
        EXPECT_EQ(resource.department, c.department);
        EXPECT_EQ(resource.phone1, c.phone1);
        EXPECT_EQ(resource.phone2, c.phone2);
        EXPECT_TRUE(resource.identifier.isEmpty());
    }
    for (auto it = next.cbegin(); it != next.cend(); ++it)
        EXPECT_EQ(read[it.key()].size(), it.value()) << it.key().toStdString();
}

TEST_F(ImportTest, TasksTakePriorityDatesAndReminderFromTheirTodo)
{
    const ImportReadResult result = ImportSource::read(ImportKind::Tasks, fixture("tasks.ics"), "P7");
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    struct Case
    {
        const char* name;
        std::int32_t priority;
        DateTime start;
        DateTime end;
        DateTime reminder;
        std::int32_t reminderOn;
    };
    const DateTime now = DateTime::fromQDateTime(m_now);
    const Case cases[] = {
        // PRIORITY 1: High; start in the file's own zone (EDT), due in UTC, absolute alarm in UTC
        {"Order steel", TaskRecord::High, local(2024, 7, 1, 18, 30), local(2024, 7, 2, 22, 30),
         local(2024, 7, 1, 17, 30), 1},
        // PRIORITY 5: Medium; floating time is local; due from DURATION; alarm 15 minutes before the start
        {"Pour the slab", TaskRecord::Medium, local(2024, 7, 3, 8, 0), local(2024, 7, 3, 10, 30),
         local(2024, 7, 3, 7, 45), 1},
        // PRIORITY 9: Low; all-day dates; alarm a day before the due date (RELATED=END)
        {"Cure", TaskRecord::Low, local(2024, 7, 5, 0, 0), local(2024, 7, 10, 0, 0), local(2024, 7, 9, 0, 0),
         1},
        // PRIORITY 0 (undefined): Medium; no dates: the moment of the import; no alarm
        {"Someday", TaskRecord::Medium, now, now, now, 0},
        // no PRIORITY; a TZID the file does not define but the system knows
        {"Call Berlin", TaskRecord::Medium, local(2024, 1, 10, 13, 30), local(2024, 1, 10, 13, 30),
         local(2024, 1, 10, 13, 30), 0},
    };
    const QList<TaskRecord> tasks = records<TaskRecord>(result);
    ASSERT_EQ(tasks.size(), std::size(cases)); // the VEVENT in the file is not a task
    for (qsizetype i = 0; i < tasks.size(); ++i) {
        const Case& c = cases[i];
        const TaskRecord& task = tasks[i];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(task.name, c.name);
        EXPECT_EQ(result.rows[i].text, QString::fromUtf8(c.name));
        EXPECT_EQ(task.priority, c.priority);
        EXPECT_EQ(task.start, c.start);
        EXPECT_EQ(task.end, c.end);
        EXPECT_EQ(task.reminderTime, c.reminder);
        EXPECT_EQ(task.reminderOn, c.reminderOn);
        EXPECT_EQ(task.kind, "NonSubTask");
        EXPECT_EQ(task.projectIdentifier, "P7");
        EXPECT_EQ(task.percentComplete, 0);
    }
}

TEST_F(ImportTest, AppointmentsBecomeMeetingsOncePerRecurringEvent)
{
    const ImportReadResult result = ImportSource::read(ImportKind::Meetings, fixture("meetings.ics"), "P7");
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    struct Case
    {
        const char* row;
        const char* subject;
        const char* place;
        DateTime start;
        DateTime end;
        const char* notes;
    };
    const Case cases[] = {
        {"Kick-off - Room 4", "Kick-off", "Room 4", local(2024, 7, 1, 15, 30), local(2024, 7, 1, 17, 0),
         "Agenda, first draft\nSecond line"}, // UTC times; escaped comma and line break
        // all-day over two days: DTEND is the day after, the meeting ends at the end of the last day
        {"Site closed", "Site closed", "", local(2024, 7, 4, 0, 0), local(2024, 7, 5, 23, 59, 59), ""},
        // the file's zone in winter (EST); recurring and with one moved occurrence: imported once
        {"Weekly review - Annex", "Weekly review", "Annex", local(2024, 12, 10, 19, 30),
         local(2024, 12, 10, 20, 30), ""},
        {"Survey", "Survey", "", local(2024, 8, 1, 0, 0), local(2024, 8, 2, 23, 59, 59),
         ""}, // all-day, DURATION:P2D
    };
    const QList<MeetingRecord> meetings = records<MeetingRecord>(result);
    ASSERT_EQ(meetings.size(), std::size(cases));
    for (qsizetype i = 0; i < meetings.size(); ++i) {
        const Case& c = cases[i];
        const MeetingRecord& meeting = meetings[i];
        SCOPED_TRACE(c.row);
        EXPECT_EQ(result.rows[i].text, QString::fromUtf8(c.row));
        EXPECT_EQ(meeting.subject, c.subject);
        EXPECT_EQ(meeting.place, c.place);
        EXPECT_EQ(meeting.start, c.start);
        EXPECT_EQ(meeting.end, c.end);
        EXPECT_EQ(meeting.notes, c.notes);
        EXPECT_EQ(meeting.meetingCode, "###");
        EXPECT_EQ(meeting.lead, "UnKnown");
        EXPECT_EQ(meeting.projectIdentifier, "P7");
        EXPECT_TRUE(meeting.attendees.isEmpty());
    }
}

TEST_F(ImportTest, BrokenFilesGiveTheFileAndTheReasonAndNoRows)
{
    const QByteArray calendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    const QByteArray event = "BEGIN:VEVENT\r\nSUMMARY:x\r\nDTSTART:20240701T100000Z\r\nEND:VEVENT\r\n";
    const QByteArray end = "END:VCALENDAR\r\n";
    static const char kWithNul[] = "BEGIN:VCARD\nFN:A\0B\nEND:VCARD\n";
    struct Case
    {
        const char* what;
        ImportKind kind;
        QByteArray text;
        const char* reason;
    };
    const Case cases[] = {
        {"card never closed", ImportKind::Contacts, "BEGIN:VCARD\nVERSION:3.0\nFN:A\n",
         "line 1 has no END:VCARD"},
        {"END without BEGIN", ImportKind::Contacts, "BEGIN:VCARD\nFN:A\nEND:VCARD\nEND:VCARD\n", "line 4"},
        {"line without a colon", ImportKind::Contacts, "BEGIN:VCARD\nFN:A\nnonsense\nEND:VCARD\n", "line 3"},
        {"calendar picked as contacts", ImportKind::Contacts, calendar + event + end, "not a vCard file"},
        {"text only", ImportKind::Tasks, "just some notes\n", "not an iCalendar file"},
        {"event never closed", ImportKind::Meetings, calendar + "BEGIN:VEVENT\r\nSUMMARY:x\r\n" + end,
         "line 5: END:VCALENDAR does not close BEGIN:VEVENT of line 3"},
        {"unreadable start", ImportKind::Meetings,
         calendar + "BEGIN:VEVENT\r\nDTSTART:20241345T250000\r\nEND:VEVENT\r\n" + end, "DTSTART"},
        {"unreadable trigger", ImportKind::Tasks,
         calendar + "BEGIN:VTODO\r\nBEGIN:VALARM\r\nTRIGGER:soon\r\nEND:VALARM\r\nEND:VTODO\r\n" + end,
         "TRIGGER"},
        {"zone nobody knows", ImportKind::Meetings,
         calendar + "BEGIN:VEVENT\r\nDTSTART;TZID=Nowhere/Atlantis:20240701T100000\r\nEND:VEVENT\r\n" + end,
         "\"Nowhere/Atlantis\""},
        // libical would expand this rule second by second for centuries
        {"zone rule every second", ImportKind::Meetings,
         calendar +
             "BEGIN:VTIMEZONE\r\nTZID:Busy\r\nBEGIN:STANDARD\r\nDTSTART:16010101T000000\r\n"
             "RRULE:FREQ=SECONDLY\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\nEND:"
             "VTIMEZONE\r\n"
             "BEGIN:VEVENT\r\nDTSTART;TZID=Busy:20240701T100000\r\nEND:VEVENT\r\n" +
             end,
         "not a simple yearly change"},
        // There is no sixth Sunday in October: libical would search for one for minutes
        {"zone rule that never happens", ImportKind::Meetings,
         calendar +
             "BEGIN:VTIMEZONE\r\nTZID:Never\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n"
             "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=6SU\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
             "END:STANDARD\r\nEND:VTIMEZONE\r\n"
             "BEGIN:VEVENT\r\nDTSTART;TZID=Never:20240701T100000\r\nEND:VEVENT\r\n" +
             end,
         "never or hardly ever changes the offset"},
        {"duration past year 9999", ImportKind::Meetings,
         calendar + "BEGIN:VEVENT\r\nDTSTART:99991201T100000\r\nDURATION:P9999W\r\nEND:VEVENT\r\n" + end,
         "outside the years"},
        {"nested far too deep", ImportKind::Meetings, calendar + QByteArray("BEGIN:X\r\n").repeated(50) + end,
         "nested too deeply"},
        {"NUL bytes", ImportKind::Contacts, QByteArray(kWithNul, sizeof kWithNul - 1), "NUL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = write(QStringLiteral("broken"), c.text);
        const ImportReadResult result = ImportSource::read(c.kind, path, "P7");
        EXPECT_TRUE(result.rows.isEmpty());
        EXPECT_TRUE(result.error.startsWith(path + ": ")) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(QLatin1String(c.reason))) << result.error.toStdString();
    }

    const ImportReadResult fixtureResult =
        ImportSource::read(ImportKind::Meetings, fixture("broken.ics"), "P7");
    EXPECT_TRUE(fixtureResult.rows.isEmpty()); // the first, sound event is not imported either
    EXPECT_TRUE(fixtureResult.error.contains(QLatin1String("broken.ics: line 12")))
        << fixtureResult.error.toStdString();

    // A file over the limit is refused before it is read whole.
    QFile huge(m_dir.filePath(QStringLiteral("huge.vcf")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(ImportSource::MaxFileSize + 1));
    huge.close();
    EXPECT_TRUE(ImportSource::read(ImportKind::Contacts, huge.fileName(), {})
                    .error.contains(QLatin1String("larger")));
    EXPECT_TRUE(ImportSource::read(ImportKind::Contacts, m_dir.filePath(QStringLiteral("missing.vcf")), {})
                    .error.contains(QLatin1String("does not exist")));
}

TEST_F(ImportTest, AFileWithoutItemsOfTheKindIsNoError)
{
    const QString path =
        write(QStringLiteral("events.ics"),
              "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const ImportReadResult result = ImportSource::read(ImportKind::Tasks, path, "P7");
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(result.rows.isEmpty());
    EXPECT_EQ(ImportSource::noItemsMessage(ImportKind::Tasks, path), "No Tasks was Found in " + path);
}

TEST_F(ImportTest, SortingComparesBytesCaseSensitively)
{
    QList<ImportRow> rows;
    for (const char* name : {"beta", "Alpha", "\xc3\x84rger", "alpha", "Zeta", "beta"}) {
        TaskRecord task;
        task.name = name;
        task.taskCode = QByteArray::number(rows.size()); // tells the two "beta" rows apart
        rows.append(ImportItems::row(task));
    }
    auto order = [&] {
        QList<QByteArray> keys;
        for (const ImportRow& row : rows)
            keys.append(std::get<TaskRecord>(row.record).name + std::get<TaskRecord>(row.record).taskCode);
        return keys;
    };
    sortImportRows(rows, true);
    EXPECT_EQ(order(), (QList<QByteArray>{"Alpha1", "Zeta4", "alpha3", "beta0", "beta5", "\xc3\x84rger2"}));
    sortImportRows(rows, false);
    EXPECT_EQ(order(), (QList<QByteArray>{"\xc3\x84rger2", "beta0", "beta5", "alpha3", "Zeta4", "Alpha1"}));
}

TEST_F(ImportTest, CheckedRowsAreAddedWithTheirRowPositionsAsBatchNumbers)
{
    RecordStore store(m_dir.path());
    ImportReadResult read = ImportSource::read(ImportKind::Tasks, fixture("tasks.ics"), "P7");
    ASSERT_TRUE(read.ok());
    read.rows[1].checked = false;
    const ImportAddResult added = addImportRows(store, read.rows.mid(0, 3));
    ASSERT_TRUE(added.ok()) << added.error.toStdString();
    // All in the same second: the positions 0 and 2 keep the identifiers apart.
    EXPECT_EQ(added.identifiers, (QList<QByteArray>{"20240115102030900", "20240115102030902"}));
    ASSERT_EQ(store.tasks().size(), 2);
    EXPECT_EQ(store.GetTask(added.identifiers[0]).name, "Order steel");
    EXPECT_EQ(store.GetTask(added.identifiers[1]).name, "Cure");
    EXPECT_TRUE(QFile::exists(m_dir.filePath("Task" + added.identifiers[1] + ".tsk")));
}

TEST_F(ImportTest, AnImportThatCannotBeWrittenAddsNothing)
{
    RecordStore store(m_dir.path());
    const ImportReadResult read = ImportSource::read(ImportKind::Meetings, fixture("meetings.ics"), "P7");
    ASSERT_TRUE(read.ok());
    // All rows are one change: a folder that refuses the files keeps none of them.
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    ImportAddResult added;
    {
        const test::NoFileOverride obeyPermissions;
        added = addImportRows(store, read.rows);
    }
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(added.ok());
    EXPECT_TRUE(added.error.contains(QLatin1String("Meeting2024011510203090"))) << added.error.toStdString();
    EXPECT_TRUE(added.identifiers.isEmpty());
    EXPECT_EQ(store.meetings().size(), 0);
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
}

} // namespace
