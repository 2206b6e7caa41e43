#include "store/FolderFollower.h"
#include "store/StoreFolderTest.h"

#include <QCoreApplication>
#include <QFile>
#include <QThreadPool>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

/** A store on a folder with a project and three tasks, with another program's store beside it. */
class FolderFollowerTest : public test::StoreFolderTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        StoreFolderTest::SetUp();
        m_project = m_store.AddProject(emptyRecord<ProjectRecord>()).identifier;
        for (const char* name : {"Dig", "Pour", "Paint"})
            m_tasks.append(m_store.AddTask(task(m_project, name)).identifier);
        m_store.LoadAll();
        m_follower.restart();
        ASSERT_EQ(m_follower.watched(), GetParam());
        m_other.LoadAll();
    }

    /** What the follower learns at `now`: from the watch, or by comparing stamps. */
    void look(qint64 now)
    {
        if (GetParam())
            m_follower.takeWatchEvents(now);
        else
            m_follower.poll(now);
    }

    QByteArray m_project;
    QList<QByteArray> m_tasks;
    FolderFollower m_follower{m_store, GetParam()};
    RecordStore m_other{m_dir.path()};
};

} // namespace

TEST_P(FolderFollowerTest, countsChangesMadeElsewhereWaitsForThemToSettleAndReadsThem)
{
    // The program's own change does not count.
    TaskRecord own = m_store.GetTask(m_tasks[0]);
    own.name = "Dig deeper";
    ASSERT_EQ(m_store.ModifyTask(own), "");
    look(0);
    EXPECT_EQ(m_follower.pending(), 0);
    EXPECT_FALSE(m_follower.dueIn(0));

    TaskRecord changed = m_other.GetTask(m_tasks[1]);
    changed.name = "Pour there";
    ASSERT_EQ(m_other.ModifyTask(changed), "");
    look(100);
    EXPECT_EQ(m_follower.pending(), 1);
    EXPECT_EQ(m_follower.dueIn(600), 500);

    // A further change restarts the settling.
    // Added first: with the clock fixed, the removed task's identifier would be handed out again.
    const QByteArray added = m_other.AddTask(task(m_project, "Sand")).identifier;
    ASSERT_EQ(m_other.DeleteTask(m_tasks[2]), "");
    look(900);
    EXPECT_EQ(m_follower.pending(), 3);
    EXPECT_EQ(m_follower.dueIn(1000), 900);
    EXPECT_EQ(m_follower.dueIn(5000), 0);

    // An open editor holds the update; closed, it is due at once.
    m_follower.setHeld(true);
    EXPECT_FALSE(m_follower.dueIn(5000));
    m_follower.setHeld(false);
    EXPECT_EQ(m_follower.dueIn(5000), 0);

    EXPECT_EQ(m_follower.update(), 3);
    EXPECT_EQ(m_store.GetTask(m_tasks[0]).name, "Dig deeper");
    EXPECT_EQ(m_store.GetTask(m_tasks[1]).name, "Pour there");
    EXPECT_FALSE(m_store.tasks().contains(m_tasks[2]));
    EXPECT_EQ(m_store.GetTask(added).name, "Sand");
    EXPECT_EQ(m_follower.pending(), 0);

    // What the update read is not news afterwards.
    look(6000);
    EXPECT_EQ(m_follower.pending(), 0);
    EXPECT_FALSE(m_follower.update());
}

TEST_P(FolderFollowerTest, changeUndoneBeforeTheUpdateReadsNothing)
{
    const QString file = m_store.fileName(RecordKind::Task, m_tasks[0]);
    QFile original(file);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    TaskRecord changed = m_other.GetTask(m_tasks[0]);
    changed.name = "elsewhere";
    ASSERT_EQ(m_other.ModifyTask(changed), "");
    look(0);
    EXPECT_EQ(m_follower.pending(), 1);
    QFile back(file);
    ASSERT_TRUE(back.open(QIODevice::WriteOnly | QIODevice::Truncate));
    back.write(bytes);
    back.close();
    const quint64 generation = m_store.generation();
    EXPECT_FALSE(m_follower.update());
    EXPECT_EQ(m_store.generation(), generation);
}

TEST_P(FolderFollowerTest, conflictCopyArrivingIsListed)
{
    const QString own = m_store.fileName(RecordKind::Task, m_tasks[0]);
    QString copy = own;
    copy.replace(QLatin1String(".tsk"), QLatin1String(".sync-conflict-20261207-101010-ABCDEF7.tsk"));
    ASSERT_TRUE(QFile::copy(own, copy));
    look(0);
    EXPECT_EQ(m_follower.update(), 1);
    ASSERT_EQ(m_store.conflicts().size(), 1);
    EXPECT_EQ(m_store.conflicts().first().path, copy);
}

TEST_P(FolderFollowerTest, comparisonOnAnotherThreadIsTakenInByTheEventLoopOneAtATime)
{
    if (GetParam())
        GTEST_SKIP() << "a watched folder is not compared";
    TaskRecord changed = m_other.GetTask(m_tasks[1]);
    changed.name = "Pour there";
    ASSERT_EQ(m_other.ModifyTask(changed), "");
    int done = 0;
    const auto clock = [] { return qint64(100); };
    m_follower.startPoll(clock, [&] { ++done; });
    m_follower.startPoll(clock, [&] { ++done; });
    // Nothing is taken in before the event loop runs, and the second call started nothing.
    EXPECT_TRUE(m_follower.isPolling());
    EXPECT_EQ(m_follower.pending(), 0);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(m_follower.isPolling());
    EXPECT_EQ(m_follower.pending(), 1);
    EXPECT_EQ(m_follower.dueIn(600), 500);

    // A follower gone while its comparison runs hears nothing of it.
    {
        FolderFollower gone(m_store, false);
        gone.startPoll(clock, [&] { ++done; });
    }
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(done, 1);
}

INSTANTIATE_TEST_SUITE_P(WatchedOrPolled, FolderFollowerTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Watched" : "Polled"; });
