// A project far larger than usual in the main window: 5,000 tasks in its tree and a synopsis of a
// megabyte, which the synopsis bar and the project sheet must give back unchanged.
#include "GuiTestSupport.h"

#include "editors/CProjectSheet.h"
#include "reports/DetailsReport.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "shell/WorkupBar.h"
#include "store/DemoData.h"
#include "store/RecordKind.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/PageDocument.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QtTest>

using namespace korvane;

namespace {

int taskCount(const TreeNode& node)
{
    int count = node.task() ? 1 : 0;
    for (const TreeNode& child : node.children)
        count += taskCount(child);
    return count;
}

/** Moves the list's selection to the project with the arrow keys, as a user does. */
void chooseByKeys(CMainFrame& frame, const QByteArray& projectId)
{
    CKorvaneView* list = frame.projectList();
    const int target = list->rowOfProject(projectId);
    QVERIFY(target >= 1);
    while (list->selectedRow() != target)
        QTest::keyClick(list, list->selectedRow() < target ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(frame.selectedProjectId(), projectId);
}

/** Qt's own browser, given the pictures as the pages name them: the page as it shows without help. */
class PlainBrowser : public QTextBrowser
{
public:
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QVariant resource =
            loadPageResource(type, name, QFileInfo(source().toLocalFile()).absolutePath());
        return resource.isValid() ? resource : QTextBrowser::loadResource(type, name);
    }
};

} // namespace

class LargeProjectTest : public QObject
{
    Q_OBJECT

private slots:
    void synopsisAndTreeOfALargeProject();
};

