// A data folder shared with other machines: a save refused for a record changed elsewhere, the
// conflicting copies of records, and the lock files of other machines.
#include "GuiTestSupport.h"

#include "editors/CTaskDetailsPg.h"
#include "editors/CTaskSheet.h"
#include "edits/RecordEdits.h"
#include "records/RecordCodec.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

/** A task "Pour" the world's store has read, then renamed "changed there" by another program. */
QByteArray taskChangedElsewhere(GuiWorld& world)
{
    const QByteArray project = world.addProject(QStringLiteral("Alpha"));
    const QByteArray id = world.addTask(project, "Pour");
    world.store().LoadAll();
    RecordStore other(world.dataFolder());
    other.LoadAll();
    TaskRecord task = other.GetTask(id);
    task.name = "changed there";
    RecordEdits::modify(other, task);
    return id;
}

} // namespace

class SharedFolderGuiTest : public QObject
{
    Q_OBJECT

private slots:
    void saveOfARecordChangedElsewhereAsksAndOverwritesOnPurpose();
    void reloadKeepsWhatWasTypedForTheNextSave();
    void conflictsWindowKeepsTheChosenVersion();
    void otherMachinesLocksDoNotBlockAndStay();
};

void SharedFolderGuiTest::saveOfARecordChangedElsewhereAsksAndOverwritesOnPurpose()
{
    GuiWorld world;
    const QByteArray id = taskChangedElsewhere(world);

    auto texts = std::make_shared<QStringList>();
    UserDialogs::setDialogHandler([texts](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            texts->append(box->text());
            box->findChild<QPushButton*>(
                   QString::fromLatin1(texts->size() == 1 ? "KeepEditingButton" : "OverwriteButton"))
                ->click();
            return box->result();
        }
        auto& sheet = static_cast<CTaskSheet&>(dialog);
        sheet.detailsPage()->nameEdit()->setText(QStringLiteral("typed here"));
        sheet.next();
        sheet.accept();
        // Kept editing: the sheet is still open with what was typed; the second Finish overwrites.
        if (sheet.result() == QDialog::Accepted)
            return int(QDialog::Accepted);
        if (sheet.detailsPage()->nameEdit()->text() != QStringLiteral("typed here"))
            return int(QDialog::Rejected);
        sheet.accept();
        return sheet.result();
    });
    const EditorOutcome outcome = CTaskSheet::modifyTask(world.store(), id, nullptr);
    QVERIFY(outcome.finished);
    QCOMPARE(texts->size(), 2);
    QVERIFY2(texts->first().contains(QStringLiteral("The task \"Pour\" was changed elsewhere")),
             qPrintable(texts->first()));
    QCOMPARE(fileBytes(world.store().fileName(RecordKind::Task, id)),
             encodeRecord(world.store().GetTask(id)));
    QCOMPARE(world.store().GetTask(id).name, QByteArray("typed here"));
    QVERIFY(UserDialogs::takeMessages().isEmpty());
}

void SharedFolderGuiTest::reloadKeepsWhatWasTypedForTheNextSave()
{
    GuiWorld world;
    const QByteArray id = taskChangedElsewhere(world);

    bool reloaded = false;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            box->findChild<QPushButton*>(QStringLiteral("ReloadButton"))->click();
            return box->result();
        }
        auto& sheet = static_cast<CTaskSheet&>(dialog);
        sheet.detailsPage()->nameEdit()->setText(QStringLiteral("typed here"));
        sheet.next();
        sheet.accept();
        reloaded = sheet.result() != QDialog::Accepted && world.store().GetTask(id).name == "changed there";
        sheet.accept();
        return sheet.result();
    });
    QVERIFY(CTaskSheet::modifyTask(world.store(), id, nullptr).finished);
    QVERIFY(reloaded);
    QCOMPARE(world.store().GetTask(id).name, QByteArray("typed here"));
}

void SharedFolderGuiTest::conflictsWindowKeepsTheChosenVersion()
{
    GuiWorld world;
    RecordStore& store = world.store();
    const QByteArray project = world.addProject(QStringLiteral("Alpha"));
    const QByteArray id = world.addTask(project, "Pour");
    TaskRecord theirs = store.GetTask(id);
    theirs.name = "Pour twice";
    const QString copy = QStringLiteral("%1/Task%2 (conflicted copy 2026-12-07 101010).tsk")
                             .arg(world.dataFolder(), QString::fromLatin1(id));
    makeFile(copy, encodeRecord(theirs));
    store.LoadAll();

    DataFolderLock lock;
    CMainFrame frame(store, lock);
    auto* button = frame.findChild<QPushButton*>(QStringLiteral("ConflictsButton"));
    QVERIFY(button && !button->isHidden());
    QCOMPARE(button->text(), QStringLiteral("1 record has conflicting copies"));

    QStringList differing;
    UserDialogs::setDialogHandler([&](QDialog& dialog) {
        auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("ConflictVersionsTable"));
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->verticalHeaderItem(r)->text().startsWith(QChar(0x25cf)))
                differing.append(table->item(r, 0)->text() + QStringLiteral(" | ") +
                                 table->item(r, 1)->text());
        }
        dialog.findChild<QPushButton*>(QStringLiteral("KeepVersion2"))->click();
        return dialog.result();
    });
    button->click();
    QCOMPARE(differing, QStringList{QStringLiteral("Pour | Pour twice")});
    QCOMPARE(store.GetTask(id).name, QByteArray("Pour twice"));
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(fileBytes(store.conflictsFolder() + '/' + QFileInfo(copy).fileName()), encodeRecord(theirs));
    QVERIFY(button->isHidden());
}

void SharedFolderGuiTest::otherMachinesLocksDoNotBlockAndStay()
{
    GuiWorld world;
    const QString folder = world.dataFolder();
    // As Qt writes lock files: process, program, host.
    const QString foreign = folder + QStringLiteral("/Korvane-laptop.lock");
    makeFile(foreign, "4242\nkorvane\nlaptop\n");
    makeFile(folder + QStringLiteral("/Korvane.lock"), "4343\nkorvane\nlaptop\n");
    {
        DataFolderLock lock;
        QVERIFY(lock.acquire(folder, nullptr));
        QVERIFY(lock.isLocked());
        QCOMPARE(lock.otherHosts(), QStringList{QStringLiteral("laptop")});
        // The same machine is still refused.
        DataFolderLock second;
        QString error;
        QVERIFY(!second.acquire(folder, &error));
        QVERIFY(error.contains(QStringLiteral("already open")));
    }
    QVERIFY(QFile::exists(foreign));
    QVERIFY(QFile::exists(folder + QStringLiteral("/Korvane.lock")));
    QVERIFY(!QFile::exists(folder + '/' + DataFolderLock::lockFileName()));
}

QTEST_MAIN(SharedFolderGuiTest)
#include "SharedFolderGuiTest.moc"
