#include "records/RecordCodec.h"
#include "store/RecordId.h"
#include "store/RecordStore.h"
#include "store/StoreFolderTest.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <random>

using namespace korvane;

namespace {

class PartialLoadTest : public test::StoreFolderTest
{
protected:
    void write(const QByteArray& name, const QByteArray& bytes)
    {
        QFile file(path(QString::fromLatin1(name)));
        // A name that a folder took already stays a folder.
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QByteArray idAt(int seconds) const
    {
        return RecordId::make(QDateTime(QDate(2007, 7, 3), QTime(14, 5, 9)).addSecs(seconds));
    }

    /**
     * A folder as other programs leave one: tasks and meetings under the names the store gives them,
     * some with a second file whose extension differs in letter case (so two files carry one
     * identifier), damaged files, folders in place of files, and the identifiers the fixed clock
     * issues next already taken.
     */
    std::vector<QByteArray> randomFolder(std::mt19937& random)
    {
        std::vector<QByteArray> ids;
        const int count = 5 + int(random() % 20);
        for (int i = 0; i < count; ++i) {
            const QByteArray id = idAt(int(random() % 40));
            ids.push_back(id);
            TaskRecord record = task("P1", "task " + QByteArray::number(i));
            record.identifier = id;
            switch (random() % 6) {
            case 0:
                write("Task" + id + ".TSK", encodeRecord(record));
                break;
            case 1:
                write("Task" + id + ".tsk", "damaged");
                break;
            case 2:
                QDir().mkpath(path(QString::fromLatin1("Task" + id + ".tsk")));
                break;
            default:
                write("Task" + id + ".tsk", encodeRecord(record));
            }
            MeetingRecord meeting = emptyRecord<MeetingRecord>();
            meeting.identifier = id;
            meeting.subject = "meeting " + QByteArray::number(i);
            if (random() % 3 == 0)
                write("Meeting" + id + (random() % 2 ? ".met" : ".MET"), encodeRecord(meeting));
        }
        ids.push_back(idAt(99)); // known to no file
        return ids;
    }
};

TEST_F(PartialLoadTest, ReadsTheRecordALoadOfTheWholeFolderGives)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        const std::vector<QByteArray> ids = randomFolder(random);
        RecordStore whole(m_dir.path());
        whole.setReadOnly(true);
        whole.LoadAll();
        for (const QByteArray& id : ids) {
            RecordStore some(m_dir.path());
            some.setReadOnly(true);
            ASSERT_TRUE(some.LoadRecords({{RecordKind::Task, id}, {RecordKind::Meeting, id}}));
            const TaskRecord* task = some.tasks().find(id);
            ASSERT_EQ(task != nullptr, whole.tasks().contains(id)) << "seed " << seed << " " << id.data();
            if (task) {
                EXPECT_TRUE(*task == *whole.tasks().find(id)) << "seed " << seed << " " << id.data();
            }
            const MeetingRecord* meeting = some.meetings().find(id);
            ASSERT_EQ(meeting != nullptr, whole.meetings().contains(id)) << "seed " << seed;
            if (meeting) {
                EXPECT_TRUE(*meeting == *whole.meetings().find(id)) << "seed " << seed;
            }
        }
        // New identifiers keep clear of every file, whatever the letter case of its extension.
        RecordStore listed(m_dir.path());
        ASSERT_TRUE(listed.LoadRecords({{RecordKind::Task, {}}}));
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(listed.issueIdentifier(RecordKind::Task), whole.issueIdentifier(RecordKind::Task))
                << "seed " << seed;
        }
    }
}

TEST_F(PartialLoadTest, RefusesWhereFileNamesDoNotTellTheRecords)
{
    TaskRecord record = task("P1", "moved");
    record.identifier = idAt(1);
    write("Task" + idAt(2) + ".tsk", encodeRecord(record)); // holds another identifier than its name
    record.identifier = idAt(3);
    write("Task" + idAt(3) + ".tsk", encodeRecord(record));
    MeetingRecord meeting = emptyRecord<MeetingRecord>();
    meeting.identifier = " " + idAt(4); // stored under a name without its blank
    write("Meeting" + idAt(4) + ".met", encodeRecord(meeting));

    RecordStore store(m_dir.path());
    EXPECT_TRUE(store.LoadRecords({{RecordKind::Task, idAt(3)}}));
    EXPECT_FALSE(store.LoadRecords({{RecordKind::Task, idAt(2)}}));
    EXPECT_FALSE(store.LoadRecords({{RecordKind::Meeting, idAt(4)}}));

    // A name no identifier gives its file leaves every record of the kind unplaced.
    write("task" + idAt(5) + ".tsk", encodeRecord(record));
    RecordStore other(m_dir.path());
    EXPECT_FALSE(other.LoadRecords({{RecordKind::Task, idAt(3)}}));
    EXPECT_TRUE(other.LoadRecords({{RecordKind::Meeting, idAt(6)}}));
}

} // namespace

namespace {

TEST_F(PartialLoadTest, ARepairWritesOnlyTheFileTheRecordCameFrom)
{
    // An old copy whose task kind a load repairs, and the record's own, newer file.
    TaskRecord old = task("P1", "old");
    old.identifier = idAt(1);
    old.kind = "";
    write("Task" + idAt(1) + ".TSK", encodeRecord(old));
    TaskRecord current = task("P1", "current");
    current.identifier = idAt(1);
    write("Task" + idAt(1) + ".tsk", encodeRecord(current));

    RecordStore whole(m_dir.path());
    whole.LoadAll();
    EXPECT_EQ(whole.tasks().find(idAt(1))->name, "current");
    RecordStore some(m_dir.path());
    ASSERT_TRUE(some.LoadRecords({{RecordKind::Task, idAt(1)}}));
    EXPECT_EQ(some.tasks().find(idAt(1))->name, "current");
    const auto files = folderBytes();
    EXPECT_EQ(files.value(QString::fromLatin1("Task" + idAt(1) + ".tsk")), encodeRecord(current));
}

} // namespace
