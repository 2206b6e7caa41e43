#include "gui/GuiTestSupport.h"

#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "reports/PageLink.h"
#include "reports/PageWriter.h"
#include "store/ProgramFolder.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CGraphPage.h"
#include "views/widgets/CGraphSheet.h"
#include "views/widgets/ProgressChart.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace korvane;
using namespace korvane::test;

namespace {

QByteArray addTask(RecordStore& store, const QByteArray& project, const QByteArray& name, const QString& start,
                   const QString& end, int percent = 0)
{
    TaskRecord task = emptyRecord<TaskRecord>();
    task.projectIdentifier = project;
    task.kind = TaskRecord::kTopLevel;
    task.name = name;
    task.priority = TaskRecord::Medium;
    task.start = DateTime::fromDate(QDate::fromString(start, Qt::ISODate));
    task.end = DateTime::fromDate(QDate::fromString(end, Qt::ISODate));
    task.percentComplete = percent;
    return store.AddTask(task).identifier;
}

QByteArray addInvoice(RecordStore& store, const QByteArray& project, const QByteArray& number)
{
    InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
    invoice.projectIdentifier = project;
    invoice.task = "Survey";
    invoice.invoiceNumber = number;
    invoice.currencyText = "$-US DOLLAR";
    return store.AddInvoice(invoice).identifier;
}

void writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// Every picture the shown document names, as the document itself resolves it.
QStringList unresolvedImages(const QTextDocument& document)
{
    QStringList missing;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            if (document.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>().isNull())
                missing.append(name);
        }
    }
    return missing;
}

// Moves the keyboard focus of the browser to its next link and follows it, as Tab and Enter do.
void followNextLink(CDetailsView& view)
{
    QTest::keyClick(&view, Qt::Key_Tab);
    QTest::keyClick(&view, Qt::Key_Return);
}

} // namespace

class DetailsPaneTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 1, 10), QTime(12, 0))); }
    void cleanup() { Clock::setFixed({}); }

    void detailsPageIsWrittenAndShownWithItsPictures();
    void pictureNamesWithBackslashResolve_data();
    void pictureNamesWithBackslashResolve();
    void linksFollowedFromTheKeyboard();
    void ordinaryLinks();
    void invoicePagesAndShowingDetailsAgain();
    void pageThatCannotBeWrittenKeepsThePreviousPage();
    void degenerateAxesDrawWithoutCrashing_data();
    void degenerateAxesDrawWithoutCrashing();
    void chartRowsAndTabsFromTheKeyboard();
};

void DetailsPaneTest::detailsPageIsWrittenAndShownWithItsPictures()
{
    GuiWorld world;
    world.fillDemoData(2);
    const QByteArray project = world.store().projects().begin()->key;
    CDetailsView view(world.store());
    view.showProjectDetails(project);

    const QString page = world.programFolder() + QStringLiteral("/Details.html");
    QVERIFY(QFile::exists(page));
    QCOMPARE(view.shownFile(), page);
    QVERIFY(view.toPlainText().contains(QString::fromUtf8(world.store().projects().begin()->record.name)));
    QCOMPARE(unresolvedImages(*view.document()), QStringList());

    // The same page shown again after a change is read from disk again, never from the browser's cache.
    ProjectRecord renamed = world.store().GetProject(project);
    renamed.name = "Renamed Harbour Works";
    QCOMPARE(world.store().ModifyProject(renamed), QString());
    view.showProjectDetails(project);
    QVERIFY(view.toPlainText().contains(QStringLiteral("Renamed Harbour Works")));
    QVERIFY(view.lastError().isEmpty());
}

void DetailsPaneTest::pictureNamesWithBackslashResolve_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("as written") << QStringLiteral("Images\\Project.bmp");
    QTest::newRow("percent-encoded") << QStringLiteral("Images%5CProject.bmp");
    QTest::newRow("forward slash") << QStringLiteral("Images/Task.bmp");
}

void DetailsPaneTest::pictureNamesWithBackslashResolve()
{
    QFETCH(QString, name);
    GuiWorld world;
    CDetailsView view(world.store());
    view.showProjectDetails({}); // places the shipped pictures beside the page
    QVERIFY(!view.loadResource(QTextDocument::ImageResource, QUrl(name)).value<QImage>().isNull());
    // The form the browser hands over after resolving against the page's folder.
    const QUrl resolved = QUrl::fromLocalFile(world.programFolder() + QLatin1Char('/')).resolved(QUrl(name));
    QVERIFY(!view.loadResource(QTextDocument::ImageResource, resolved).value<QImage>().isNull());
}

