// A data folder from elsewhere: what stands in it in place of record files is skipped with its
// reason, never read without end, and no write of the store leaves the folder.
#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"
#include "support/ForeignEntries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <sys/resource.h>

using namespace korvane;
using namespace korvane::test;

namespace {

class ForeignFolderTest : public StoreFolderTest
{
protected:
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        ASSERT_TRUE(m_outside.isValid());
    }

    QString write(const QString& path, const QByteArray& bytes)
    {
        EXPECT_EQ(SafeFile::write(path, bytes), QString());
        return path;
    }

    template <class R> QByteArray recordBytes(const QByteArray& identifier, const QByteArray& name = "x")
    {
        R record = emptyRecord<R>();
        record.identifier = identifier;
        if constexpr (std::is_same_v<R, TaskRecord>) {
            record.name = name;
            record.kind = TaskRecord::kTopLevel;
        }
        return encodeRecord(record);
    }

    std::map<std::string, std::string> problems() const
    {
        std::map<std::string, std::string> byName;
        for (const LoadProblem& problem : m_store.loadProblems())
            byName[problem.path.mid(m_dir.path().size() + 1).toStdString()] = problem.reason.toStdString();
        return byName;
    }

    QStringList entries() const
    {
        return QDir(m_dir.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    static long peakKilobytes()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }

    QTemporaryDir m_outside;
};

} // namespace

TEST_F(ForeignFolderTest, WhatIsNoRegularFileInsideIsSkippedWithItsReasonAndNothingIsWritten)
{
    write(path("Project1.prj"), recordBytes<ProjectRecord>("1"));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("keep"));
    write(path("keep/Client5.cli"), recordBytes<ClientRecord>("5"));
    const QString outsideTask = write(m_outside.filePath("Task77.tsk"), recordBytes<TaskRecord>("77"));
    m_store.LoadAll();
    ASSERT_TRUE(m_store.loadProblems().isEmpty());

    // Files that are no links come in through a refresh, links through a full read.
    const long peakBefore = peakKilobytes();
    ASSERT_TRUE(ForeignEntries::makeFifo(path("Task2026120799999990.tsk")));
    ASSERT_TRUE(ForeignEntries::makeSocket(path("Task2026120799999991.tsk")));
    ASSERT_TRUE(ForeignEntries::makeSparse(path("Task2026120799999992.tsk"), qint64(3) << 30));
    ASSERT_TRUE(ForeignEntries::makeFifo(path("Agenda2026120799999990.agd")));
    m_store.LoadAll();
    EXPECT_EQ(problems(), (std::map<std::string, std::string>{
                              {"Task2026120799999990.tsk", "not a regular file (a named pipe)"},
                              {"Task2026120799999991.tsk", "not a regular file (a socket)"},
                              {"Task2026120799999992.tsk", "its identifier is empty"},
                          }));
    EXPECT_FALSE(m_store.readMeetingList<AgendaRecord>(ListFile::Agenda, "2026120799999990"));

    ASSERT_TRUE(ForeignEntries::makeLink("/dev/zero", path("Task2026120799999993.tsk")));
    ASSERT_TRUE(ForeignEntries::makeLink(outsideTask, path("Task2026120799999994.tsk")));
    ASSERT_TRUE(ForeignEntries::makeLink("nowhere", path("Task2026120799999995.tsk")));
    ASSERT_TRUE(ForeignEntries::makeLink("Task2026120799999996.tsk", path("Task2026120799999996.tsk")));
    ASSERT_TRUE(ForeignEntries::makeLink(m_outside.path(), path("Task2026120799999997.tsk")));
    ASSERT_TRUE(ForeignEntries::makeLink("keep/Client5.cli", path("Client5.cli")));
    ASSERT_TRUE(ForeignEntries::makeLink(path("keep/../keep/Client5.cli"), path("Client6.cli")));
    const QStringList before = entries();
    m_store.LoadAll();
    EXPECT_EQ(problems(),
              (std::map<std::string, std::string>{
                  {"Task2026120799999990.tsk", "not a regular file (a named pipe)"},
                  {"Task2026120799999991.tsk", "not a regular file (a socket)"},
                  {"Task2026120799999992.tsk", "its identifier is empty"},
                  {"Task2026120799999993.tsk", "not a regular file (a link to a device)"},
                  {"Task2026120799999994.tsk", "a link to a file outside the data folder"},
                  {"Task2026120799999995.tsk", "a link that leads nowhere"},
                  {"Task2026120799999996.tsk", "a link that leads round in a loop"},
                  {"Task2026120799999997.tsk", "a link to a folder stands where the file should be"},
              }));
    EXPECT_EQ(m_store.projects().size(), 1);
    EXPECT_EQ(m_store.clients().size(), 1) << "links to a file inside the folder are followed";
    EXPECT_TRUE(m_store.clients().contains("5"));
    EXPECT_TRUE(m_store.tasks().isEmpty());
    EXPECT_EQ(entries(), before) << "a load writes nothing for the records it skips";
    // Reading the 3 GB file whole would show here many times over.
    EXPECT_LT(peakKilobytes() - peakBefore, 64 * 1024);
}

