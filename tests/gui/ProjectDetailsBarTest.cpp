#include "GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/DetailsTreeView.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QFile>
#include <QMenu>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

/** The records of one small project whose trees have a known shape. */
struct Sample
{
    QByteArray project;
    QByteArray task;
    QByteArray subTask;
    QByteArray laterTask;
    QByteArray meeting;
    QByteArray invoice;
    QByteArray income;
    QByteArray expense;
    QString existingFile;
    QString missingFile;
};

DateTime day(int month, int dayOfMonth)
{
    return DateTime::fromDate(QDate(2024, month, dayOfMonth));
}

/**
 * Task tree: {0} the task with children {0,0} its sub task and {0,1} a resource (four detail rows),
 * {1} a later task whose file is missing. Money tree: {0,0} an invoice, {1,0} an income whose file
 * exists, {2,0} an expense, {3} the balance row.
 */
Sample addSample(test::GuiWorld& world)
{
    RecordStore& store = world.store();
    Sample sample;
    sample.existingFile = world.dataFolder() + QStringLiteral("/Receipt.pdf");
    sample.missingFile = world.dataFolder() + QStringLiteral("/gone/Plan.odt");
    makeFile(sample.existingFile, "%PDF-1.4\n");

    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = "Survey";
    project.currency = "$";
    project.incomeLink = sample.existingFile.toUtf8();
    sample.project = store.AddProject(project).identifier;

    ResourceRecord resource = emptyRecord<ResourceRecord>();
    resource.name = "Ann";
    resource.designation = "Engineer";
    const QByteArray resourceId = store.AddResource(resource).identifier;

    const auto task = [&](const char* kind, const QByteArray& name, int month, int dayOfMonth) {
        TaskRecord task = emptyRecord<TaskRecord>();
        task.projectIdentifier = sample.project;
        task.kind = kind;
        task.name = name;
        task.start = day(month, dayOfMonth);
        return task;
    };
    sample.subTask = store.AddTask(task(TaskRecord::kSubTask, "Measure", 3, 2), 1).identifier;
    TaskRecord plan = task(TaskRecord::kTopLevel, "Plan", 3, 1);
    plan.percentComplete = 40;
    plan.subTaskList = sample.subTask + '\n';
    plan.resources = resourceId + '\n';
    sample.task = store.AddTask(plan, 2).identifier;
    TaskRecord later = task(TaskRecord::kTopLevel, "Report", 4, 1);
    later.fileLink = sample.missingFile.toUtf8();
    sample.laterTask = store.AddTask(later, 3).identifier;

    MeetingRecord meeting = emptyRecord<MeetingRecord>();
    meeting.projectIdentifier = sample.project;
    meeting.subject = "Kick-off";
    meeting.attendees = "Ann\nBob\n";
    sample.meeting = store.AddMeeting(meeting, 4).identifier;

    InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
    invoice.projectIdentifier = sample.project;
    invoice.task = "Plan";
    invoice.invoiceNumber = "7";
    invoice.currencyText = "$ - US DOLLAR";
    sample.invoice = store.AddInvoice(invoice).identifier;

    MoneyFlowRecord income = emptyRecord<MoneyFlowRecord>();
    income.projectIdentifier = sample.project;
    income.name = "Fee";
    income.kind = MoneyFlowRecord::Income;
    income.filePath = sample.existingFile.toUtf8();
    sample.income = store.AddMoneyFlow(income).identifier;

    MoneyFlowRecord expense = income;
    expense.name = "Travel";
    expense.kind = MoneyFlowRecord::Expense;
    expense.filePath.clear();
    sample.expense = store.AddMoneyFlow(expense).identifier;
    return sample;
}

TreePath toPath(const QList<int>& rows)
{
    return TreePath(rows.begin(), rows.end());
}

/** Checks that `spy` saw `command` once, or nothing when `command` is negative. */
void expectCommand(const QSignalSpy& spy, int command)
{
    QCOMPARE(spy.count(), command < 0 ? 0 : 1);
    if (command >= 0)
        QCOMPARE(int(spy.first().first().value<Command>()), command);
}

} // namespace

class ProjectDetailsBarTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyBarShowsRootRows();
    void rebuildOfOneTreeLeavesTheOthersAlone();
    void selectionsResolveToRecords();
    void moneyClicksSwitchTheDetailsPane();
    void longLabelEndsAtTheEdgeWithItsWholeTextInATip();
    void actionIcons_data();
    void actionIcons();
    void menuOpensOnTheRowUnderThePointerOrFromTheKeyboard();
    void keys_data();
    void keys();
    void fileIconsOpenTheirFiles();
    void revealedEntryIsExpandedIntoView();

private:
    DetailsTreeView* tree(int which) const;
    QPoint actionPoint(DetailsTreeView* view, int offsetFromRight) const;

    std::unique_ptr<test::GuiWorld> m_world;
    std::unique_ptr<ProjectDetailsBar> m_bar;
    Sample m_sample;
};

void ProjectDetailsBarTest::init()
{
    m_world = std::make_unique<test::GuiWorld>();
    m_sample = addSample(*m_world);
    m_bar = std::make_unique<ProjectDetailsBar>(m_world->store());
    m_bar->resize(380, 520);
    m_bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bar.get()));
    m_bar->rebuild(m_sample.project, {}, WhichTrees::All);
}

void ProjectDetailsBarTest::cleanup()
{
    m_bar.reset();
    m_world.reset();
}

DetailsTreeView* ProjectDetailsBarTest::tree(int which) const
{
    QTreeView* views[] = {m_bar->taskTreeView(), m_bar->meetingTreeView(), m_bar->moneyTreeView()};
    m_bar->setCurrentTab(TreeKind(which));
    return qobject_cast<DetailsTreeView*>(views[which]);
}

QPoint ProjectDetailsBarTest::actionPoint(DetailsTreeView* view, int offsetFromRight) const
{
    const QRect root = view->visualRect(view->indexOf({}));
    return QPoint(view->viewport()->width() - offsetFromRight, root.center().y());
}

void ProjectDetailsBarTest::emptyBarShowsRootRows()
{
    ProjectDetailsBar bar(m_world->store());
    for (QTreeView* view : {bar.taskTreeView(), bar.meetingTreeView(), bar.moneyTreeView()}) {
        QCOMPARE(view->model()->rowCount(), 1);
        QVERIFY(!view->model()->hasChildren(view->model()->index(0, 0)));
    }
    QVERIFY(!bar.currentSelection());

    QSignalSpy tabChanged(&bar, &ProjectDetailsBar::currentTabChanged);
    QSignalSpy selectionChanged(&bar, &ProjectDetailsBar::selectionChanged);
    bar.setCurrentTab(TreeKind::MoneyFlow);
    QCOMPARE(tabChanged.count(), 1);
    QCOMPARE(tabChanged.first().first().value<TreeKind>(), TreeKind::MoneyFlow);
    QCOMPARE(selectionChanged.count(), 1);
}

void ProjectDetailsBarTest::rebuildOfOneTreeLeavesTheOthersAlone()
{
    m_world->fillDemoData(2, 7);
    QByteArray other;
    for (const auto& entry : m_world->store().projects()) {
        if (entry.key != m_sample.project)
            other = entry.key;
    }
    QVERIFY(!other.isEmpty());
    auto* tasks = tree(0);
    tasks->selectPath({0, 1});
    QSignalSpy selection(m_bar.get(), &ProjectDetailsBar::selectionChanged);

    m_bar->rebuild(other, {}, WhichTrees::MoneyFlow);

    QCOMPARE(m_bar->projectId(), other);
    const TreeNode expected = buildMoneyFlowTree(m_world->store(), other);
    QCOMPARE(m_bar->moneyTree().label, expected.label);
    QCOMPARE(m_bar->moneyTreeView()->model()->index(0, 0).data().toString(), expected.label);
    QCOMPARE(m_bar->taskTree().label, QStringLiteral("Tasks(2)"));
    QCOMPARE(m_bar->meetingTree().label, QStringLiteral("Meetings(1)"));
    QCOMPARE(m_bar->selectedTaskId(), m_sample.task);
    QVERIFY(selection.count() >= 1);

    m_bar->rebuild(other, {}, WhichTrees::Tasks);
    QCOMPARE(m_bar->taskTree().label, buildTaskTree(m_world->store(), other).label);
    QVERIFY(!m_bar->currentSelection());
    QCOMPARE(m_bar->meetingTree().label, QStringLiteral("Meetings(1)"));
}