void DetailsPaneTest::linksFollowedFromTheKeyboard()
{
    GuiWorld world;
    const QByteArray project = world.addProject(QStringLiteral("Canal Locks"), "2026-01-01", "2026-03-01");
    const QByteArray invoice = addInvoice(world.store(), project, "INV-7");
    CDetailsView view(world.store());
    view.showInvoice(invoice);
    QList<PageLink> commands;
    connect(&view, &CDetailsView::linkCommand, this, [&commands](const PageLink& link) { commands.append(link); });

    for (int i = 0; i < 4; ++i)
        followNextLink(view);
    QCOMPARE(commands.size(), 4);
    QCOMPARE(commands.at(0).action, PageLink::Action::PrintShownInvoice);
    QCOMPARE(commands.at(1).action, PageLink::Action::WordExportShownInvoice);
    QCOMPARE(commands.at(2).action, PageLink::Action::HtmlExportShownInvoice);
    QCOMPARE(commands.at(3).action, PageLink::Action::MailShownInvoice);
    // A command neither navigates nor goes to the desktop.
    QCOMPARE(view.shownFile(), PageWriter::path(PageFile::Invoice));
    QVERIFY(UserDialogs::takeOpenedUrls().isEmpty());

    // The invoice list prints the invoice of the followed line.
    commands.clear();
    const QByteArray other = addInvoice(world.store(), project, "INV-8");
    view.showInvoiceList(project);
    followNextLink(view);
    followNextLink(view);
    QCOMPARE(commands.size(), 2);
    QSet<QString> printed;
    for (const PageLink& link : commands) {
        QCOMPARE(link.action, PageLink::Action::PrintListedInvoice);
        printed.insert(link.invoiceIdentifier);
    }
    QCOMPARE(printed, (QSet<QString>{QString::fromUtf8(invoice), QString::fromUtf8(other)}));
}

void DetailsPaneTest::ordinaryLinks()
{
    GuiWorld world;
    CDetailsView view(world.store());
    view.showProjectDetails({});
    const QString details = view.shownFile();
    writeFile(world.programFolder() + QStringLiteral("/Links.html"),
              "<html><body><a href=\"https://example.org/help\">web</a> <a href=\"run.sh\">script</a> "
              "<a href=\"Details.html\">details</a></body></html>");
    writeFile(world.programFolder() + QStringLiteral("/run.sh"), "#!/bin/sh\n");
    view.setSource(QUrl::fromLocalFile(world.programFolder() + QStringLiteral("/Links.html")));
    QList<PageLink> commands;
    connect(&view, &CDetailsView::linkCommand, this, [&commands](const PageLink& link) { commands.append(link); });

    followNextLink(view);
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{QUrl(QStringLiteral("https://example.org/help"))});

    // A page never hands a local program to the desktop.
    followNextLink(view);
    QVERIFY(UserDialogs::takeOpenedUrls().isEmpty());
    QVERIFY(view.toPlainText().contains(QStringLiteral("script")));

    followNextLink(view);
    QCOMPARE(view.shownFile(), details);
    QVERIFY(view.toPlainText().contains(QStringLiteral("No Project Is Selected")));
    QVERIFY(commands.isEmpty());
}

void DetailsPaneTest::invoicePagesAndShowingDetailsAgain()
{
    GuiWorld world;
    const QByteArray project = world.addProject(QStringLiteral("Old Mill"), "2026-01-01", "2026-03-01");
    const QByteArray invoice = addInvoice(world.store(), project, "INV-1");
    CDetailsView view(world.store());

    view.showProjectDetails(project);
    view.showInvoice(invoice);
    QCOMPARE(view.shownInvoiceId(), invoice);
    QCOMPARE(view.shownFile(), PageWriter::path(PageFile::Invoice));
    QVERIFY(view.toPlainText().contains(QStringLiteral("INV-1")));

    view.showInvoiceList(project);
    QCOMPARE(view.shownFile(), PageWriter::path(PageFile::InvoiceTemp));
    QVERIFY(view.toPlainText().contains(QStringLiteral("INV-1")));

    // Showing the details again takes the page as it was written, without generating it anew.
    ProjectRecord renamed = world.store().GetProject(project);
    renamed.name = "New Mill";
    QCOMPARE(world.store().ModifyProject(renamed), QString());
    view.showDetailsAgain();
    QCOMPARE(view.shownFile(), PageWriter::path(PageFile::Details));
    QVERIFY(view.toPlainText().contains(QStringLiteral("Old Mill")));
    QVERIFY(!view.toPlainText().contains(QStringLiteral("New Mill")));
    QCOMPARE(view.shownInvoiceId(), invoice);
}

