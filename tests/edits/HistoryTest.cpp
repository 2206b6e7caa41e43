#include "edits/History.h"
#include "records/RecordCodec.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace korvane;

namespace {

class HistoryTest : public test::StoreFolderTest
{
protected:
    HistoryEntry entry(const QString& description, const QByteArray& identifier, std::optional<QByteArray> before,
                       std::optional<QByteArray> after, ChangeKind kind = ChangeKind::Plain,
                       const QByteArray& target = {})
    {
        HistoryEntry made;
        made.description = description;
        made.kind = kind;
        made.target = target;
        made.records = {{RecordKind::Task, identifier, "P", before ? RecordAction::Modify : RecordAction::Add}};
        made.files = {{FileRef{RecordKind::Task, identifier}, before, after}};
        return made;
    }

    QString taskFile(const QByteArray& identifier) const { return m_store.fileName(RecordKind::Task, identifier); }
};

TEST_F(HistoryTest, AnEntryReadsBackAsItWasWrittenWhateverItsBytes)
{
    History history(m_dir.path());
    HistoryEntry written = entry("Modify Task \"Zoë\"", "1", QByteArray("\x00\xff\r\n", 4), std::nullopt);
    written.files.push_back({FileRef{ListFile::Agenda, "2"}, std::nullopt, QByteArray("agenda")});
    ASSERT_EQ(history.begin(written), "");
    EXPECT_TRUE(history.entryIds().isEmpty()) << "a begun entry is not finished";
    history.finish(written);

    const auto read = history.read(written.id);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->description, written.description);
    EXPECT_EQ(read->records, written.records);
    ASSERT_EQ(read->files.size(), 2u);
    EXPECT_EQ(read->files[0].before, QByteArray("\x00\xff\r\n", 4));
    EXPECT_FALSE(read->files[0].after);
    EXPECT_EQ(std::get<ListFile>(read->files[1].file.type), ListFile::Agenda);
    EXPECT_FALSE(History::decode("{\"id\": \"1\", \"files\": [{\"type\": \"task\", \"identifier\": \"../x\"}]}"))
        << "an identifier that leads out of the folder is refused";
    EXPECT_FALSE(History::decode("not json"));
}

TEST_F(HistoryTest, UndoAndRedoFollowTheOrderOfTheEntries)
{
    History history(m_dir.path());
    QList<QByteArray> ids;
    for (const char* name : {"a", "b", "c"}) {
        HistoryEntry made = entry(name, name, std::nullopt, QByteArray(name));
        ASSERT_EQ(history.begin(made), "");
        history.finish(made);
        ids.append(made.id);
    }
    EXPECT_EQ(history.entryIds(), ids) << "entries made in one millisecond still sort as they were made";
    EXPECT_EQ(history.undoTarget(), ids[2]);
    EXPECT_EQ(history.redoTarget(), "");

    const auto step = [&](ChangeKind kind, const QByteArray& target) {
        HistoryEntry made = entry("step", "x", std::nullopt, QByteArray("x"), kind, target);
        ASSERT_EQ(history.begin(made), "");
        history.finish(made);
    };
    step(ChangeKind::Undo, ids[2]);
    step(ChangeKind::Undo, ids[1]);
    EXPECT_EQ(history.undoTarget(), ids[0]);
    EXPECT_EQ(history.redoTarget(), ids[1]);
    step(ChangeKind::Redo, ids[1]);
    EXPECT_EQ(history.undoTarget(), ids[1]);
    EXPECT_EQ(history.redoTarget(), ids[2]);
    HistoryEntry fresh = entry("new", "d", std::nullopt, QByteArray("d"));
    ASSERT_EQ(history.begin(fresh), "");
    history.finish(fresh);
    EXPECT_EQ(history.undoTarget(), fresh.id);
    EXPECT_EQ(history.redoTarget(), "") << "a new change ends what could be redone";
}

