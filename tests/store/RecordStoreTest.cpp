#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"

#include <QDir>
#include <QFile>
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

// Buckets in turn, newest first within one (also seventeen colliding keys); replacing keeps the
// place, removing and adding again moves to the front.
TEST(RecordMapOrder, BucketsInTurnAndNewestFirstWithinABucket)
{
    RecordMap<ClientRecord> map;
    const auto order = [](const RecordMap<ClientRecord>& of) {
        QList<QByteArray> list;
        for (const auto& entry : of)
            list.append(entry.key);
        return list;
    };
    const QList<QByteArray> bucket3 = keysInBucket(3, 3);
    const QList<QByteArray> bucket1 = keysInBucket(1, 2);
    for (const QByteArray& key : {bucket3[0], bucket1[0], bucket3[1], bucket1[1], bucket3[2]})
        map.insertOrAssign(key, ClientRecord{});
    EXPECT_EQ(order(map), (QList<QByteArray>{bucket1[1], bucket1[0], bucket3[2], bucket3[1], bucket3[0]}));

    RecordMap<ClientRecord> colliding;
    const QList<QByteArray> keys = keysInBucket(5, 17);
    for (const QByteArray& key : keys)
        colliding.insertOrAssign(key, ClientRecord{});
    EXPECT_EQ(order(colliding), QList<QByteArray>(keys.rbegin(), keys.rend()));

    ClientRecord changed;
    changed.clientName = "changed";
    colliding.insertOrAssign(keys[0], changed);
    EXPECT_EQ(order(colliding).last(), keys[0]);
    EXPECT_EQ(colliding.find(keys[0])->clientName, "changed");
    colliding.remove(keys[0]);
    colliding.insertOrAssign(keys[0], changed);
    EXPECT_EQ(order(colliding).first(), keys[0]);
    EXPECT_EQ(colliding.size(), 17);
    EXPECT_FALSE(colliding.remove("absent"));
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
    // How the figure follows changes is RefreshTest's: against a fresh load.
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
