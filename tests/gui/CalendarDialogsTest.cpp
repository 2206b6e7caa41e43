#include "GuiTestSupport.h"

#include "shell/CalendarExportDialog.h"
#include "shell/CalendarPublishDialog.h"
#include "store/AppSettings.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/ProjectRangePicker.h"

#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QTcpServer>
#include <QPushButton>
#include <QTreeWidget>

using namespace korvane;
using namespace korvane::test;

class CalendarDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exportWritesTheCheckedProjectsOfTheMonthRange();
    void publishNamesWhatIsMissingOrUnreachable();
};

void CalendarDialogsTest::init()
{
    UserDialogs::setTestMode(true);
    AppSettings::setLastExportFolder(QString());
}

void CalendarDialogsTest::exportWritesTheCheckedProjectsOfTheMonthRange()
{
    GuiWorld world;
    const QByteArray january = world.addProject(QStringLiteral("Quay"), QStringLiteral("2024-01-10"));
    world.addProject(QStringLiteral("Bridge"), QStringLiteral("2024-06-01"));
    CalendarExportDialog dialog(world.store());
    ProjectRangePicker* picker = dialog.picker();
    picker->setDateRange(QDate(2024, 1, 1), QDate(2024, 3, 1));
    QCOMPARE(itemTexts(picker->projectList()).size(), 1);
    picker->checkProject(january);
    // Widening the range lists the June project too and keeps the check.
    picker->toEdit()->setDate(QDate(2024, 12, 1));
    QCOMPARE(itemTexts(picker->projectList()).size(), 2);
    QCOMPARE(picker->checkedProjects(), QList<QByteArray>{january});

    const QTemporaryDir target;
    UserDialogs::setNextFileName(target.filePath(QStringLiteral("quay")));
    dialog.exportButton()->click();
    QVERIFY(onlyMessage().startsWith(QStringLiteral("0 tasks and 0 meetings were written to ")));
    QVERIFY(fileBytes(target.filePath(QStringLiteral("quay.ics"))).startsWith("BEGIN:VCALENDAR\r\n"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    picker->projectList()->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    dialog.exportButton()->click();
    QCOMPARE(onlyMessage(), QStringLiteral("Check at least one project to export."));
}

void CalendarDialogsTest::publishNamesWhatIsMissingOrUnreachable()
{
    GuiWorld world;
    const QByteArray project = world.addProject(QStringLiteral("Quay"), QStringLiteral("2024-01-10"));
    CalendarPublishDialog dialog(world.store());
    dialog.picker()->setDateRange(QDate(2024, 1, 1), QDate(2024, 1, 1));
    dialog.publishButton()->click();
    QCOMPARE(onlyMessage(), QStringLiteral("Type the address of the calendar to publish to."));

    // A port nothing listens on: the server is down.
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    dialog.urlEdit()->setText(QStringLiteral("http://127.0.0.1:%1/ann/work/").arg(port));
    dialog.userEdit()->setText(QStringLiteral("ann"));
    dialog.passwordEdit()->setText(QStringLiteral("secret"));
    dialog.publishButton()->click();
    QCOMPARE(onlyMessage(), QStringLiteral("Check at least one project to publish."));
    dialog.picker()->checkProject(project);
    dialog.publishButton()->click();
    QCOMPARE(onlyMessage(), QStringLiteral("The calendar was not published.\nThe calendar server at 127.0.0.1:%1 "
                                           "refused the connection: it is not running, or the address or port "
                                           "is wrong.")
                                .arg(port));
    QVERIFY(!QFile::exists(world.programFolder() + QStringLiteral("/CalendarPublish.json")));

    dialog.urlEdit()->setText(QStringLiteral("ftp://127.0.0.1/cal/"));
    dialog.publishButton()->click();
    QVERIFY(onlyMessage().endsWith(QStringLiteral("is not an http:// or https:// address of a calendar.")));
}

QTEST_MAIN(CalendarDialogsTest)
#include "CalendarDialogsTest.moc"
