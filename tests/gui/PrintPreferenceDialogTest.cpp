#include "GuiTestSupport.h"

#include "reports/PrintReport.h"
#include "shell/PrintPreferenceDialog.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QDateEdit>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTreeWidget>

using namespace korvane;
using namespace korvane::test;

namespace {

QString printPage(const GuiWorld& world)
{
    return QString::fromUtf8(fileBytes(world.programFolder() + QStringLiteral("/Print.html")));
}

} // namespace

class PrintPreferenceDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listsProjectsOfTheRangeWithoutCaption();
    void fromPastToMovesToAndRefills();
    void keyboardPrintsCheckedProjectWithChosenModule();
    void pageViewFollowsEachPrintLaidOutAsInABrowser();
    void savesCheckedProjectsAsPdf();

private:
    std::unique_ptr<test::GuiWorld> m_world;
    QByteArray m_march;
    QByteArray m_june;
    int m_previews = 0;
};

void PrintPreferenceDialogTest::init()
{
    m_world = std::make_unique<test::GuiWorld>();
    m_march = m_world->addProject(QStringLiteral("Harbour Survey"), "2024-03-10", "2024-05-30");
    m_june = m_world->addProject(QStringLiteral("Bridge Repair"), "2024-06-05", "2024-09-30");
    m_previews = 0;
    answerDialogs(nullptr, [this](QDialog& dialog) {
        if (qobject_cast<QPrintPreviewDialog*>(&dialog))
            ++m_previews;
    });
}

void PrintPreferenceDialogTest::cleanup()
{
    m_world.reset();
}

void PrintPreferenceDialogTest::listsProjectsOfTheRangeWithoutCaption()
{
    PrintPreferenceDialog dialog(m_world->store());
    // Both pickers start on today's month, where no test project starts.
    QCOMPARE(dialog.fromEdit()->date(), QDate::currentDate());
    QCOMPARE(dialog.projectList()->topLevelItemCount(), 0);

    dialog.setDateRange(QDate(2024, 3, 1), QDate(2024, 12, 1));
    QCOMPARE(itemTexts(dialog.projectList()),
             (QStringList{QStringLiteral("Harbour Survey"), QStringLiteral("Bridge Repair")}));
    QCOMPARE(dialog.projectList()->topLevelItem(0)->checkState(0), Qt::Unchecked);
}

void PrintPreferenceDialogTest::fromPastToMovesToAndRefills()
{
    PrintPreferenceDialog dialog(m_world->store());
    dialog.setDateRange(QDate(2024, 3, 1), QDate(2024, 3, 1));
    QCOMPARE(itemTexts(dialog.projectList()), QStringList{QStringLiteral("Harbour Survey")});
    dialog.projectList()->topLevelItem(0)->setCheckState(0, Qt::Checked);

    dialog.fromEdit()->setDate(QDate(2024, 6, 1));
    QCOMPARE(dialog.toEdit()->minimumDate(), QDate(2024, 6, 1));
    QCOMPARE(dialog.toEdit()->date(), QDate(2024, 6, 1));
    QCOMPARE(itemTexts(dialog.projectList()), QStringList{QStringLiteral("Bridge Repair")});

    // Moving back keeps To where it is (no latest date), and a project listed again keeps its check.
    dialog.fromEdit()->setDate(QDate(2024, 3, 1));
    QCOMPARE(dialog.toEdit()->minimumDate(), QDate(2024, 3, 1));
    QCOMPARE(dialog.toEdit()->date(), QDate(2024, 6, 1));
    QCOMPARE(itemTexts(dialog.projectList()),
             (QStringList{QStringLiteral("Harbour Survey"), QStringLiteral("Bridge Repair")}));

    dialog.toEdit()->setDate(QDate(2024, 4, 1));
    QCOMPARE(itemTexts(dialog.projectList()), QStringList{QStringLiteral("Harbour Survey")});
}

