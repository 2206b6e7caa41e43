// The main window when the data folder fails under it: read-only, gone, or holding files that cannot
// be read. Permissions are tested for real, also when the tests run as root.
#include "GuiTestSupport.h"
#include "support/ForeignEntries.h"
#include "support/NoFileOverride.h"

#include "records/RecordCodec.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "shell/Startup.h"
#include "shell/WorkupBar.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

void selectTask(CMainFrame& frame, const QString& name)
{
    ProjectDetailsBar* bar = frame.detailsBar();
    bar->setCurrentTab(TreeKind::Tasks);
    QTreeView* tree = bar->taskTreeView();
    const auto found = tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, name, 1,
                                            Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY(!found.isEmpty());
    tree->setCurrentIndex(found.first());
}

void typeSynopsis(CMainFrame& frame, const QString& text)
{
    frame.workupBar()->synopsisEdit()->setPlainText(text);
    frame.workupBar()->synopsisEdit()->document()->setModified(true);
}

/** The text of the status bar's skipped-files button, "" when it is hidden. */
QString skippedButtonText(CMainFrame& frame)
{
    auto* button = frame.findChild<QPushButton*>(QStringLiteral("LoadProblemsButton"));
    return button && !button->isHidden() ? button->text() : QString();
}

/** What the skipped-files button lists when it is pressed. */
QString skippedFilesListed(CMainFrame& frame)
{
    QString listed;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        listed = dialog.findChild<QPlainTextEdit*>(QStringLiteral("LoadProblemsText"))->toPlainText();
        return int(QDialog::Rejected);
    });
    frame.findChild<QPushButton*>(QStringLiteral("LoadProblemsButton"))->click();
    return listed;
}

} // namespace

class DataFolderFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void readOnlyFolderChangesNothingAndRecovers();
    void goneFolderIsReportedNotEmptiedNorRecreated();
    void lockSurvivesItsFolderGoing();
    void foreignEntriesAreListedAtStartUp();
    void filesThatMayRunAreOpenedOnlyWhenTheUserAgrees();
};

