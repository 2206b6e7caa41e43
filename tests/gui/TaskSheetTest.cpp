#include "GuiTestSupport.h"

#include "editors/CResourcePg.h"
#include "editors/CTaskDetailsPg.h"
#include "editors/CTaskSheet.h"
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

using namespace korvane;
using namespace korvane::test;

namespace {

using Fill = std::function<void(CTaskSheet&)>;

/** Lets `fill` work on the sheet, then presses Next and Finish as the user would. */
void finishWith(Fill fill = {})
{
    UserDialogs::setDialogHandler([fill](QDialog& dialog) {
        auto& sheet = static_cast<CTaskSheet&>(dialog);
        if (fill)
            fill(sheet);
        sheet.next();
        if (sheet.currentId() != CTaskSheet::ResourcePage)
            return int(QDialog::Rejected);
        sheet.accept();
        return sheet.result();
    });
}

/** Lets `fill` work on the sheet, then presses Cancel. */
void cancelWith(Fill fill = {})
{
    UserDialogs::setDialogHandler([fill](QDialog& dialog) {
        auto& sheet = static_cast<CTaskSheet&>(dialog);
        if (fill)
            fill(sheet);
        sheet.reject();
        return int(QDialog::Rejected);
    });
}

QDateTime at(int year, int month, int day, int hour, int minute, int second = 0, int ms = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms));
}

QByteArray addProject(RecordStore& store, const QByteArray& name, const QByteArray& code,
                      const QDateTime& start, const QDateTime& end)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = name;
    project.projectCode = code;
    project.startDate = DateTime::fromQDateTime(start);
    project.endDate = DateTime::fromQDateTime(end);
    return store.AddProject(project).identifier;
}

TaskRecord newTask(const QByteArray& projectId, const QByteArray& name,
                   const char* kind = TaskRecord::kTopLevel)
{
    TaskRecord task = emptyRecord<TaskRecord>(DateTime::fromQDateTime(at(2024, 6, 10, 9, 0)));
    task.projectIdentifier = projectId;
    task.kind = kind;
    task.name = name;
    task.taskCode = "T1";
    task.end = DateTime::fromQDateTime(at(2024, 6, 12, 17, 0));
    task.percentComplete = 40;
    return task;
}

QByteArray storeTask(RecordStore& store, const TaskRecord& task)
{
    return store.AddTask(task).identifier;
}

/** Project "Alpha" of June 2024, the project most cases work in. */
QByteArray addAlpha(RecordStore& store)
{
    return addProject(store, "Alpha", "A-1", at(2024, 6, 1, 9, 0), at(2024, 6, 30, 17, 0));
}

} // namespace

class TaskSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        UserDialogs::setDialogHandler({});
        UserDialogs::takeMessages();
        Clock::setFixed({});
    }

    void addWithoutInputStoresDefaults_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("inside the project") << at(2024, 6, 15, 10, 30, 12) << at(2024, 6, 15, 10, 30, 12);
        QTest::newRow("before the project") << at(2024, 5, 2, 8, 0) << at(2024, 6, 1, 0, 0);
        QTest::newRow("after the project") << at(2024, 7, 20, 8, 0) << at(2024, 6, 30, 23, 59);
    }

    void addWithoutInputStoresDefaults()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, expected);
        test::GuiWorld world;
        const QByteArray projectId = world.addProject("Alpha", "2024-06-01", "2024-06-30");
        Clock::setFixed(now);
        finishWith();
        const EditorOutcome outcome = CTaskSheet::addTask(world.store(), projectId, nullptr);

        QVERIFY(outcome.finished);
        QCOMPARE(world.store().tasks().size(), 1);
        TaskRecord wanted = emptyRecord<TaskRecord>(DateTime::fromQDateTime(expected));
        wanted.identifier = outcome.identifier;
        wanted.projectIdentifier = projectId;
        wanted.kind = TaskRecord::kTopLevel;
        wanted.name = "Unknown";
        wanted.taskCode = "***";
        QCOMPARE(world.store().GetTask(outcome.identifier), wanted);
        QVERIFY(UserDialogs::takeMessages().isEmpty());
    }

    void modifyKeepsWhatWasNotEdited_data()
    {
        QTest::addColumn<bool>("editName");
        QTest::addColumn<bool>("oddValues");
        QTest::newRow("nothing edited") << false << false;
        QTest::newRow("only the name edited") << true << false;
        QTest::newRow("values no page can show") << false << true;
    }

    void modifyKeepsWhatWasNotEdited()
    {
        QFETCH(bool, editName);
        QFETCH(bool, oddValues);
        test::GuiWorld world;
        const QByteArray projectId = addAlpha(world.store());
        ResourceRecord resource;
        resource.name = "Bob";
        const QByteArray bob = world.store().AddResource(resource).identifier;

        TaskRecord task = newTask(projectId, "Caf\xe9 plan");
        task.taskCode = "T-\xff";
        task.subTaskList = "S1\nS2\ntail";
        task.reservedText1 = QByteArray("r1\0r1", 5);
        task.reservedText2 = "\x01\x02";
        task.priority = TaskRecord::Medium;
        // Seconds and milliseconds no picker shows; a start before the project and an end after it.
        task.start = DateTime::fromQDateTime(at(2024, 5, 20, 9, 30, 15, 500));
        task.end = DateTime::fromQDateTime(at(2024, 7, 3, 17, 45, 59));
        task.reminderTime = DateTime::fromQDateTime(at(2024, 8, 1, 8, 0));
        task.reminderOn = 1;
        task.fileLink = "/home/u/plan \xe4.odt";
        task.resources = bob + "\n" + bob + "\nGONE\ntail";
        task.percentComplete = 40;
        if (oddValues) {
            task.priority = 7;
            task.start = DateTime::null();
            task.end = DateTime{DateTime::Invalid, 0.0};
            task.reminderTime = DateTime{DateTime::Valid, 45000.123456789};
            task.completed = 0;
        }
        const QByteArray taskId = storeTask(world.store(), task);
        task.identifier = taskId;

        finishWith([&](CTaskSheet& sheet) {
            if (editName)
                sheet.detailsPage()->nameEdit()->setText(QStringLiteral("Plan B"));
        });
        const EditorOutcome outcome = CTaskSheet::modifyTask(world.store(), taskId, nullptr);

        QVERIFY(outcome.finished);
        QCOMPARE(outcome.identifier, taskId);
        TaskRecord wanted = task;
        if (editName)
            wanted.name = "Plan B";
        QCOMPARE(world.store().GetTask(taskId), wanted);
        QCOMPARE(world.store().tasks().size(), 1);
    }

    void cancelStoresNothing()
    {
        test::GuiWorld world;
        const QByteArray projectId = addAlpha(world.store());
        TaskRecord parent = newTask(projectId, "Parent");
        parent.subTaskList = "S1\n";
        const QByteArray parentId = storeTask(world.store(), parent);
        const QString parentFile = world.store().fileName(RecordKind::Task, parentId);
        const QByteArray parentBytes = fileBytes(parentFile);
        const auto typeName = [](CTaskSheet& sheet) {
            sheet.detailsPage()->nameEdit()->setText(QStringLiteral("Typed"));
            sheet.detailsPage()->completionEdit()->setText(QStringLiteral("70"));
            sheet.next();
        };

        cancelWith(typeName);
        QVERIFY(!CTaskSheet::addTask(world.store(), projectId, nullptr).finished);
        cancelWith(typeName);
        QVERIFY(!CTaskSheet::addSubTask(world.store(), projectId, parentId, nullptr).finished);
        cancelWith(typeName);
        QVERIFY(!CTaskSheet::modifyTask(world.store(), parentId, nullptr).finished);

        QCOMPARE(world.store().tasks().size(), 1);
        QCOMPARE(world.store().GetTask(parentId).subTaskList, QByteArray("S1\n"));
        QCOMPARE(fileBytes(parentFile), parentBytes);
        QCOMPARE(QDir(world.dataFolder()).entryList({QStringLiteral("*.tsk")}).size(), 1);
    }

    void subTaskIsAddedUnderItsParent()
    {
        // Where the entry goes in the parent's list is TaskEdits' rule (tested in RecordEditsTest).
        test::GuiWorld world;
        const QByteArray projectId = addAlpha(world.store());
        TaskRecord parent = newTask(projectId, "Parent");
        parent.subTaskList = "S1\n";
        const QByteArray parentId = storeTask(world.store(), parent);

        finishWith([](CTaskSheet& sheet) {
            // Sub tasks stay in their parent's project.
            QVERIFY(!sheet.detailsPage()->projectNameCombo()->isEnabled());
            QVERIFY(!sheet.detailsPage()->projectCodeCombo()->isEnabled());
            sheet.detailsPage()->nameEdit()->setText(QStringLiteral("Child"));
        });
        const EditorOutcome outcome = CTaskSheet::addSubTask(world.store(), projectId, parentId, nullptr);

        QVERIFY(outcome.finished);
        const TaskRecord sub = world.store().GetTask(outcome.identifier);
        QCOMPARE(sub.name, QByteArray("Child"));
        QCOMPARE(world.store().GetTask(parentId).subTaskList, "S1\n" + outcome.identifier + "\n");
    }

    void subTaskIsTakenBackWhenItsParentCannotBeSaved()
    {
        test::GuiWorld world;
        const QByteArray projectId = addAlpha(world.store());
        const QByteArray parentId = storeTask(world.store(), newTask(projectId, "Parent"));
        // A folder where the parent's file belongs: the parent can no longer be written.
        const QString parentFile = world.store().fileName(RecordKind::Task, parentId);
        QVERIFY(QFile::remove(parentFile));
        QVERIFY(QDir().mkdir(parentFile));

        bool stayedOpen = false;
        QString message;
        UserDialogs::setDialogHandler([&](QDialog& dialog) {
            auto& sheet = static_cast<CTaskSheet&>(dialog);
            sheet.detailsPage()->nameEdit()->setText(QStringLiteral("Child"));
            sheet.next();
            sheet.accept();
            stayedOpen = sheet.result() != QDialog::Accepted && sheet.storedIdentifier().isEmpty();
            message = onlyMessage();
            sheet.reject();
            return int(QDialog::Rejected);
        });
        const EditorOutcome outcome = CTaskSheet::addSubTask(world.store(), projectId, parentId, nullptr);

        QVERIFY(!outcome.finished);
        QVERIFY(stayedOpen);
        QVERIFY(message.contains(QStringLiteral("\"Child\" could not be added")));
        QVERIFY(message.contains(world.store().fileName(RecordKind::Task, parentId)));
        QCOMPARE(world.store().tasks().size(), 1);
    }

    void completionMustBeAWholeNumberFrom0To100_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("stored");
        dataRow("letters", "abc", false, 0);
        dataRow("above 100", "101", false, 0);
        dataRow("negative", "-1", false, 0);
        dataRow("empty", "", false, 0);
        dataRow("fraction", "50.5", false, 0);
        dataRow("zero", "0", true, 0);
        dataRow("hundred with blanks", " 100 ", true, 100);
    }

    void completionMustBeAWholeNumberFrom0To100()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(int, stored);
        test::GuiWorld world;
        const QByteArray projectId = addAlpha(world.store());

        bool stayed = false;
        QStringList messages;
        UserDialogs::setDialogHandler([&](QDialog& dialog) {
            auto& sheet = static_cast<CTaskSheet&>(dialog);
            sheet.detailsPage()->completionEdit()->setText(typed);
            sheet.next();
            stayed = sheet.currentId() == CTaskSheet::DetailsPage;
            // Finish from the first page is refused alike.
            sheet.accept();
            messages = UserDialogs::takeMessages();
            return sheet.result();
        });
        const EditorOutcome outcome = CTaskSheet::addTask(world.store(), projectId, nullptr);

        QCOMPARE(outcome.finished, accepted);
        QCOMPARE(stayed, !accepted);
        QCOMPARE(world.store().tasks().size(), accepted ? 1 : 0);
        if (accepted) {
            QVERIFY(messages.isEmpty());
            QCOMPARE(world.store().GetTask(outcome.identifier).percentComplete, stored);
        } else {
            QCOMPARE(messages.size(), 2);
            QVERIFY(messages.first().contains(QStringLiteral("whole number from 0 to 100 for Completion")));
        }
    }

    void editedFieldsAreStored()
    {
        test::GuiWorld world;
        const QByteArray projectId = addAlpha(world.store());
        ResourceRecord resource;
        resource.name = "Bob";
        const QByteArray bob = world.store().AddResource(resource).identifier;
        const QByteArray taskId = storeTask(world.store(), newTask(projectId, "Plan"));

        finishWith([&](CTaskSheet& sheet) {
            CTaskDetailsPg* page = sheet.detailsPage();
            page->priorityCombo()->setCurrentIndex(TaskRecord::Low);
            UserDialogs::setNextFileName(QStringLiteral("/docs/plan.pdf"));
            page->fileLinkButton()->click();
            UserDialogs::setNextFileName(QString());
            page->fileLinkButton()->click();
            page->completionEdit()->setText(QStringLiteral("55"));
            page->doneCheck()->setChecked(true);
            QVERIFY(!page->completionEdit()->isEnabled());
            sheet.next();
            QTreeWidgetItem* root = sheet.resourcePage()->tree()->topLevelItem(0);
            QCOMPARE(root->childCount(), 1);
            root->child(0)->setCheckState(0, Qt::Checked);
        });
        QVERIFY(CTaskSheet::modifyTask(world.store(), taskId, nullptr).finished);

        const TaskRecord task = world.store().GetTask(taskId);
        QCOMPARE(task.priority, int(TaskRecord::Low));
        QCOMPARE(task.fileLink, QByteArray("/docs/plan.pdf"));
        QCOMPARE(task.completed, 1);
        QCOMPARE(task.percentComplete, 100);
        QCOMPARE(task.resources, bob + "\n");
    }

    void keyboardAloneFinishesAndCancels()
    {
        test::GuiWorld world;
        const QByteArray projectId = addAlpha(world.store());

        bool tabbedToCode = false;
        UserDialogs::setDialogHandler([&](QDialog& dialog) {
            auto& sheet = static_cast<CTaskSheet&>(dialog);
            sheet.show();
            QLineEdit* name = sheet.detailsPage()->nameEdit();
            name->setFocus();
            QTest::keyClicks(name, QStringLiteral("Typed"));
            QTest::keyClick(name, Qt::Key_Tab);
            tabbedToCode = sheet.focusWidget() == sheet.detailsPage()->codeEdit();
            QTest::keyClick(sheet.detailsPage()->codeEdit(), Qt::Key_Return);
            if (sheet.currentId() != CTaskSheet::ResourcePage)
                return int(QDialog::Rejected);
            QTest::keyClick(sheet.resourcePage()->tree(), Qt::Key_Return);
            return sheet.result();
        });
        const EditorOutcome outcome = CTaskSheet::addTask(world.store(), projectId, nullptr);
        QVERIFY(tabbedToCode);
        QVERIFY(outcome.finished);
        QCOMPARE(world.store().GetTask(outcome.identifier).name, QByteArray("Typed"));

        UserDialogs::setDialogHandler([](QDialog& dialog) {
            auto& sheet = static_cast<CTaskSheet&>(dialog);
            sheet.show();
            sheet.detailsPage()->nameEdit()->setFocus();
            QTest::keyClick(sheet.detailsPage()->nameEdit(), Qt::Key_Escape);
            return sheet.isVisible() ? int(QDialog::Accepted) : sheet.result();
        });
        QVERIFY(!CTaskSheet::addTask(world.store(), projectId, nullptr).finished);
        QCOMPARE(world.store().tasks().size(), 1);
    }

    void endDateOnTheProjectsFirstDayIsMovedToItsStart()
    {
        test::GuiWorld world;
        const QDateTime projectStart = at(2024, 3, 1, 9, 0);
        const QByteArray projectId =
            addProject(world.store(), "Alpha", "A-1", projectStart, at(2024, 3, 31, 17, 0));
        TaskRecord task = newTask(projectId, "Early");
        task.start = DateTime::fromQDateTime(at(2024, 3, 1, 7, 0));
        task.end = DateTime::fromQDateTime(at(2024, 3, 1, 8, 0));
        const QByteArray taskId = storeTask(world.store(), task);

        QDateTime endBeforeChange;
        finishWith([&](CTaskSheet& sheet) {
            CTaskDetailsPg* page = sheet.detailsPage();
            endBeforeChange = page->endEdit()->dateTime();
            page->startEdit()->setDateTime(at(2024, 3, 1, 7, 30));
        });
        QVERIFY(CTaskSheet::modifyTask(world.store(), taskId, nullptr).finished);

        // Opening leaves the stored end alone; changing the start moves it.
        QCOMPARE(endBeforeChange, at(2024, 3, 1, 8, 0));
        const TaskRecord stored = world.store().GetTask(taskId);
        QCOMPARE(stored.start.toQDateTime(), at(2024, 3, 1, 7, 30));
        QCOMPARE(stored.end.toQDateTime(), projectStart);
    }

    void unknownProjectOpensOnTheFirstAndIsKept()
    {
        test::GuiWorld world;
        const QByteArray alpha = addAlpha(world.store());
        const QByteArray beta =
            addProject(world.store(), "Beta", "B-1", at(2025, 1, 1, 9, 0), at(2025, 1, 31, 17, 0));
        TaskRecord task = newTask("NOSUCH", "Lost");
        task.start = DateTime::fromQDateTime(at(2023, 2, 1, 9, 0));
        task.end = DateTime::fromQDateTime(at(2023, 2, 2, 9, 0));
        const QByteArray taskId = storeTask(world.store(), task);
        task.identifier = taskId;

        QStringList shown;
        finishWith([&](CTaskSheet& sheet) {
            shown << sheet.detailsPage()->projectNameCombo()->currentText()
                  << sheet.detailsPage()->projectCodeCombo()->currentText();
        });
        QVERIFY(CTaskSheet::modifyTask(world.store(), taskId, nullptr).finished);
        const ProjectRecord& first = world.store().projects().begin()->record;
        QCOMPARE(shown, (QStringList{displayText(first.name), displayText(first.projectCode)}));
        QCOMPARE(world.store().GetTask(taskId), task);

        // Picking a project in the ID list moves the name list along and fits the dates into it.
        finishWith([&](CTaskSheet& sheet) {
            QComboBox* codes = sheet.detailsPage()->projectCodeCombo();
            codes->setFocus();
            const int target = codes->findText(QStringLiteral("B-1"));
            if (codes->currentIndex() == target) {
                // Already shown: step away and back, as a user would to pick it.
                QTest::keyClick(codes, target == 0 ? Qt::Key_Down : Qt::Key_Up);
                QTest::keyClick(codes, target == 0 ? Qt::Key_Up : Qt::Key_Down);
            } else {
                QTest::keyClick(codes, target > codes->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
            }
            QCOMPARE(codes->currentText(), QStringLiteral("B-1"));
            QCOMPARE(sheet.detailsPage()->projectNameCombo()->currentText(), QStringLiteral("Beta"));
        });
        QVERIFY(CTaskSheet::modifyTask(world.store(), taskId, nullptr).finished);
        const TaskRecord moved = world.store().GetTask(taskId);
        QCOMPARE(moved.projectIdentifier, beta);
        QCOMPARE(moved.start.toQDateTime(), at(2025, 1, 1, 0, 0));
        QCOMPARE(moved.end.toQDateTime(), at(2025, 1, 1, 9, 0));

        // Picked in the name list, it moves as well (its sub tasks follow in RecordEdits: RecordEditsTest).
        finishWith([](CTaskSheet& sheet) {
            QComboBox* names = sheet.detailsPage()->projectNameCombo();
            const int index = names->findText(QStringLiteral("Alpha"));
            names->setCurrentIndex(index);
            emit names->activated(index);
        });
        QVERIFY(CTaskSheet::modifyTask(world.store(), taskId, nullptr).finished);
        QCOMPARE(world.store().GetTask(taskId).projectIdentifier, alpha);
    }
};

QTEST_MAIN(TaskSheetTest)
#include "TaskSheetTest.moc"