void PrintPreferenceDialogTest::keyboardPrintsCheckedProjectWithChosenModule()
{
    PrintPreferenceDialog dialog(m_world->store());
    dialog.setDateRange(QDate(2024, 3, 1), QDate(2024, 12, 1));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // Space checks the current row of each list.
    dialog.projectList()->setFocus();
    dialog.projectList()->setCurrentItem(dialog.projectList()->topLevelItem(1));
    QTest::keyClick(dialog.projectList(), Qt::Key_Space);
    dialog.moduleList()->setFocus();
    dialog.moduleList()->setCurrentRow(3);
    QTest::keyClick(dialog.moduleList(), Qt::Key_Space);
    QCOMPARE(dialog.checkedProjects(), QList<QByteArray>{m_june});
    QCOMPARE(dialog.moduleNumber(), 10000);

    // Enter prints, wherever the focus is in the lists.
    QTest::keyClick(dialog.moduleList(), Qt::Key_Return);
    QCOMPARE(m_previews, 1);
    QVERIFY(UserDialogs::takeMessages().isEmpty());
    QVERIFY(dialog.isVisible());

    // What each module puts on the page is PrintReport's, tested in PrintReportTest.
    const QString page = printPage(*m_world);
    QVERIFY(page.contains(QStringLiteral("Bridge Repair")));
    QVERIFY(!page.contains(QStringLiteral("Harbour Survey")));

    // The page shown in the dialog finds its pictures, named the Windows way.
    QVERIFY(dialog.browser()->toPlainText().contains(QStringLiteral("Bridge Repair")));
    const QVariant picture = dialog.browser()->document()->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("Images\\Project.bmp")));
    QVERIFY(!picture.value<QImage>().isNull());

    // Escape closes the dialog without printing again.
    QTest::keyClick(dialog.moduleList(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(m_previews, 1);
}

void PrintPreferenceDialogTest::pageViewFollowsEachPrintLaidOutAsInABrowser()
{
    PrintPreferenceDialog dialog(m_world->store());
    dialog.setDateRange(QDate(2024, 3, 1), QDate(2024, 12, 1));
    dialog.moduleList()->item(3)->setCheckState(Qt::Checked);
    // A first Print without a project asks for one and leaves the empty page; each later one shows its own.
    QTest::mouseClick(dialog.printButton(), Qt::LeftButton);
    QCOMPARE(UserDialogs::takeMessages(),
             QStringList{QStringLiteral("Please Select atleast one Project from the list")});
    QCOMPARE(m_previews, 0);
    QCOMPARE(printPage(*m_world), QStringLiteral("<html><body>\n</body></html>"));
    QVERIFY(dialog.browser()->document()->isEmpty());
    dialog.projectList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    dialog.print();
    QVERIFY(dialog.browser()->toPlainText().contains(QStringLiteral("Harbour Survey")));
    dialog.projectList()->topLevelItem(1)->setCheckState(0, Qt::Checked);
    dialog.print();
    QVERIFY(dialog.browser()->toPlainText().contains(QStringLiteral("Bridge Repair")));
    QCOMPARE(m_previews, 2);

    // The sections after the facts table stand below it, not in its last cell.
    const QTextCursor payment = dialog.browser()->document()->find(QStringLiteral("Payment Track :"));
    QVERIFY(!payment.isNull());
    QVERIFY(payment.currentTable() == nullptr);
    // Only the copy shown is mended: the page file keeps the generated bytes, row and all.
    const QByteArray file = fileBytes(m_world->programFolder() + QStringLiteral("/Print.html"));
    QCOMPARE(file, PrintReport::page(m_world->store(), {m_march, m_june}, 10000).toUtf8());
    QVERIFY(file.contains("bgcolor=#F9F9F9>\t\t\t\t\t<td width=30%"));
}

void PrintPreferenceDialogTest::savesCheckedProjectsAsPdf()
{
    PrintPreferenceDialog dialog(m_world->store());
    dialog.setDateRange(QDate(2024, 3, 1), QDate(2024, 12, 1));
    dialog.projectList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
    const QString path = m_world->programFolder() + QStringLiteral("/Saved");
    UserDialogs::setNextFileName(path);
    QTest::mouseClick(dialog.savePdfButton(), Qt::LeftButton);

    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(path + QStringLiteral(".pdf"))});
    QVERIFY(fileBytes(path + QStringLiteral(".pdf")).startsWith("%PDF-"));
    QCOMPARE(m_previews, 0);
    QVERIFY(dialog.browser()->toPlainText().contains(QStringLiteral("Harbour Survey")));
}

QTEST_MAIN(PrintPreferenceDialogTest)
#include "PrintPreferenceDialogTest.moc"
