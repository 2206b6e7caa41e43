#include "edits/ApplyChange.h"
#include "edits/HistoryEdits.h"
#include "edits/MeetingEdits.h"
#include "edits/ProjectEdits.h"
#include "edits/RecordEdits.h"
#include "edits/TaskEdits.h"
#include "records/RecordCodec.h"
#include "store/CurrencyList.h"
#include "store/ProgramFolder.h"
#include "store/StoreFolderTest.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

class UndoRedoTest : public test::StoreFolderTest
{
protected:
    template <class R> QByteArray pick(QRandomGenerator& random) const
    {
        const auto& map = m_store.records<R>();
        if (map.isEmpty())
            return {};
        auto it = map.begin();
        for (int steps = int(random.bounded(map.size())); steps > 0; --steps)
            ++it;
        return it->key;
    }

    /** One change of a kind picked at random, as the desktop program and the command line make them. */
    void randomChange(QRandomGenerator& random, int round)
    {
        const QByteArray name = "name " + QByteArray::number(round);
        const QByteArray project = pick<ProjectRecord>(random);
        switch (project.isEmpty() ? 0 : random.bounded(9)) {
        case 0: {
            ProjectRecord record = emptyRecord<ProjectRecord>();
            record.name = name;
            ASSERT_TRUE(ProjectEdits::addProject(m_store, record, emptyRecord<ClientRecord>(), QByteArray(34, 'd')).ok());
            break;
        }
        case 1:
            ASSERT_TRUE(RecordEdits::add(m_store, task(project, name)).ok());
            break;
        case 2: {
            const QByteArray parent = TaskEdits::topLevelTaskOf(m_store, pick<TaskRecord>(random));
            if (!parent.isEmpty()) {
                ASSERT_TRUE(TaskEdits::addSubTask(m_store, task({}, name), parent).ok());
            }
            break;
        }
        case 3: {
            const QByteArray id = pick<TaskRecord>(random);
            if (id.isEmpty())
                break;
            TaskRecord changed = m_store.GetTask(id);
            changed.percentComplete = int(random.bounded(101));
            changed.projectIdentifier = random.bounded(4) == 0 ? project : changed.projectIdentifier;
            ASSERT_TRUE(RecordEdits::modify(m_store, changed).ok());
            break;
        }
        case 4: {
            const QByteArray meeting = MeetingEdits::addForSheet(m_store, project).identifier;
            AgendaRecord item = emptyRecord<AgendaRecord>();
            item.name = name;
            MeetingRecord record = m_store.GetMeeting(meeting);
            record.subject = name;
            ASSERT_TRUE(MeetingEdits::modifyMeeting(m_store, record, encodeList(QList<AgendaRecord>{item})).ok());
            break;
        }
        case 5:
            if (const QByteArray id = pick<TaskRecord>(random); !id.isEmpty()) {
                ASSERT_TRUE(RecordEdits::remove(m_store, RecordKind::Task, id).ok());
            }
            break;
        case 6:
            if (const QByteArray id = pick<MeetingRecord>(random); !id.isEmpty()) {
                ASSERT_TRUE(RecordEdits::remove(m_store, RecordKind::Meeting, id).ok());
            }
            break;
        case 7:
            ASSERT_TRUE(ProjectEdits::commitSynopsis(m_store, project, name + "\r\nsynopsis").ok());
            break;
        default:
            ASSERT_TRUE(RecordEdits::remove(m_store, RecordKind::Project, project).ok());
            break;
        }
    }
};

TEST_F(UndoRedoTest, UndoingEveryChangeGivesBackTheFirstFolderAndRedoingTheLast)
{
    for (const quint32 seed : {1u, 2u}) {
        SCOPED_TRACE(seed);
        // Each round of changes starts on an empty folder with no history.
        ASSERT_TRUE(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path()));
        m_store.LoadAll();
        QRandomGenerator random(seed);
        const auto start = folderBytes();
        int changes = 0;
        for (int round = 0; round < 80; ++round) {
            const auto before = folderBytes();
            randomChange(random, round);
            if (folderBytes() != before)
                ++changes;
        }
        const auto end = folderBytes();

        int undone = 0;
        while (!HistoryEdits::undoDescription(m_store).isEmpty()) {
            const EditResult result = HistoryEdits::undo(m_store);
            ASSERT_TRUE(result.ok()) << result.error.toStdString();
            ++undone;
        }
        EXPECT_GE(undone, changes);
        EXPECT_EQ(folderBytes(), start);
        EXPECT_TRUE(m_store.projects().isEmpty() && m_store.tasks().isEmpty() && m_store.meetings().isEmpty());

        while (!HistoryEdits::redoDescription(m_store).isEmpty())
            ASSERT_TRUE(HistoryEdits::redo(m_store).ok());
        EXPECT_EQ(folderBytes(), end);
        RecordStore reloaded(m_dir.path());
        reloaded.LoadAll();
        EXPECT_EQ(reloaded.tasks().size(), m_store.tasks().size());
        EXPECT_EQ(reloaded.projects().size(), m_store.projects().size());
    }
}

