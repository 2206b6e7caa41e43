#pragma once

#include <QString>

class QWidget;

namespace korvane {

class DataFolderLock;
class RecordStore;

/** What start-up decided. */
struct StartupResult
{
    /** False when the program must end now (no main window). */
    bool proceed = false;
};

/**
 * The program's start and the working folder: settles the data folder (from the settings or from
 * the user), creates it, guards it against a second copy of the program, loads it and runs the
 * login; also the "Change Directory" command and the saving of the folder setting.
 */
class Startup
{
public:
    /** The picked folder of a data folder (the folder above it). */
    static QString pickedFolderOf(const QString& dataFolder);

    /**
     * Start-up steps: settings value, the "moved or deleted" message and the "Set Working Folder" dialog, data folder creation
     * with quiet default login details, the lock, LoadAll (with a progress dialog for large folders),
     * the login window. Returns proceed=false when the program must end (the setting is written only
     * when the login is cancelled). On success the store's working directory is the data folder, it
     * is loaded and the lock holds it.
     */
    static StartupResult run(RecordStore& store, DataFolderLock& lock, QWidget* parent = nullptr);

    /**
     * "Change Directory": runs the dialog with the current picked folder; when accepted and the data
     * folder really changes, creates it (quiet defaults when new), moves the lock, sets the store's
     * working directory and calls LoadAll. Returns true when the folder changed (the caller then
     * refreshes the panes); a folder another copy of the program holds is refused with a message.
     */
    static bool changeDirectory(RecordStore& store, DataFolderLock& lock, QWidget* parent);

    /** Writes the picked folder (the data folder's parent) to the settings ("Directory/Path"). */
    static void saveWorkingFolder(const RecordStore& store);

    /**
     * Creates dataFolder (with parents); when it is new, writes the default login details silently.
     * Returns false with the folder or file and the reason in `error` when either fails.
     */
    static bool createDataFolder(const QString& dataFolder, QString* error);

    /** Runs LoadAll, showing a QProgressDialog (minimum duration ~500 ms) when there are many files. */
    static void loadWithProgress(RecordStore& store, QWidget* parent);
    /** Says once that the data folder just locked is open on other machines too, when it is. */
    static void tellOtherHosts(const DataFolderLock& lock, QWidget* parent);
};

} // namespace korvane
