#include "gui/GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/ProjectRowDelegate.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

namespace {

const QString kFileNotFound = QStringLiteral("Error: File not found\nMay be file moved or deleted");

/** A world with a shown project list and a record of the list's signals in the order they came. */
struct ListWorld
{
    test::GuiWorld world;
    CKorvaneView view{world.store()};
    QStringList events;

    ListWorld()
    {
        view.resize(400, 400);
        QObject::connect(&view, &CKorvaneView::aboutToChangeProject,
                         [this] { events << QStringLiteral("commit"); });
        QObject::connect(&view, &CKorvaneView::projectChosen,
                         [this](const QByteArray& id) { events << QStringLiteral("chosen ") + id; });
        QObject::connect(&view, &CKorvaneView::documentsRequested,
                         [this](const QByteArray& id) { events << QStringLiteral("documents ") + id; });
        QObject::connect(&view, &CKorvaneView::modifyRequested,
                         [this] { events << QStringLiteral("modify"); });
    }

    void show()
    {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    void fillYear(int year = 2025) { view.fill(QDate(year, 1, 1), QDate(year, 12, 1)); }

    /** A project of 2025 from the first of `month` to the first of the next month. */
    QByteArray add(const char* name, int month)
    {
        return world.addProject(name, QDate(2025, month, 1).toString(Qt::ISODate),
                                QDate(2025, month + 1, 1).toString(Qt::ISODate));
    }

    QRect rowRect(int row) const { return view.visualRect(view.model()->index(row, 0)); }

    void click(int row, QPoint offset, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(view.viewport(), button, {}, rowRect(row).topLeft() + offset);
    }

    QByteArray addProjectWithLink(const QString& name, const QString& start, const QByteArray& link)
    {
        const QByteArray id = world.addProject(name, start, start);
        ProjectRecord project = world.store().GetProject(id);
        project.fileLink = link;
        world.store().ModifyProject(project);
        return id;
    }

    void addTask(const QByteArray& project, int priority, int percent)
    {
        TaskRecord task = emptyRecord<TaskRecord>();
        task.projectIdentifier = project;
        task.kind = TaskRecord::kTopLevel;
        task.name = "Task";
        task.priority = priority;
        task.percentComplete = percent;
        world.store().AddTask(task);
    }

    QString accessibleText(int row) const
    {
        return view.model()->index(row, 0).data(Qt::AccessibleTextRole).toString();
    }
};

const QPoint kOnName(60, 10);

} // namespace

class ProjectListViewTest : public QObject
{
    Q_OBJECT

private slots:
    void sortsByStartDateUnderTheCaption()
    {
        // The order and the progress are ProjectListModel's (ProjectListModelTest); here what the view shows.
        ListWorld w;
        w.add("Late", 9);
        const QByteArray early = w.add("Early", 2);
        w.addTask(early, TaskRecord::High, 90);
        w.addTask(early, TaskRecord::Low, 30);
        // An empty range says what chooses the listed projects.
        w.fillYear(2030);
        QCOMPARE(w.view.accessibleDescription(), CKorvaneView::emptyListHint());
        w.fillYear();
        QVERIFY(w.view.accessibleDescription().isEmpty());
        QCOMPARE(w.view.rowCount(), 3);
        QVERIFY(!w.view.projectAt(0));
        QCOMPARE(w.view.projectAt(1)->identifier, early);
        QCOMPARE(w.accessibleText(1), QStringLiteral("Early, 01 Feb 25 - 01 Mar 25, progress 75%"));

        w.view.setSelectedRow(2);
        w.fillYear();
        QCOMPARE(w.view.selectedRow(), -1);
        w.view.clear();
        QCOMPARE(w.view.rowCount(), 0);
        QVERIFY(!w.view.projectAt(1));
    }

