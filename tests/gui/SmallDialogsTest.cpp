#include "GuiTestSupport.h"

#include "editors/CurrencyDialog.h"
#include "editors/ProjectDocumentsDelegate.h"
#include "editors/ProjectDocumentsDialog.h"
#include "editors/TaskRowDelegate.h"
#include "editors/TasksPerResourceWindow.h"
#include "records/RecordCodec.h"
#include "store/CurrencyList.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace korvane;
using namespace korvane::test;

namespace {

QStringList savedFormats()
{
    QStringList texts;
    const CurrencyList list = CurrencyList::load();
    for (const QByteArray& row : list.rows())
        texts.append(QString::fromUtf8(row));
    return texts;
}

QStringList shownNames(const QListWidget* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(ProjectDocumentsDelegate::shownName(list->model()->index(row, 0)));
    return names;
}

QListWidget* documentsList(QDialog& dialog)
{
    dialog.show();
    return dialog.findChild<QListWidget*>(QStringLiteral("documentsList"));
}

void clickIcon(QListWidget* list, int row, bool folder)
{
    const QRect rect = list->visualItemRect(list->item(row));
    const QRect icon =
        folder ? ProjectDocumentsDelegate::folderRect(rect) : ProjectDocumentsDelegate::fileRect(rect);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, icon.center());
}

void renameRow(QDialog& dialog, QListWidget* list, int row, const QString& name, bool pressEnter = true)
{
    list->setCurrentRow(row);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F2);
    // Editors closed earlier are only deleted later: take the open one.
    QLineEdit* editor = nullptr;
    for (QLineEdit* candidate : dialog.findChildren<QLineEdit*>(QStringLiteral("documentNameEditor")))
        if (candidate->isVisible())
            editor = candidate;
    QVERIFY(editor);
    editor->setText(name);
    if (!pressEnter)
        return;
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits the editor's text through a queued call.
    QCoreApplication::sendPostedEvents();
}

} // namespace

class SmallDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void currencyListStartsWithDefaultsAndKeepsUnknownCurrentOnCancel();
    void currencyAddRulesAndTrimmedSave();
    void currencyResultFollowsLastPickAndOk();
    void currencyUnwritableListIsReported();

    void documentsRenameAndAttachWriteOnlyOnOk_data();
    void documentsRenameAndAttachWriteOnlyOnOk();
    void documentsDeleteKeepsTheSecondText();
    void documentsFileIconOpensTheFile();
    void documentsProjectFlowCopiesBackOnlyOnOk();
    void documentsUnwritableProjectFileIsReported();

    void tasksPerResourceListsTasksUnderProjectRows();

private:
    std::unique_ptr<test::GuiWorld> m_world;
};

void SmallDialogsTest::init()
{
    m_world = std::make_unique<test::GuiWorld>();
}

void SmallDialogsTest::cleanup()
{
    UserDialogs::setDialogHandler({});
    m_world.reset();
}

void SmallDialogsTest::currencyListStartsWithDefaultsAndKeepsUnknownCurrentOnCancel()
{
    QVERIFY(!QFile::exists(CurrencyList::defaultPath()));
    QStringList shown;
    int marked = -1;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("currencyList"));
        shown = itemTexts(list);
        marked = list->currentRow();
    });
    QCOMPARE(CurrencyDialog::choose(QStringLiteral("€ EUR"), nullptr), QStringLiteral("€ EUR"));
    QCOMPARE(shown, (QStringList{"$", "Rs.", "#", "*", "€ EUR"}));
    QCOMPARE(marked, 4);
    QCOMPARE(savedFormats(), (QStringList{"$", "Rs.", "#", "*", "€ EUR"}));

    // A known format is marked, not added again.
    QCOMPARE(CurrencyDialog::choose(QStringLiteral("#"), nullptr), QStringLiteral("#"));
    QCOMPARE(marked, 2);
    QCOMPARE(savedFormats().size(), 5);
}

void SmallDialogsTest::currencyAddRulesAndTrimmedSave()
{
    QStringList shown;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("currencyEdit"));
        auto* add = dialog.findChild<QPushButton*>(QStringLiteral("currencyAddButton"));
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("currencyList"));
        edit->setText(QString());
        add->click();
        edit->setText(QStringLiteral("  USD"));
        add->click();
        add->click();
        shown = itemTexts(list);
        return int(QDialog::Rejected);
    });
    QCOMPARE(CurrencyDialog::choose(QStringLiteral("$"), nullptr), QStringLiteral("  USD"));
    QCOMPARE(shown, (QStringList{"$", "Rs.", "#", "*", "  USD"}));
    QCOMPARE(UserDialogs::takeMessages(), QStringList{QStringLiteral("Currency Format All Ready Exist")});
    QCOMPARE(savedFormats(), (QStringList{"$", "Rs.", "#", "*", "USD"}));
}

