// Edit > Undo and Redo, and the History window, as the main window offers them: what they name,
// that they bring a deleted project back with its tasks, and that Restore asks before overwriting.
#include "GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/HistoryWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

/** Every record file of the data folder with its bytes; the history's own folder left out. */
QMap<QString, QByteArray> recordFiles(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(folder, QDir::Files); it.hasNext();) {
        const QString path = it.next();
        if (!path.endsWith(QLatin1String(".lock")))
            files.insert(it.fileName(), fileBytes(path));
    }
    return files;
}

} // namespace

class UndoHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void undoAndRedoADeletedProject();
    void historyWindowShowsFieldsFiltersAndRestores();
};

void UndoHistoryTest::undoAndRedoADeletedProject()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Cedar & Hill"), thisMonth(1), thisMonth(20));
    world.addTask(project, "Survey");
    world.addTask(project, "Foundations");
    const QMap<QString, QByteArray> before = recordFiles(world.dataFolder());

    DataFolderLock lock;
    CMainFrame frame(store, lock);
    QAction* undo = frame.action(Command::Undo);
    QAction* redo = frame.action(Command::Redo);
    // Where the commands are placed and their keys are the command table's.
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    // No keeps the project; Yes deletes it and clears the selection.
    UserDialogs::setNextAnswer(false);
    frame.runCommand(Command::DeleteProject);
    QCOMPARE(UserDialogs::takeMessages(), QStringList{QStringLiteral("Do you want to delete this?")});
    QCOMPARE(frame.selectedProjectId(), project);
    QVERIFY(!undo->isEnabled());
    UserDialogs::setNextAnswer(true);
    frame.runCommand(Command::DeleteProject);
    UserDialogs::takeMessages();
    QVERIFY(store.GetProject(project).identifier.isEmpty());
    QVERIFY(frame.selectedProjectId().isEmpty());
    QCOMPARE(undo->text(), QStringLiteral("&Undo Delete Project \"Cedar && Hill\""));
    QVERIFY(undo->isEnabled() && !redo->isEnabled());

    // Everything the delete took comes back byte for byte, and the project is selected again.
    undo->trigger();
    QCOMPARE(recordFiles(world.dataFolder()), before);
    QCOMPARE(frame.selectedProjectId(), project);
    QCOMPARE(redo->text(), QStringLiteral("&Redo Delete Project \"Cedar && Hill\""));
    QVERIFY(!undo->isEnabled());

    redo->trigger();
    QVERIFY(store.GetProject(project).identifier.isEmpty());
    QVERIFY(frame.selectedProjectId().isEmpty());
    QVERIFY(undo->isEnabled() && !redo->isEnabled());

    // A record changed behind the program since: Undo refuses and names it.
    undo->trigger();
    const QString taskFile = store.fileName(RecordKind::Task, store.tasks().begin()->record.identifier);
    makeFile(taskFile, fileBytes(taskFile) + "changed elsewhere");
    redo->trigger();
    const QString message = onlyMessage();
    QVERIFY2(message.contains(QLatin1String("was changed elsewhere")) &&
                 message.contains(QLatin1String("task")),
             qPrintable(message));
    QVERIFY(!store.GetProject(project).identifier.isEmpty());
}

void UndoHistoryTest::historyWindowShowsFieldsFiltersAndRestores()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Harbour"), thisMonth(1), thisMonth(20));
    world.addTask(project, "Dredge");
    DataFolderLock lock;
    CMainFrame frame(store, lock);
    UserDialogs::setNextAnswer(true);
    frame.runCommand(Command::DeleteProject);
    UserDialogs::takeMessages();

    frame.runCommand(Command::History);
    auto* window = frame.findChild<HistoryWindow*>();
    QVERIFY(window && window->isVisible());
    for (QWidget* control : std::initializer_list<QWidget*>{window->changeList(), window->detailsView(),
                                                            window->textFilter(), window->projectFilter()})
        QVERIFY(!control->accessibleName().isEmpty());
    QCOMPARE(itemTexts(window->changeList()).size(), 1);
    QCOMPARE(window->changeList()->topLevelItem(0)->text(1), QStringLiteral("Delete Project \"Harbour\""));
    // Record by record: the deleted project whole, with its fields' values before the change.
    QTreeWidget* details = window->detailsView();
    const QStringList records = itemTexts(details);
    QVERIFY2(records.contains(QStringLiteral("The project \"Harbour\" (Deleted)")) &&
                 records.contains(QStringLiteral("The task \"Dredge\" (Deleted)")),
             qPrintable(records.join(QLatin1Char('|'))));
    const QTreeWidgetItem* projectRow =
        details->topLevelItem(int(records.indexOf(QStringLiteral("The project \"Harbour\" (Deleted)"))));
    bool named = false;
    for (int i = 0; i < projectRow->childCount(); ++i)
        named |= projectRow->child(i)->text(0) == QLatin1String("name") &&
                 projectRow->child(i)->text(1) == QLatin1String("Harbour");
    QVERIFY(named);
    // The deleted project can still be chosen as a filter.
    QVERIFY(window->projectFilter()->findData(project) > 0);

    // A filter that lets nothing through leaves nothing to restore.
    window->textFilter()->setText(QStringLiteral("meeting"));
    QVERIFY(window->currentChange().isEmpty() && !window->restoreButton()->isEnabled());
    window->textFilter()->setText(QStringLiteral("harbour"));
    QVERIFY(window->restoreButton()->isEnabled());

    window->restoreButton()->click();
    QVERIFY(UserDialogs::takeMessages().isEmpty());
    QCOMPARE(store.GetProject(project).name, QByteArray("Harbour"));
    QCOMPARE(store.tasks().size(), qsizetype(1));
    QCOMPARE(frame.selectedProjectId(), project);
    window->textFilter()->clear();
    QCOMPARE(window->changeList()->topLevelItem(0)->text(1),
             QStringLiteral("Restore \"Delete Project \"Harbour\"\""));

    // Restoring it again would overwrite what the restore wrote: the user is asked, and No keeps it.
    window->changeList()->setCurrentItem(window->changeList()->topLevelItem(1));
    UserDialogs::setNextAnswer(false);
    window->restoreButton()->click();
    QVERIFY(onlyMessage().contains(QLatin1String("Later changes touched the same records")));
    QCOMPARE(itemTexts(window->changeList()).size(), 2);
}

QTEST_MAIN(UndoHistoryTest)
#include "UndoHistoryTest.moc"