    void clickOnProjectRowChoosesIt()
    {
        ListWorld w;
        w.add("One", 1);
        const QByteArray two = w.add("Two", 3);
        w.fillYear();
        w.show();
        int markWhenChosen = -2;
        connect(&w.view, &CKorvaneView::projectChosen, [&] { markWhenChosen = w.view.selectedRow(); });

        w.click(2, kOnName);
        QCOMPARE(w.events, (QStringList{"commit", "chosen " + two}));
        QCOMPARE(markWhenChosen, 2);
        QCOMPARE(w.view.selectedRow(), 2);

        // A click on the caption or below the rows does nothing.
        w.events.clear();
        w.click(0, QPoint(100, 10));
        w.click(0, QPoint(100, 10), Qt::RightButton);
        QTest::mouseClick(w.view.viewport(), Qt::LeftButton, {}, QPoint(100, 350));
        QVERIFY(w.events.isEmpty());
        QCOMPARE(w.view.selectedRow(), 2);
    }

    void clickOnLinkIconOpensTheFileOnly_data()
    {
        QTest::addColumn<int>("link"); // 0: none, 1: existing file, 2: moved or deleted file
        QTest::newRow("no link: the project is chosen") << 0;
        QTest::newRow("existing file") << 1;
        QTest::newRow("moved or deleted file") << 2;
    }

    void clickOnLinkIconOpensTheFileOnly()
    {
        QFETCH(int, link);
        ListWorld w;
        const QString path = w.world.pickedFolder() + QStringLiteral("/brief.txt");
        if (link == 1)
            makeFile(path);
        const QByteArray id = w.addProjectWithLink(QStringLiteral("Linked"), QStringLiteral("2025-04-01"),
                                                   link ? path.toUtf8() : QByteArray());
        w.fillYear();
        w.show();

        w.click(1, ProjectRowDelegate::linkIconRect().center());
        const QStringList events = link ? QStringList{"commit"} : QStringList{"commit", "chosen " + id};
        const QList<QUrl> opened = link == 1 ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>();
        QCOMPARE(w.events, events);
        QCOMPARE(w.view.selectedRow(), link ? -1 : 1);
        QCOMPARE(UserDialogs::takeOpenedUrls(), opened);
        QCOMPARE(UserDialogs::takeMessages(), link == 2 ? QStringList(kFileNotFound) : QStringList());
    }

    void documentsIconAsksForTheDocuments()
    {
        ListWorld w;
        const QByteArray id = w.add("Docs", 4);
        w.fillYear();
        w.show();
        w.click(1, ProjectRowDelegate::documentsIconRect().center());
        QCOMPARE(w.events, (QStringList{"commit", "documents " + id}));
        QCOMPARE(w.view.selectedRow(), -1);
    }

    void doubleClickAsksToModifyTheMarkedProject()
    {
        ListWorld w;
        const QByteArray id = w.add("Edit", 4);
        w.fillYear();
        w.show();
        // A real double click: press and release, then the double click in place of the second press.
        w.click(1, kOnName);
        QTest::mouseDClick(w.view.viewport(), Qt::LeftButton, {}, w.rowRect(1).topLeft() + kOnName);
        QCOMPARE(w.events, (QStringList{"commit", "chosen " + id, "commit", "modify"}));

        // Without a marked project there is nothing to modify.
        w.events.clear();
        w.view.setSelectedRow(-1);
        QTest::mouseDClick(w.view.viewport(), Qt::LeftButton, {}, w.rowRect(0).topLeft() + kOnName);
        QVERIFY(w.events.isEmpty());
    }

    void keysMoveTheSelectionLikeClicks()
    {
        ListWorld w;
        QList<QByteArray> ids;
        for (int month = 1; month <= 4; ++month) {
            const QString start = QDate(2025, month, 3).toString(Qt::ISODate);
            ids << w.world.addProject(QStringLiteral("P%1").arg(month), start, start);
        }
        w.fillYear();
        w.show();
        w.view.setFocus();

        const struct
        {
            Qt::Key key;
            int row;
        } steps[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_End, 4}, {Qt::Key_Down, 4},
                     {Qt::Key_Up, 3},   {Qt::Key_Home, 1}, {Qt::Key_Up, 1}};
        int previous = -1;
        for (const auto& step : steps) {
            w.events.clear();
            QTest::keyClick(&w.view, step.key);
            QCOMPARE(w.view.selectedRow(), step.row);
            const QStringList expected =
                step.row == previous ? QStringList{} : QStringList{"commit", "chosen " + ids[step.row - 1]};
            QCOMPARE(w.events, expected);
            previous = step.row;
        }

