#pragma once

#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "store/ProgramFolder.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace korvane::testing {

/** The locale the expected pages were made in. */
inline QLocale usEnglish()
{
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

inline DateTime at(int year, int month, int day, int hour = 0, int minute = 0)
{
    return DateTime::fromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute)));
}

/**
 * A data folder and a program folder of their own, filled record by record with chosen
 * identifiers, and the clock fixed, so every page comes out the same on every run.
 */
class ReportFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_data.isValid());
        ASSERT_TRUE(m_program.isValid());
        m_store.setWorkingDirectory(m_data.path());
        setProgramFolderForTesting(m_program.path());
        Clock::setFixed(QDateTime(QDate(2007, 7, 3), QTime(14, 5, 9)));
    }
    void TearDown() override
    {
        Clock::setFixed({});
        setProgramFolderForTesting({});
    }

    template <class R> R blank() { return emptyRecord<R>(); }

    ProjectRecord& project(const QByteArray& id, const QByteArray& name, const QByteArray& client = {})
    {
        m_project = blank<ProjectRecord>();
        m_project.identifier = id;
        m_project.clientIdentifier = client;
        m_project.name = name;
        m_project.endUser = "Unknown";
        m_project.currency = "$";
        m_project.startDate = at(2007, 7, 3);
        m_project.endDate = at(2007, 12, 21);
        return m_project;
    }
    void storeProject() { EXPECT_EQ(m_store.ModifyProject(m_project), QString()); }

    void client(const QByteArray& id, const QByteArray& name, const QByteArray& contact,
                const QByteArray& leads)
    {
        ClientRecord record = blank<ClientRecord>();
        record.identifier = id;
        record.clientName = name;
        record.contactPerson = contact;
        record.leadByList = leads;
        EXPECT_EQ(m_store.ModifyClient(record), QString());
    }

    void resource(const QByteArray& id, const QByteArray& name, const QByteArray& designation,
                  const QByteArray& phone1 = {}, const QByteArray& phone2 = {})
    {
        ResourceRecord record = blank<ResourceRecord>();
        record.identifier = id;
        record.name = name;
        record.designation = designation;
        record.phone1 = phone1;
        record.phone2 = phone2;
        EXPECT_EQ(m_store.ModifyResource(record), QString());
    }

    void task(const QByteArray& id, const QByteArray& project, const QByteArray& name, int priority,
              const QByteArray& resources, const DateTime& start, const DateTime& end)
    {
        TaskRecord record = blank<TaskRecord>();
        record.identifier = id;
        record.projectIdentifier = project;
        record.kind = TaskRecord::kTopLevel;
        record.name = name;
        record.priority = priority;
        record.resources = resources;
        record.start = start;
        record.end = end;
        EXPECT_EQ(m_store.ModifyTask(record), QString());
    }

    void meeting(const QByteArray& id, const QByteArray& project, const QByteArray& subject,
                 const QByteArray& attendees, const DateTime& start, const DateTime& end)
    {
        MeetingRecord record = blank<MeetingRecord>();
        record.identifier = id;
        record.projectIdentifier = project;
        record.subject = subject;
        record.attendees = attendees;
        record.start = start;
        record.end = end;
        EXPECT_EQ(m_store.ModifyMeeting(record), QString());
    }

    void agenda(const QByteArray& meeting, const QList<AgendaRecord>& items)
    {
        EXPECT_EQ(SafeFile::write(m_store.fileName(ListFile::Agenda, meeting), encodeList(items)), QString());
    }
    void actions(const QByteArray& meeting, const QList<ActionRecord>& items)
    {
        EXPECT_EQ(SafeFile::write(m_store.fileName(ListFile::Action, meeting), encodeList(items)), QString());
    }
    void listFileBytes(ListFile file, const QByteArray& meeting, const QByteArray& bytes)
    {
        EXPECT_EQ(SafeFile::write(m_store.fileName(file, meeting), bytes), QString());
    }

    void money(const QByteArray& id, const QByteArray& project, const QByteArray& name, int kind, double net,
               const DateTime& date)
    {
        MoneyFlowRecord record = blank<MoneyFlowRecord>();
        record.identifier = id;
        record.projectIdentifier = project;
        record.name = name;
        record.kind = kind;
        record.amount = net;
        record.netAmount = net;
        record.transactionDate = date;
        EXPECT_EQ(m_store.ModifyMoneyFlow(record), QString());
    }

    /**
     * The project "P1" with everything a page can show: leads (one of them unknown), tasks with
     * every priority and resource list, meetings with full, empty and missing list files,
     * income and expense with an entry of another kind, and records of a second project.
     */
    void fillFullProject()
    {
        project("P1", "Harbour Survey", "C1");
        m_project.endUser = "Port Authority";
        m_project.currency = "\xE2\x82\xAC"; // the euro sign, in UTF-8
        storeProject();
        client("C1", "Tidewater Ltd", "Ann Lee", "R1\nR9\nR2\n");
        resource("R1", "Maya Ortiz", "Surveyor", "555-0101", "555-0102");
        resource("R2", "Jon Berg", "Diver", "555-0201");
        resource("R3", "Idle Person", "Clerk");

        task("T1", "P1", "Sound the channel", TaskRecord::High, "R1\nR2\n", at(2007, 7, 9), at(2007, 8, 17));
        task("T2", "P1", "Chart the wrecks", TaskRecord::Low, "", at(2007, 8, 20), at(2007, 9, 28));
        task("T3", "P1", "Report", TaskRecord::Medium, "R2\nR9\n", at(2007, 10, 1), at(2007, 10, 31));
        task("T4", "P1", "Odd priority", 7, "R3", at(2007, 11, 1), at(2007, 11, 2));
        task("T5", "P2", "Elsewhere", TaskRecord::High, "R1\n", at(2007, 7, 1), at(2007, 7, 2));

        meeting("M1", "P1", "Kick-off", "Ann Lee\nMaya Ortiz\n", at(2007, 7, 4, 10), at(2007, 7, 4, 12));
        agenda("M1", {{"Scope", at(2007, 7, 4, 10)}, {"Budget", at(2007, 7, 4, 11)}});
        actions("M1", {{"Book the boat", at(2007, 7, 6), "Jon", 0}});
        meeting("M2", "P1", "Site visit", "", at(2007, 8, 1, 9), at(2007, 8, 1, 17));
        meeting("M3", "P1", "Review", "Ann Lee\n", at(2007, 11, 5, 14), at(2007, 11, 5, 15));
        agenda("M3", {});
        actions("M3", {});
        meeting("M4", "P2", "Not ours", "", at(2007, 7, 1), at(2007, 7, 1));

        money("F1", "P1", "Advance", MoneyFlowRecord::Income, 1500.0, at(2007, 7, 5));
        money("F2", "P1", "Boat hire", MoneyFlowRecord::Expense, 420.125, at(2007, 7, 10));
        money("F3", "P1", "Second part", MoneyFlowRecord::Income, 999.995, at(2007, 9, 1));
        money("F4", "P1", "Neither", 2, 77.0, at(2007, 9, 2));
        money("F5", "P2", "Other project", MoneyFlowRecord::Income, 5.0, at(2007, 9, 3));
    }

    QTemporaryDir m_data;
    QTemporaryDir m_program;
    RecordStore m_store;
    ProjectRecord m_project;
};

/** The bytes of a file or a compiled-in resource, or "<missing>". */
inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

/**
 * Compares a page with the expected file tests/data/reports/<name>; with KORVANE_UPDATE_EXPECTED=1
 * in the environment the file is written from the page instead (review the difference before
 * committing it).
 */
inline void expectPage(const QString& page, const QString& name)
{
    const QString path = QStringLiteral(KORVANE_TEST_DATA "/reports/") + name;
    if (qEnvironmentVariableIntValue("KORVANE_UPDATE_EXPECTED") == 1) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_EQ(SafeFile::write(path, page.toUtf8()), QString());
        return;
    }
    EXPECT_EQ(page.toUtf8().toStdString(), fileBytes(path).toStdString())
        << "expected page: " << path.toStdString();
}

} // namespace korvane::testing
