// The main window as a whole: command states, deletes, refreshes, month moves, the synopsis and
// the setting written on close. The panes' own behaviour is tested with each pane.
#include "GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "reports/PageLink.h"
#include "shell/CMainFrame.h"
#include "shell/CalendarStep.h"
#include "shell/DataFolderLock.h"
#include "shell/LockKeyIndicators.h"
#include "shell/WorkupBar.h"
#include "store/AppSettings.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QToolBar>
#include <QWizard>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

class MainFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void monthSteps_data();
    void monthSteps();
    void emptyFolderDisablesProjectCommands();
    void monthMovesRefillTheList();
    void invoicePagesAndLinks();
    void themeSwitchAndCloseWritesSetting();
    void editorsStoreRefreshAndSwitchTabs();
};

void MainFrameTest::monthSteps_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("months");
    QTest::addColumn<int>("years");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("31 Jan + 1 month") << QDate(2026, 1, 31) << 1 << 0 << QDate(2026, 2, 28);
    QTest::newRow("31 Jan + 1 month, leap") << QDate(2024, 1, 31) << 1 << 0 << QDate(2024, 2, 29);
    QTest::newRow("29 Feb + 1 year") << QDate(2024, 2, 29) << 0 << 1 << QDate(2025, 2, 28);
    QTest::newRow("January - 1 month") << QDate(2026, 1, 15) << -1 << 0 << QDate(2025, 12, 15);
    QTest::newRow("December + 1 month") << QDate(2026, 12, 31) << 1 << 0 << QDate(2027, 1, 31);
    QTest::newRow("31 March - 1 month") << QDate(2026, 3, 31) << -1 << 0 << QDate(2026, 2, 28);
}

void MainFrameTest::monthSteps()
{
    QFETCH(QDate, from);
    QFETCH(int, months);
    QFETCH(int, years);
    QFETCH(QDate, expected);
    QCOMPARE(stepMonth(from, months, years), expected);
}

void MainFrameTest::emptyFolderDisablesProjectCommands()
{
    test::GuiWorld world;
    DataFolderLock lock;
    CMainFrame frame(world.store(), lock);
    QCOMPARE(frame.projectList()->rowCount(), 1);
    QVERIFY(!frame.action(Command::ModifyProject)->isEnabled());
    QVERIFY(!frame.action(Command::DeleteProject)->isEnabled());
    QVERIFY(frame.action(Command::AddProject)->isEnabled());
    // The actions follow the details bar's tab (the rules themselves are the command table's).
    frame.detailsBar()->setCurrentTab(TreeKind::Meetings);
    QVERIFY(frame.action(Command::AddMeeting)->isEnabled());
    QVERIFY(!frame.action(Command::AddTask)->isEnabled());
    QVERIFY(frame.detailsBar()->taskTree().label.startsWith(QStringLiteral("Tasks(0)")));
    QVERIFY(frame.detailsView()->toPlainText().contains(QStringLiteral("No Project Is Selected")));
    // Commands that need a project do nothing without one.
    frame.runCommand(Command::DeleteProject);
    QVERIFY(UserDialogs::takeMessages().isEmpty());
}

void MainFrameTest::monthMovesRefillTheList()
{
    test::GuiWorld world;
    const QDate today = QDate::currentDate();
    const QDate nextMonth = stepMonth(today, 1, 0);
    world.addProject(QStringLiteral("Now"), thisMonth(1), thisMonth(20));
    world.addProject(QStringLiteral("Later"),
                     QDate(nextMonth.year(), nextMonth.month(), 1).toString(Qt::ISODate),
                     QDate(nextMonth.year(), nextMonth.month(), 9).toString(Qt::ISODate));
    DataFolderLock lock;
    CMainFrame frame(world.store(), lock);
    QCOMPARE(frame.projectList()->rowCount(), 2);
    frame.runCommand(Command::ToNextMonth);
    QCOMPARE(frame.projectList()->rowCount(), 3);
    frame.runCommand(Command::FromNextMonth);
    QCOMPARE(frame.projectList()->rowCount(), 2);
    QCOMPARE(frame.projectList()->projectAt(1)->name, QByteArray("Later"));
    // "From" moving past "to" drags the "to" month along: the range never turns empty by itself.
    frame.runCommand(Command::FromNextYear);
    QVERIFY(frame.toPicker()->date() >= frame.fromPicker()->date());

    // On a 1024-pixel screen both pickers and the steps after them lie inside the window; wider, one row.
    for (const int width : {1024, 2000}) {
        frame.resize(width, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto* bar = qobject_cast<QToolBar*>(frame.toPicker()->parentWidget());
        QApplication::processEvents();
        QVERIFY(frame.rect().contains(QRect(bar->mapTo(&frame, QPoint(0, 0)), bar->sizeHint())));
        QCOMPARE(frame.toolBarBreak(bar), width == 1024);
    }
}

void MainFrameTest::invoicePagesAndLinks()
{
    test::GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Alpha"), thisMonth(1), thisMonth(20));
    InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
    invoice.projectIdentifier = project;
    invoice.task = "Design";
    invoice.invoiceNumber = "INV-7";
    invoice.subject = "Design work";
    invoice.body = "Thanks";
    invoice.invoiceDate = DateTime::fromDate(QDate::currentDate());
    invoice.identifier = store.AddInvoice(invoice).identifier;
    DataFolderLock lock;
    CMainFrame frame(store, lock);

    frame.showInvoiceList(true);
    QVERIFY(frame.detailsView()->shownFile().endsWith(QStringLiteral("InvoiceTemp.html")));
    frame.refreshRightPane(invoice.identifier, CMainFrame::RightPane::Invoice);
    QVERIFY(frame.detailsView()->shownFile().endsWith(QStringLiteral("Invoice.html")));
    QCOMPARE(frame.detailsView()->shownInvoiceId(), invoice.identifier);
    frame.showInvoiceList(false);
    QVERIFY(frame.detailsView()->shownFile().endsWith(QStringLiteral("Details.html")));

    emit frame.detailsView()->linkCommand(PageLink::parse(QStringLiteral("invoice::MailTo")));
    const QList<QUrl> opened = UserDialogs::takeOpenedUrls();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().scheme(), QStringLiteral("mailto"));

    bool previewed = false;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        previewed = qobject_cast<QPrintPreviewDialog*>(&dialog) != nullptr;
    });
    emit frame.detailsView()->linkCommand(PageLink::parse(QStringLiteral("print::") + invoice.identifier));
    QTRY_VERIFY(previewed);
}