TEST_F(UndoRedoTest, RestoringPastChangesPutsBackExactlyTheirFiles)
{
    QRandomGenerator random(3);
    // The folder before each change, by the change's entry: what a restore of it must bring back.
    QMap<QByteArray, QMap<QString, QByteArray>> before;
    const History history(m_dir.path());
    for (int round = 0; round < 60; ++round) {
        const auto folder = folderBytes();
        const qsizetype kept = history.entryIds().size();
        randomChange(random, round);
        // A round that made two changes (a meeting added, then its agenda written) has no one folder before each.
        if (const QList<QByteArray> ids = history.entryIds(); ids.size() == kept + 1)
            before.insert(ids.last(), folder);
    }
    const QList<QByteArray> past = before.keys();
    for (int round = 0; round < 25; ++round) {
        const QByteArray id = past[int(random.bounded(past.size()))];
        // The model: every file the change touched as it was before it; every other file as it is now.
        QMap<QString, QByteArray> expected = folderBytes();
        const std::optional<HistoryEntry> entry = history.read(id);
        ASSERT_TRUE(entry);
        for (const HistoryEntry::File& file : entry->files) {
            const QString name = QFileInfo(filePath(m_store, file.file)).fileName();
            if (before[id].contains(name))
                expected[name] = before[id][name];
            else
                expected.remove(name);
        }
        const EditResult restored = HistoryEdits::restore(m_store, id, true);
        ASSERT_TRUE(restored.ok()) << restored.error.toStdString();
        EXPECT_TRUE(folderBytes() == expected) << "restore of " << entry->description.toStdString();
        // The store holds what a fresh load of the folder holds.
        RecordStore reloaded(m_dir.path());
        reloaded.LoadAll();
        EXPECT_EQ(reloaded.tasks().size(), m_store.tasks().size());
        EXPECT_EQ(reloaded.meetings().size(), m_store.meetings().size());
        EXPECT_EQ(reloaded.projects().size(), m_store.projects().size());
    }
}

TEST_F(UndoRedoTest, UndoAndRestoreRefuseWhatWasChangedElsewhere)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = "Cedar Hill";
    const QByteArray id = ProjectEdits::addProject(m_store, project, emptyRecord<ClientRecord>()).identifier;
    const QByteArray taskId = RecordEdits::add(m_store, task(id, "Pour")).identifier;
    const QByteArray addTaskChange = History(m_dir.path()).entryIds().last();
    ASSERT_TRUE(RecordEdits::remove(m_store, RecordKind::Project, id).ok());
    const QByteArray deletedChange = History(m_dir.path()).entryIds().last();
    EXPECT_EQ(HistoryEdits::undoDescription(m_store), "Delete Project \"Cedar Hill\"");

    // Another program writes a record the delete removed: undo would overwrite it, so it refuses.
    RecordStore other(m_dir.path());
    TaskRecord written = task(id, "Written elsewhere");
    written.identifier = taskId;
    ASSERT_EQ(other.ModifyTask(written), "");
    const auto before = folderBytes();
    const EditResult refused = HistoryEdits::undo(m_store);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.contains("Pour") && refused.error.contains("changed elsewhere"))
        << refused.error.toStdString();
    EXPECT_EQ(folderBytes(), before);

    // Restore says what touched the records later and goes on only when told to.
    ASSERT_TRUE(QFile::remove(m_store.fileName(RecordKind::Task, taskId)));
    QStringList later;
    EXPECT_FALSE(HistoryEdits::restore(m_store, addTaskChange, false, &later).ok());
    EXPECT_FALSE(later.isEmpty());
    ASSERT_TRUE(HistoryEdits::restore(m_store, deletedChange, true).ok());
    m_store.LoadAll();
    EXPECT_TRUE(m_store.projects().contains(id));
    EXPECT_EQ(m_store.GetTask(taskId).name, "Pour");
}

} // namespace

namespace {

TEST_F(UndoRedoTest, TheCurrencyListIsUndoneLikeAnyRecord)
{
    QTemporaryDir program;
    setProgramFolderForTesting(program.path());
    const auto reset = qScopeGuard([] { setProgramFolderForTesting({}); });
    CurrencyList list = CurrencyList::load();
    const QByteArray before = CurrencyList::load().fileBytes();
    const qsizetype kept = History(m_dir.path()).entryIds().size();

    // Closing the dialog saves the list each time; an unchanged list is no change.
    ASSERT_TRUE(ProjectEdits::saveCurrencyList(m_store, list).ok());
    EXPECT_EQ(History(m_dir.path()).entryIds().size(), kept);

    list.findOrAdd("CHF");
    ASSERT_TRUE(ProjectEdits::saveCurrencyList(m_store, list).ok());
    EXPECT_EQ(HistoryEdits::undoDescription(m_store), "Change Currency Formats");
    ASSERT_TRUE(HistoryEdits::undo(m_store).ok());
    EXPECT_EQ(CurrencyList::load().fileBytes(), before);
    ASSERT_TRUE(HistoryEdits::redo(m_store).ok());
    EXPECT_TRUE(CurrencyList::load().contains("CHF"));
}

} // namespace
