#include "edits/RecordEdits.h"
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/TextList.h"
#include "store/DemoData.h"
#include "store/RecordFileListing.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <type_traits>
#include <vector>

using namespace korvane;

namespace {

template <class R>
constexpr bool kOfProject = std::is_same_v<R, TaskRecord> || std::is_same_v<R, MeetingRecord> ||
                            std::is_same_v<R, MoneyFlowRecord> || std::is_same_v<R, InvoiceRecord>;

template <class R> std::vector<std::string> keysOf(const RecordMap<R>& map)
{
    std::vector<std::string> keys;
    for (const auto& entry : map)
        keys.push_back(entry.key.toStdString());
    return keys;
}

template <class R> std::vector<std::string> keysOf(const std::vector<const R*>& records)
{
    std::vector<std::string> keys;
    for (const R* record : records)
        keys.push_back(record->identifier.toStdString());
    return keys;
}

std::vector<std::string> problemsOf(const RecordStore& store)
{
    std::vector<std::string> lines;
    for (const LoadProblem& problem : store.loadProblems())
        lines.push_back((problem.path + ": " + problem.reason).toStdString());
    return lines;
}

/**
 * Expects the store to show all that a store loading the folder afresh shows: the records of every
 * kind in enumeration order, every project's records in order, the weighted progress, the problems.
 */
void expectAsLoadedAfresh(const RecordStore& store, const QSet<QByteArray>& projects)
{
    RecordStore fresh(store.workingDirectory());
    fresh.setFolderWatched(false);
    fresh.setLoadThreads(1);
    fresh.LoadAll();
    QSet<QByteArray> allProjects = projects;
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        const std::string kind = kindNames(KindOf<R>::value).word;
        ASSERT_EQ(keysOf(store.records<R>()), keysOf(fresh.records<R>())) << kind;
        for (const auto& entry : fresh.records<R>()) {
            EXPECT_TRUE(*store.records<R>().find(entry.key) == entry.record)
                << kind << " " << entry.key.toStdString();
            if constexpr (kOfProject<R>)
                allProjects.insert(entry.record.projectIdentifier);
        }
    });
    for (const QByteArray& project : allProjects) {
        forEachRecordType([&]<class R>(std::type_identity<R>) {
            if constexpr (kOfProject<R>) {
                EXPECT_EQ(keysOf(store.ofProject<R>(project)), keysOf(fresh.ofProject<R>(project)))
                    << kindNames(KindOf<R>::value).word << " of " << project.toStdString();
                // A project's records come in the order of the whole map.
                std::vector<std::string> inMapOrder;
                for (const auto& entry : fresh.records<R>())
                    if (entry.record.projectIdentifier == project)
                        inMapOrder.push_back(entry.key.toStdString());
                EXPECT_EQ(keysOf(fresh.ofProject<R>(project)), inMapOrder) << project.toStdString();
            }
        });
        EXPECT_EQ(store.weightedProgress(project), fresh.weightedProgress(project)) << project.toStdString();
    }
    EXPECT_EQ(problemsOf(store), problemsOf(fresh));
    auto conflictsOf = [](const RecordStore& s) {
        std::vector<std::string> lines;
        for (const ConflictCopy& copy : s.conflicts())
            lines.push_back((copy.identifier + " " + copy.path.toUtf8()).toStdString());
        return lines;
    };
    EXPECT_EQ(conflictsOf(store), conflictsOf(fresh));
}

/** Random changes to a data folder, made by the store under test, by another store and by hand. */
class Mixer
{
public:
    Mixer(RecordStore& store, unsigned seed) : m_store(store), m_random(seed) {}

    QSet<QByteArray> projects;

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    bool chance(int percent) { return pick(100) < percent; }

