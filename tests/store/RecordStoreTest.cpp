#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

class RecordStoreTest : public test::StoreFolderTest
{
protected:
    QByteArray fileBytes(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    template <class R>
    void writeRecordFile(const QString& name, const R& record)
    {
        ASSERT_EQ(SafeFile::write(path(name), encodeRecord(record)), QString());
    }

    template <class R>
    static QList<QByteArray> keysOf(const RecordMap<R>& map)
    {
        QList<QByteArray> keys;
        for (const auto& entry : map)
            keys.append(entry.key);
        return keys;
    }
};

/** Keys whose bucket is the given one, found by counting upwards. */
QList<QByteArray> keysInBucket(int bucket, int count)
{
    QList<QByteArray> keys;
    for (int n = 0; keys.size() < count; ++n) {
        const QByteArray key = QByteArray::number(n);
        if (RecordId::bucketOf(key) == bucket)
            keys.append(key);
    }
    return keys;
}

/** Makes a folder refuse new files, also for root; false when this machine cannot. */
bool makeReadOnly(const QString& folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    auto writable = [&] {
        QFile probe(folder + "/probe");
        const bool created = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return created;
    };
    if (!writable())
        return true;
    QProcess::execute("chattr", {"+i", folder});
    return !writable();
}

void makeWritable(const QString& folder)
{
    QProcess::execute("chattr", {"-i", folder});
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

TEST(RecordIdentifiers, SixteenDigitsOfTheMomentThenTheBatchNumber)
{
    const QDateTime moment(QDate(2007, 7, 3), QTime(14, 5, 9));
    EXPECT_EQ(RecordId::make(moment), "2007070314050990");
    EXPECT_EQ(RecordId::make(moment, 0), "20070703140509900");
    EXPECT_EQ(RecordId::make(moment, 10), "200707031405099010");
}

TEST(RecordIdentifiers, BucketsHashSignedBytes)
{
    EXPECT_EQ(RecordId::bucketOf(""), 0);
    EXPECT_EQ(RecordId::bucketOf("a"), 97 % 17);
    EXPECT_EQ(RecordId::bucketOf("ab"), (97 * 33 + 98) % 17);
    // 0xE9 counts as -23: h = 0 * 33 - 23 wraps to 2^32 - 23.
    EXPECT_EQ(RecordId::bucketOf("\xe9"), int((std::uint32_t(0) - 23u) % 17u));
}

TEST(RecordMapOrder, BucketsInTurnAndNewestFirstWithinABucket)
{
    RecordMap<ClientRecord> map;
    const QList<QByteArray> bucket3 = keysInBucket(3, 3);
    const QList<QByteArray> bucket1 = keysInBucket(1, 2);
    for (const QByteArray& key : {bucket3[0], bucket1[0], bucket3[1], bucket1[1], bucket3[2]})
        map.insertOrAssign(key, ClientRecord{});
    QList<QByteArray> order;
    for (const auto& entry : map)
        order.append(entry.key);
    EXPECT_EQ(order, (QList<QByteArray>{bucket1[1], bucket1[0], bucket3[2], bucket3[1], bucket3[0]}));
}

TEST(RecordMapOrder, SeventeenCollidingKeysComeNewestFirst)
{
    RecordMap<ClientRecord> map;
    const QList<QByteArray> keys = keysInBucket(5, 17);
    for (const QByteArray& key : keys)
        map.insertOrAssign(key, ClientRecord{});
    QList<QByteArray> order;
    for (const auto& entry : map)
        order.append(entry.key);
    QList<QByteArray> newestFirst(keys.rbegin(), keys.rend());
    EXPECT_EQ(order, newestFirst);
}

TEST(RecordMapOrder, ReplacingKeepsThePlaceButRemoveAndAddMovesToTheFront)
{
    RecordMap<ClientRecord> map;
    const QList<QByteArray> keys = keysInBucket(9, 3);
    for (const QByteArray& key : keys)
        map.insertOrAssign(key, ClientRecord{});
    ClientRecord changed;
    changed.clientName = "changed";
    map.insertOrAssign(keys[0], changed);
    auto order = [&] {
        QList<QByteArray> list;
        for (const auto& entry : map)
            list.append(entry.key);
        return list;
    };
    EXPECT_EQ(order(), (QList<QByteArray>{keys[2], keys[1], keys[0]}));
    EXPECT_EQ(map.find(keys[0])->clientName, "changed");

    map.remove(keys[0]);
    map.insertOrAssign(keys[0], changed);
    EXPECT_EQ(order(), (QList<QByteArray>{keys[0], keys[2], keys[1]}));
    EXPECT_EQ(map.size(), 3);
    EXPECT_FALSE(map.remove("absent"));
}

TEST_F(RecordStoreTest, AddWritesTheFileAndReloadGivesTheSameRecord)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = "Bridge";
    const AddResult added = m_store.AddProject(project);
    ASSERT_TRUE(added.ok()) << added.error.toStdString();
    EXPECT_EQ(added.identifier, "2007070314050990");
    project.identifier = added.identifier;
    EXPECT_EQ(fileBytes("Project2007070314050990.prj"), encodeRecord(project));

    RecordStore reloaded(m_dir.path());
    reloaded.LoadAll();
    EXPECT_EQ(reloaded.GetProject(added.identifier), project);
    EXPECT_TRUE(reloaded.loadProblems().isEmpty());
}

TEST_F(RecordStoreTest, AnIdentifierInUseIsNeverReplaced)
{
    // Three adds in the same second, one of them an import item with a batch number.
    const AddResult first = m_store.AddTask(task("P", "one"));
    const AddResult second = m_store.AddTask(task("P", "two"));
    const AddResult batch = m_store.AddTask(task("P", "three"), 0);
    ASSERT_TRUE(first.ok() && second.ok() && batch.ok());
    EXPECT_EQ(first.identifier, "2007070314050990");
    EXPECT_NE(second.identifier, first.identifier);
    EXPECT_EQ(second.identifier.size(), 16);
    EXPECT_TRUE(std::all_of(second.identifier.begin(), second.identifier.end(), [](char c) { return c >= '0' && c <= '9'; }));
    EXPECT_EQ(batch.identifier, "20070703140509900");
    EXPECT_EQ(m_store.GetTask(first.identifier).name, "one");
    EXPECT_EQ(m_store.GetTask(second.identifier).name, "two");

    // A file left on disk (not loaded) is not overwritten either.
    RecordStore other(m_dir.path());
    const AddResult third = other.AddTask(task("P", "four"));
    ASSERT_TRUE(third.ok());
    EXPECT_NE(third.identifier, first.identifier);
    EXPECT_NE(third.identifier, second.identifier);
    m_store.LoadAll();
    EXPECT_EQ(m_store.tasks().size(), 4);
}

TEST_F(RecordStoreTest, UnknownIdentifiersGiveTheEmptyRecord)
{
    const TaskRecord unknown = m_store.GetTask("nope");
    EXPECT_TRUE(unknown.identifier.isEmpty());
    EXPECT_EQ(unknown.start, DateTime::fromQDateTime(Clock::now()));
    EXPECT_EQ(m_store.DeleteInvoice("nope"), QString());
}

TEST_F(RecordStoreTest, TheFileReadLaterWinsForASharedIdentifier)
{
    ClientRecord a = emptyRecord<ClientRecord>();
    a.identifier = "7";
    a.clientName = "first";
    ClientRecord b = a;
    b.clientName = "second";
    writeRecordFile("ClientB.cli", b);
    writeRecordFile("ClientA.cli", a);
    m_store.LoadAll();
    ASSERT_EQ(m_store.clients().size(), 1);
    EXPECT_EQ(m_store.GetClient("7").clientName, "second");
}

TEST_F(RecordStoreTest, RefreshForgetsRecordsWhoseFilesVanished)
{
    const AddResult added = m_store.AddMoneyFlow(emptyRecord<MoneyFlowRecord>());
    ASSERT_TRUE(added.ok());
    QFile::remove(m_store.fileName(RecordKind::MoneyFlow, added.identifier));
    m_store.LoadAll();
    EXPECT_TRUE(m_store.moneyFlows().isEmpty());
    EXPECT_FALSE(m_store.GetMoneyFlow(added.identifier).identifier == added.identifier);
}

TEST_F(RecordStoreTest, LoadingRepairsTaskKindsOnDisk)
{
    TaskRecord odd = task("P", "odd", "");
    odd.identifier = "11";
    TaskRecord sub = task("P", "sub", TaskRecord::kSubTask);
    sub.identifier = "12";
    writeRecordFile("Task11.tsk", odd);
    writeRecordFile("Task12.tsk", sub);
    m_store.LoadAll();
    EXPECT_EQ(m_store.GetTask("11").kind, "NonSubTask");
    EXPECT_EQ(m_store.GetTask("12").kind, "SubTask");
    odd.kind = "NonSubTask";
    EXPECT_EQ(fileBytes("Task11.tsk"), encodeRecord(odd));
}

TEST_F(RecordStoreTest, MalformedFilesAreSkippedAndListed)
{
    ProjectRecord good = emptyRecord<ProjectRecord>();
    good.identifier = "1";
    writeRecordFile("Project1.prj", good);
    ASSERT_EQ(SafeFile::write(path("Project2.prj"), encodeRecord(good).left(20)), QString());
    ASSERT_EQ(SafeFile::write(path("Project3.prj"), QByteArray::fromHex("01" "31" "ffffffffffff")), QString());
    QDir(m_dir.path()).mkdir("Project4.prj"); // a folder is not a record, and is listed

    m_store.LoadAll();
    EXPECT_EQ(m_store.projects().size(), 1);
    ASSERT_EQ(m_store.loadProblems().size(), 3);
    EXPECT_TRUE(m_store.loadProblems()[0].path.endsWith("Project2.prj"));
    EXPECT_TRUE(m_store.loadProblems()[1].path.endsWith("Project3.prj"));
    EXPECT_TRUE(m_store.loadProblems()[2].path.endsWith("Project4.prj"));
}

TEST_F(RecordStoreTest, ProjectIndexFollowsTheMapOrderThroughChanges)
{
    QList<QByteArray> ids;
    for (int i = 0; i < 6; ++i) {
        TaskRecord record = task(i % 2 ? "odd" : "even", QByteArray::number(i));
        record.identifier = keysInBucket(i % 3, 3)[i / 3];
        ASSERT_EQ(m_store.ModifyTask(record), QString());
        ids.append(record.identifier);
    }
    auto projectOrder = [&](const QByteArray& project) {
        QList<QByteArray> keys;
        for (const TaskRecord* record : m_store.ofProject<TaskRecord>(project))
            keys.append(record->identifier);
        return keys;
    };
    auto mapOrder = [&](const QByteArray& project) {
        QList<QByteArray> keys;
        for (const auto& entry : m_store.tasks())
            if (entry.record.projectIdentifier == project)
                keys.append(entry.key);
        return keys;
    };
    EXPECT_EQ(projectOrder("even"), mapOrder("even"));
    EXPECT_EQ(projectOrder("odd"), mapOrder("odd"));

    TaskRecord moved = m_store.GetTask(ids[0]);
    moved.projectIdentifier = "odd";
    ASSERT_EQ(m_store.ModifyTask(moved), QString());
    ASSERT_EQ(m_store.DeleteTask(ids[1]), QString());
    EXPECT_EQ(projectOrder("even"), mapOrder("even"));
    EXPECT_EQ(projectOrder("odd"), mapOrder("odd"));
    EXPECT_EQ(projectOrder("odd").size(), 3);
    EXPECT_TRUE(projectOrder("none").isEmpty());
}

TEST_F(RecordStoreTest, WeightedProgressWeighsByPriority)
{
    auto add = [&](const QByteArray& project, int priority, int percent) {
        TaskRecord record = task(project, "t");
        record.priority = priority;
        record.percentComplete = percent;
        ASSERT_TRUE(m_store.AddTask(record).ok());
    };
    add("P", TaskRecord::High, 100);  // 300 / 3
    add("P", TaskRecord::Medium, 50); // 100 / 2
    add("P", TaskRecord::Low, 0);     // 0 / 1
    add("P", 7, 100);                 // skipped
    EXPECT_EQ(m_store.weightedProgress("P"), 400 / 6);
    EXPECT_EQ(m_store.weightedProgress("no tasks"), 0);

    // The figure follows every change: a modify, a move to another project, a delete, a reload.
    const TaskRecord* high = nullptr;
    for (const TaskRecord* t : m_store.ofProject<TaskRecord>("P"))
        if (t->priority == TaskRecord::High)
            high = t;
    ASSERT_NE(high, nullptr);
    TaskRecord changed = *high;
    changed.percentComplete = 40; // 120 + 100 + 0 over 6
    ASSERT_EQ(m_store.ModifyTask(changed), QString());
    EXPECT_EQ(m_store.weightedProgress("P"), 220 / 6);
    changed.projectIdentifier = "Q";
    ASSERT_EQ(m_store.ModifyTask(changed), QString());
    EXPECT_EQ(m_store.weightedProgress("P"), 100 / 3);
    EXPECT_EQ(m_store.weightedProgress("Q"), 40);
    ASSERT_EQ(m_store.DeleteTask(changed.identifier), QString());
    EXPECT_EQ(m_store.weightedProgress("Q"), 0);
    m_store.LoadAll();
    EXPECT_EQ(m_store.weightedProgress("P"), 100 / 3);
}

TEST_F(RecordStoreTest, AFailedWriteIsReportedAndChangesNothing)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = "before";
    const QByteArray id = m_store.AddProject(project).identifier;
    const QByteArray before = fileBytes("Project" + QString::fromLatin1(id) + ".prj");
    if (!makeReadOnly(m_dir.path())) {
        makeWritable(m_dir.path());
        GTEST_SKIP() << "this machine lets every write through a read-only folder";
    }