void SmallDialogsTest::currencyResultFollowsLastPickAndOk()
{
    UserDialogs::setDialogHandler([](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("currencyList"));
        dialog.show();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        dialog.reject();
        return dialog.result();
    });
    QCOMPARE(CurrencyDialog::choose(QStringLiteral("$"), nullptr), QStringLiteral("Rs."));

    // OK takes the edit as typed, without adding it to the list.
    answerDialogs(nullptr, [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("currencyEdit"))->setText(QStringLiteral("£"));
        dialog.accept();
    });
    QCOMPARE(CurrencyDialog::choose(QStringLiteral("$"), nullptr), QStringLiteral("£"));
    QVERIFY(!savedFormats().contains(QStringLiteral("£")));
}

void SmallDialogsTest::currencyUnwritableListIsReported()
{
    QVERIFY(QDir().mkpath(CurrencyList::defaultPath()));
    answerDialogs(nullptr, [](QDialog& dialog) { dialog.accept(); });
    QCOMPARE(CurrencyDialog::choose(QStringLiteral("CHF"), nullptr), QStringLiteral("CHF"));
    const QString message = onlyMessage();
    QVERIFY(message.startsWith(QStringLiteral("The currency formats could not be saved.\n")));
    QVERIFY(message.contains(QStringLiteral("currency.cur")));
}

void SmallDialogsTest::documentsRenameAndAttachWriteOnlyOnOk_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("ok") << true;
    QTest::newRow("cancel") << false;
}

void SmallDialogsTest::documentsRenameAndAttachWriteOnlyOnOk()
{
    QFETCH(bool, ok);
    const QString scratch = ProjectDocuments::scratchPath();
    QCOMPARE(ProjectDocuments::resetScratch(scratch), QString());
    const QByteArray before = fileBytes(scratch);
    const QString attached = m_world->pickedFolder() + QStringLiteral("/Contract.odt");

    answerDialogs(nullptr, [&](QDialog& dialog) {
        QListWidget* list = documentsList(dialog);
        renameRow(dialog, list, 2, QStringLiteral("Contract"));
        UserDialogs::setNextFileName(attached);
        clickIcon(list, 2, true);
        renameRow(dialog, list, 4, QStringLiteral("Only a name"));
        // Emptying a name in place keeps the old one.
        renameRow(dialog, list, 2, QString());
        ok ? dialog.accept() : dialog.reject();
    });
    QCOMPARE(ProjectDocumentsDialog::editScratch(nullptr), ok);
    if (!ok) {
        QCOMPARE(fileBytes(scratch), before);
        return;
    }
    const ProjectDocuments saved = ProjectDocuments::read(scratch);
    QCOMPARE(saved.rows().at(2), (DocumentRow{"Contract", "", attached.toUtf8()}));
    QCOMPARE(saved.rows().at(4).name, QByteArray("Only a name"));
    QCOMPARE(saved.rows().at(0).name, QByteArray("Untitled"));
    QCOMPARE(ProjectDocuments::readCount(scratch), 1);

    // On the next opening the attached document moves up and the row with only a name is gone.
    QStringList names;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        names = shownNames(dialog.findChild<QListWidget*>(QStringLiteral("documentsList")));
        return int(QDialog::Rejected);
    });
    ProjectDocumentsDialog::editScratch(nullptr);
    QCOMPARE(names.mid(0, 2), (QStringList{"Contract", "Custom Field2"}));
    QVERIFY(!names.contains(QStringLiteral("Only a name")));
}

