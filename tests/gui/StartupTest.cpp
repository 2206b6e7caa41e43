// Start-up, the Set Working Folder dialog, Change Directory and the data folder lock.

#include "gui/GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "shell/DataFolderLock.h"
#include "shell/LoginWindow.h"
#include "shell/SetWorkingFolderDialog.h"
#include "shell/Startup.h"
#include "store/AppSettings.h"
#include "store/LoginFiles.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSysInfo>
#include <QTimer>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

const QString kFolderGoneMessage = QStringLiteral(
    "The working directory is moved or deleted. Please select the working directory to continue.");
const QString kFolderMissingMessage =
    QStringLiteral("The directory you have selected does not exists or it is a write protected medium.");

bool settingWritten()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brisolt"),
                     QStringLiteral("Korvane"))
        .contains(QStringLiteral("Directory/Path"));
}

QString pathField(QDialog& dialog)
{
    return dialog.findChild<QLineEdit*>(QStringLiteral("pathEdit"))->text();
}

/** Logs in with `name` as name and password. */
int logIn(QDialog& dialog, const QString& name)
{
    dialog.findChild<QLineEdit*>(QStringLiteral("loginNameEdit"))->setText(name);
    dialog.findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(name);
    clickChild(dialog, "okButton");
    return dialog.result();
}

/** What the scripted user saw and did while start-up ran. */
struct Script
{
    /** Each dialog met, as its object name, with the path field of the folder dialog. */
    QStringList dialogs;
    QStringList folderDialogPaths;
    /** The folder to pick with Browse in the folder dialog ("" presses Set without browsing). */
    QString browseTo;
    bool acceptFolder = true;
    bool acceptLogin = true;
    QString login = QStringLiteral("naro");

    void install()
    {
        UserDialogs::setDialogHandler([this](QDialog& dialog) {
            dialogs << dialog.objectName();
            if (qobject_cast<SetWorkingFolderDialog*>(&dialog)) {
                folderDialogPaths << pathField(dialog);
                if (!acceptFolder)
                    return int(QDialog::Rejected);
                if (!browseTo.isEmpty()) {
                    UserDialogs::setNextFileName(browseTo);
                    clickChild(dialog, "browseButton");
                }
                clickChild(dialog, "setButton");
                return dialog.result();
            }
            if (qobject_cast<LoginWindow*>(&dialog)) {
                return acceptLogin ? logIn(dialog, login) : int(QDialog::Rejected);
            }
            return int(QDialog::Rejected);
        });
    }
};

/** Makes a fresh folder (with parents) inside the world's temporary folder and returns it. */
QString makeFolder(const GuiWorld& world, const QString& relative)
{
    const QString path = QFileInfo(world.pickedFolder()).path() + QLatin1Char('/') + relative;
    QDir().mkpath(path);
    return path;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void folderDialogOpensEmpty_data();
    void folderDialogOpensEmpty();
    void answeredDialogMakesNewDataFolderWithLoginFilesSilently();
    void existingDataFolderIsUsedUntouched_data();
    void existingDataFolderIsUsedUntouched();
    void loginCancelWritesSettingAndEnds();
    void secondCopyIsRefusedAtStart();
    void dataFolderThatCannotBeMadeIsReported();

    void browsePicksFolder_data();
    void browsePicksFolder();
    void setWithEmptyPathCancels();

    void changeDirectoryKeepsFolder_data();
    void changeDirectoryKeepsFolder();
    void changeDirectorySwitchesAndLoads();

    void lockIsTakenOverFromEndedProgram();
    void saveWorkingFolderWritesParent();
    void bigFolderLoadsUnderProgressDialog();
};

void StartupTest::folderDialogOpensEmpty_data()
{
    QTest::addColumn<bool>("gone");
    QTest::addColumn<bool>("accept");
    QTest::newRow("first start, dialog cancelled") << false << false;
    QTest::newRow("folder gone, new folder picked") << true << true;
    QTest::newRow("folder gone, dialog cancelled keeps the setting") << true << false;
}

