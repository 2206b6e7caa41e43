#include "GuiTestSupport.h"

#include "editors/ImportDialog.h"
#include "records/Clock.h"
#include "store/AppSettings.h"
#include "store/RecordId.h"
#include "store/RecordStore.h"
#include "support/NoFileOverride.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <map>

using namespace korvane;
using namespace korvane::test;

Q_DECLARE_METATYPE(korvane::ImportKind)

namespace {

const QDateTime kNow(QDate(2024, 1, 15), QTime(10, 20, 30));

QByteArray calendar(const QByteArray& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n" + body + "END:VCALENDAR\r\n";
}

QByteArray todos(std::initializer_list<const char*> subjects)
{
    QByteArray body;
    for (const char* subject : subjects)
        body += QByteArray("BEGIN:VTODO\r\nSUMMARY:") + subject +
                "\r\nDTSTART:20240201T090000\r\nDUE:20240210T170000\r\nEND:VTODO\r\n";
    return calendar(body);
}

QList<bool> rowChecks(const QTreeWidget* list)
{
    QList<bool> checks;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        checks.append(list->topLevelItem(row)->checkState(0) == Qt::Checked);
    return checks;
}

/** The tasks of the store by identifier, as "identifier name project". */
QStringList storedTasks(const RecordStore& store)
{
    std::map<QByteArray, QString> byId;
    for (const auto& entry : store.tasks())
        byId[entry.key] =
            QString::fromUtf8(entry.key + ' ' + entry.record.name + ' ' + entry.record.projectIdentifier);
    QStringList tasks;
    for (const auto& [id, text] : byId)
        tasks.append(text);
    return tasks;
}

} // namespace

class ImportDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void eachKindListsItsRows_data();
    void eachKindListsItsRows();
    void sortingKeepsCheckMarksAndOkAddsCheckedRowsByPosition();
    void keyboardChecksAcceptsAndCancels();
    void unreadableOrEmptyFileOnlyShowsAMessage_data();
    void unreadableOrEmptyFileOnlyShowsAMessage();
    void failedAddShowsTheErrorAndKeepsNothing();
    void lastFileIsRememberedPerKind();

private:
    QString writeFile(const QString& name, const QByteArray& bytes);
    void expectNothingAdded();
    QByteArray m_project;
    std::unique_ptr<test::GuiWorld> m_world;
};

void ImportDialogTest::init()
{
    m_world = std::make_unique<test::GuiWorld>();
    m_project = m_world->addProject(QStringLiteral("Bridge"));
    Clock::setFixed(kNow);
}

void ImportDialogTest::cleanup()
{
    Clock::setFixed(QDateTime());
    UserDialogs::setDialogHandler({});
    m_world.reset();
}

QString ImportDialogTest::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(m_world->pickedFolder()).filePath(name);
    makeFile(path, bytes);
    return path;
}

void ImportDialogTest::expectNothingAdded()
{
    QCOMPARE(m_world->store().resources().size(), 0);
    QCOMPARE(m_world->store().tasks().size(), 0);
    QCOMPARE(m_world->store().meetings().size(), 0);
}

void ImportDialogTest::eachKindListsItsRows_data()
{
    QTest::addColumn<ImportKind>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("contacts")
        << ImportKind::Contacts << "people.vcf"
        << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Okafor;Ada;;Dr.;\r\nFN:Ada Okafor\r\n"
                      "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:4.0\r\nN:Lee;Kim;;Ms.;\r\nEND:VCARD\r\n")
        << QStringList{"Dr. Ada  Okafor", "Ms. Kim  Lee"};
    // Tasks are listed by the tests below; what each row says is ImportSource's (ImportTest).
    QTest::newRow("meetings") << ImportKind::Meetings << "diary.ics"
                              << calendar(
                                     "BEGIN:VEVENT\r\nSUMMARY:Site walk\r\nLOCATION:Pier 4\r\n"
                                     "DTSTART:20240301T100000\r\nDTEND:20240301T110000\r\nEND:VEVENT\r\n")
                              << QStringList{"Site walk - Pier 4"};
}