void ProjectDetailsBarTest::selectionsResolveToRecords()
{
    auto* tasks = tree(0);
    QSignalSpy taskSelection(m_bar.get(), &ProjectDetailsBar::taskSelectionChanged);
    tasks->selectPath({0, 1, 3});
    QCOMPARE(m_bar->selectedTaskId(), m_sample.task);
    QVERIFY(taskSelection.count() >= 1);
    tasks->selectPath({0, 0});
    QCOMPARE(m_bar->selectedTaskId(), m_sample.subTask);
    tasks->selectPath({});
    QCOMPARE(m_bar->selectedTaskId(), QByteArray());

    auto* meetings = tree(1);
    meetings->selectPath({0, 4, 1});
    QCOMPARE(m_bar->selectedMeetingId(), m_sample.meeting);

    auto* money = tree(2);
    const struct
    {
        TreePath path;
        MoneyCategory category;
        QByteArray moneyFlow;
        QByteArray invoice;
    } cases[] = {
        {{1}, MoneyCategory::Income, {}, {}},
        {{1, 0, 2}, MoneyCategory::Income, m_sample.income, {}},
        {{2, 0}, MoneyCategory::Expense, m_sample.expense, {}},
        {{0, 0, 1}, MoneyCategory::Invoice, {}, m_sample.invoice},
        {{3}, MoneyCategory::None, {}, {}},
    };
    for (const auto& c : cases) {
        money->selectPath(c.path);
        QCOMPARE(m_bar->selectedMoneyCategory(), c.category);
        QCOMPARE(m_bar->selectedMoneyFlowId(), c.moneyFlow);
        QCOMPARE(m_bar->selectedInvoiceId(), c.invoice);
    }
}

void ProjectDetailsBarTest::moneyClicksSwitchTheDetailsPane()
{
    auto* money = tree(2);
    money->expand(money->indexOf({0}));
    QSignalSpy list(m_bar.get(), &ProjectDetailsBar::invoiceListRequested);
    QSignalSpy invoice(m_bar.get(), &ProjectDetailsBar::invoiceRequested);
    QSignalSpy again(m_bar.get(), &ProjectDetailsBar::detailsAgainRequested);
    const auto click = [&](const TreePath& path) {
        QTest::mouseClick(money->viewport(), Qt::LeftButton, {},
                          money->visualRect(money->indexOf(path)).center());
    };

    click({0});
    QCOMPARE(list.count(), 1);
    QVERIFY(m_bar->isReportReplaced());
    click({0, 0});
    QCOMPARE(invoice.count(), 1);
    QCOMPARE(invoice.first().first().toByteArray(), m_sample.invoice);
    QVERIFY(m_bar->isReportReplaced());
    QCOMPARE(again.count(), 0);

    click({1});
    QCOMPARE(again.count(), 1);
    QVERIFY(!m_bar->isReportReplaced());
    click({1});
    QCOMPARE(again.count(), 1);

    // Space does from the keyboard what a click does.
    money->selectPath({0});
    QTest::keyClick(money, Qt::Key_Space);
    QCOMPARE(list.count(), 2);
    QVERIFY(m_bar->isReportReplaced());
    // An arrow key onto an invoice row shows it as a click does.
    QTest::keyClick(money, Qt::Key_Down);
    QCOMPARE(invoice.count(), 2);
}

