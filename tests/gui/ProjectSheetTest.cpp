#include "GuiTestSupport.h"

#include "editors/CClientDetailsPg.h"
#include "editors/CProjectDetailsPg.h"
#include "editors/CProjectSheet.h"
#include "editors/CResourcePg.h"
#include "editors/CSynopsisPg.h"
#include "editors/ResourceDialog.h"
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

/** Walks the sheet to its last page, as a user pressing Next would, and presses Finish. */
int finishSheet(QDialog& dialog)
{
    auto& wizard = static_cast<QWizard&>(dialog);
    if (wizard.currentId() == -1)
        wizard.restart();
    while (wizard.currentId() != CProjectSheet::SynopsisPage) {
        const int before = wizard.currentId();
        wizard.next();
        if (wizard.currentId() == before)
            return QDialog::Rejected;
    }
    return QDialog::Accepted;
}

QByteArray addResource(RecordStore& store, const QByteArray& name)
{
    ResourceRecord record;
    record.name = name;
    record.designation = "Engineer";
    record.department = "R&D";
    record.phone1 = "555-0100";
    record.phone2 = "555-0101";
    return store.AddResource(record).identifier;
}

QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

} // namespace

class ProjectSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        UserDialogs::setDialogHandler({});
        Clock::setFixed({});
    }

    void addWithoutInputStoresDefaults()
    {
        test::GuiWorld world;
        const QDateTime opened = QDateTime::currentDateTime();
        UserDialogs::setDialogHandler(finishSheet);
        const EditorOutcome outcome = CProjectSheet::addProject(world.store(), nullptr);

        QVERIFY(outcome.finished);
        QCOMPARE(world.store().projects().size(), 1);
        // The empty fields' defaults are RecordDefaults' and the new client ProjectEdits' (edits tests).
        const ProjectRecord project = world.store().GetProject(outcome.identifier);
        QCOMPARE(project.currency, QByteArray("$"));
        QVERIFY(project.startDate == project.endDate);
        QVERIFY(qAbs(project.startDate.toQDateTime().secsTo(opened)) <= 1);
        // The new project's documents file is written from the (empty) scratch file.
        QVERIFY(QFile::exists(world.store().fileName(ListFile::ProjectDoc, outcome.identifier)));
    }

    void modifyKeepsUntouchedFieldsByteForByte()
    {
        test::GuiWorld world;
        const QByteArray bob = addResource(world.store(), "Bob");

        ClientRecord client = emptyRecord<ClientRecord>();
        client.clientName = "Caf\xe9 M\xfcller";
        client.contactPerson = "  Ann  ";
        client.address = "1 Road\r\nTown";
        client.website = "";
        client.phone1 = "\x01\x02";
        client.phone2 = "123";
        // A duplicate, an identifier of no resource and an unended tail: all kept while unchanged.
        client.leadByList = bob + "\n" + bob + "\nGONE\ntail";
        const QByteArray clientId = world.store().AddClient(client).identifier;
        client.identifier = clientId;

        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.clientIdentifier = clientId;
        project.name = "Old name";
        project.projectCode = "P-\xff";
        project.synopsis = "line one\r\nline two\r\n\xe9t\xe9";
        project.endUser = "";
        project.startDate = DateTime::fromQDateTime(QDateTime(QDate(2024, 5, 20), QTime(9, 30, 15)));
        project.endDate = DateTime::fromQDateTime(QDateTime(QDate(2024, 5, 1), QTime(17, 0)));
        project.reservedText1 = "r1\x00r1";
        project.reservedText3 = QByteArray("\x00\x01", 2);
        project.fileLink = "/home/u/plan \xe4.odt";
        project.currency = "\x80-EURO";
        project.incomeLink = "/in.ods";
        project.expenseLink = "/out.ods";
        project.turnOverLink = "/turn.ods";
        const QByteArray projectId = world.store().AddProject(project).identifier;
        project.identifier = projectId;

        ProjectDocuments documents;
        documents.row(0) = {"Contract", "", "/docs/contract.pdf"};
        const QString documentsFile = world.store().fileName(ListFile::ProjectDoc, projectId);
        QVERIFY(documents.write(documentsFile).isEmpty());
        const QByteArray documentBytes = fileBytes(documentsFile);

        QString documentsText;
        UserDialogs::setDialogHandler([&](QDialog& dialog) {
            auto& sheet = static_cast<CProjectSheet&>(dialog);
            documentsText = sheet.projectPage()->documentsText()->text();
            sheet.projectPage()->nameEdit()->setText(QStringLiteral("New name"));
            return finishSheet(dialog);
        });
        const EditorOutcome outcome = CProjectSheet::modifyProject(world.store(), projectId, nullptr);
        QVERIFY(outcome.finished);
        QCOMPARE(outcome.identifier, projectId);
        QCOMPARE(documentsText, QStringLiteral("1 Project Documents are added"));

        ProjectRecord expected = project;
        expected.name = "New name";
        expected.endUser = "Unknown"; // Finish gives every empty field its default, also on Modify
        QVERIFY(world.store().GetProject(projectId) == expected);
        QVERIFY(world.store().GetClient(clientId) == client);
        QCOMPARE(world.store().projects().size(), 1);
        QCOMPARE(world.store().clients().size(), 1);
        QCOMPARE(fileBytes(documentsFile), documentBytes);
    }

    void modifyOfUnknownProjectDoesNothing()
    {
        test::GuiWorld world;
        bool opened = false;
        UserDialogs::setDialogHandler([&](QDialog&) {
            opened = true;
            return int(QDialog::Accepted);
        });
        QVERIFY(!CProjectSheet::modifyProject(world.store(), "2024010100000090", nullptr).finished);
        QVERIFY(!opened);
    }

    void cancelStoresNothingButKeepsResourcesAdded()
    {
        test::GuiWorld world;
        UserDialogs::setDialogHandler([](QDialog& dialog) {
            if (auto* resource = qobject_cast<ResourceDialog*>(&dialog)) {
                resource->findChild<QLineEdit*>(QStringLiteral("resourceName"))
                    ->setText(QStringLiteral("Dana"));
                return int(QDialog::Accepted);
            }
            auto& sheet = static_cast<CProjectSheet&>(dialog);
            sheet.projectPage()->nameEdit()->setText(QStringLiteral("Never stored"));
            sheet.restart();
            sheet.next();
            sheet.next();
            sheet.resourcePage()->findChild<QPushButton*>(QStringLiteral("resourceAdd"))->click();
            return int(QDialog::Rejected);
        });
        const EditorOutcome outcome = CProjectSheet::addProject(world.store(), nullptr);

        QVERIFY(!outcome.finished);
        QVERIFY(world.store().projects().isEmpty());
        QVERIFY(world.store().clients().isEmpty());
        QCOMPARE(world.store().resources().size(), 1);
        QCOMPARE(world.store().resources().begin()->record.name, QByteArray("Dana"));
        world.store().LoadAll();
        QCOMPARE(world.store().resources().size(), 1);
    }

    void resourcePageReadsSortsAndCollects()
    {
        test::GuiWorld world;
        const QByteArray bob = addResource(world.store(), "bob");
        const QByteArray alice = addResource(world.store(), "Alice");
        const QByteArray carol = addResource(world.store(), "Carol");
        addResource(world.store(), "alan");

        CResourcePg page(world.store());
        // bob twice is simply checked; Carol's entry lacks its line feed and does not count.
        const QByteArray list = bob + "\n" + bob + "\n" + carol;
        page.setResourceList(list);
        const QTreeWidgetItem* root = page.tree()->topLevelItem(0);
        QCOMPARE(childTexts(root), (QStringList{"alan", "Alice", "bob", "Carol"}));
        QCOMPARE(childTexts(root->child(2)),
                 (QStringList{"Desg: Engineer", "Dept: R&D", "Ph1: 555-0100", "Ph2: 555-0101"}));
        QCOMPARE(root->child(2)->checkState(0), Qt::Checked);
        QCOMPARE(root->child(2)->child(3)->checkState(0), Qt::Checked);
        QCOMPARE(root->child(3)->checkState(0), Qt::Unchecked);
        QCOMPARE(page.resourceList(), list);

        root->child(1)->setCheckState(0, Qt::Checked);
        QCOMPARE(root->child(1)->child(0)->checkState(0), Qt::Checked);
        QCOMPARE(page.resourceList(), alice + "\n" + bob + "\n");
        root->child(1)->setCheckState(0, Qt::Unchecked);
        root->child(2)->setCheckState(0, Qt::Unchecked);
        QCOMPARE(page.resourceList(), QByteArray());

        // Added and modified items use their own spelling, are checked and are not sorted in.
        UserDialogs::setDialogHandler([](QDialog& dialog) {
            auto* dialogName = dialog.findChild<QLineEdit*>(QStringLiteral("resourceName"));
            if (dialog.windowTitle() == QStringLiteral("Add Resource")) {
                dialogName->setText(QString());
                dialog.findChild<QLineEdit*>(QStringLiteral("resourcePhone1"))->setText(QStringLiteral("1"));
            } else {
                dialogName->setText(QStringLiteral("Alicia"));
            }
            return int(QDialog::Accepted);
        });
        page.findChild<QPushButton*>(QStringLiteral("resourceAdd"))->click();
        QCOMPARE(root->childCount(), 5);
        const QTreeWidgetItem* added = root->child(4);
        QCOMPARE(added->text(0), QStringLiteral("Unknown"));
        QCOMPARE(childTexts(added), (QStringList{"Desg : ", "Dept : ", "Ph1  : 1", "Ph2  : "}));
        QCOMPARE(added->checkState(0), Qt::Checked);

        page.tree()->setCurrentItem(root->child(1)->child(2));
        page.findChild<QPushButton*>(QStringLiteral("resourceModify"))->click();
        QCOMPARE(root->child(1)->text(0), QStringLiteral("Alicia"));
        QCOMPARE(root->child(1)->child(2)->text(0), QStringLiteral("Ph1  : 555-0100"));
        QCOMPARE(world.store().GetResource(alice).name, QByteArray("Alicia"));
        QCOMPARE(world.store().GetResource(alice).designation, QByteArray("Engineer"));

        const QByteArray addedId = added->data(0, Qt::UserRole).toByteArray();
        QVERIFY(world.store().resources().contains(addedId));
        QCOMPARE(page.resourceList(), alice + "\n" + addedId + "\n");
    }

    void resourceDeleteAsksAndRemovesTheFile()
    {
        test::GuiWorld world;
        const QByteArray bob = addResource(world.store(), "Bob");
        const QString path = world.store().fileName(RecordKind::Resource, bob);
        CResourcePg page(world.store());
        page.setResourceList(bob + "\n");
        QTreeWidgetItem* root = page.tree()->topLevelItem(0);
        auto* deleteButton = page.findChild<QPushButton*>(QStringLiteral("resourceDelete"));

        // A detail line is no resource: nothing is asked.
        page.tree()->setCurrentItem(root->child(0)->child(0));
        deleteButton->click();
        QVERIFY(UserDialogs::takeMessages().isEmpty());

        page.tree()->setCurrentItem(root->child(0));
        UserDialogs::setNextAnswer(false);
        deleteButton->click();
        QCOMPARE(UserDialogs::takeMessages(), QStringList{QStringLiteral("Do you want to delete this?")});
        QVERIFY(QFile::exists(path));
        QCOMPARE(root->childCount(), 1);

        UserDialogs::setNextAnswer(true);
        deleteButton->click();
        QVERIFY(!QFile::exists(path));
        QVERIFY(!world.store().resources().contains(bob));
        QCOMPARE(root->childCount(), 0);
        QCOMPARE(page.resourceList(), QByteArray());
    }

    void endDateMinimumFollowsStartDate()
    {
        CProjectDetailsPg page;
        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.startDate = DateTime::fromDate(QDate(2024, 3, 10));
        project.endDate = DateTime::fromDate(QDate(2024, 3, 5));
        page.setProject(project);
        // A stored end before the start opens as stored and is written back untouched.
        QCOMPARE(page.endDateEdit()->date(), QDate(2024, 3, 5));
        QVERIFY(page.project() == project);

        page.endDateEdit()->setDate(QDate(2024, 3, 20));
        QCOMPARE(page.endDateEdit()->minimumDate(), QDate(2024, 3, 10));
        page.startDateEdit()->setDate(QDate(2024, 3, 1));
        QCOMPARE(page.endDateEdit()->minimumDate(), QDate(2024, 3, 1));
        QCOMPARE(page.endDateEdit()->date(), QDate(2024, 3, 20));
        page.startDateEdit()->setDate(QDate(2024, 3, 15));
        QCOMPARE(page.endDateEdit()->minimumDate(), QDate(2024, 3, 15));
        QCOMPARE(page.endDateEdit()->date(), QDate(2024, 3, 20));
        page.startDateEdit()->setDate(QDate(2024, 3, 25));
        QCOMPARE(page.endDateEdit()->date(), QDate(2024, 3, 25));
        QCOMPARE(page.project().endDate.date(), QDate(2024, 3, 25));
    }

    void largeSynopsisSurvivesWhole()
    {
        test::GuiWorld world;
        // A stored synopsis of a megabyte comes back whole: LargeProjectTest. Typed text is never cut either.
        const QByteArray projectId = world.addProject("Big");
        UserDialogs::setDialogHandler([](QDialog& dialog) {
            auto& sheet = static_cast<CProjectSheet&>(dialog);
            QPlainTextEdit* edit = sheet.synopsisPage()->edit();
            edit->setPlainText(QString(300 * 1024, QLatin1Char('x')) + QStringLiteral("\u00e9nd"));
            return finishSheet(dialog);
        });
        QVERIFY(CProjectSheet::modifyProject(world.store(), projectId, nullptr).finished);
        world.store().LoadAll();
        QCOMPARE(world.store().GetProject(projectId).synopsis, QByteArray(300 * 1024, 'x') + "\xc3\xa9nd");
    }
};

QTEST_MAIN(ProjectSheetTest)
#include "ProjectSheetTest.moc"