void ImportDialogTest::eachKindListsItsRows()
{
    QFETCH(ImportKind, kind);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, text);
    QFETCH(QStringList, rows);

    UserDialogs::setNextFileName(writeFile(fileName, text));
    QStringList shown;
    QList<bool> checks;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("importList"));
        shown = itemTexts(list);
        checks = rowChecks(list);
    });
    QVERIFY(!ImportDialog::run(m_world->store(), kind, m_project, nullptr));
    QCOMPARE(shown, rows);
    QVERIFY(!checks.contains(false));
    // Cancel adds nothing.
    expectNothingAdded();
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
}

void ImportDialogTest::sortingKeepsCheckMarksAndOkAddsCheckedRowsByPosition()
{
    UserDialogs::setNextFileName(
        writeFile(QStringLiteral("tasks.ics"), todos({"beta", "Alpha", "alpha", "Beta"})));
    QStringList ascending;
    QStringList descending;
    QList<bool> checksAfterResort;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("importList"));
        clickChild(dialog, "importSortAscending");
        ascending = itemTexts(list);
        clickChild(dialog, "importSortDescending");
        descending = itemTexts(list);
        // Uncheck "alpha" and "Beta", then sort again: the marks go with their rows.
        list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
        list->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
        clickChild(dialog, "importSortAscending");
        checksAfterResort = rowChecks(list);
        dialog.accept();
        return dialog.result();
    });
    QVERIFY(ImportDialog::run(m_world->store(), ImportKind::Tasks, m_project, nullptr));

    // Byte order: capitals before small letters.
    QCOMPARE(ascending, (QStringList{"Alpha", "Beta", "alpha", "beta"}));
    QCOMPARE(descending, (QStringList{"beta", "alpha", "Beta", "Alpha"}));
    QCOMPARE(checksAfterResort, (QList<bool>{true, false, false, true}));
    // Both added in the same second: the row positions 0 and 3 keep their identifiers apart.
    const QString project = QString::fromUtf8(m_project);
    QCOMPARE(storedTasks(m_world->store()),
             (QStringList{QString::fromUtf8(RecordId::make(kNow, 0)) + " Alpha " + project,
                          QString::fromUtf8(RecordId::make(kNow, 3)) + " beta " + project}));
}

void ImportDialogTest::keyboardChecksAcceptsAndCancels()
{
    const QString path = writeFile(QStringLiteral("tasks.ics"), todos({"One", "Two", "Three"}));
    QString focused;
    QString count;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("importList"));
        dialog.show();
        focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
        clickChild(dialog, "importUncheckAll");
        QTest::keyClick(list, Qt::Key_Space);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Space);
        count = dialog.findChild<QLabel*>(QStringLiteral("importCount"))->text();
        QTest::keyClick(list, Qt::Key_Return);
    });
    UserDialogs::setNextFileName(path);
    QVERIFY(ImportDialog::run(m_world->store(), ImportKind::Tasks, m_project, nullptr));
    QCOMPARE(focused, QStringLiteral("importList"));
    QCOMPARE(count, QStringLiteral("2 of 3 checked"));
    const QString project = QString::fromUtf8(m_project);
    QCOMPARE(storedTasks(m_world->store()),
             (QStringList{QString::fromUtf8(RecordId::make(kNow, 0)) + " One " + project,
                          QString::fromUtf8(RecordId::make(kNow, 2)) + " Three " + project}));

    // Escape closes without adding, whatever is checked.
    answerDialogs(nullptr, [](QDialog& dialog) {
        dialog.show();
        clickChild(dialog, "importCheckAll");
        QTest::keyClick(dialog.findChild<QTreeWidget*>(QStringLiteral("importList")), Qt::Key_Escape);
    });
    UserDialogs::setNextFileName(path);
    QVERIFY(!ImportDialog::run(m_world->store(), ImportKind::Tasks, m_project, nullptr));
    QCOMPARE(m_world->store().tasks().size(), 2);
}

