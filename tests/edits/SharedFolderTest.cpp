#include "edits/ConflictEdits.h"
#include "edits/History.h"
#include "edits/HistoryEdits.h"
#include "edits/MeetingEdits.h"
#include "edits/ProjectEdits.h"
#include "edits/RecordEdits.h"
#include "records/RecordCodec.h"
#include "store/SafeFile.h"
#include "store/StoreFolderTest.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

using namespace korvane;
using korvane::test::fileBytes;

namespace {

template <class R> void rename(R& record, const QByteArray& name)
{
    if constexpr (std::is_same_v<R, ClientRecord>)
        record.clientName = name;
    else if constexpr (std::is_same_v<R, MeetingRecord>)
        record.subject = name;
    else if constexpr (std::is_same_v<R, InvoiceRecord>)
        record.invoiceNumber = name;
    else
        record.name = name;
}

template <class R> R named(const QByteArray& name)
{
    R record = emptyRecord<R>();
    rename(record, name);
    if constexpr (requires { record.projectIdentifier; })
        record.projectIdentifier = "P1";
    if constexpr (std::is_same_v<R, TaskRecord>)
        record.kind = TaskRecord::kTopLevel;
    return record;
}

/** The names sync programs and file managers give a second version of a file. */
QStringList copyNames(RecordKind kind, const QByteArray& identifier)
{
    const QString stem = QLatin1String(kindNames(kind).prefix) + QString::fromLatin1(identifier);
    const QString extension = QLatin1String(kindNames(kind).extension);
    return {stem + QStringLiteral(".sync-conflict-20261207-101010-ABCDEF7") + extension,
            stem + QStringLiteral(" (conflicted copy 2026-12-07 101010)") + extension,
            stem + QStringLiteral(" (host's conflicted copy 2026-12-07)") + extension,
            QStringLiteral("Copy of ") + stem + extension};
}

class SharedFolderTest : public test::StoreFolderTest
{
protected:
    template <class R> void expectCopiesListedAndResolved()
    {
        constexpr RecordKind kind = KindOf<R>::value;
        const EditResult added = RecordEdits::add(m_store, named<R>("own"));
        ASSERT_TRUE(added.ok()) << added.error.toStdString();
        const QByteArray id = added.identifier;
        const QString own = m_store.fileName(kind, id);
        const QByteArray ownBytes = fileBytes(own);

        QMap<QString, QByteArray> copies;
        int n = 0;
        for (const QString& name : copyNames(kind, id)) {
            R version = m_store.records<R>().find(id) ? *m_store.records<R>().find(id) : R{};
            rename(version, "copy " + QByteArray::number(++n));
            copies[path(name)] = encodeRecord(version);
            ASSERT_TRUE(SafeFile::write(path(name), copies[path(name)]).isEmpty());
        }

        RecordStore store(m_dir.path());
        store.LoadAll();
        // The record's own file is the record, whatever the copies' names sort like.
        EXPECT_EQ(encodeRecord(*store.records<R>().find(id)), ownBytes);
        EXPECT_EQ(store.records<R>().size(), 1);
        EXPECT_TRUE(store.loadProblems().isEmpty());
        QStringList listed;
        for (const ConflictCopy& copy : store.conflicts()) {
            EXPECT_EQ(copy.kind, kind);
            EXPECT_EQ(copy.identifier, id);
            listed.append(copy.path);
        }
        EXPECT_EQ(listed, QStringList(copies.keys())) << "every copy, in name order";
        EXPECT_EQ(ConflictEdits::versions(store, kind, id).size(), 5);

        const QString keep = path(copyNames(kind, id)[1]);
        const EditResult resolved = ConflictEdits::resolve(store, kind, id, keep);
        ASSERT_TRUE(resolved.ok()) << resolved.error.toStdString();
        EXPECT_EQ(fileBytes(own), copies[keep]) << "exactly the chosen bytes";
        EXPECT_TRUE(store.conflicts().isEmpty());
        // Every copy, the kept one too, is set aside; the old own version is in the history.
        const QDir aside(store.conflictsFolder());
        for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
            EXPECT_FALSE(QFile::exists(it.key()));
            EXPECT_EQ(fileBytes(aside.filePath(QFileInfo(it.key()).fileName())), it.value());
        }
        store.LoadAll();
        EXPECT_TRUE(store.conflicts().isEmpty());
        ASSERT_TRUE(HistoryEdits::undo(store).ok());
        EXPECT_EQ(fileBytes(own), ownBytes);
    }
};

