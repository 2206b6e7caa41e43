// A data folder shared with other machines: a save refused for a record changed elsewhere, the
// conflicting copies of records, and the lock files of other machines.
#include "GuiTestSupport.h"

#include "editors/CTaskDetailsPg.h"
#include "editors/CTaskSheet.h"
#include "edits/RecordEdits.h"
#include "records/RecordCodec.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "store/FolderFollower.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/ProjectDetailsBar.h"
#include "views/widgets/ProjectListItemModel.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeView>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

/** A task "Pour" the world's store has read, then renamed "changed there" by another program. */
QByteArray taskChangedElsewhere(GuiWorld& world)
{
    const QByteArray project = world.addProject(QStringLiteral("Alpha"));
    const QByteArray id = world.addTask(project, "Pour");
    world.store().LoadAll();
    RecordStore other(world.dataFolder());
    other.LoadAll();
    TaskRecord task = other.GetTask(id);
    task.name = "changed there";
    RecordEdits::modify(other, task);
    return id;
}

/** The labels of every row below the root of a tree, depth first. */
QStringList labelsOf(const TreeNode& node)
{
    QStringList labels;
    for (const TreeNode& child : node.children)
        labels << child.label << labelsOf(child);
    return labels;
}

bool shows(const CMainFrame& frame, const QString& text)
{
    return labelsOf(frame.detailsBar()->taskTree()).join(QLatin1Char('|')).contains(text);
}

/** What the project list and the task tree show: each row's name and progress, the tree's rows. */
QStringList panesOf(const CMainFrame& frame)
{
    const auto* list = frame.findChild<CKorvaneView*>();
    QStringList shown;
    for (int row = 1; row < list->rowCount(); ++row)
        shown << QString::fromLatin1(list->projectAt(row)->name) + QLatin1Char(' ') +
                     list->model()->index(row, 0).data(ProjectListItemModel::ProgressRole).toString();
    shown << frame.selectedProjectId() << labelsOf(frame.detailsBar()->taskTree())
          << frame.detailsBar()->selectedTaskId();
    return shown;
}

} // namespace

class SharedFolderGuiTest : public QObject
{
    Q_OBJECT

private slots:
    void saveOfARecordChangedElsewhereAsks_data();
    void saveOfARecordChangedElsewhereAsks();
    void conflictsWindowKeepsTheChosenVersion();
    void otherMachinesLocksDoNotBlockAndStay();
    void panesFollowChangesMadeElsewhereOnceNoEditorIsOpen();
    void deleteOfARecordChangedElsewhereAsks();
    void panesShowingNoChangedRecordStayAsARefreshLeavesThem();
};

void SharedFolderGuiTest::saveOfARecordChangedElsewhereAsks_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("overwritten on purpose") << QStringLiteral("OverwriteButton");
    QTest::newRow("read again, then saved") << QStringLiteral("ReloadButton");
}

void SharedFolderGuiTest::saveOfARecordChangedElsewhereAsks()
{
    QFETCH(QString, answer);
    GuiWorld world;
    const QByteArray id = taskChangedElsewhere(world);

    auto texts = std::make_shared<QStringList>();
    bool reloaded = false;
    UserDialogs::setDialogHandler([&, texts](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            texts->append(box->text());
            box->findChild<QPushButton*>(texts->size() == 1 ? QStringLiteral("KeepEditingButton") : answer)
                ->click();
            return box->result();
        }
        auto& sheet = static_cast<CTaskSheet&>(dialog);
        sheet.detailsPage()->nameEdit()->setText(QStringLiteral("typed here"));
        sheet.next();
        sheet.accept();
        // Kept editing: the sheet is still open with what was typed.
        if (sheet.result() == QDialog::Accepted ||
            sheet.detailsPage()->nameEdit()->text() != QStringLiteral("typed here"))
            return int(QDialog::Rejected);
        sheet.accept();
        // Read again: the sheet stays open over the other program's version, and the next Finish saves.
        reloaded = sheet.result() != QDialog::Accepted && world.store().GetTask(id).name == "changed there";
        if (reloaded)
            sheet.accept();
        return sheet.result();
    });
    const EditorOutcome outcome = CTaskSheet::modifyTask(world.store(), id, nullptr);
    QVERIFY(outcome.finished);
    QCOMPARE(reloaded, answer == QStringLiteral("ReloadButton"));
    QCOMPARE(texts->size(), 2);
    QVERIFY2(texts->first().contains(QStringLiteral("The task \"Pour\" was changed elsewhere")),
             qPrintable(texts->first()));
    QCOMPARE(fileBytes(world.store().fileName(RecordKind::Task, id)),
             encodeRecord(world.store().GetTask(id)));
    QCOMPARE(world.store().GetTask(id).name, QByteArray("typed here"));
    QVERIFY(UserDialogs::takeMessages().isEmpty());
}

