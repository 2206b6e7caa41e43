#include "edits/RecordEdits.h"
#include "records/RecordCodec.h"
#include "reports/DetailsReport.h"
#include "store/CurrencyList.h"
#include "store/LoginFiles.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "support/NoFileOverride.h"
#include "views/DetailsTrees.h"
#include "views/ProjectListModel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <sys/resource.h>

using namespace korvane;
using korvane::test::NoFileOverride;
// Records are built with designated initializers; the fields left out are meant to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        EXPECT_TRUE(SafeFile::read(folder + '/' + name, files[name])) << name.toStdString();
    return files;
}

/** Lowers this process's file-size limit while it lives, with SIGXFSZ ignored so a write fails instead. */
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

class StoreFaultsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_store.setWorkingDirectory(m_dir.path());
        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.name = "Bridge";
        m_project = m_store.AddProject(project).identifier;
        for (const char* name : {"Pour", "Paint"}) {
            TaskRecord task = emptyRecord<TaskRecord>();
            task.projectIdentifier = m_project;
            task.kind = TaskRecord::kTopLevel;
            task.name = name;
            m_tasks.append(m_store.AddTask(task).identifier);
        }
        ASSERT_EQ(m_store.tasks().size(), 2);
    }

    /** The store's records as their file bytes, to tell that memory did not change. */
    std::map<QString, QByteArray> memory() const
    {
        std::map<QString, QByteArray> records;
        for (const auto& entry : m_store.projects())
            records[m_store.fileName(RecordKind::Project, entry.key)] = encodeRecord(entry.record);
        for (const auto& entry : m_store.tasks())
            records[m_store.fileName(RecordKind::Task, entry.key)] = encodeRecord(entry.record);
        return records;
    }

    /** Adding, modifying and deleting each fail naming the file, and neither memory nor disk changes. */
    void expectEveryChangeRefused(const QString& why)
    {
        const auto disk = snapshot(m_dir.path());
        const auto before = memory();
        TaskRecord task = m_store.GetTask(m_tasks[0]);
        task.name = QByteArray(4096, 'n');
        const QString modifyError = m_store.ModifyTask(task);
        EXPECT_TRUE(modifyError.startsWith(m_store.fileName(RecordKind::Task, m_tasks[0]) + ": "))
            << why.toStdString() << ": " << modifyError.toStdString();
        const AddResult added = m_store.AddTask(task);
        EXPECT_FALSE(added.ok()) << why.toStdString();
        EXPECT_TRUE(added.error.contains(m_dir.path())) << added.error.toStdString();
        const QString deleteError = RecordEdits::remove(m_store, RecordKind::Project, m_project).error;
        // The change's history entry is written first, and a folder that refuses it stops the change.
        EXPECT_TRUE(deleteError.contains(m_dir.path() + "/History")) << deleteError.toStdString();
        // Nor is a cut-off entry left behind.
        EXPECT_EQ(QDir(m_dir.filePath("History")).entryList(QDir::Files | QDir::Hidden), QStringList());
        EXPECT_EQ(memory(), before) << why.toStdString();
        EXPECT_EQ(snapshot(m_dir.path()), disk) << why.toStdString();
    }

    QTemporaryDir m_dir;
    RecordStore m_store;
    QByteArray m_project;
    QList<QByteArray> m_tasks;
};