void StartupTest::folderDialogOpensEmpty()
{
    QFETCH(bool, gone);
    QFETCH(bool, accept);
    GuiWorld world;
    const QString goneFolder = QFileInfo(world.pickedFolder()).path() + QStringLiteral("/unplugged");
    if (gone)
        AppSettings::setWorkingFolder(goneFolder);
    const QString fresh = makeFolder(world, QStringLiteral("fresh"));
    Script script;
    script.browseTo = fresh;
    script.acceptFolder = accept;
    script.install();
    RecordStore store;
    DataFolderLock lock;

    QCOMPARE(Startup::run(store, lock).proceed, accept);
    // A folder that is gone is announced first; the dialog starts empty, not with that folder.
    QCOMPARE(UserDialogs::takeMessages(), gone ? QStringList{kFolderGoneMessage} : QStringList());
    QCOMPARE(script.folderDialogPaths, QStringList{QString()});
    if (accept)
        QCOMPARE(store.workingDirectory(), fresh + QStringLiteral("/Korvane"));
    else if (gone)
        QCOMPARE(AppSettings::workingFolder(), goneFolder);
    else
        QVERIFY(!settingWritten() && lock.folder().isEmpty());
    QVERIFY(!QFileInfo::exists(goneFolder));
}

void StartupTest::answeredDialogMakesNewDataFolderWithLoginFilesSilently()
{
    GuiWorld world;
    const QString picked = makeFolder(world, QStringLiteral("first run"));
    Script script;
    script.browseTo = picked;
    script.install();
    RecordStore store;
    DataFolderLock lock;

    QVERIFY(Startup::run(store, lock).proceed);
    const QString dataFolder = picked + QStringLiteral("/Korvane");
    QCOMPARE(script.dialogs,
             (QStringList{QStringLiteral("SetWorkingFolderDialog"), QStringLiteral("LoginWindow")}));
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QCOMPARE(store.workingDirectory(), dataFolder);
    QCOMPARE(lock.folder(), dataFolder);
    QVERIFY(lock.isLocked());
    LoginFiles files(dataFolder);
    QVERIFY(QFileInfo(files.detailsPath()).isFile());
    QVERIFY(files.matches("naro", "naro"));
    QCOMPARE(files.load(true).details.hintQuestion, QByteArray("What is your Pet Name?"));
    QCOMPARE(files.readStatus(), 0);
    // The setting is written when the main window closes, not at start.
    QVERIFY(!settingWritten());
}

void StartupTest::existingDataFolderIsUsedUntouched_data()
{
    QTest::addColumn<bool>("loginOn");
    QTest::newRow("login window shown") << true;
    QTest::newRow("login window switched off") << false;
}

void StartupTest::existingDataFolderIsUsedUntouched()
{
    QFETCH(bool, loginOn);
    GuiWorld world;
    world.addProject(QStringLiteral("Bridge"));
    LoginFiles files(world.dataFolder());
    QCOMPARE(files.changeLogin("anna", "anna", "cat", "What is your Pet name?", "tom"), QString());
    QCOMPARE(files.writeStatus(loginOn ? 0 : 1), QString());
    const QByteArray details = fileBytes(files.detailsPath());
    AppSettings::setWorkingFolder(world.pickedFolder());
    Script script;
    script.login = QStringLiteral("anna");
    script.install();
    RecordStore store;
    DataFolderLock lock;

    QVERIFY(Startup::run(store, lock).proceed);
    QCOMPARE(script.dialogs, loginOn ? QStringList{QStringLiteral("LoginWindow")} : QStringList());
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QCOMPARE(fileBytes(files.detailsPath()), details);
    QCOMPARE(store.workingDirectory(), world.dataFolder());
    QCOMPARE(store.projects().size(), 1);
    QVERIFY(!QFileInfo::exists(world.dataFolder() + QStringLiteral("/Korvane")));
}