void SharedFolderGuiTest::conflictsWindowKeepsTheChosenVersion()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Alpha"));
    const QByteArray id = world.addTask(project, "Pour");
    TaskRecord theirs = store.GetTask(id);
    theirs.name = "Pour twice";
    const QString copy = QStringLiteral("%1/Task%2 (conflicted copy 2026-12-07 101010).tsk")
                             .arg(world.dataFolder(), QString::fromLatin1(id));
    makeFile(copy, encodeRecord(theirs));
    store.LoadAll();

    DataFolderLock lock;
    CMainFrame frame(store, lock);
    auto* button = frame.findChild<QPushButton*>(QStringLiteral("ConflictsButton"));
    QVERIFY(button && !button->isHidden());
    QCOMPARE(button->text(), QStringLiteral("1 record has conflicting copies"));

    QStringList differing;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("ConflictVersionsTable"));
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->verticalHeaderItem(r)->text().startsWith(QChar(0x25cf)))
                differing.append(table->item(r, 0)->text() + QStringLiteral(" | ") +
                                 table->item(r, 1)->text());
        }
        dialog.findChild<QPushButton*>(QStringLiteral("KeepVersion2"))->click();
        return dialog.result();
    });
    button->click();
    QCOMPARE(differing, QStringList{QStringLiteral("Pour | Pour twice")});
    // Where the copy goes is ConflictEdits' (SharedFolderTest).
    QCOMPARE(store.GetTask(id).name, QByteArray("Pour twice"));
    QVERIFY(button->isHidden());
}

void SharedFolderGuiTest::otherMachinesLocksDoNotBlockAndStay()
{
    GuiWorld world;
    const QString folder = world.dataFolder();
    // As Qt writes lock files: process, program, host.
    const QString foreign = folder + QStringLiteral("/Korvane-laptop.lock");
    makeFile(foreign, "4242\nkorvane\nlaptop\n");
    makeFile(folder + QStringLiteral("/Korvane.lock"), "4343\nkorvane\nlaptop\n");
    {
        DataFolderLock lock;
        QVERIFY(lock.acquire(folder, nullptr));
        QVERIFY(lock.isLocked());
        QCOMPARE(lock.otherHosts(), QStringList{QStringLiteral("laptop")});
        // The same machine is still refused.
        DataFolderLock second;
        QString error;
        QVERIFY(!second.acquire(folder, &error));
        QVERIFY(error.contains(QStringLiteral("already open")));
    }
    QVERIFY(QFile::exists(foreign));
    QVERIFY(QFile::exists(folder + QStringLiteral("/Korvane.lock")));
    QVERIFY(!QFile::exists(folder + '/' + DataFolderLock::lockFileName()));
}

void SharedFolderGuiTest::panesFollowChangesMadeElsewhereOnceNoEditorIsOpen()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QDate today = QDate::currentDate();
    const auto day = [&](int d) { return QDate(today.year(), today.month(), d).toString(Qt::ISODate); };
    world.addProject(QStringLiteral("Alpha"), day(1), day(20));
    const QByteArray beta = world.addProject(QStringLiteral("Beta"), day(2), day(21));
    const QByteArray dig = world.addTask(beta, "Dig");
    world.addTask(beta, "Pour");
    store.LoadAll();
    DataFolderLock lock;
    CMainFrame frame(store, lock);
    frame.refreshProjectList(beta, false);
    QVERIFY(frame.detailsBar()->selectRecord(RecordKind::Task, dig));
    QTreeView* tasks = frame.detailsBar()->taskTreeView();
    tasks->collapse(tasks->model()->index(0, 0));
    RecordStore other(world.dataFolder());
    other.LoadAll();

    // Written behind the program: shown without Refresh, the selection and the closed branch kept.
    TaskRecord sand = *other.tasks().find(dig);
    sand.identifier.clear();
    sand.name = "Sand";
    QVERIFY(other.AddTask(sand).ok());
    QTRY_COMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Updated: 1 record changed elsewhere"));
    QVERIFY(shows(frame, QStringLiteral("Sand")));
    QVERIFY(!tasks->isExpanded(tasks->model()->index(0, 0)));
    QCOMPARE(frame.selectedProjectId(), beta);
    QCOMPARE(frame.detailsBar()->selectedTaskId(), dig);
    frame.statusBar()->clearMessage();

    // Changed while an editor is open: the editor and the panes stay as they are until it closes.
    bool held = false;
    bool undisturbed = false;
    UserDialogs::setDialogHandler([&](QDialog&) {
        TaskRecord task = other.GetTask(dig);
        task.name = "Dig there";
        RecordEdits::modify(other, task);
        held = QTest::qWaitFor([&] { return frame.folderFollower().isHeld(); }, 10000);
        undisturbed =
            !shows(frame, QStringLiteral("Dig there")) && frame.detailsBar()->selectedTaskId() == dig;
        return int(QDialog::Rejected);
    });
    frame.runCommand(Command::ModifyTask);
    QVERIFY(held);
    QVERIFY(undisturbed);
    QTRY_COMPARE(frame.statusBar()->currentMessage(), QStringLiteral("Updated: 1 record changed elsewhere"));
    QVERIFY(shows(frame, QStringLiteral("Dig there")));
    QCOMPARE(frame.detailsBar()->selectedTaskId(), dig);
    // The program's own changes are not news.
    TaskRecord own = store.GetTask(dig);
    own.name = "Dig here";
    QVERIFY(RecordEdits::modify(store, own).ok());
    QTest::qWait(200);
    QCOMPARE(frame.folderFollower().pending(), 0);
}