TEST_F(StoreFaultsTest, FullDiskRefusesEveryWriteAndKeepsOldFilesWhole)
{
    const QString agenda = m_store.fileName(ListFile::Agenda, "M1");
    ASSERT_EQ(SafeFile::write(agenda, encodeList(QList<AgendaRecord>{{"Old item", DateTime::null()}})), "");
    LoginFiles login(m_dir.path());
    ASSERT_TRUE(login.load(true).messages.isEmpty());
    const QString documentsPath = m_store.fileName(ListFile::ProjectDoc, m_project);
    ASSERT_EQ(ProjectDocuments().write(documentsPath), "");
    const QString currencyPath = m_dir.filePath(QStringLiteral("currency.cur"));
    CurrencyList currencies = CurrencyList::load(currencyPath);

    const QByteArray big(4096, 'x');
    const std::map<QString, std::function<QString()>> writes = {
        {agenda,
         [&] {
             return SafeFile::write(agenda, encodeList(QList<AgendaRecord>{{big, DateTime::null()}}));
         }},
        {login.detailsPath(), [&] { return login.changeLogin("a", "b", big, "q", "a"); }},
        {documentsPath,
         [&] {
             ProjectDocuments documents;
             documents.row(0).path = big;
             return documents.write(documentsPath);
         }},
        {currencyPath,
         [&] {
             currencies.findOrAdd(big);
             return currencies.save();
         }},
    };

    const FileSizeLimit limit(1024);
    expectEveryChangeRefused(QStringLiteral("full disk"));
    const auto disk = snapshot(m_dir.path());
    for (const auto& [path, write] : writes) {
        const QString error = write();
        EXPECT_TRUE(error.startsWith(path + ": ")) << path.toStdString() << " -> " << error.toStdString();
        EXPECT_GT(error.size(), path.size() + 2) << "the reason is missing";
    }
    EXPECT_EQ(snapshot(m_dir.path()), disk);
}

TEST_F(StoreFaultsTest, ReadOnlyFolderRefusesEveryChange)
{
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    {
        const NoFileOverride noOverride;
        if (!noOverride.active()) {
            QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            GTEST_SKIP() << noOverride.error();
        }
        expectEveryChangeRefused(QStringLiteral("read-only folder"));
    }
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    TaskRecord task = m_store.GetTask(m_tasks[0]);
    task.name = "Pour again";
    EXPECT_EQ(m_store.ModifyTask(task), "");
}

TEST_F(StoreFaultsTest, FolderOrUnreadableFileInPlaceOfARecordIsSkippedWithItsReason)
{
    const QString unreadable = m_store.fileName(RecordKind::Task, m_tasks[0]);
    const QString folder = m_store.fileName(RecordKind::Task, "T-folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(unreadable, QFile::WriteOwner));
    {
        const NoFileOverride noOverride;
        if (!noOverride.active())
            GTEST_SKIP() << noOverride.error();
        m_store.LoadAll();
        std::map<QString, QString> problems;
        for (const LoadProblem& problem : m_store.loadProblems())
            problems[problem.path] = problem.reason;
        ASSERT_EQ(problems.size(), 2u);
        EXPECT_EQ(problems[folder], "a folder stands where the file should be");
        EXPECT_TRUE(problems[unreadable].contains("ermission")) << problems[unreadable].toStdString();
        EXPECT_EQ(m_store.projects().size(), 1);
        ASSERT_EQ(m_store.tasks().size(), 1);
        EXPECT_TRUE(m_store.tasks().contains(m_tasks[1]));

        TaskRecord task = m_store.GetTask(m_tasks[1]);
        task.name = "Paint twice";
        EXPECT_EQ(m_store.ModifyTask(task), "");
        const AddResult added = m_store.AddTask(task);
        EXPECT_TRUE(added.ok()) << added.error.toStdString();
    }
    QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner);
    m_store.LoadAll();
    EXPECT_EQ(m_store.tasks().size(), 3);
    EXPECT_EQ(m_store.GetTask(m_tasks[1]).name, "Paint twice");
}

TEST_F(StoreFaultsTest, PiecesOfAnInterruptedSaveAreNotRecords)
{
    // The temporary names an atomic save uses: the record's file name and six random letters.
    const QString project = m_store.fileName(RecordKind::Project, m_project);
    const QString task = m_store.fileName(RecordKind::Task, m_tasks[0]);
    QFile::copy(project, project + QStringLiteral(".aB3xYz"));
    SafeFile::write(task + QStringLiteral(".Q1w2E3"), encodeRecord(m_store.GetTask(m_tasks[0])).left(20));

    m_store.LoadAll();
    EXPECT_TRUE(m_store.loadProblems().isEmpty());
    EXPECT_EQ(m_store.tasks().size(), 2);
    ProjectListModel list;
    list.fill(m_store, QDate(1899, 1, 1), QDate(2100, 12, 1), true);
    ASSERT_EQ(list.rows().size(), 1u);
    EXPECT_EQ(list.rows()[0].text, "Bridge");
}