    ProjectRecord changed = m_store.GetProject(id);
    changed.name = "after";
    const QString modifyError = m_store.ModifyProject(changed);
    const AddResult added = m_store.AddTask(task(id, "new"));
    const QString deleteError = m_store.DeleteProject(id);
    const QByteArray after = fileBytes("Project" + QString::fromLatin1(id) + ".prj");
    makeWritable(m_dir.path());

    EXPECT_TRUE(modifyError.contains("Project" + QString::fromLatin1(id) + ".prj")) << modifyError.toStdString();
    EXPECT_FALSE(added.ok());
    EXPECT_FALSE(deleteError.isEmpty());
    EXPECT_EQ(after, before);
    EXPECT_EQ(m_store.GetProject(id).name, "before");
    EXPECT_TRUE(m_store.tasks().isEmpty());
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left behind";
}

TEST_F(RecordStoreTest, IdentifiersThatCannotNameAFileTouchNoFile)
{
    QTemporaryDir outside;
    TaskRecord escaping = task("P", "escape");
    for (const QByteArray& identifier : {QByteArray("/../x"), QByteArray("a\\b"), QByteArray("a\nb")}) {
        escaping.identifier = identifier;
        EXPECT_FALSE(m_store.ModifyTask(escaping).isEmpty()) << identifier.constData();
        EXPECT_FALSE(m_store.tasks().contains(identifier));
    }

    // A file whose identifier holds a separator, or none at all, is malformed: a repair of its kind
    // would write a file for it elsewhere.
    TaskRecord odd = task("P", "odd", "");
    odd.identifier = "../../Task1";
    writeRecordFile("Task1.tsk", odd);
    odd.identifier = "";
    writeRecordFile("Task2.tsk", odd);
    m_store.LoadAll();
    EXPECT_TRUE(m_store.tasks().isEmpty());
    ASSERT_EQ(m_store.loadProblems().size(), 2);
    EXPECT_EQ(m_store.loadProblems()[0].reason, "its identifier \"..%2F..%2FTask1\" cannot name a file");
    EXPECT_EQ(m_store.loadProblems()[1].reason, "its identifier is empty");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), (QStringList{"Task1.tsk", "Task2.tsk"}));
}