void StartupTest::loginCancelWritesSettingAndEnds()
{
    GuiWorld world;
    const QString picked = makeFolder(world, QStringLiteral("office"));
    Script script;
    script.browseTo = picked;
    script.acceptLogin = false;
    script.install();
    RecordStore store;
    DataFolderLock lock;

    QVERIFY(!Startup::run(store, lock).proceed);
    QCOMPARE(script.dialogs.last(), QStringLiteral("LoginWindow"));
    QCOMPARE(AppSettings::workingFolder(), picked);
    // The program ends: its lock is given back.
    QVERIFY(lock.folder().isEmpty());
    DataFolderLock next;
    QString error;
    QVERIFY2(next.acquire(picked + QStringLiteral("/Korvane"), &error), qPrintable(error));
}

void StartupTest::secondCopyIsRefusedAtStart()
{
    GuiWorld world;
    LoginFiles(world.dataFolder()).load(true);
    const QByteArray details = fileBytes(LoginFiles(world.dataFolder()).detailsPath());
    DataFolderLock otherCopy;
    QVERIFY(otherCopy.acquire(world.dataFolder(), nullptr));
    AppSettings::setWorkingFolder(world.pickedFolder());
    Script script;
    script.install();
    RecordStore store;
    DataFolderLock lock;

    QVERIFY(!Startup::run(store, lock).proceed);
    const QString message = onlyMessage();
    QVERIFY2(message.startsWith(QStringLiteral("Korvane is already open on this data folder (process ")),
             qPrintable(message));
    QVERIFY(message.contains(QString::number(QCoreApplication::applicationPid())));
    QVERIFY(
        message.endsWith(QStringLiteral(".\nClose the other window first, or pick another working folder.")));
    QCOMPARE(script.dialogs, QStringList());
    QVERIFY(store.workingDirectory().isEmpty());
    QCOMPARE(AppSettings::workingFolder(), world.pickedFolder());
    QVERIFY(!QFileInfo::exists(LoginFiles(world.dataFolder()).statusPath()));
    QCOMPARE(fileBytes(LoginFiles(world.dataFolder()).detailsPath()), details);
    QCOMPARE(otherCopy.folder(), world.dataFolder());
}

void StartupTest::dataFolderThatCannotBeMadeIsReported()
{
    GuiWorld world;
    // A file where a folder should be: the data folder cannot be made below it.
    const QString blocker = QFileInfo(world.pickedFolder()).path() + QStringLiteral("/plain file");
    makeFile(blocker);
    QString error;
    QVERIFY(!Startup::createDataFolder(blocker + QStringLiteral("/Korvane"), &error));
    QVERIFY2(error.contains(blocker + QStringLiteral("/Korvane")), qPrintable(error));
}

void StartupTest::browsePicksFolder_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("make");
    QTest::addColumn<QString>("pick");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("missing");
    const auto row = [](const char* name, const char* initial, const char* make, const char* pick,
                        const char* expected, bool missing) {
        QTest::newRow(name) << QString(initial) << QString(make) << QString(pick) << QString(expected)
                            << missing;
    };
    row("plain folder", "", "work", "work", "work", false);
    row("data folder itself gives its parent", "", "work/Korvane", "work/Korvane", "work", false);
    row("data folder with trailing slash", "", "work/Korvane", "work/Korvane/", "work", false);
    row("other letter case taken unchanged", "", "work/korvane", "work/korvane", "work/korvane", false);
    row("missing folder empties the field", "old", "", "nowhere", "", true);
    row("data folder inside missing folder", "old", "", "nowhere/Korvane", "", true);
    row("picker cancelled keeps the field", "old", "", "", "old", false);
}

void StartupTest::browsePicksFolder()
{
    QFETCH(QString, initial);
    QFETCH(QString, make);
    QFETCH(QString, pick);
    QFETCH(QString, expected);
    QFETCH(bool, missing);

    GuiWorld world;
    const QString root = makeFolder(world, QStringLiteral("browse"));
    const auto full = [&](const QString& relative) {
        return relative.isEmpty() ? QString() : root + QLatin1Char('/') + relative;
    };
    if (!make.isEmpty())
        QDir().mkpath(full(make));
    QDir().mkpath(full(QStringLiteral("old")));

    SetWorkingFolderDialog dialog(full(initial));
    UserDialogs::setNextFileName(full(pick));
    clickChild(dialog, "browseButton");
    QCOMPARE(dialog.path(), full(expected));
    QCOMPARE(UserDialogs::takeMessages(), missing ? QStringList{kFolderMissingMessage} : QStringList());
    QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("pathEdit"))->isReadOnly());
}