void ProjectDetailsBarTest::longLabelEndsAtTheEdgeWithItsWholeTextInATip()
{
    const QString name = QStringLiteral("Survey of every bridge on the northern ring road and its ramps");
    TaskRecord task = emptyRecord<TaskRecord>();
    task.projectIdentifier = m_sample.project;
    task.kind = TaskRecord::kTopLevel;
    task.name = name.toUtf8();
    m_world->store().AddTask(task, 5);
    m_bar->rebuild(m_sample.project, {}, WhichTrees::All);
    auto* tasks = tree(0);
    const QModelIndex root = tasks->model()->index(0, 0);
    const QModelIndexList found = tasks->model()->match(tasks->model()->index(0, 0, root), Qt::DisplayRole, name);
    QCOMPARE(found.size(), 1);
    const QRect row = tasks->visualRect(found.first());
    QVERIFY(row.isValid());

    // The label is cut at the tree's edge; pointing at its end shows the whole text.
    const QPoint onLabel(tasks->viewport()->width() - 20, row.center().y());
    QHelpEvent help(QEvent::ToolTip, onLabel, tasks->viewport()->mapToGlobal(onLabel));
    QApplication::sendEvent(tasks->viewport(), &help);
    QCOMPARE(QToolTip::text(), name);
}

void ProjectDetailsBarTest::actionIcons_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("command");
    const int none = -1;
    dataRow("task add", 0, false, QList<int>{}, 92, int(Command::AddTask));
    dataRow("task import", 0, false, QList<int>{}, 126, int(Command::ImportTasks));
    dataRow("task modify on root", 0, true, QList<int>{}, 72, none);
    dataRow("task delete on resource", 0, true, QList<int>{0, 1}, 52, int(Command::DeleteTask));
    dataRow("money add, nothing selected", 2, false, QList<int>{}, 92, none);
    dataRow("money modify invoice detail", 2, true, QList<int>{0, 0, 2}, 72, int(Command::ModifyInvoice));
    dataRow("money has no import", 2, true, QList<int>{1}, 126, none);
}

void ProjectDetailsBarTest::actionIcons()
{
    QFETCH(int, which);
    QFETCH(bool, selected);
    QFETCH(QList<int>, selection);
    QFETCH(int, offset);
    QFETCH(int, command);
    auto* view = tree(which);
    if (selected)
        view->selectPath(toPath(selection));
    QSignalSpy commands(m_bar.get(), &ProjectDetailsBar::commandRequested);

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, actionPoint(view, offset));
    expectCommand(commands, command);
    // The icons act on the selection, so clicking one must not move it to the root row.
    const bool onIcon = !view->actionIconRect(DetailsTreeView::Action::Import).isEmpty() || offset != 126;
    const std::optional<TreePath> after = view->selectedPath();
    if (onIcon) {
        QCOMPARE(after.has_value(), selected);
        if (selected)
            QVERIFY(*after == toPath(selection));
    }
}