void MainFrameTest::themeSwitchAndCloseWritesSetting()
{
    test::GuiWorld world;
    DataFolderLock lock;
    CMainFrame frame(world.store(), lock);
    QCOMPARE(frame.theme(), Theme::Windows2003);
    QVERIFY(frame.action(Command::ThemeWindows2003)->isChecked());
    frame.runCommand(Command::ThemeWindowsXP);
    QCOMPARE(frame.theme(), Theme::WindowsXP);
    QVERIFY(frame.action(Command::ThemeWindowsXP)->isChecked());
    QVERIFY(!frame.action(Command::ThemeWindows2003)->isChecked());
    QCOMPARE(frame.palette().color(QPalette::Window), Themes::faceColour(Theme::WindowsXP));
    // The theme is remembered.
    QCOMPARE(CMainFrame(world.store(), lock).theme(), Theme::WindowsXP);

    // System, dark: the application turns dark, the pages stay light.
    Themes::setDarkOverride(true);
    frame.runCommand(Command::ThemeSystem);
    QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 128);
    QVERIFY(frame.detailsView()->palette().color(QPalette::Text).lightness() < 128);
    QVERIFY(frame.detailsView()->palette().color(QPalette::Base).lightness() > 200);
    Themes::setDarkOverride(std::nullopt);
    frame.runCommand(Command::ThemeWindows2003);
    QVERIFY(QApplication::palette().color(QPalette::Window).lightness() > 128);

    // The lock key panes: NUM and SCRL while on, Caps Lock always blank.
    auto* locks = frame.findChild<LockKeyIndicators*>();
    QVERIFY(locks);
    locks->setStateReader([](LockKeyIndicators::Key key) { return key == LockKeyIndicators::Key::NumLock; });
    QCOMPARE(locks->findChild<QLabel*>(QStringLiteral("numLockPane"))->text(), QStringLiteral("NUM"));
    QVERIFY(locks->findChild<QLabel*>(QStringLiteral("scrollLockPane"))->text().isEmpty());
    locks->setStateReader([](LockKeyIndicators::Key) { return true; });
    QCOMPARE(locks->findChild<QLabel*>(QStringLiteral("scrollLockPane"))->text(), QStringLiteral("SCRL"));
    QVERIFY(locks->findChild<QLabel*>(QStringLiteral("capsLockPane"))->text().isEmpty());

    QVERIFY(AppSettings::workingFolder().isEmpty());
    frame.close();
    QCOMPARE(QDir(AppSettings::workingFolder()).canonicalPath(), QDir(world.pickedFolder()).canonicalPath());
}

void MainFrameTest::editorsStoreRefreshAndSwitchTabs()
{
    test::GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Alpha"), thisMonth(1), thisMonth(20));
    DataFolderLock lock;
    CMainFrame frame(store, lock);

    // Add Meeting stores the meeting before its sheet opens; Cancel takes it back, and the tab still moves.
    int sheets = 0;
    bool storedWhileOpen = false;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        ++sheets;
        storedWhileOpen =
            qobject_cast<QWizard*>(&dialog) && store.ofProject<MeetingRecord>(project).size() == 1;
    });
    frame.runCommand(Command::AddMeeting);
    QCOMPARE(sheets, 1);
    QVERIFY(storedWhileOpen);
    QVERIFY(store.ofProject<MeetingRecord>(project).empty());
    QCOMPARE(frame.detailsBar()->currentTab(), TreeKind::Meetings);

    // Add Income: the entry is stored, the money tree shows it, and a second call meanwhile is ignored.
    int dialogs = 0;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        ++dialogs;
        frame.runCommand(Command::AddIncome);
        dialog.findChild<QLineEdit*>(QStringLiteral("amountEdit"))->setText(QStringLiteral("200"));
        dialog.findChild<QLineEdit*>(QStringLiteral("taxEdit"))->setText(QStringLiteral("10"));
        dialog.accept();
        return dialog.result();
    });
    frame.runCommand(Command::AddIncome);
    QCOMPARE(dialogs, 1);
    const auto entries = store.ofProject<MoneyFlowRecord>(project);
    QCOMPARE(entries.size(), std::size_t(1));
    QCOMPARE(entries.front()->netAmount, 180.0);
    QCOMPARE(frame.detailsBar()->currentTab(), TreeKind::MoneyFlow);
    QVERIFY(frame.detailsBar()->moneyTree().label.startsWith(QStringLiteral("Payment(0/1/0)")));
}

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