    /** One change of a random sort; the rare ones make a refresh read the whole folder. */
    void change(RecordStore& other)
    {
        if (!m_misnamed.isEmpty() && chance(50)) {
            QFile::remove(path(m_misnamed.takeLast()));
            return;
        }
        const int what = pick(100);
        if (what < 15)
            addSome(m_store);
        else if (what < 27)
            modifySome(m_store);
        else if (what < 35)
            deleteSome(m_store);
        else if (what < 47)
            addSome(other);
        else if (what < 55)
            modifySome(other);
        else if (what < 61)
            deleteSome(other);
        else if (what < 69)
            writeFile();
        else if (what < 75)
            removeFile();
        else if (what < 83)
            breakFile();
        else if (what < 91)
            fixFile();
        else if (what < 94)
            addProjectWithTasks(other);
        else if (what < 97)
            writeRepairedTask();
        else
            writeMisnamedFile();
    }

private:
    QString path(const QString& name) const { return m_store.workingDirectory() + '/' + name; }

    QByteArray someProject(const RecordStore& store)
    {
        QList<QByteArray> keys;
        for (const auto& entry : store.projects())
            keys.append(entry.key);
        const QByteArray project =
            keys.isEmpty() || chance(15) ? "P" + QByteArray::number(pick(4)) : keys[pick(int(keys.size()))];
        projects.insert(project);
        return project;
    }

    template <class R> R made(const RecordStore& store, R record)
    {
        const QByteArray text = "v" + QByteArray::number(++m_counter);
        if constexpr (std::is_same_v<R, ProjectRecord> || std::is_same_v<R, MoneyFlowRecord>)
            record.name = text;
        if constexpr (std::is_same_v<R, ClientRecord>)
            record.clientName = text;
        if constexpr (std::is_same_v<R, MeetingRecord> || std::is_same_v<R, InvoiceRecord>)
            record.subject = text;
        if constexpr (std::is_same_v<R, ResourceRecord>) {
            record.name = text;
            record.workingText = chance(50) ? "held in memory only" : "";
        }
        if constexpr (std::is_same_v<R, TaskRecord>) {
            record.name = text;
            record.kind = chance(30) ? TaskRecord::kSubTask : TaskRecord::kTopLevel;
            record.priority = pick(4); // 3 counts for no weight
            record.percentComplete = pick(101);
        }
        if constexpr (kOfProject<R>) {
            if (record.projectIdentifier.isEmpty() || chance(20))
                record.projectIdentifier = someProject(store);
        }
        return record;
    }

    template <class R> const R* someRecord(const RecordStore& store)
    {
        const auto& map = store.records<R>();
        if (map.isEmpty())
            return nullptr;
        int n = pick(int(map.size()));
        for (const auto& entry : map) {
            if (n-- == 0)
                return &entry.record;
        }
        return nullptr;
    }

    /** Calls `f` with the record type of a kind picked at random, tasks most often. */
    template <class F> void onSomeKind(F&& f)
    {
        int n = pick(10);
        forEachRecordType([&]<class R>(std::type_identity<R>) {
            const bool task = std::is_same_v<R, TaskRecord>;
            if (n >= 0 && (n -= task ? 4 : 1) < 0)
                f(std::type_identity<R>{});
        });
    }

    void addSome(RecordStore& store)
    {
        onSomeKind([&]<class R>(std::type_identity<R>) {
            const R record = made(store, emptyRecord<R>());
            const bool task = std::is_same_v<R, TaskRecord>;
            const EditResult added = RecordEdits::add(store, record, task && chance(20) ? pick(3) : -1);
            ASSERT_TRUE(added.ok()) << added.error.toStdString();
            if constexpr (std::is_same_v<R, TaskRecord>) {
                if (record.isSubTask())
                    adopt(store, record.projectIdentifier, added.identifier);
            }
        });
    }

    /** Lists a new sub task under a top-level task of its project, as the task sheet does. */
    void adopt(RecordStore& store, const QByteArray& project, const QByteArray& sub)
    {
        for (const TaskRecord* parent : store.ofProject<TaskRecord>(project)) {
            if (!parent->isSubTask()) {
                TaskRecord changed = *parent;
                changed.subTaskList = TextList::append(changed.subTaskList, sub);
                ASSERT_EQ(store.ModifyTask(changed), QString());
                return;
            }
        }
    }

    void modifySome(RecordStore& store)
    {
        onSomeKind([&]<class R>(std::type_identity<R>) {
            if (const R* found = someRecord<R>(store)) {
                R record = made(store, *found);
                if constexpr (std::is_same_v<R, TaskRecord>)
                    record.subTaskList = found->subTaskList;
                const EditResult modified = RecordEdits::modify(store, record);
                ASSERT_TRUE(modified.ok()) << modified.error.toStdString();
            }
        });
    }