void ProjectDetailsBarTest::menuOpensOnTheRowUnderThePointerOrFromTheKeyboard()
{
    auto* tasks = tree(0);
    tasks->selectPath({});
    tasks->expand(tasks->indexOf({0}));
    const QModelIndex resource = tasks->indexOf({0, 1});
    const QPoint at = tasks->visualRect(resource).center();
    QContextMenuEvent byMouse(QContextMenuEvent::Mouse, at, tasks->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tasks->viewport(), &byMouse);
    QVERIFY(*tasks->selectedPath() == (TreePath{0, 1}));
    QVERIFY(tasks->activeContextMenu());
    QCOMPARE(tasks->activeContextMenu()->actions().first()->text(), QStringLiteral("Modify"));
    // Which entries a row offers is the command table's; here the menu's entries reach the bar.
    QSignalSpy requested(m_bar.get(), &ProjectDetailsBar::commandRequested);
    tasks->activeContextMenu()->actions().first()->trigger();
    expectCommand(requested, int(Command::ModifyTask));
    tasks->activeContextMenu()->close();
    QVERIFY(!tasks->activeContextMenu());

    tasks->setFocus();
    tasks->selectPath({});
    QTest::keyClick(tasks, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(tasks->activeContextMenu());
    QCOMPARE(tasks->activeContextMenu()->actions().first()->text(), QStringLiteral("Add"));
    tasks->activeContextMenu()->close();

    tasks->selectPath({1});
    QTest::keyClick(tasks, Qt::Key_Menu);
    QVERIFY(tasks->activeContextMenu());
    QCOMPARE(tasks->activeContextMenu()->actions().size(), 2);
    tasks->activeContextMenu()->close();

    // The money tree's root row has no menu, whichever way it is asked for.
    auto* money = tree(2);
    money->selectPath({});
    QTest::keyClick(money, Qt::Key_Menu);
    QVERIFY(!money->activeContextMenu());
}

void ProjectDetailsBarTest::keys_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("command");
    const auto row = [](const char* name, int which, QList<int> selection, Qt::Key key, int command,
                        Qt::KeyboardModifiers modifiers = {}) {
        dataRow(name, which, selection, int(key), int(modifiers), command);
    };
    row("delete task", 0, {0}, Qt::Key_Delete, int(Command::DeleteTask));
    row("enter modifies sub task", 0, {0, 0}, Qt::Key_Return, int(Command::ModifyTask));
    row("F2 modifies meeting", 1, {0}, Qt::Key_F2, int(Command::ModifyMeeting));
    row("insert adds task", 0, {}, Qt::Key_Insert, int(Command::AddTask));
    row("ctrl+I imports meetings", 1, {}, Qt::Key_I, int(Command::ImportMeetings), Qt::ControlModifier);
    row("insert in expenses", 2, {2, 0}, Qt::Key_Insert, int(Command::AddExpense));
    row("delete invoice", 2, {0, 0}, Qt::Key_Delete, int(Command::DeleteInvoice));
    row("delete on root does nothing", 0, {}, Qt::Key_Delete, -1);
}

void ProjectDetailsBarTest::keys()
{
    QFETCH(int, which);
    QFETCH(QList<int>, selection);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, command);
    auto* view = tree(which);
    view->setFocus();
    view->selectPath(toPath(selection));
    QSignalSpy commands(m_bar.get(), &ProjectDetailsBar::commandRequested);

    QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    expectCommand(commands, command);
}

void ProjectDetailsBarTest::fileIconsOpenTheirFiles()
{
    auto* tasks = tree(0);
    const QRect missing = tasks->fileIconRect(tasks->indexOf({1}));
    QVERIFY(!missing.isEmpty());
    QVERIFY(tasks->fileIconRect(tasks->indexOf({0})).isEmpty());
    UserDialogs::takeMessages();
    QTest::mouseClick(tasks->viewport(), Qt::LeftButton, {}, missing.center());
    QCOMPARE(UserDialogs::takeMessages(), QStringList{"Error: File not found\nMay be file moved or deleted"});
    QVERIFY(UserDialogs::takeOpenedUrls().isEmpty());

    auto* money = tree(2);
    money->expand(money->indexOf({1}));
    const QUrl existing = QUrl::fromLocalFile(m_sample.existingFile);
    QTest::mouseClick(money->viewport(), Qt::LeftButton, {},
                      money->fileIconRect(money->indexOf({1, 0})).center());
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{existing});

    // The root row's first document slot is the project's income link; the others are empty.
    QVERIFY(money->documentIconRect(1).isEmpty());
    QTest::mouseClick(money->viewport(), Qt::LeftButton, {}, money->documentIconRect(0).center());
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{existing});
    QVERIFY(UserDialogs::takeMessages().isEmpty());
}

void ProjectDetailsBarTest::revealedEntryIsExpandedIntoView()
{
    auto* money = tree(2);
    QVERIFY(money->isExpanded(money->indexOf({})));
    QVERIFY(!money->isExpanded(money->indexOf({2})));

    m_bar->rebuild(m_sample.project, m_sample.expense, WhichTrees::MoneyFlow);
    QVERIFY(money->isExpanded(money->indexOf({2})));
    QVERIFY(!money->isExpanded(money->indexOf({1})));
    QVERIFY(money->viewport()->rect().intersects(money->visualRect(money->indexOf({2, 0}))));
}

QTEST_MAIN(ProjectDetailsBarTest)
#include "ProjectDetailsBarTest.moc"