TEST_F(HistoryTest, AnInterruptedChangeIsPutBackAndAFinishedOneKept)
{
    ASSERT_EQ(SafeFile::write(taskFile("1"), "old one"), "");
    ASSERT_EQ(SafeFile::write(taskFile("2"), "old two"), "");
    History history(m_dir.path());

    // Cut by a power failure after its first file: the folder goes back to the state before it.
    HistoryEntry cut = entry("Delete Project \"Cedar Hill\"", "1", QByteArray("old one"), std::nullopt);
    cut.files.push_back({FileRef{RecordKind::Task, "2"}, QByteArray("old two"), QByteArray("new two")});
    cut.files.push_back({FileRef{RecordKind::Task, "3"}, std::nullopt, QByteArray("new three")});
    ASSERT_EQ(history.begin(cut), "");
    ASSERT_TRUE(QFile::remove(taskFile("1")));
    ASSERT_EQ(SafeFile::write(taskFile("3"), "new three"), "");

    const QStringList told = history.recover(m_store);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("Cedar Hill")) << told[0].toStdString();
    QByteArray bytes;
    ASSERT_TRUE(SafeFile::read(taskFile("1"), bytes));
    EXPECT_EQ(bytes, "old one");
    ASSERT_TRUE(SafeFile::read(taskFile("2"), bytes));
    EXPECT_EQ(bytes, "old two");
    EXPECT_FALSE(QFile::exists(taskFile("3")));
    EXPECT_TRUE(history.entryIds().isEmpty());

    // Cut after its last file but before it was marked: it stays, as finished.
    HistoryEntry whole = entry("Modify Task", "2", QByteArray("old two"), QByteArray("new two"));
    ASSERT_EQ(history.begin(whole), "");
    ASSERT_EQ(SafeFile::write(taskFile("2"), "new two"), "");
    EXPECT_TRUE(history.recover(m_store).isEmpty());
    EXPECT_EQ(history.entryIds(), QList<QByteArray>{whole.id});
    EXPECT_TRUE(history.recover(m_store).isEmpty()) << "told once";
}

TEST_F(HistoryTest, PruningKeepsTheNewestAndTheYoung)
{
    History history(m_dir.path());
    QList<QByteArray> ids;
    for (int day = 0; day < 6; ++day) {
        Clock::setFixed(QDateTime(QDate(2026, 1, 1).addDays(day * 30), QTime(12, 0)));
        HistoryEntry made = entry("change", "1", std::nullopt, QByteArray(1000, 'x'));
        ASSERT_EQ(history.begin(made), "");
        history.finish(made);
        ids.append(made.id);
    }
    Clock::setFixed(QDateTime(QDate(2026, 6, 1), QTime(12, 0)));
    history.prune(0, 2, 90);
    // Everything of the last 90 days stays, and at least the newest two; older ones go.
    const QList<QByteArray> left = history.entryIds();
    EXPECT_EQ(left, ids.mid(3)) << left.join(' ').toStdString();
    history.prune(qint64(1) << 40, 0, 0);
    EXPECT_EQ(history.entryIds(), left) << "nothing goes while the history is within its size";
}

TEST_F(HistoryTest, ALongRunOfChangesIsTrimmedAsItGoes)
{
    History history(m_dir.path());
    const auto run = [&](int changes) {
        for (int i = 0; i < changes; ++i) {
            HistoryEntry made = entry("change", "1", std::nullopt, QByteArray(100, 'x'));
            ASSERT_EQ(history.begin(made), "");
            history.finish(made);
        }
    };
    SafeFile::deferFlush(true);
    History::setMaxBytes(1);
    // Over the limit from the start, but every entry is young: all stay, however often it is looked at.
    // (Later than any other test's clock: identifiers never sort before the last one made.)
    Clock::setFixed(QDateTime(QDate(2091, 1, 1), QTime(12, 0)));
    run(1100);
    EXPECT_EQ(history.entryIds().size(), 1100);
    // Once they are old, the run's next changes trim the history down to the newest 1,000.
    Clock::setFixed(QDateTime(QDate(2091, 6, 1), QTime(12, 0)));
    run(128);
    const qsizetype left = history.entryIds().size();
    EXPECT_GE(left, 1000);
    EXPECT_LT(left, 1064) << "trimmed at least once in the last 64 changes";
    History::setMaxBytes(History::kDefaultMaxBytes);
    SafeFile::deferFlush(false);
}

} // namespace