    void deleteSome(RecordStore& store)
    {
        onSomeKind([&]<class R>(std::type_identity<R>) {
            const R* found = someRecord<R>(store);
            if (!found)
                return;
            const QByteArray identifier = found->identifier;
            // As the user deletes it: with what hangs on it.
            const QString error = RecordEdits::remove(store, KindOf<R>::value, identifier).error;
            EXPECT_EQ(error, QString());
        });
    }

    /** Identifiers whose file names sort unlike the identifiers, and that share buckets. */
    QByteArray oddIdentifier()
    {
        static const char* const kOdd[] = {"1", "1!", "1-", "10", "1a", "7 0", "Z", "z~", "\xc3\xa9t\xc3\xa9",
                                           "0"};
        // "A" and "A-" share a bucket, and "TaskA-.tsk" sorts before "TaskA.tsk".
        if (chance(30))
            return chance(50) ? "A" : "A-";
        return QByteArray(kOdd[pick(int(std::size(kOdd)))]) + QByteArray::number(pick(3));
    }

    void writeFile()
    {
        onSomeKind([&]<class R>(std::type_identity<R>) {
            R record = made(m_store, emptyRecord<R>());
            if constexpr (std::is_same_v<R, ResourceRecord>)
                record.workingText.clear();
            record.identifier = oddIdentifier();
            ASSERT_EQ(
                SafeFile::write(m_store.fileName(KindOf<R>::value, record.identifier), encodeRecord(record)),
                QString());
        });
    }

    QStringList recordFiles() const
    {
        QStringList names;
        for (const QString& name : QDir(m_store.workingDirectory()).entryList(QDir::Files, QDir::Name)) {
            if (name.contains('.') && name.section('.', -1).size() == 3)
                names.append(name);
        }
        return names;
    }

    void removeFile()
    {
        const QStringList names = recordFiles();
        if (!names.isEmpty())
            QFile::remove(path(names[pick(int(names.size()))]));
    }

    /** A file that cannot be read as a record: cut short, or not a record at all. */
    void breakFile()
    {
        const QStringList names = recordFiles();
        if (!names.isEmpty() && chance(60)) {
            const QString name = names[pick(int(names.size()))];
            QByteArray bytes;
            ASSERT_TRUE(SafeFile::read(path(name), bytes));
            ASSERT_EQ(SafeFile::write(path(name), bytes.left(bytes.size() / 2)), QString());
            m_broken.append(name);
        } else {
            const QString name = "Task" + QString::number(900 + pick(5)) + ".tsk";
            ASSERT_EQ(SafeFile::write(path(name), "not a record"), QString());
            m_broken.append(name);
        }
    }

    void fixFile()
    {
        if (m_broken.isEmpty())
            return;
        const QString name = m_broken.takeAt(pick(int(m_broken.size())));
        if (chance(30)) {
            QFile::remove(path(name));
            return;
        }
        const std::optional<RecordKind> kind = RecordFileListing::kindOf(name);
        if (!kind || !name.startsWith(kindNames(*kind).prefix))
            return;
        const KindNames names = kindNames(*kind);
        const QByteArray identifier = QFile::encodeName(
            name.mid(qstrlen(names.prefix), name.size() - qstrlen(names.prefix) - qstrlen(names.extension)));
        visitKind(*kind, [&](auto empty) {
            auto record = made(m_store, emptyRecord<decltype(empty)>());
            record.identifier = identifier;
            if constexpr (std::is_same_v<decltype(empty), ResourceRecord>)
                record.workingText.clear();
            ASSERT_EQ(SafeFile::write(path(name), encodeRecord(record)), QString());
        });
    }