void DataFolderFaultsTest::readOnlyFolderChangesNothingAndRecovers()
{
    test::GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Alpha"), thisMonth(1), thisMonth(20));
    const QByteArray task = world.addTask(project, "Design");
    const QString projectFile = store.fileName(RecordKind::Project, project);
    const QString taskFile = store.fileName(RecordKind::Task, task);
    const QByteArray projectBytes = fileBytes(projectFile);
    DataFolderLock lock;
    CMainFrame frame(store, lock);

    test::NoFileOverride obeyPermissions;
    if (!obeyPermissions.active())
        QSKIP(obeyPermissions.error().c_str());
    const QString folder = world.dataFolder();
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const auto writable = qScopeGuard(
        [&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    if (QFile probe(folder + QStringLiteral("/probe")); probe.open(QIODevice::WriteOnly))
        QSKIP("this file system ignores permission bits");
    UserDialogs::takeMessages();

    // The synopsis pane: Refresh reports the file and the reason, and the typed text stays.
    typeSynopsis(frame, QStringLiteral("typed while read-only"));
    frame.runCommand(Command::Refresh);
    QStringList messages = UserDialogs::takeMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(projectFile) &&
                 messages.first().contains(QStringLiteral("Permission denied")),
             qPrintable(messages.first()));
    QCOMPARE(frame.workupBar()->synopsisEdit()->toPlainText(), QStringLiteral("typed while read-only"));
    QVERIFY(store.GetProject(project).synopsis.isEmpty());
    QCOMPARE(fileBytes(projectFile), projectBytes);

    // An editor whose record cannot be written stays open: MoneyDialogsTest::refusalKeepsTheDialogOpen.
    // A delete leaves the task in memory, on disk and in the tree.
    selectTask(frame, QStringLiteral("Design"));
    UserDialogs::setNextAnswer(true);
    frame.runCommand(Command::DeleteTask);
    messages = UserDialogs::takeMessages();
    QCOMPARE(messages.size(), 2); // the question, then the failure
    QVERIFY2(messages.last().contains(taskFile), qPrintable(messages.last()));
    QVERIFY(!store.GetTask(task).identifier.isEmpty());
    QVERIFY(QFile::exists(taskFile));
    QVERIFY(frame.detailsBar()->taskTree().label.startsWith(QStringLiteral("Tasks(1)")));

    // Writable again: the same actions succeed, the kept synopsis included.
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    frame.runCommand(Command::Refresh);
    QCOMPARE(store.GetProject(project).synopsis, QByteArray("typed while read-only"));
    selectTask(frame, QStringLiteral("Design"));
    UserDialogs::setNextAnswer(true);
    frame.runCommand(Command::DeleteTask);
    QVERIFY(store.GetTask(task).identifier.isEmpty());
    QCOMPARE(UserDialogs::takeMessages().size(), 1); // only the question
}

void DataFolderFaultsTest::goneFolderIsReportedNotEmptiedNorRecreated()
{
    test::GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Alpha"), thisMonth(1), thisMonth(20));
    world.addTask(project, "Design");
    DataFolderLock lock;
    QVERIFY(lock.acquire(world.dataFolder(), nullptr));
    CMainFrame frame(store, lock);
    const QString folder = world.dataFolder();
    const QString moved = world.pickedFolder() + QStringLiteral("/moved");
    QVERIFY(QDir().rename(folder, moved));
    UserDialogs::takeMessages();

    const auto expectGoneMessage = [&] {
        const QStringList messages = UserDialogs::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(QDir::toNativeSeparators(folder) + QStringLiteral(" is gone")) &&
                     messages.first().contains(QStringLiteral("Option > Change Directory")),
                 qPrintable(messages.first()));
    };

    // Refresh keeps everything shown; a write command opens no editor.
    typeSynopsis(frame, QStringLiteral("typed after the folder went"));
    frame.runCommand(Command::Refresh);
    expectGoneMessage();
    QCOMPARE(frame.projectList()->rowCount(), 2);
    QCOMPARE(frame.selectedProjectId(), project);
    QVERIFY(frame.detailsBar()->taskTree().label.startsWith(QStringLiteral("Tasks(1)")));

    frame.detailsBar()->setCurrentTab(TreeKind::MoneyFlow);
    int dialogs = 0;
    UserDialogs::setDialogHandler([&dialogs](QDialog&) { return ++dialogs, int(QDialog::Rejected); });
    frame.runCommand(Command::AddIncome);
    QCOMPARE(dialogs, 0);
    expectGoneMessage();

    // A write that does get through (the synopsis, on leaving the project) says the same.
    QVERIFY(!frame.commitSynopsis());
    const QStringList messages = UserDialogs::takeMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.first().contains(store.fileName(RecordKind::Project, project)) &&
                 messages.first().contains(QStringLiteral("Option > Change Directory")),
             qPrintable(messages.first()));
    QVERIFY(!QFileInfo::exists(folder));

    // Back in place: Refresh reads it again and the kept synopsis is written.
    QVERIFY(QDir().rename(moved, folder));
    frame.runCommand(Command::Refresh);
    QVERIFY(UserDialogs::takeMessages().isEmpty());
    QCOMPARE(store.GetProject(project).synopsis, QByteArray("typed after the folder went"));
    QCOMPARE(frame.projectList()->rowCount(), 2);
}

void DataFolderFaultsTest::lockSurvivesItsFolderGoing()
{
    test::GuiWorld world;
    const QString folder = world.dataFolder();
    const QString lockFile = QDir(folder).filePath(DataFolderLock::lockFileName());
    {
        DataFolderLock lock;
        QVERIFY(lock.acquire(folder, nullptr));
        QVERIFY(QDir(folder).removeRecursively());
    } // released with its folder gone

    // Made again under a running program: the new folder gets its own lock, which stays when the old goes.
    DataFolderLock lock;
    QVERIFY(lock.acquire(folder, nullptr));
    QVERIFY(QDir(folder).removeRecursively());
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(lock.acquire(folder, nullptr));
    QVERIFY(lock.isLocked());
    QVERIFY(QFileInfo::exists(lockFile));
    DataFolderLock second;
    QVERIFY(!second.acquire(folder, nullptr));
}