TEST_F(SharedFolderTest, ConflictCopiesOfEveryKindAreListedAndTheChosenVersionKept)
{
    forEachRecordType([&]<class R>(std::type_identity<R>) {
        SCOPED_TRACE(kindNames(KindOf<R>::value).word);
        expectCopiesListedAndResolved<R>();
    });
}

TEST_F(SharedFolderTest, ConflictCopyIsTheRecordWhenTheOwnFileCannotBeRead)
{
    const QByteArray id = RecordEdits::add(m_store, named<TaskRecord>("own")).identifier;
    const QString copy = path(copyNames(RecordKind::Task, id)[0]);
    ASSERT_TRUE(QFile::copy(m_store.fileName(RecordKind::Task, id), copy));
    ASSERT_TRUE(SafeFile::write(m_store.fileName(RecordKind::Task, id), "damaged").isEmpty());
    RecordStore store(m_dir.path());
    store.LoadAll();
    EXPECT_TRUE(store.tasks().contains(id));
    EXPECT_TRUE(store.conflicts().isEmpty());
    EXPECT_EQ(store.loadProblems().size(), 1);
}

TEST_F(SharedFolderTest, ResolvingKeepsTheOwnVersionAndRefusesForeignPaths)
{
    const QByteArray id = RecordEdits::add(m_store, named<ProjectRecord>("own")).identifier;
    const QString own = m_store.fileName(RecordKind::Project, id);
    const QByteArray ownBytes = fileBytes(own);
    const QString copy = path(copyNames(RecordKind::Project, id)[0]);
    ASSERT_TRUE(SafeFile::write(copy, encodeRecord(named<ProjectRecord>("other"))).isEmpty());
    m_store.LoadAll();
    // Holds another identifier: no copy of this record.
    EXPECT_TRUE(m_store.conflicts().isEmpty());

    ProjectRecord version = m_store.GetProject(id);
    version.name = "theirs";
    ASSERT_TRUE(SafeFile::write(copy, encodeRecord(version)).isEmpty());
    m_store.LoadAll();
    ASSERT_EQ(m_store.conflicts().size(), 1);
    EXPECT_FALSE(ConflictEdits::resolve(m_store, RecordKind::Project, id, path("elsewhere.prj")).ok());
    EXPECT_TRUE(QFile::exists(copy));

    // A name taken in the Conflicts folder by an earlier copy stays as it was.
    ASSERT_TRUE(QDir().mkpath(m_store.conflictsFolder()));
    const QString earlier = m_store.conflictsFolder() + '/' + QFileInfo(copy).fileName();
    ASSERT_TRUE(SafeFile::write(earlier, "earlier").isEmpty());
    ASSERT_TRUE(ConflictEdits::resolve(m_store, RecordKind::Project, id, own).ok());
    EXPECT_EQ(fileBytes(own), ownBytes);
    EXPECT_EQ(fileBytes(earlier), "earlier");
    EXPECT_EQ(fileBytes(earlier + " (2)"), encodeRecord(version));
}

/** Two programs on one data folder: each refuses to overwrite what the other wrote since it read it. */
class TwoStoresTest : public SharedFolderTest
{
protected:
    void SetUp() override
    {
        SharedFolderTest::SetUp();
        m_id = RecordEdits::add(m_store, named<TaskRecord>("first")).identifier;
        m_file = m_store.fileName(RecordKind::Task, m_id);
        m_store.LoadAll();
        m_other.setWorkingDirectory(m_dir.path());
        m_other.LoadAll();
    }

    TaskRecord renamed(const RecordStore& store, const QByteArray& name) const
    {
        TaskRecord record = store.GetTask(m_id);
        record.name = name;
        return record;
    }

    void expectRefused(const EditResult& result) const
    {
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.changedElsewhere.has_value());
        EXPECT_NE(result.error.indexOf(QStringLiteral("The task \"")), -1) << result.error.toStdString();
        EXPECT_NE(result.error.indexOf(QStringLiteral("was changed elsewhere")), -1)
            << result.error.toStdString();
    }

    RecordStore m_other;
    QByteArray m_id;
    QString m_file;
};

