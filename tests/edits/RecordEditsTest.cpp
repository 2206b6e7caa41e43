#include "edits/RecordEdits.h"
#include "edits/ApplyChange.h"
#include "edits/MeetingEdits.h"
#include "edits/ProjectEdits.h"
#include "edits/TaskEdits.h"
#include "records/RecordCodec.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

class RecordEditsTest : public test::StoreFolderTest
{
protected:
    QByteArray addTask(const QByteArray& project, const QByteArray& name,
                       const char* kind = TaskRecord::kTopLevel)
    {
        const EditResult added = RecordEdits::add(m_store, task(project, name, kind));
        EXPECT_TRUE(added.ok()) << added.error.toStdString();
        return added.identifier;
    }

    /** A project with a client, documents, a task with a sub task, a meeting with lists, money flow, an
     * invoice. */
    QByteArray addFullProject(const QByteArray& name)
    {
        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.name = name;
        const EditResult added =
            ProjectEdits::addProject(m_store, project, emptyRecord<ClientRecord>(), QByteArray("documents"));
        EXPECT_TRUE(added.ok()) << added.error.toStdString();
        const QByteArray id = added.identifier;
        const QByteArray parent = addTask(id, "parent");
        EXPECT_TRUE(TaskEdits::addSubTask(m_store, task({}, "sub"), parent).ok());
        const QByteArray meeting = MeetingEdits::addForSheet(m_store, id).identifier;
        EXPECT_TRUE(
            MeetingEdits::writeList(m_store, ListFile::Agenda, meeting, encodeList(QList<AgendaRecord>{}))
                .ok());
        EXPECT_EQ(SafeFile::write(m_store.fileName(ListFile::Attendees, meeting), "x"), "");
        MoneyFlowRecord money = emptyRecord<MoneyFlowRecord>();
        money.projectIdentifier = id;
        EXPECT_TRUE(RecordEdits::add(m_store, money).ok());
        InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
        invoice.projectIdentifier = id;
        EXPECT_TRUE(RecordEdits::add(m_store, invoice).ok());
        return id;
    }
};

TEST_F(RecordEditsTest, DeletingAProjectTakesEverythingButInvoicesAndResourcesInOneChange)
{
    const QByteArray other = addTask("other", "not mine");
    const QByteArray resource = RecordEdits::add(m_store, emptyRecord<ResourceRecord>()).identifier;
    const QByteArray id = addFullProject("Cedar Hill");

    const Change change = RecordEdits::removeChange(m_store, RecordKind::Project, id);
    EXPECT_EQ(change.description(), "Delete Project \"Cedar Hill\"");
    EXPECT_EQ(change.records().size(), 6); // project, client, two tasks, meeting, money flow: no invoice
    ASSERT_TRUE(RecordEdits::remove(m_store, RecordKind::Project, id).ok());

    EXPECT_TRUE(m_store.projects().isEmpty());
    EXPECT_TRUE(m_store.clients().isEmpty());
    EXPECT_EQ(m_store.tasks().size(), 1);
    EXPECT_TRUE(m_store.tasks().contains(other));
    EXPECT_TRUE(m_store.meetings().isEmpty());
    EXPECT_TRUE(m_store.moneyFlows().isEmpty());
    EXPECT_EQ(m_store.invoices().size(), 1);
    EXPECT_TRUE(m_store.resources().contains(resource));
    QStringList left = folderBytes().keys();
    EXPECT_EQ(left.size(), 3) << left.join(' ').toStdString(); // other task, invoice, resource
}

TEST_F(RecordEditsTest, AChangeThatCannotFinishPutsBackEveryFileAndRecord)
{
    const QByteArray id = addFullProject("Cedar Hill");
    const QByteArray meeting = m_store.meetings().begin()->key;
    // A folder where the action list should be cannot be removed: the delete fails half way.
    ASSERT_TRUE(
        QDir(m_dir.path()).mkpath(QFileInfo(m_store.fileName(ListFile::Action, meeting)).fileName() + "/x"));
    const auto before = folderBytes();
    const qsizetype tasks = m_store.tasks().size();

    const EditResult result = RecordEdits::remove(m_store, RecordKind::Project, id);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.error.contains("Action")) << result.error.toStdString();
    EXPECT_EQ(folderBytes(), before);
    EXPECT_TRUE(m_store.projects().contains(id));
    EXPECT_EQ(m_store.clients().size(), 1);
    EXPECT_EQ(m_store.tasks().size(), tasks);
    EXPECT_EQ(m_store.weightedProgress(id), 0);
    EXPECT_TRUE(m_store.meetings().contains(meeting));
}