void StartupTest::setWithEmptyPathCancels()
{
    GuiWorld world;
    SetWorkingFolderDialog empty{QString()};
    QVERIFY(empty.findChild<QPushButton*>(QStringLiteral("setButton"))->isDefault());
    // The suggestion is only shown: Set without browsing still cancels.
    QVERIFY(empty.findChild<QLineEdit*>(QStringLiteral("pathEdit"))->placeholderText().contains(
        QDir::toNativeSeparators(SetWorkingFolderDialog::suggestedFolder())));
    clickChild(empty, "setButton");
    QCOMPARE(empty.result(), int(QDialog::Rejected));

    SetWorkingFolderDialog given(world.pickedFolder());
    clickChild(given, "setButton");
    QCOMPARE(given.result(), int(QDialog::Accepted));
    QCOMPARE(given.path(), world.pickedFolder());
}

void StartupTest::changeDirectoryKeepsFolder_data()
{
    QTest::addColumn<QString>("browse"); // "data": the data folder itself; "" presses Set unchanged
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("lockedElsewhere");
    QTest::newRow("set pressed unchanged") << "" << true << false;
    QTest::newRow("data folder itself picked") << "data" << true << false;
    QTest::newRow("cancelled after browsing") << "elsewhere" << false << false;
    QTest::newRow("folder of another copy refused") << "shared" << true << true;
}

void StartupTest::changeDirectoryKeepsFolder()
{
    QFETCH(QString, browse);
    QFETCH(bool, accept);
    QFETCH(bool, lockedElsewhere);
    GuiWorld world;
    world.addProject(QStringLiteral("Bridge"));
    DataFolderLock lock;
    QVERIFY(lock.acquire(world.dataFolder(), nullptr));
    Script script;
    if (browse == QStringLiteral("data"))
        script.browseTo = world.dataFolder();
    else if (!browse.isEmpty())
        script.browseTo = makeFolder(world, browse);
    script.acceptFolder = accept;
    script.install();
    DataFolderLock otherCopy;
    if (lockedElsewhere) {
        QDir().mkpath(script.browseTo + QStringLiteral("/Korvane"));
        QVERIFY(otherCopy.acquire(script.browseTo + QStringLiteral("/Korvane"), nullptr));
    }

    QVERIFY(!Startup::changeDirectory(world.store(), lock, nullptr));
    // The dialog shows the picked folder, not the data folder inside it.
    QCOMPARE(script.folderDialogPaths, QStringList{world.pickedFolder()});
    QCOMPARE(world.store().workingDirectory(), world.dataFolder());
    QVERIFY(!QFileInfo::exists(world.dataFolder() + QStringLiteral("/Korvane")));
    if (!accept)
        QVERIFY(!QFileInfo::exists(script.browseTo + QStringLiteral("/Korvane")));
    QCOMPARE(lock.folder(), world.dataFolder());
    QVERIFY(lock.isLocked());
    DataFolderLock probe;
    QVERIFY(!probe.acquire(world.dataFolder(), nullptr));
    QCOMPARE(world.store().projects().size(), 1);
    const QStringList messages = UserDialogs::takeMessages();
    if (lockedElsewhere)
        QVERIFY(messages.size() == 1 &&
                messages[0].startsWith(QStringLiteral("Korvane is already open on this data folder")));
    else
        QCOMPARE(messages, QStringList());
}