TEST_F(TwoStoresTest, ModifyAfterModifyIsRefusedUnlessOverwrittenOnPurpose)
{
    ASSERT_TRUE(RecordEdits::modify(m_store, renamed(m_store, "mine")).ok());
    // A store's own writes never count as changes made elsewhere.
    ASSERT_TRUE(RecordEdits::modify(m_store, renamed(m_store, "mine again")).ok());
    const QByteArray mine = fileBytes(m_file);

    expectRefused(RecordEdits::modify(m_other, renamed(m_other, "theirs")));
    EXPECT_EQ(fileBytes(m_file), mine);

    m_other.setOverwriteChanged(true);
    ASSERT_TRUE(RecordEdits::modify(m_other, renamed(m_other, "theirs")).ok());
    m_other.setOverwriteChanged(false);
    EXPECT_EQ(m_other.GetTask(m_id).name, "theirs");
    // The version overwritten is the one the history keeps as before.
    const History history(m_dir.path());
    EXPECT_EQ(history.read(history.entryIds().last())->files.front().before, mine);
    // Read again, the first store sees the new version and may change it.
    expectRefused(RecordEdits::modify(m_store, renamed(m_store, "mine")));
    m_store.LoadAll();
    EXPECT_TRUE(RecordEdits::modify(m_store, renamed(m_store, "mine")).ok());
}

TEST_F(TwoStoresTest, DeleteAndModifyOfTheSameRecordAreRefusedEitherWay)
{
    ASSERT_TRUE(RecordEdits::modify(m_store, renamed(m_store, "mine")).ok());
    expectRefused(RecordEdits::remove(m_other, RecordKind::Task, m_id));
    EXPECT_TRUE(QFile::exists(m_file));
    EXPECT_TRUE(m_other.tasks().contains(m_id));

    m_other.LoadAll();
    ASSERT_TRUE(RecordEdits::remove(m_other, RecordKind::Task, m_id).ok());
    expectRefused(RecordEdits::modify(m_store, renamed(m_store, "mine again")));
    EXPECT_FALSE(QFile::exists(m_file));
    // Removed on both sides loses nothing.
    EXPECT_TRUE(RecordEdits::remove(m_store, RecordKind::Task, m_id).ok());
}

TEST_F(TwoStoresTest, FileOnlyTouchedOrWrittenBackAsItWasIsNoChange)
{
    const QByteArray bytes = fileBytes(m_file);
    ASSERT_TRUE(SafeFile::write(m_file, bytes).isEmpty());
    struct utimbuf times
    {
        1000000000, 1000000000
    };
    ASSERT_EQ(::utime(QFile::encodeName(m_file).constData(), &times), 0);
    EXPECT_TRUE(m_other.isAsRead(RecordKind::Task, m_id));
    EXPECT_TRUE(RecordEdits::modify(m_other, renamed(m_other, "theirs")).ok());
}

TEST_F(TwoStoresTest, ListFilesChangedElsewhereSinceReadAreNotOverwritten)
{
    for (const ListFile file : {ListFile::Agenda, ListFile::Action, ListFile::ProjectDoc}) {
        const QString list = m_store.fileName(file, "M1");
        ASSERT_TRUE(SafeFile::write(list, "first").isEmpty());
        m_store.noteListRead(file, "M1");
        m_other.noteListRead(file, "M1");
        const auto write = [&](RecordStore& store, const QByteArray& bytes) {
            return file == ListFile::ProjectDoc ? ProjectEdits::writeDocuments(store, "M1", bytes)
                                                : MeetingEdits::writeList(store, file, "M1", bytes);
        };
        ASSERT_TRUE(write(m_store, "mine").ok());
        ASSERT_TRUE(write(m_store, "mine again").ok());
        const EditResult refused = write(m_other, "theirs");
        EXPECT_TRUE(refused.changedElsewhere.has_value());
        EXPECT_NE(refused.error.indexOf(QStringLiteral("was changed elsewhere")), -1)
            << refused.error.toStdString();
        EXPECT_EQ(fileBytes(list), "mine again");
        m_other.setOverwriteChanged(true);
        EXPECT_TRUE(write(m_other, "theirs").ok());
        m_other.setOverwriteChanged(false);
        EXPECT_EQ(fileBytes(list), "theirs");
    }
}

} // namespace