TEST_F(ForeignFolderTest, AChangeReplacesALinkInsteadOfWritingWhereItLeads)
{
    const QByteArray outsideBytes = recordBytes<TaskRecord>("77", "outside");
    const QString outsideTask = write(m_outside.filePath("Task77.tsk"), outsideBytes);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("keep"));
    const QByteArray keptBytes = recordBytes<TaskRecord>("78", "kept");
    write(path("keep/Task78.tsk"), keptBytes);
    ASSERT_TRUE(ForeignEntries::makeLink(outsideTask, path("Task77.tsk")));
    ASSERT_TRUE(ForeignEntries::makeLink("keep/Task78.tsk", path("Task78.tsk")));
    ASSERT_TRUE(ForeignEntries::makeLink(m_outside.filePath("gone.tsk"), path("Task79.tsk")));

    for (const QByteArray identifier : {"77", "78"}) {
        TaskRecord changed = task("P", "changed");
        changed.identifier = identifier;
        ASSERT_EQ(m_store.ModifyTask(changed), QString());
        EXPECT_FALSE(ForeignEntries::isLink(m_store.fileName(RecordKind::Task, identifier)));
        QByteArray now;
        ASSERT_TRUE(SafeFile::read(m_store.fileName(RecordKind::Task, identifier), now));
        EXPECT_EQ(now, encodeRecord(changed));
    }
    QByteArray now;
    ASSERT_TRUE(SafeFile::read(outsideTask, now));
    EXPECT_EQ(now, outsideBytes);
    ASSERT_TRUE(SafeFile::read(path("keep/Task78.tsk"), now));
    EXPECT_EQ(now, keptBytes);

    // A delete removes a link that leads nowhere, which is no file to be found.
    EXPECT_EQ(m_store.DeleteTask("79"), QString());
    EXPECT_FALSE(ForeignEntries::isLink(path("Task79.tsk")));
    EXPECT_FALSE(QFile::exists(m_outside.filePath("gone.tsk")));
}

TEST_F(ForeignFolderTest, AReadOnlyLoadRepairsTaskKindsInMemoryOnly)
{
    TaskRecord odd = task("P", "odd", "");
    odd.identifier = "11";
    const QByteArray bytes = encodeRecord(odd);
    write(path("Task11.tsk"), bytes);
    m_store.setReadOnly(true);
    m_store.LoadAll();
    EXPECT_EQ(m_store.GetTask("11").kind, "NonSubTask");
    QByteArray now;
    ASSERT_TRUE(SafeFile::read(path("Task11.tsk"), now));
    EXPECT_EQ(now, bytes);
}