void SmallDialogsTest::documentsDeleteKeepsTheSecondText()
{
    const QString scratch = ProjectDocuments::scratchPath();
    ProjectDocuments documents;
    documents.row(0) = {"Brief", "kept", "/srv/brief.pdf"};
    documents.row(1) = {"Only a name", "", ""};
    documents.row(2) = {"Plan", "", "/srv/plan.ods"};
    documents.row(3) = {"Budget", "", "/srv/budget.ods"};
    QCOMPARE(documents.write(scratch), QString());

    QStringList names;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        QListWidget* list = documentsList(dialog);
        names = shownNames(list);
        list->setCurrentRow(0);
        UserDialogs::setNextAnswer(true);
        QTest::keyClick(list, Qt::Key_Delete);
        list->setCurrentRow(1);
        UserDialogs::setNextAnswer(false);
        dialog.findChild<QPushButton*>(QStringLiteral("documentsDeleteButton"))->click();
        list->setCurrentRow(2);
        UserDialogs::setNextAnswer(true);
        dialog.findChild<QPushButton*>(QStringLiteral("documentsDeleteButton"))->click();
        dialog.accept();
        return dialog.result();
    });
    QVERIFY(ProjectDocumentsDialog::editScratch(nullptr));
    QCOMPARE(names.mid(0, 4), (QStringList{"Brief", "Plan", "Budget", "Custom Field4"}));
    QCOMPARE(UserDialogs::takeMessages(), QStringList(3, QStringLiteral("Do you want to delete this?")));

    const ProjectDocuments saved = ProjectDocuments::read(scratch);
    QCOMPARE(saved.rows().at(0), (DocumentRow{"Untitled", "kept", ""}));
    QCOMPARE(saved.rows().at(1), (DocumentRow{"Plan", "", "/srv/plan.ods"}));
    QCOMPARE(saved.rows().at(2), (DocumentRow{"Untitled", "", ""}));
}

void SmallDialogsTest::documentsFileIconOpensTheFile()
{
    const QString path = m_world->pickedFolder() + QStringLiteral("/notes.txt");
    makeFile(path);
    ProjectDocuments documents;
    documents.row(0) = {"Notes", "", path.toUtf8()};
    documents.row(1) = {"Gone", "", "/no/such/file.txt"};
    QCOMPARE(documents.write(ProjectDocuments::scratchPath()), QString());

    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        QListWidget* list = documentsList(dialog);
        clickIcon(list, 0, false);
        clickIcon(list, 1, false);
        clickIcon(list, 2, false); // no path: nothing to open
        return int(QDialog::Rejected);
    });
    ProjectDocumentsDialog::editScratch(nullptr);
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(UserDialogs::takeMessages(),
             QStringList{QStringLiteral("Error: File not found\nMay be file moved or deleted")});
}

void SmallDialogsTest::documentsProjectFlowCopiesBackOnlyOnOk()
{
    const QByteArray project = m_world->addProject(QStringLiteral("Apollo"), "2024-01-05", "2024-03-30");
    const QString projectFile = m_world->store().fileName(ListFile::ProjectDoc, project);
    ProjectDocuments own;
    own.row(0) = {"Brief", "", "/srv/brief.pdf"};
    QCOMPARE(own.write(projectFile), QString());
    // Left over from another project: must not leak into this one.
    ProjectDocuments other;
    other.row(0) = {"Foreign", "", "/srv/foreign.pdf"};
    QCOMPARE(other.write(ProjectDocuments::scratchPath()), QString());

    QStringList names;
    auto handler = [&](bool ok) {
        return [&, ok](QDialog& dialog) {
            QListWidget* list = documentsList(dialog);
            names = shownNames(list);
            // OK pressed while the name is still being typed keeps the typed name.
            renameRow(dialog, list, 0, QStringLiteral("Signed brief"), false);
            ok ? dialog.accept() : dialog.reject();
            return dialog.result();
        };
    };
    const QByteArray before = fileBytes(projectFile);
    UserDialogs::setDialogHandler(handler(false));
    QVERIFY(!ProjectDocumentsDialog::editProjectDocuments(m_world->store(), project, nullptr));
    QCOMPARE(names.first(), QStringLiteral("Brief"));
    QCOMPARE(names.at(1), QStringLiteral("Custom Field2"));
    QCOMPARE(fileBytes(projectFile), before);

    UserDialogs::setDialogHandler(handler(true));
    QVERIFY(ProjectDocumentsDialog::editProjectDocuments(m_world->store(), project, nullptr));
    QCOMPARE(ProjectDocuments::read(projectFile).rows().at(0),
             (DocumentRow{"Signed brief", "", "/srv/brief.pdf"}));

    // A project without a documents file starts empty.
    const QByteArray second = m_world->addProject(QStringLiteral("Borealis"), "2024-02-01", "2024-02-20");
    UserDialogs::setDialogHandler(handler(false));
    ProjectDocumentsDialog::editProjectDocuments(m_world->store(), second, nullptr);
    QStringList placeholders;
    for (int i = 1; i <= 10; ++i)
        placeholders.append(QStringLiteral("Custom Field%1").arg(i));
    QCOMPARE(names, placeholders);
    QVERIFY(!QFile::exists(m_world->store().fileName(ListFile::ProjectDoc, second)));
}