void DataFolderFaultsTest::foreignEntriesAreListedAtStartUp()
{
    namespace F = test::ForeignEntries;
    test::GuiWorld world;
    RecordStore& store = world.store();
    world.addProject(QStringLiteral("Alpha"), thisMonth(1), thisMonth(20));
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath(QStringLiteral("Project77.prj"));
    QVERIFY(SafeFile::write(outsideFile, encodeRecord(emptyRecord<ProjectRecord>())).isEmpty());
    const QString folder = world.dataFolder() + QLatin1Char('/');
    QVERIFY(F::makeFifo(folder + QStringLiteral("Project2026120799999990.prj")));
    QVERIFY(F::makeLink(QStringLiteral("/dev/zero"), folder + QStringLiteral("Project2026120799999991.prj")));
    QVERIFY(F::makeSparse(folder + QStringLiteral("Project2026120799999992.prj"), qint64(3) << 30));
    QVERIFY(F::makeLink(outsideFile, folder + QStringLiteral("Project77.prj")));

    // Nor does a lock file that is none keep the folder from being locked.
    QVERIFY(F::makeFifo(folder + DataFolderLock::lockFileName()));
    DataFolderLock lock;
    QVERIFY(lock.acquire(world.dataFolder(), nullptr));
    QVERIFY(lock.isLocked());

    Startup::loadWithProgress(store, nullptr);
    CMainFrame frame(store, lock);
    QCOMPARE(frame.projectList()->rowCount(), 2);
    QCOMPARE(skippedButtonText(frame), QStringLiteral("4 record files were skipped"));
    const QString listed = skippedFilesListed(frame);
    for (const QString& line :
         {QStringLiteral("Project2026120799999990.prj: not a regular file (a named pipe)"),
          QStringLiteral("Project2026120799999991.prj: not a regular file (a link to a device)"),
          QStringLiteral("Project2026120799999992.prj: its identifier is empty"),
          QStringLiteral("Project77.prj: a link to a file outside the data folder")})
        QVERIFY2(listed.contains(folder + line), qPrintable(listed));

    // Refresh lists what it skips as well (why a file is skipped is the store's: StoreFaultsTest).
    const QString folderNamed = folder + QStringLiteral("Project2026120799999993.prj");
    QVERIFY(QDir().mkpath(folderNamed));
    frame.runCommand(Command::Refresh);
    QCOMPARE(frame.projectList()->rowCount(), 2);
    QVERIFY(UserDialogs::takeMessages().isEmpty());
    QCOMPARE(skippedButtonText(frame), QStringLiteral("5 record files were skipped"));
    QVERIFY(skippedFilesListed(frame).contains(folderNamed + QStringLiteral(": ")));
}

void DataFolderFaultsTest::filesThatMayRunAreOpenedOnlyWhenTheUserAgrees()
{
    test::GuiWorld world;
    QTemporaryDir dir;
    const auto make = [&dir](const QString& name, const QByteArray& bytes, QFile::Permissions permissions) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        file.setPermissions(permissions);
        return path;
    };
    const QFile::Permissions plain = QFile::ReadOwner | QFile::WriteOwner;
    const QFile::Permissions runnable = plain | QFile::ExeOwner;
    const QString notes = make(QStringLiteral("notes.txt"), "plain words", plain);
    const QString script = make(QStringLiteral("plan.pdf"), "#!/bin/sh\necho hello\n", plain);
    const QString entry = make(QStringLiteral("open.desktop"), "[Desktop Entry]\nExec=true\n", plain);
    const QString program = make(QStringLiteral("tool"),
                                 "\x7f"
                                 "ELF",
                                 runnable);
    const QString marked = make(QStringLiteral("contract.odt"), "PK", runnable);
    const QString fifo = dir.filePath(QStringLiteral("pipe.txt"));
    QVERIFY(test::ForeignEntries::makeFifo(fifo));

    UserDialogs::takeMessages();
    QVERIFY(UserDialogs::openFile(nullptr, notes));
    QVERIFY(UserDialogs::takeMessages().isEmpty());
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(notes)});

    const std::pair<QString, QString> asked[] = {{script, QStringLiteral("a script")},
                                                 {entry, QStringLiteral("a desktop entry")},
                                                 {program, QStringLiteral("a program")},
                                                 {marked, QStringLiteral("an executable file")}};
    for (const auto& [path, what] : asked) {
        QVERIFY(!UserDialogs::openFile(nullptr, path)); // no answer queued: No
        const QStringList question = UserDialogs::takeMessages();
        QCOMPARE(question.size(), 1);
        QVERIFY2(question[0].contains(path) && question[0].contains(QStringLiteral("is ") + what),
                 qPrintable(question[0]));
        QVERIFY(UserDialogs::takeOpenedUrls().isEmpty());
    }
    UserDialogs::setNextAnswer(true);
    QVERIFY(UserDialogs::openFile(nullptr, script));
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(script)});

    UserDialogs::takeMessages();
    QVERIFY(!UserDialogs::openFile(nullptr, fifo));
    const QStringList refused = UserDialogs::takeMessages();
    QCOMPARE(refused.size(), 1);
    QVERIFY2(refused[0].contains(fifo) && refused[0].contains(QStringLiteral("not a regular file")),
             qPrintable(refused[0]));
    QVERIFY(UserDialogs::takeOpenedUrls().isEmpty());
}

QTEST_MAIN(DataFolderFaultsTest)
#include "DataFolderFaultsTest.moc"
