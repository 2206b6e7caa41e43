// Edit > Find: typing lists what was found at once, and Enter goes to it in the main window.
#include "GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "store/RecordStore.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/FindWindow.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QAction>
#include <QDateEdit>
#include <QLineEdit>
#include <QTreeView>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

class FindWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void typeThenEnterGoesToTheRecord();
};

void FindWindowTest::typeThenEnterGoesToTheRecord()
{
    test::GuiWorld world;
    RecordStore& store = world.store();
    const QDate today = QDate::currentDate();
    world.addProject(QStringLiteral("Current"), today.toString(Qt::ISODate),
                     today.addDays(9).toString(Qt::ISODate));
    // Two years back: outside the months the list shows at start.
    const QDate old = today.addYears(-2);
    const QByteArray project = world.addProject(QStringLiteral("Old harbour"), old.toString(Qt::ISODate),
                                                old.addDays(30).toString(Qt::ISODate));
    TaskRecord task = emptyRecord<TaskRecord>();
    task.projectIdentifier = project;
    task.kind = TaskRecord::kTopLevel;
    task.name = "Pour the quay concrete";
    task.start = task.end = DateTime::fromDate(old);
    const QByteArray taskId = store.AddTask(task).identifier;
    InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
    invoice.projectIdentifier = project;
    invoice.invoiceNumber = "INV-QUAY";
    invoice.invoiceDate = DateTime::fromDate(old);
    const QByteArray invoiceId = store.AddInvoice(invoice).identifier;

    DataFolderLock lock;
    CMainFrame frame(store, lock);
    frame.show();
    auto* findAction = frame.findChild<QAction*>(QStringLiteral("actionFind"));
    QVERIFY(findAction);
    QCOMPARE(findAction->shortcut(), QKeySequence(QKeySequence::Find));
    findAction->trigger();
    auto* window = frame.findChild<FindWindow*>();
    QVERIFY(window && window->isVisible());
    for (QWidget* control : std::initializer_list<QWidget*>{window->textEdit(), window->resultView()})
        QVERIFY(!control->accessibleName().isEmpty());

    // Accents and case aside; the results come as soon as the index, prepared on another thread, is there.
    QTest::keyClicks(window->textEdit(), QStringLiteral("QUÁY"));
    QTRY_COMPARE(window->hits().size(), std::size_t(2));
    QAbstractItemModel* model = window->resultView()->model();
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Task"));
    QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("Old harbour"));
    QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("Pour the quay concrete"));
    QCOMPARE(model->index(0, 3).data(Qt::UserRole + 1).toInt(), 9);
    QCOMPARE(model->index(0, 3).data(Qt::UserRole + 2).toInt(), 4);

    // Enter in the text box goes to the current result: the months widen, the project and task are selected.
    QTest::keyClick(window->textEdit(), Qt::Key_Return);
    QCOMPARE(frame.selectedProjectId(), project);
    QVERIFY(frame.fromPicker()->date() <= old);
    QCOMPARE(frame.projectList()->projectAt(frame.projectList()->selectedRow())->identifier, project);
    QCOMPARE(frame.detailsBar()->currentTab(), TreeKind::Tasks);
    QCOMPARE(frame.detailsBar()->selectedTaskId(), taskId);

    // Enter on the invoice's row shows its page.
    window->resultView()->setFocus();
    window->resultView()->setCurrentIndex(model->index(1, 0));
    QTest::keyClick(window->resultView(), Qt::Key_Return);
    QCOMPARE(frame.detailsBar()->currentTab(), TreeKind::MoneyFlow);
    QCOMPARE(frame.detailsBar()->selectedInvoiceId(), invoiceId);
    QCOMPARE(frame.detailsView()->shownInvoiceId(), invoiceId);

    QTest::keyClick(window->resultView(), Qt::Key_Escape);
    QVERIFY(!window->isVisible());

    // A record changed meanwhile is found once the window is back and has prepared a new index.
    TaskRecord renamed = store.GetTask(taskId);
    renamed.name = "Pour the pier";
    QCOMPARE(store.ModifyTask(renamed), QString());
    findAction->trigger();
    QTRY_VERIFY(!window->isPreparing() && window->hits().size() == 1);
}

QTEST_MAIN(FindWindowTest)
#include "FindWindowTest.moc"