void DetailsPaneTest::pageThatCannotBeWrittenKeepsThePreviousPage()
{
    GuiWorld world;
    const QByteArray project = world.addProject(QStringLiteral("Old Mill"), "2026-01-01", "2026-03-01");
    const QByteArray first = addInvoice(world.store(), project, "INV-1");
    const QByteArray second = addInvoice(world.store(), project, "INV-2");
    CDetailsView view(world.store());
    view.showInvoice(first);
    const QString shown = view.toPlainText();
    QVERIFY(QDir(world.programFolder()).mkdir(QStringLiteral("Details.html")));

    view.showProjectDetails(project);
    QCOMPARE(view.shownFile(), PageWriter::path(PageFile::Invoice));
    QCOMPARE(view.toPlainText(), shown);
    QVERIFY(view.lastError().contains(QStringLiteral("Details.html")));

    view.showDetailsAgain();
    QCOMPARE(view.toPlainText(), shown);

    // The links of the letter still on screen must keep acting on the invoice they belong to.
    QVERIFY(QFile::remove(PageWriter::path(PageFile::Invoice)));
    QVERIFY(QDir(world.programFolder()).mkdir(QStringLiteral("Invoice.html")));
    view.showInvoice(second);
    QCOMPARE(view.toPlainText(), shown);
    QCOMPARE(view.shownInvoiceId(), first);
}

void DetailsPaneTest::degenerateAxesDrawWithoutCrashing_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("width");
    QTest::newRow("ends before it starts") << "2026-03-20" << "2026-03-01" << 700;
    QTest::newRow("ends a year before it starts") << "2027-03-20" << "2026-03-01" << 700;
    QTest::newRow("one day") << "2026-03-01" << "2026-03-01" << 700;
    QTest::newRow("narrower than the columns") << "2026-01-01" << "2026-05-01" << 120;
}

void DetailsPaneTest::degenerateAxesDrawWithoutCrashing()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, width);
    GuiWorld world;
    const QByteArray project = world.addProject(QStringLiteral("Backwards"), start, end);
    addTask(world.store(), project, "Inside", "2026-03-05", "2026-03-10", 40);
    // Far outside the axis and over 100 % done: the bar must be cut to the cell, not drawn tile by tile.
    addTask(world.store(), project, "Centuries", "1900-01-01", "9999-12-31", 250);
    addTask(world.store(), project, "No dates", "", "", 10);
    CGraphPage page(world.store());
    page.resize(width, 300);
    page.fill(project);
    QCOMPARE(page.rowCount(), 6); // the rows themselves are ProgressGraphModel's
    QVERIFY(!page.grab().isNull());
    // An unknown project empties the chart, which still paints.
    page.fill("99999999999999990");
    QCOMPARE(page.rowCount(), 0);
    QCOMPARE(page.chart()->graphRow(0), nullptr);
    QVERIFY(!page.grab().isNull());
}

void DetailsPaneTest::chartRowsAndTabsFromTheKeyboard()
{
    GuiWorld world;
    const QByteArray project = world.addProject(QStringLiteral("Ring Road"), "2026-01-01", "2026-01-31");
    addTask(world.store(), project, "Survey", "2026-01-02", "2026-01-20");
    CGraphSheet sheet(world.store());
    sheet.graphPage()->fill(project);
    ProgressChart* chart = sheet.graphPage()->chart();
    chart->setCurrentIndex(chart->model()->index(0, 0));
    QTest::keyClick(chart, Qt::Key_Down);
    QCOMPARE(chart->currentIndex().row(), 1);
    QTest::keyClick(chart, Qt::Key_End);
    QCOMPARE(chart->currentIndex().row(), 3);
    QCOMPARE(chart->selectionModel()->selectedRows().size(), 1);

    // The sheet tells once per switch whether the graph is shown.
    QSignalSpy shown(&sheet, &CGraphSheet::graphShownChanged);
    QTest::keyClick(sheet.detailsView(), Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(sheet.isGraphShown());
    QTest::keyClick(sheet.tabBar(), Qt::Key_Left);
    QVERIFY(!sheet.isGraphShown());
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.at(0).at(0).toBool(), true);
    QCOMPARE(shown.at(1).at(0).toBool(), false);
}

QTEST_MAIN(DetailsPaneTest)
#include "DetailsPaneTest.moc"