void SharedFolderGuiTest::deleteOfARecordChangedElsewhereAsks()
{
    GuiWorld world;
    const QByteArray id = taskChangedElsewhere(world);
    const QString file = world.store().fileName(RecordKind::Task, id);
    DataFolderLock lock;
    CMainFrame frame(world.store(), lock);
    frame.refreshProjectList(world.store().GetTask(id).projectIdentifier, false);
    const auto deleteAnswering = [&](const char* button) {
        QVERIFY(frame.detailsBar()->selectRecord(RecordKind::Task, id));
        UserDialogs::setNextAnswer(true);
        UserDialogs::setDialogHandler([button](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
            return dialog.result();
        });
        frame.runCommand(Command::DeleteTask);
    };
    deleteAnswering("ReloadButton");
    QVERIFY(QFile::exists(file));
    QCOMPARE(world.store().GetTask(id).name, QByteArray("changed there"));
    QVERIFY(shows(frame, QStringLiteral("changed there")));
    // Read again, it is deleted without a question; changed elsewhere once more, on purpose only.
    RecordStore other(world.dataFolder());
    other.LoadAll();
    TaskRecord task = other.GetTask(id);
    task.name = "changed again";
    QVERIFY(RecordEdits::modify(other, task).ok());
    deleteAnswering("OverwriteButton");
    QVERIFY(!QFile::exists(file));
    // The two questions asked, and no error shown.
    QCOMPARE(UserDialogs::takeMessages(), QStringList(2, QStringLiteral("Do you want to delete this?")));
}

void SharedFolderGuiTest::panesShowingNoChangedRecordStayAsARefreshLeavesThem()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QDate today = QDate::currentDate();
    const auto day = [&](int d) { return QDate(today.year(), today.month(), d).toString(Qt::ISODate); };
    const QByteArray alpha = world.addProject(QStringLiteral("Alpha"), day(1), day(20));
    const QByteArray beta = world.addProject(QStringLiteral("Beta"), day(2), day(21));
    const QByteArray unlisted = world.addProject(QStringLiteral("Gamma"), QStringLiteral("2001-01-01"));
    const QByteArray dig = world.addTask(alpha, "Dig");
    const QByteArray pour = world.addTask(alpha, "Pour");
    const QByteArray sand = world.addTask(beta, "Sand");
    store.LoadAll();
    DataFolderLock lock;
    CMainFrame frame(store, lock);
    frame.refreshProjectList(alpha, false);
    QVERIFY(frame.detailsBar()->selectRecord(RecordKind::Task, dig));
    RecordStore other(world.dataFolder());
    other.LoadAll();

    // Each change elsewhere leaves the panes as a Refresh that keeps the selection would.
    const auto changeElsewhere = [&](const QByteArray& id, const std::function<void(TaskRecord&)>& change) {
        TaskRecord task = other.GetTask(id);
        change(task);
        QVERIFY(RecordEdits::modify(other, task).ok());
        frame.statusBar()->clearMessage();
        QTRY_COMPARE(frame.statusBar()->currentMessage(),
                     QStringLiteral("Updated: 1 record changed elsewhere"));
        RecordStore fresh(world.dataFolder());
        fresh.LoadAll();
        DataFolderLock freshLock;
        CMainFrame refreshed(fresh, freshLock);
        refreshed.refreshProjectList(alpha, false);
        QVERIFY(refreshed.detailsBar()->selectRecord(RecordKind::Task, dig));
        QCOMPARE(panesOf(frame), panesOf(refreshed));
    };
    // Shown nowhere; then its project's progress in the list; then a task leaving the shown project.
    changeElsewhere(sand, [](TaskRecord& task) { task.name = "Sand there"; });
    changeElsewhere(sand, [](TaskRecord& task) { task.percentComplete = 100; });
    changeElsewhere(pour, [&](TaskRecord& task) { task.projectIdentifier = unlisted; });
    QVERIFY(!shows(frame, QStringLiteral("Pour")));
}

QTEST_MAIN(SharedFolderGuiTest)
#include "SharedFolderGuiTest.moc"