void ImportDialogTest::unreadableOrEmptyFileOnlyShowsAMessage_data()
{
    // Which files are refused and why is ImportSource's (ImportTest.BrokenFilesGiveTheFileAndTheReason...).
    QTest::addColumn<ImportKind>("kind");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("not a calendar") << ImportKind::Meetings << "notes.ics" << QByteArray("just some notes\n")
                                    << "%1: is not an iCalendar file";
    QTest::newRow("empty") << ImportKind::Tasks << "empty.ics" << QByteArray() << "No Tasks was Found in %1";
}

void ImportDialogTest::unreadableOrEmptyFileOnlyShowsAMessage()
{
    QFETCH(ImportKind, kind);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, text);
    QFETCH(QString, message);

    const QString path = writeFile(fileName, text);
    UserDialogs::setNextFileName(path);
    bool dialogShown = false;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        dialogShown = true;
        dialog.accept();
    });
    QVERIFY(!ImportDialog::run(m_world->store(), kind, m_project, nullptr));
    QVERIFY(!dialogShown);
    const QString shown = onlyMessage();
    QVERIFY2(shown.startsWith(message.arg(path)), qPrintable(shown));
    expectNothingAdded();
}

void ImportDialogTest::failedAddShowsTheErrorAndKeepsNothing()
{
    UserDialogs::setNextFileName(writeFile(QStringLiteral("tasks.ics"), todos({"Pour", "Cure", "Strip"})));
    // The data folder refuses new files: the import is one change, so none of its rows is kept.
    const QString blocked = QStringLiteral("Task%1.tsk").arg(QString::fromUtf8(RecordId::make(kNow, 0)));
    const QString folder = m_world->dataFolder();
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    answerDialogs(nullptr, [](QDialog& dialog) { dialog.accept(); });
    bool imported = false;
    {
        const test::NoFileOverride obeyPermissions;
        imported = ImportDialog::run(m_world->store(), ImportKind::Tasks, m_project, nullptr);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!imported);
    const QString message = onlyMessage();
    QVERIFY2(message.startsWith(QLatin1String("Nothing was imported")) && message.contains(blocked),
             qPrintable(message));
    // That no row is left on disk is addImportRows' (ImportTest.AnImportThatCannotBeWrittenAddsNothing).
    QCOMPARE(m_world->store().tasks().size(), 0);
}

void ImportDialogTest::lastFileIsRememberedPerKind()
{
    const QString tasks = writeFile(QStringLiteral("tasks.ics"), todos({"Pour"}));
    UserDialogs::setNextFileName(tasks);
    QVERIFY(!ImportDialog::run(m_world->store(), ImportKind::Tasks, m_project, nullptr));
    QCOMPARE(AppSettings::lastImportFile(QStringLiteral("Tasks")), tasks);
    QCOMPARE(AppSettings::lastImportFile(QStringLiteral("Meetings")), QString());
    QCOMPARE(AppSettings::lastImportFile(QStringLiteral("Contacts")), QString());

    // A cancelled file dialog keeps the file remembered before.
    UserDialogs::setNextFileName(QString());
    QVERIFY(!ImportDialog::run(m_world->store(), ImportKind::Tasks, m_project, nullptr));
    QCOMPARE(AppSettings::lastImportFile(QStringLiteral("Tasks")), tasks);

    // Tasks need a project to belong to: without one nothing is asked or added.
    bool dialogShown = false;
    UserDialogs::setDialogHandler([&](QDialog&) {
        dialogShown = true;
        return int(QDialog::Accepted);
    });
    QVERIFY(!ImportDialog::run(m_world->store(), ImportKind::Meetings, QByteArray(), nullptr));
    QVERIFY(!dialogShown);
    QCOMPARE(AppSettings::lastImportFile(QStringLiteral("Meetings")), QString());
    QCOMPARE(m_world->store().meetings().size(), 0);
}

QTEST_MAIN(ImportDialogTest)
#include "ImportDialogTest.moc"