// ---- texts written by the Windows program, in Windows-1252 ----

const QByteArray kCafe = "Caf\xe9 M\xfcller";
const QByteArray kResume = "R\xe9sum\xe9";
const QByteArray kNaive = "na\xefve";
const QByteArray kEuro = "\x80 fee";

class LegacyTextTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_store.setWorkingDirectory(m_dir.path());
        m_project = emptyRecord<ProjectRecord>();
        m_project.identifier = "P1";
        m_project.name = kCafe;
        m_project.synopsis = kResume;
        m_project.startDate = DateTime::fromDate(QDate(2007, 7, 3));
        m_task = emptyRecord<TaskRecord>();
        m_task.identifier = "T1";
        m_task.projectIdentifier = "P1";
        m_task.kind = TaskRecord::kTopLevel;
        m_task.name = kResume;
        m_task.resources = kNaive + '\n';
        put(m_project);
        put(m_task);
        put(MeetingRecord{.identifier = "M1", .projectIdentifier = "P1", .subject = kNaive});
        put(MoneyFlowRecord{.identifier = "F1", .projectIdentifier = "P1", .name = kEuro});
        m_store.LoadAll();
        ASSERT_TRUE(m_store.loadProblems().isEmpty());
    }

    template <class R> void put(const R& record)
    {
        ASSERT_EQ(
            SafeFile::write(m_store.fileName(KindOf<R>::value, record.identifier), encodeRecord(record)), "");
    }

    QByteArray fileOf(RecordKind kind, const QByteArray& identifier) const
    {
        QByteArray bytes;
        EXPECT_TRUE(SafeFile::read(m_store.fileName(kind, identifier), bytes));
        return bytes;
    }

    QTemporaryDir m_dir;
    RecordStore m_store;
    ProjectRecord m_project;
    TaskRecord m_task;
};

QString labels(const TreeNode& node)
{
    QString text = node.label + '\n';
    for (const TreeNode& child : node.children)
        text += labels(child);
    return text;
}

TEST_F(LegacyTextTest, AccentedLettersShowInListTreesAndReport)
{
    ProjectListModel list;
    list.fill(m_store, QDate(2007, 1, 1), QDate(2007, 12, 1), true);
    ASSERT_EQ(list.rows().size(), 1u);
    EXPECT_EQ(list.rows()[0].text, QStringLiteral("Café Müller"));

    EXPECT_TRUE(labels(buildTaskTree(m_store, "P1")).contains(QStringLiteral("Résumé")));
    EXPECT_TRUE(labels(buildMeetingTree(m_store, "P1")).contains(QStringLiteral("naïve")));
    EXPECT_TRUE(labels(buildMoneyFlowTree(m_store, "P1")).contains(QStringLiteral("€ fee")));

    const QString page =
        DetailsReport::generate(m_store, "P1", QLocale(QLocale::English, QLocale::UnitedStates));
    for (const QString& text :
         {QStringLiteral("Café Müller"), QStringLiteral("Résumé"), QStringLiteral("naïve")})
        EXPECT_TRUE(page.contains(text)) << text.toStdString();
}

TEST_F(LegacyTextTest, ModifyingOneFieldWritesTheOthersBackByteForByte)
{
    TaskRecord task = m_store.GetTask("T1");
    task.percentComplete = 40;
    ASSERT_EQ(m_store.ModifyTask(task), "");
    m_task.percentComplete = 40;
    EXPECT_EQ(fileOf(RecordKind::Task, "T1"), encodeRecord(m_task));

    ProjectRecord project = m_store.GetProject("P1");
    project.projectCode = "C-1";
    ASSERT_EQ(m_store.ModifyProject(project), "");
    m_project.projectCode = "C-1";
    EXPECT_EQ(fileOf(RecordKind::Project, "P1"), encodeRecord(m_project));
}

} // namespace