        w.events.clear();
        QTest::keyClick(&w.view, Qt::Key_Return);
        QTest::keyClick(&w.view, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(w.events, (QStringList{"commit", "modify", "commit", "documents " + ids[0]}));
    }

    void rightClickChoosesTheProjectAndShowsThePopup()
    {
        ListWorld w;
        w.add("One", 1);
        const QByteArray two = w.add("Two", 3);
        w.fillYear();
        w.show();

        w.click(2, kOnName, Qt::RightButton);
        QCOMPARE(w.events, (QStringList{"commit", "chosen " + two}));
        QCOMPARE(w.view.selectedRow(), 2);
        auto* menu = w.view.findChild<QMenu*>(QStringLiteral("projectMenu"));
        QVERIFY(menu);
        QVERIFY(menu->isVisible());
        QStringList texts;
        for (QAction* action : menu->actions())
            texts.append(action->text());
        QCOMPARE(texts, (QStringList{"Add", "Modify", "Delete"}));
        QSignalSpy requested(&w.view, &CKorvaneView::commandRequested);
        menu->actions().at(1)->trigger();
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.first().first().value<Command>(), Command::ModifyProject);
        menu->hide();

        // From the keyboard the pop-up opens for the marked project without moving the mark.
        w.events.clear();
        w.view.setFocus();
        QTest::keyClick(&w.view, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(menu->isVisible());
        QVERIFY(w.events.isEmpty());
        menu->hide();
    }

    void progressBeyondHundredStaysInsideItsFrame()
    {
        ListWorld w;
        const QByteArray id = w.add("Over", 6);
        w.addTask(id, 0, 400);
        w.fillYear();
        w.show();
        const QImage image = w.view.viewport()->grab().toImage();
        const QRect row = w.rowRect(1);
        // Right of the 85-pixel frame, in the row's margin, the row stays white.
        const int margin = row.left() + ProjectRowDelegate::contentWidth() - 1;
        QCOMPARE(image.pixelColor(margin, row.top() + 28), QColor(Qt::white));
        QVERIFY(image.pixelColor(margin - 45, row.top() + 28) != QColor(Qt::white));
    }

    void chosenProjectKeepsTheCommittedSynopsis()
    {
        ListWorld w;
        const QByteArray one = w.add("One", 1);
        w.add("Two", 3);
        w.fillYear();
        w.show();
        w.view.setSelectedRow(1);
        // What the main window does on aboutToChangeProject: store the synopsis typed for the marked project.
        connect(&w.view, &CKorvaneView::aboutToChangeProject, [&] {
            ProjectRecord project =
                w.world.store().GetProject(w.view.projectAt(w.view.selectedRow())->identifier);
            project.synopsis = "typed text";
            w.world.store().ModifyProject(project);
        });
        w.click(2, kOnName);
        QCOMPARE(w.view.selectedRow(), 2);
        QCOMPARE(w.view.projectAt(1)->identifier, one);
        QCOMPARE(w.view.projectAt(1)->synopsis, QByteArray("typed text"));
    }

    void listRefilledBeforeTheChoiceStillChoosesTheClickedProject()
    {
        ListWorld w;
        const QByteArray two = w.add("Two", 3);
        w.fillYear();
        w.show();
        // Committing the synopsis may refresh the list; a project starting earlier now pushes "Two" down.
        connect(&w.view, &CKorvaneView::aboutToChangeProject, [&] {
            w.add("One", 1);
            w.fillYear();
        });
        w.click(1, kOnName);
        QCOMPARE(w.view.selectedRow(), 2);
        QCOMPARE(w.events.last(), "chosen " + two);
    }
};

QTEST_MAIN(ProjectListViewTest)
#include "ProjectListViewTest.moc"