void StartupTest::changeDirectorySwitchesAndLoads()
{
    GuiWorld world;
    world.addProject(QStringLiteral("Old one"));
    DataFolderLock lock;
    QVERIFY(lock.acquire(world.dataFolder(), nullptr));

    // Another data folder with two projects of its own and its own login.
    const QString otherPicked = makeFolder(world, QStringLiteral("archive"));
    const QString otherData = otherPicked + QStringLiteral("/Korvane");
    QDir().mkpath(otherData);
    {
        RecordStore other(otherData);
        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.name = "Tunnel";
        QVERIFY(other.AddProject(project).ok());
        project.name = "Canal";
        QVERIFY(other.AddProject(project).ok());
    }
    QCOMPARE(LoginFiles(otherData).changeLogin("anna", "secret", "", "", ""), QString());
    const QByteArray details = fileBytes(LoginFiles(otherData).detailsPath());
    Script script;
    script.browseTo = otherPicked;
    script.install();

    QVERIFY(Startup::changeDirectory(world.store(), lock, nullptr));
    QCOMPARE(world.store().workingDirectory(), otherData);
    QCOMPARE(world.store().projects().size(), 2);
    QCOMPARE(fileBytes(LoginFiles(otherData).detailsPath()), details);
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    // The lock moved: the old folder is free again, the new one is held.
    QCOMPARE(lock.folder(), otherData);
    DataFolderLock probe;
    QVERIFY(probe.acquire(world.dataFolder(), nullptr));
    QVERIFY(!probe.acquire(otherData, nullptr));
    // The old data folder stays on disk.
    QVERIFY(QFileInfo(world.dataFolder()).isDir());
    QVERIFY(!settingWritten());
}

void StartupTest::lockIsTakenOverFromEndedProgram()
{
    GuiWorld world;
    // A lock file left by a program on this host whose process has ended.
    const QString lockFile = world.dataFolder() + QLatin1Char('/') + DataFolderLock::lockFileName();
    makeFile(lockFile, "2147483646\nkorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");

    DataFolderLock lock;
    QString error;
    QVERIFY2(lock.acquire(world.dataFolder(), &error), qPrintable(error));
    QVERIFY(lock.isLocked());
    lock.release();
    QVERIFY(!QFileInfo::exists(lockFile));
}

void StartupTest::saveWorkingFolderWritesParent()
{
    GuiWorld world;
    Startup::saveWorkingFolder(world.store());
    QCOMPARE(AppSettings::workingFolder(), world.pickedFolder());
    QCOMPARE(AppSettings::dataFolderOf(QStringLiteral("/")), QStringLiteral("/Korvane"));
    QCOMPARE(Startup::pickedFolderOf(QStringLiteral("/Korvane")), QStringLiteral("/"));
    QCOMPARE(Startup::pickedFolderOf(QStringLiteral("/home/ann/Korvane")), QStringLiteral("/home/ann"));
}

void StartupTest::bigFolderLoadsUnderProgressDialog()
{
    GuiWorld world;
    constexpr int projects = 600;
    RecordStore store(world.dataFolder());
    // Written straight to disk: the store's own adds flush every file, which is slow for hundreds.
    for (int i = 0; i < projects; ++i) {
        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.identifier = QByteArray::number(2024010100000000LL + i * 100 + 90);
        project.name = "P" + QByteArray::number(i);
        makeFile(store.fileName(RecordKind::Project, project.identifier), encodeRecord(project));
    }

    // Runs from inside the load, when the first progress report lets events through.
    QWidget mainWindow;
    int maximum = -1;
    bool cancelButton = true;
    bool seen = false;
    bool mainWindowPaints = true;
    QTimer::singleShot(0, [&] {
        if (auto* progress = mainWindow.findChild<QProgressDialog*>()) {
            seen = true;
            maximum = progress->maximum();
            cancelButton = progress->findChild<QPushButton*>() != nullptr;
        }
        mainWindowPaints = mainWindow.updatesEnabled();
    });
    Startup::loadWithProgress(store, &mainWindow);

    QCOMPARE(store.projects().size(), projects);
    QVERIFY(seen);
    QCOMPARE(maximum, projects);
    QVERIFY(!cancelButton);
    // The panes, which may point into the maps being refilled, do not paint during the load.
    QVERIFY(!mainWindowPaints);
    QVERIFY(mainWindow.updatesEnabled());
    QVERIFY(!mainWindow.findChild<QProgressDialog*>());
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