    /** A project another program adds, with tasks and a sub task the store has never seen. */
    void addProjectWithTasks(RecordStore& other)
    {
        const AddResult project = other.AddProject(made(other, emptyRecord<ProjectRecord>()));
        ASSERT_TRUE(project.ok());
        projects.insert(project.identifier);
        TaskRecord top = made(other, emptyRecord<TaskRecord>());
        top.projectIdentifier = project.identifier;
        top.kind = TaskRecord::kTopLevel;
        ASSERT_TRUE(other.AddTask(top).ok());
        TaskRecord sub = top;
        sub.kind = TaskRecord::kSubTask;
        const AddResult added = other.AddTask(sub);
        ASSERT_TRUE(added.ok());
        adopt(other, project.identifier, added.identifier);
    }

    /** A task file whose kind a load repairs on disk. */
    void writeRepairedTask()
    {
        TaskRecord record = made(m_store, emptyRecord<TaskRecord>());
        record.kind = "";
        record.identifier = oddIdentifier();
        ASSERT_EQ(
            SafeFile::write(m_store.fileName(RecordKind::Task, record.identifier), encodeRecord(record)),
            QString());
    }

    /** A record in a file its identifier does not name, which only a full read places; removed again later.
     */
    void writeMisnamedFile()
    {
        static const char* const kNames[] = {"Client 5.cli", "Client5.CLI", "odd.cli"};
        const QString name = kNames[pick(3)];
        if (m_misnamed.contains(name))
            return;
        m_misnamed.append(name);
        ClientRecord record = made(m_store, emptyRecord<ClientRecord>());
        record.identifier = "5";
        ASSERT_EQ(SafeFile::write(path(name), encodeRecord(record)), QString());
    }

    RecordStore& m_store;
    std::mt19937 m_random;
    int m_counter = 0;
    QStringList m_broken;
    QStringList m_misnamed;
};

using RefreshFolderTest = test::StoreFolderTest;

/** Runs with the folder watched, and with only the files' stamps compared. */
class RefreshTest : public RefreshFolderTest, public ::testing::WithParamInterface<bool>
{
protected:
    void SetUp() override
    {
        RefreshFolderTest::SetUp();
        m_store.setFolderWatched(GetParam());
    }
};

} // namespace

// The store's own changes and those of other programs, mixed at random: after every refresh the store
// shows exactly what a fresh load shows, whether the folder's watch or the files' stamps tell the changes.
TEST_P(RefreshTest, ShowsWhatAFreshLoadShowsAfterAnyMixOfChanges)
{
    Mixer mixer(m_store, 20070703);
    // Every store here changes records others changed since it read them, on purpose.
    m_store.setOverwriteChanged(true);
    m_store.LoadAll();
    {
        RecordStore other(m_dir.path());
        other.setOverwriteChanged(true);
        for (int i = 0; i < 60; ++i)
            mixer.change(other);
    }
    m_store.LoadAll();
    expectAsLoadedAfresh(m_store, mixer.projects);

    for (int round = 0; round < 40 && !HasFatalFailure(); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        {
            RecordStore other(m_dir.path());
            other.setFolderWatched(false);
            other.setOverwriteChanged(true);
            other.LoadAll();
            const int changes = mixer.pick(8);
            for (int i = 0; i < changes; ++i)
                mixer.change(other);
        }
        m_store.LoadAll();
        expectAsLoadedAfresh(m_store, mixer.projects);
    }
}

// Reloading an unchanged folder keeps the maps; every change made behind the store, also to a file
// the store itself wrote a moment before, must still show, in the order a fresh load gives.
TEST_P(RefreshTest, SeesEveryChangeBehindTheStoreInLoadOrder)
{
    QByteArray ids[4];
    for (int i = 0; i < 4; ++i)
        ids[i] = m_store.AddTask(task("P1", "task " + QByteArray::number(i))).identifier;
    ASSERT_EQ(SafeFile::write(path("Task99.tsk"), "not a record"), QString());
    m_store.LoadAll();
    m_store.LoadAll();
    EXPECT_EQ(m_store.loadProblems().size(), 1);
    EXPECT_EQ(m_store.tasks().size(), 4);

    TaskRecord inside = m_store.GetTask(ids[0]);
    inside.name = "inside";
    ASSERT_EQ(m_store.ModifyTask(inside), QString());
    ASSERT_EQ(m_store.DeleteTask(ids[3]), QString());
    m_store.LoadAll();
    EXPECT_EQ(m_store.GetTask(ids[0]).name, "inside");
    EXPECT_FALSE(m_store.tasks().contains(ids[3]));

    RecordStore other(m_dir.path());
    other.LoadAll();
    TaskRecord outside = other.GetTask(ids[0]);
    outside.name = "outside";
    ASSERT_EQ(other.ModifyTask(outside), QString());
    const QByteArray added = other.AddTask(task("P1", "added outside")).identifier;
    ASSERT_EQ(other.DeleteTask(ids[1]), QString());
    m_store.LoadAll();
    EXPECT_EQ(m_store.GetTask(ids[0]).name, "outside");
    EXPECT_FALSE(m_store.tasks().contains(ids[1]));
    EXPECT_EQ(m_store.GetTask(added).name, "added outside");

    ASSERT_TRUE(m_store.AddTask(task("P1", "added inside")).ok());
    m_store.LoadAll();
    expectAsLoadedAfresh(m_store, {"P1"});
    EXPECT_EQ(m_store.loadProblems().size(), 1);
}