void SmallDialogsTest::documentsUnwritableProjectFileIsReported()
{
    const QByteArray project = m_world->addProject(QStringLiteral("Apollo"), "2024-01-05", "2024-03-30");
    const QString projectFile = m_world->store().fileName(ListFile::ProjectDoc, project);
    UserDialogs::setNextFileName(QStringLiteral("/srv/brief.pdf"));
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        QListWidget* list = documentsList(dialog);
        clickIcon(list, 0, true);
        // Something else takes the file's place while the dialog is open.
        QDir().mkpath(projectFile);
        dialog.accept();
        return dialog.result();
    });
    QVERIFY(!ProjectDocumentsDialog::editProjectDocuments(m_world->store(), project, nullptr));
    const QString message = onlyMessage();
    QVERIFY(message.startsWith(QStringLiteral("The project documents could not be saved.\n")));
    QVERIFY(message.contains(projectFile));
}

void SmallDialogsTest::tasksPerResourceListsTasksUnderProjectRows()
{
    RecordStore& store = m_world->store();
    const QByteArray apollo = m_world->addProject(QStringLiteral("Apollo"), "2024-01-05", "2024-03-30");
    const QByteArray borealis = m_world->addProject(QStringLiteral("Borealis"), "2024-02-01", "2024-02-20");
    auto addResource = [&](const char* name) {
        ResourceRecord resource = emptyRecord<ResourceRecord>();
        resource.name = name;
        resource.designation = "Engineer";
        return store.AddResource(resource).identifier;
    };
    const QByteArray bob = addResource("bob");
    const QByteArray alice = addResource("Alice");
    const QByteArray carl = addResource("carl");
    auto addTask = [&](const QByteArray& projectId, const char* name, const QByteArray& resources,
                       int percent) {
        TaskRecord task = emptyRecord<TaskRecord>();
        task.projectIdentifier = projectId;
        task.name = name;
        task.resources = resources;
        task.percentComplete = percent;
        task.priority = TaskRecord::Medium;
        task.start = DateTime::fromDate(QDate(2024, 1, 8));
        task.end = DateTime::fromDate(QDate(2024, 1, 19));
        QVERIFY(store.AddTask(task).ok());
    };
    addTask(apollo, "Design", bob + "\n", 40);
    addTask(borealis, "Survey", alice + "\n" + bob + "\n", 100);
    addTask(apollo, "Build", bob + "\n", 0);
    addTask(apollo, "Review", alice + "\n", 10);
    // An identifier that merely starts with bob's is someone else.
    addTask(borealis, "Other", bob + "7\n", 55);

    TasksPerResourceWindow window(store);
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("resourceTree"));
    auto* list = window.findChild<QTreeWidget*>(QStringLiteral("resourceTaskList"));
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QStringList names;
    for (int i = 0; i < root->childCount(); ++i)
        names.append(root->child(i)->text(0));
    QCOMPARE(names, (QStringList{"Alice", "bob", "carl"}));
    QCOMPARE(root->child(2)->data(0, Qt::UserRole + 1).toByteArray(), carl);

    // Selecting one of bob's lines lists his tasks; each project row comes once, before its first task.
    tree->setCurrentItem(root->child(1)->child(2));
    QHash<QString, int> percentOf;
    QStringList projectsSeen;
    QString currentProject;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        if (item->data(0, TaskRowDelegate::IsProjectRole).toBool()) {
            QVERIFY(!projectsSeen.contains(item->text(0)));
            projectsSeen.append(item->text(0));
            currentProject = item->text(0);
            continue;
        }
        QVERIFY(!currentProject.isEmpty());
        percentOf.insert(item->text(0), item->data(0, TaskRowDelegate::PercentRole).toInt());
    }
    QCOMPARE(percentOf, (QHash<QString, int>{{"Design", 40}, {"Survey", 100}, {"Build", 0}}));
    projectsSeen.sort();
    QCOMPARE(projectsSeen, (QStringList{"Apollo( 1/5/24 - 3/30/24 )", "Borealis( 2/1/24 - 2/20/24 )"}));

    tree->setCurrentItem(root);
    QCOMPARE(list->topLevelItemCount(), 0);
    tree->setCurrentItem(root->child(2));
    QCOMPARE(list->topLevelItemCount(), 0);
    QCOMPARE(TaskRowDelegate::filledWidth(40), 32);
    QCOMPARE(TaskRowDelegate::filledWidth(250), 82);
}

QTEST_MAIN(SmallDialogsTest)
#include "SmallDialogsTest.moc"
