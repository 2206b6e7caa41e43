#include "shell/Startup.h"

#include "edits/History.h"
#include "shell/DataFolderLock.h"
#include "shell/LoginWindow.h"
#include "shell/SetWorkingFolderDialog.h"
#include "store/AppSettings.h"
#include "store/LoginFiles.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <memory>

namespace korvane {

namespace {

// LoadAll reports every 256 files; a folder with fewer files is read before any bar could move.
constexpr qsizetype kFilesForProgress = 256;

/** Runs the Set Working Folder dialog; the chosen picked folder, or "" when cancelled. */
QString askWorkingFolder(const QString& initialPath, QWidget* parent)
{
    SetWorkingFolderDialog dialog(initialPath, parent);
    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return {};
    return dialog.path();
}

// Two texts naming one folder, also through another spelling or a link.
bool sameFolder(const QString& a, const QString& b)
{
    if (QDir::cleanPath(a) == QDir::cleanPath(b))
        return true;
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

} // namespace

QString Startup::pickedFolderOf(const QString& dataFolder)
{
    return QFileInfo(QDir::cleanPath(dataFolder)).path();
}

void Startup::tellOtherHosts(const DataFolderLock& lock, QWidget* parent)
{
    if (lock.otherHosts().isEmpty())
        return;
    UserDialogs::message(
        parent,
        QStringLiteral("This data folder is also open on %1.\n\nBoth can work on it: a record "
                       "changed there since Korvane read it here is never overwritten without "
                       "asking.")
            .arg(lock.otherHosts().join(QStringLiteral(", "))),
        UserDialogs::Icon::Information);
}

StartupResult Startup::run(RecordStore& store, DataFolderLock& lock, QWidget* parent)
{
    QString picked = AppSettings::workingFolder();
    if (!picked.isEmpty() && !QFileInfo(AppSettings::dataFolderOf(picked)).isDir()) {
        picked.clear();
        UserDialogs::message(
            parent,
            QStringLiteral("The working directory is moved or deleted. Please select the working "
                           "directory to continue."),
            UserDialogs::Icon::Warning);
    }
    if (picked.isEmpty()) {
        picked = askWorkingFolder(picked, parent);
        if (picked.isEmpty())
            return {};
    }

    const QString dataFolder = AppSettings::dataFolderOf(picked);
    QString error;
    if (!createDataFolder(dataFolder, &error))
        UserDialogs::message(parent, error, UserDialogs::Icon::Warning);
    if (!lock.acquire(dataFolder, &error)) {
        UserDialogs::message(parent, error, UserDialogs::Icon::Warning);
        return {};
    }
    tellOtherHosts(lock, parent);

    store.setWorkingDirectory(dataFolder);
    loadWithProgress(store, parent);

    if (!LoginWindow::run(dataFolder, parent)) {
        saveWorkingFolder(store);
        lock.release();
        return {};
    }
    return {true};
}

bool Startup::changeDirectory(RecordStore& store, DataFolderLock& lock, QWidget* parent)
{
    const QString current = store.workingDirectory();
    const QString picked = askWorkingFolder(current.isEmpty() ? QString() : pickedFolderOf(current), parent);
    if (picked.isEmpty())
        return false;
    const QString dataFolder = AppSettings::dataFolderOf(picked);
    // Picking the same folder again changes nothing, unless it is gone: then it is made anew on purpose.
    if (!current.isEmpty() && sameFolder(dataFolder, current) && QFileInfo(current).isDir())
        return false;

    QString error;
    if (!createDataFolder(dataFolder, &error))
        UserDialogs::message(parent, error, UserDialogs::Icon::Warning);
    if (!lock.acquire(dataFolder, &error)) {
        UserDialogs::message(parent, error, UserDialogs::Icon::Warning);
        return false;
    }
    tellOtherHosts(lock, parent);
    store.setWorkingDirectory(dataFolder);
    loadWithProgress(store, parent);
    return true;
}

void Startup::saveWorkingFolder(const RecordStore& store)
{
    if (store.workingDirectory().isEmpty())
        return;
    AppSettings::setWorkingFolder(pickedFolderOf(store.workingDirectory()));
}

bool Startup::createDataFolder(const QString& dataFolder, QString* error)
{
    if (error)
        error->clear();
    if (QFileInfo(dataFolder).isDir())
        return true;
    if (!QDir().mkpath(dataFolder)) {
        if (error)
            *error = QStringLiteral("The data folder could not be created:\n%1")
                         .arg(QDir::toNativeSeparators(dataFolder));
        return false;
    }
    const LoginFiles::LoadResult loaded = LoginFiles(dataFolder).load(true);
    if (!loaded.messages.isEmpty()) {
        if (error)
            *error = QStringLiteral("A login file could not be written:\n") +
                     loaded.messages.join(QLatin1Char('\n'));
        return false;
    }
    return true;
}

void Startup::loadWithProgress(RecordStore& store, QWidget* parent)
{
    // The panes of an open main window may point into the maps that are being refilled: they must
    // not paint until the caller has rebuilt them.
    QWidget* window = parent ? parent->window() : nullptr;
    const bool windowUpdates = window && window->updatesEnabled();
    if (windowUpdates)
        window->setUpdatesEnabled(false);

    History::setMaxBytes(qint64(AppSettings::historyMegabytes()) * 1024 * 1024);
    // A change a crash cut short is put back before the folder is read, and the user told once.
    const QStringList recovered = History(store.workingDirectory()).recover(store);
    if (!recovered.isEmpty())
        UserDialogs::message(parent, recovered.join(QStringLiteral("\n\n")), UserDialogs::Icon::Warning);

    std::unique_ptr<QProgressDialog> progress;
    store.LoadAll([&](qsizetype done, qsizetype total) {
        if (!progress && total >= kFilesForProgress) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("Loading records..."), QString(), 0,
                                                         int(total), parent);
            progress->setObjectName(QStringLiteral("loadProgress"));
            progress->setWindowTitle(QStringLiteral("Korvane"));
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(500);
            progress->setAutoClose(false);
            progress->setAutoReset(false);
        }
        if (!progress)
            return;
        progress->setValue(int(done));
        // Keeps the progress painted; no command may run on a half-loaded store.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    progress.reset();

    if (windowUpdates)
        window->setUpdatesEnabled(true);
}

} // namespace korvane