// Files read on several threads give what one thread reading them in order gives: the records and
// their order in every map and project, the tasks repaired, the files skipped, the conflict copies.
TEST_F(RefreshFolderTest, LoadsOnManyThreadsAsOnOne)
{
    DemoOptions options;
    options.projects = 70;
    options.tasksPerProject = 4;
    options.meetingsPerProject = 2;
    ASSERT_TRUE(writeDemoFolder(m_dir.path(), options).ok());
    m_store.setOverwriteChanged(true);
    m_store.LoadAll();
    Mixer mixer(m_store, 19931014);
    {
        RecordStore other(m_dir.path());
        other.setOverwriteChanged(true);
        other.LoadAll();
        for (int i = 0; i < 150; ++i)
            mixer.change(other);
    }
    const QStringList tasks = QDir(m_dir.path()).entryList({"*.tsk"}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i < tasks.size(); i += 9) {
        const QString copy = tasks[i].chopped(4) + ".sync-conflict-20261207-101010-ABCDEF7.tsk";
        ASSERT_TRUE(QFile::copy(path(tasks[i]), path(copy)));
    }
    for (const int threads : {2, 5}) {
        RecordStore parallel(m_dir.path());
        parallel.setFolderWatched(false);
        parallel.setLoadThreads(threads);
        parallel.LoadAll();
        EXPECT_GT(parallel.tasks().size(), 200);
        EXPECT_FALSE(parallel.conflicts().isEmpty());
        expectAsLoadedAfresh(parallel, mixer.projects);
    }
}

// Where the folder is not watched, a file changed again in the time step of the file system's clock
// keeps its stamp: inode, size and times. Writes through a shared mapping to a page written before
// change no time at all, so they stand for that here on any file system (no watch sees them either);
// only the contents noted at the load tell the change.
TEST_F(RefreshFolderTest, StampsSeeARewriteThatKeepsTheStamp)
{
    m_store.setFolderWatched(false);
    const QString name = path("Client1.cli");
    auto statOf = [&name] {
        struct stat info = {};
        ::stat(QFile::encodeName(name).constData(), &info);
        return std::tuple(info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec,
                          info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
    };
    auto bytesOf = [](const QByteArray& clientName) {
        ClientRecord client = emptyRecord<ClientRecord>();
        client.identifier = "1";
        client.clientName = clientName;
        return encodeRecord(client);
    };
    ASSERT_EQ(SafeFile::write(name, bytesOf("before")), QString());
    m_store.LoadAll();
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    uchar* mapped = file.map(0, file.size());
    ASSERT_NE(mapped, nullptr);
    for (const QByteArray clientName : {"after!", "before", "again!"}) {
        std::memcpy(mapped, bytesOf(clientName).constData(), size_t(file.size()));
        const auto stamped = statOf();
        m_store.LoadAll();
        ASSERT_EQ(m_store.GetClient("1").clientName, clientName);
        EXPECT_EQ(statOf(), stamped) << "the file system changed the times of a mapped page written again";
    }
    file.unmap(mapped);
    expectAsLoadedAfresh(m_store, {});
}

INSTANTIATE_TEST_SUITE_P(FolderWatchedOrStampsOnly, RefreshTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Watched" : "StampsOnly";
                         });