TEST_F(RecordEditsTest, SubTasksAreLinkedToTheirParentAndFollowIt)
{
    const QByteArray parent = addTask("P", "parent");
    TaskRecord withTail = m_store.GetTask(parent);
    withTail.subTaskList = "tail without line feed";
    ASSERT_TRUE(RecordEdits::modify(m_store, withTail).ok());

    const EditResult a = TaskEdits::addSubTask(m_store, task("ignored", "a"), parent);
    ASSERT_TRUE(a.ok()) << a.error.toStdString();
    const TaskRecord sub = m_store.GetTask(a.identifier);
    EXPECT_EQ(sub.kind, TaskRecord::kSubTask);
    EXPECT_EQ(sub.projectIdentifier, "P");
    // The entry goes before text that no line feed ends, so it counts and the tail keeps its bytes.
    EXPECT_EQ(m_store.GetTask(parent).subTaskList, a.identifier + "\ntail without line feed");
    EXPECT_EQ(TaskEdits::topLevelTaskOf(m_store, a.identifier), parent);
    EXPECT_FALSE(TaskEdits::addSubTask(m_store, task("P", "b"), a.identifier).ok()) << "sub tasks have none";

    // A top-level task moved to another project takes its sub tasks; a sub task elsewhere stays.
    TaskRecord moved = m_store.GetTask(parent);
    const QByteArray stray = addTask("Q", "elsewhere", TaskRecord::kSubTask);
    moved.subTaskList = a.identifier + "\n" + stray + "\n";
    moved.projectIdentifier = "R";
    ASSERT_TRUE(RecordEdits::modify(m_store, moved).ok());
    EXPECT_EQ(m_store.GetTask(a.identifier).projectIdentifier, "R");
    EXPECT_EQ(m_store.GetTask(stray).projectIdentifier, "Q");

    // Deleting a sub task takes it out of its parent's list; deleting the parent takes its sub tasks.
    const QByteArray b = TaskEdits::addSubTask(m_store, task({}, "b"), parent).identifier;
    ASSERT_TRUE(RecordEdits::remove(m_store, RecordKind::Task, a.identifier).ok());
    EXPECT_EQ(m_store.GetTask(parent).subTaskList, stray + "\n" + b + "\n");
    RecordStore reloaded(m_dir.path());
    reloaded.LoadAll();
    EXPECT_EQ(reloaded.GetTask(parent).subTaskList, stray + "\n" + b + "\n");
    ASSERT_TRUE(RecordEdits::remove(m_store, RecordKind::Task, parent).ok());
    EXPECT_FALSE(m_store.tasks().contains(b));
    EXPECT_FALSE(m_store.tasks().contains(stray)) << "a sub task its list names goes with it";
    EXPECT_TRUE(m_store.tasks().isEmpty());
}

TEST_F(RecordEditsTest, ASubTaskWhoseParentCannotBeSavedIsNotKept)
{
    const QByteArray parent = addTask("P", "parent");
    const QString parentFile = m_store.fileName(RecordKind::Task, parent);
    ASSERT_TRUE(QFile::remove(parentFile));
    ASSERT_TRUE(QDir().mkpath(parentFile + "/x")); // the parent's file cannot be replaced
    const auto before = folderBytes();

    const EditResult result = TaskEdits::addSubTask(m_store, task({}, "sub"), parent);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(m_store.tasks().size(), 1);
    EXPECT_EQ(m_store.GetTask(parent).subTaskList, "");
    EXPECT_EQ(folderBytes(), before);
}

TEST_F(RecordEditsTest, AMeetingAddedForItsSheetGoesWithItsListsOnCancel)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    const QByteArray id = ProjectEdits::addProject(m_store, project, emptyRecord<ClientRecord>()).identifier;
    const auto before = folderBytes();
    const EditResult added = MeetingEdits::addForSheet(m_store, id);
    ASSERT_TRUE(added.ok());
    EXPECT_EQ(m_store.GetMeeting(added.identifier).clientIdentifier, m_store.GetProject(id).clientIdentifier);
    ASSERT_TRUE(MeetingEdits::writeList(m_store, ListFile::Action, added.identifier,
                                        encodeList(QList<ActionRecord>{}))
                    .ok());
    ASSERT_TRUE(MeetingEdits::cancelAdded(m_store, added.identifier).ok());
    EXPECT_EQ(folderBytes(), before);
    EXPECT_TRUE(m_store.meetings().isEmpty());
}

TEST_F(RecordEditsTest, AProjectWithoutAUsableClientGetsOneAndTheSynopsisAloneChanges)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = "Cedar Hill";
    const QByteArray id = ProjectEdits::addProject(m_store, project, emptyRecord<ClientRecord>()).identifier;
    ProjectRecord stored = m_store.GetProject(id);
    ASSERT_TRUE(m_store.clients().contains(stored.clientIdentifier));

    ClientRecord client = emptyRecord<ClientRecord>();
    client.identifier = "bad/identifier";
    ASSERT_TRUE(ProjectEdits::modifyProject(m_store, stored, client).ok());
    EXPECT_EQ(m_store.clients().size(), 2);
    EXPECT_NE(m_store.GetProject(id).clientIdentifier, stored.clientIdentifier);

    ASSERT_TRUE(ProjectEdits::commitSynopsis(m_store, id, "a long synopsis\r\nof two lines").ok());
    EXPECT_EQ(m_store.GetProject(id).synopsis, "a long synopsis\r\nof two lines");
    EXPECT_EQ(m_store.GetProject(id).name, "Cedar Hill");
    EXPECT_FALSE(ProjectEdits::commitSynopsis(m_store, "gone", "text").ok());
}

TEST_F(RecordEditsTest, ChangesSayWhatTheyDoAndWhichRecordsTheyTouch)
{
    TaskRecord sub = task("P", "Survey", TaskRecord::kSubTask);
    sub.identifier = "1";
    EXPECT_EQ(RecordEdits::describe("Modify", sub), "Modify Sub Task \"Survey\"");
    MoneyFlowRecord money = emptyRecord<MoneyFlowRecord>();
    money.kind = MoneyFlowRecord::Expense;
    money.name = "Fees";
    EXPECT_EQ(RecordEdits::describe("Add", money), "Add Expense \"Fees\"");

    // A record added and changed in one change is an add; one added and removed again is none.
    Change change;
    change.put(sub, RecordAction::Add);
    change.put(sub, RecordAction::Modify);
    ASSERT_EQ(change.records().size(), 1);
    EXPECT_EQ(change.records()[0].action, RecordAction::Add);
    EXPECT_EQ(change.records()[0].project, "P");
    change.erase(sub);
    EXPECT_TRUE(change.records().isEmpty());
    EXPECT_EQ(change.steps().size(), 3);
}

} // namespace
