#include "CliFixture.h"
#include "edits/RecordEdits.h"
#include "store/RecordStore.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

using namespace korvane;
using namespace korvane::test;

namespace {

class SharedFolderCliTest : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_id = add("task", R"({"name": "theirs", "project_identifier": "P1"})");
        m_file = path(QStringLiteral("Task%1.tsk").arg(QString::fromLatin1(m_id)));
    }

    QByteArray nameJson(const char* name) const
    {
        return R"({"identifier": ")" + m_id + R"(", "name": ")" + name + R"("})";
    }

    /** Starts `modify task`, and waits until it has read the folder and waits for its input. */
    bool startModify(QProcess& process, const QStringList& extra)
    {
        prepare(process);
        process.start(QStringLiteral(KORVANE_CLI), QStringList{"--data", m_data, "modify", "task"} + extra);
        if (!process.waitForStarted())
            return false;
        // The command reads the folder first, then blocks reading standard input: read(0, ...).
        const QString syscall = QStringLiteral("/proc/%1/syscall").arg(process.processId());
        for (QDeadlineTimer deadline(60000); !deadline.hasExpired(); QThread::msleep(20)) {
            QFile file(syscall);
            if (!file.open(QIODevice::ReadOnly))
                return false;
            const QList<QByteArray> fields = file.readAll().split(' ');
            if (fields.size() > 1 && fields[0] == "0" && fields[1] == "0x0")
                return true;
        }
        return false;
    }

    QByteArray m_id;
    QString m_file;
};

TEST_F(SharedFolderCliTest, ConflictCopiesAreListedCheckedAndResolved)
{
    const QString copy = path(
        QStringLiteral("Task%1.sync-conflict-20261207-101010-ABCDEF7.tsk").arg(QString::fromLatin1(m_id)));
    ASSERT_TRUE(QFile::copy(m_file, copy));
    ASSERT_EQ(cli({"modify", "task"}, nameJson("mine")).code, 0);
    const QByteArray theirs = fileBytes(copy);

    const CliRun listed = cli({"conflicts"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out, "task\t" + m_id + '\t' + copy.toUtf8() + '\n');
    const CliRun checked = cli({"check"});
    EXPECT_EQ(checked.code, 3);
    EXPECT_TRUE(checked.out.startsWith(copy.toUtf8() + ": a conflicting copy")) << checked.out.toStdString();
    EXPECT_TRUE(cli({"show", "task", m_id}).out.contains("\"mine\""));

    const auto before = snapshot(m_data);
    EXPECT_EQ(cli({"resolve", "task", m_id, "--keep", path("Task1.tsk")}).code, 2);
    EXPECT_EQ(cli({"resolve", "task", m_id, "--keep"}).code, 1);
    EXPECT_EQ(snapshot(m_data), before);

    const CliRun resolved = cli({"resolve", "task", m_id, "--keep", copy});
    ASSERT_EQ(resolved.code, 0) << resolved.err.toStdString();
    EXPECT_EQ(fileBytes(m_file), theirs);
    EXPECT_EQ(fileBytes(path("Conflicts/") + QFileInfo(copy).fileName()), theirs);
    EXPECT_EQ(cli({"conflicts"}).out, "");
    EXPECT_EQ(cli({"check"}).code, 0);
}

TEST_F(SharedFolderCliTest, ACommandBesideAStoreNeverOverwritesWhatTheOtherWrote)
{
    RecordStore store(m_data);
    store.LoadAll();
    QProcess process;
    if (!startModify(process, {}))
        GTEST_SKIP() << "the command's wait for input cannot be seen in /proc here";
    // The store changes the task while the command waits for its input.
    TaskRecord task = store.GetTask(m_id);
    task.name = "store";
    ASSERT_TRUE(RecordEdits::modify(store, task).ok());

    // The command reads the record only once it knows which one: it changes the store's version.
    process.write(nameJson("command"));
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray written = fileBytes(m_file);

    // The store's next write would undo the command's: refused, until it overwrites on purpose.
    task.name = "store again";
    const EditResult refused = RecordEdits::modify(store, task);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.contains("changed elsewhere")) << refused.error.toStdString();
    EXPECT_EQ(fileBytes(m_file), written);
    store.setOverwriteChanged(true);
    EXPECT_TRUE(RecordEdits::modify(store, task).ok());
}

} // namespace