void LargeProjectTest::synopsisAndTreeOfALargeProject()
{
    test::GuiWorld world;
    DemoOptions options;
    options.projects = 1;
    options.seed = 4;
    options.tasksPerProject = 5000;
    options.meetingsPerProject = 1;
    options.moneyFlowsPerProject = 2;
    options.invoicesPerProject = 0;
    QVERIFY(writeDemoFolder(world.dataFolder(), options).ok());
    RecordStore& store = world.store();
    store.LoadAll();
    QCOMPARE(store.projects().size(), 1);
    const QByteArray large = store.projects().begin()->key;
    const QDate start = store.projects().find(large)->startDate.date();
    const QByteArray small = world.addProject(QStringLiteral("Small"), start.toString(Qt::ISODate),
                                              start.addDays(5).toString(Qt::ISODate));

    // Windows line breaks, UTF-8 beyond ASCII, tabs and markup characters, over a megabyte.
    QByteArray synopsis;
    for (int line = 0; synopsis.size() < (1 << 20); ++line)
        synopsis += "Zeile " + QByteArray::number(line) +
                    ": Gr\xc3\xb6\xc3\x9f"
                    "e\tund <Ma\xc3\x9f> & \"mehr\"\r\n";
    ProjectRecord project = store.GetProject(large);
    project.synopsis = synopsis;
    QVERIFY(store.ModifyProject(project).isEmpty());
    const QString projectFile = store.fileName(RecordKind::Project, large);
    const QByteArray storedFile = test::fileBytes(projectFile);

    DataFolderLock lock;
    CMainFrame frame(store, lock);
    frame.resize(1200, 800);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.fromPicker()->setDate(QDate(start.year(), start.month(), 1));
    frame.toPicker()->setDate(QDate(start.year(), start.month(), 1));
    QCOMPARE(frame.projectList()->rowCount(), 3);
    chooseByKeys(frame, large);
    QCOMPARE(taskCount(frame.detailsBar()->taskTree()), 5000);

    // The details page of 5,000 tasks shows its top at once; the rest is read when the reader goes
    // towards it. A page asked for meanwhile wins, and a part no longer wanted never shows.
    CDetailsView* details = frame.detailsView();
    QVERIFY(details->isPartial());
    QVERIFY(!details->isPreparing());
    const QString pagePath = details->source().toLocalFile();
    QVERIFY(pagePath.endsWith(QStringLiteral("/Details.html")));
    QVERIFY(test::fileBytes(pagePath) == DetailsReport::generate(store, large, QLocale()).toUtf8());
    details->showWholePage();
    QVERIFY(details->isPreparing());
    chooseByKeys(frame, small);
    QVERIFY(!details->isPreparing() && !details->isPartial());
    QVERIFY(details->toPlainText().contains(QStringLiteral("Small")));
    chooseByKeys(frame, large);
    frame.grab();

    // On screen the top is what Qt's own browser shows of the whole file, pixel for pixel.
    const QImage topShown = details->viewport()->grab().toImage();
    {
        PlainBrowser plain;
        plain.setPalette(details->palette());
        plain.setFont(details->font());
        plain.resize(details->size());
        plain.setSource(QUrl::fromLocalFile(pagePath));
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        QCOMPARE(plain.viewport()->grab().toImage(), topShown);
    }

    // End waits for the whole page, then goes to its end; the top stays as it was meanwhile.
    const QString top = details->toPlainText();
    QSignalSpy shown(details, &CDetailsView::pageShown);
    details->setFocus();
    QTest::keyClick(details, Qt::Key_End);
    QVERIFY(details->isPreparing());
    QCOMPARE(details->viewport()->grab().toImage(), topShown);
    QVERIFY(shown.wait(120000));
    QVERIFY(!details->isPartial());
    QVERIFY(details->lastError().isEmpty());
    const QString page = details->toPlainText();
    int listed = 0;
    for (const auto& entry : store.tasks())
        listed +=
            entry.record.projectIdentifier == large && page.contains(QString::fromUtf8(entry.record.name));
    QCOMPARE(listed, 5000);
    QVERIFY(top.size() < page.size() / 10);
    QVERIFY(page.startsWith(top.left(top.size() / 2)));
    QCOMPARE(details->verticalScrollBar()->value(), details->verticalScrollBar()->maximum());
    // Shown and painted, the page keeps the layout it was prepared with.
    frame.grab();
    const auto* prepared = dynamic_cast<const PageDocument*>(details->document());
    QVERIFY(prepared);
    QCOMPARE(prepared->relayoutsSincePrepared(), 0);

    // Looked at in the bar and left for another project: the file is not even rewritten.
    chooseByKeys(frame, small);
    chooseByKeys(frame, large);
    QVERIFY(test::fileBytes(projectFile) == storedFile);

    // Modify Project, OK without a change: the synopsis comes back byte for byte.
    int sheets = 0;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        auto& sheet = static_cast<CProjectSheet&>(dialog);
        ++sheets;
        while (sheet.currentId() != CProjectSheet::SynopsisPage) {
            const int before = sheet.currentId();
            sheet.next();
            if (sheet.currentId() == before)
                return int(QDialog::Rejected);
        }
        return int(QDialog::Accepted);
    });
    frame.runCommand(Command::ModifyProject);
    UserDialogs::setDialogHandler({});
    QCOMPARE(sheets, 1);
    frame.runCommand(Command::Refresh);
    QVERIFY(store.projects().find(large)->synopsis == synopsis);

    // Typed at the end in the bar, then another project chosen: all of it is stored with the addition.
    chooseByKeys(frame, large);
    QPlainTextEdit* edit = frame.workupBar()->synopsisEdit();
    edit->moveCursor(QTextCursor::End);
    QTest::keyClicks(edit, QStringLiteral("Fin."));
    const QByteArray typed = edit->toPlainText().toUtf8();
    chooseByKeys(frame, small);
    frame.runCommand(Command::Refresh);
    QVERIFY(store.projects().find(large)->synopsis == typed);
    QVERIFY(typed.endsWith("\"mehr\"\nFin.") || typed.endsWith("\"mehr\"\r\nFin."));
    QCOMPARE(typed.count("Zeile "), synopsis.count("Zeile "));
    QVERIFY(UserDialogs::takeMessages().isEmpty());
}

QTEST_MAIN(LargeProjectTest)
#include "LargeProjectTest.moc"
