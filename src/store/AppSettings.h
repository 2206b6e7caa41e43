#pragma once

#include <QString>

namespace korvane {

/**
 * The per-user settings (organisation "Brisolt", application "Korvane"; on Linux
 * ~/.config/Brisolt/Korvane.conf, honouring XDG_CONFIG_HOME), read and written here only, for the
 * desktop program and korvane-cli alike.
 */
namespace AppSettings {

/** The folder the user picked, the parent of the data folder ("Directory/Path"); "" when never set. */
QString workingFolder();
void setWorkingFolder(const QString& folder);

/** The data folder inside a picked folder: picked + "/Korvane". */
QString dataFolderOf(const QString& pickedFolder);

/** The folder of the last export, where the next save dialog opens ("Export/Folder"). */
QString lastExportFolder();
void setLastExportFolder(const QString& folder);

/** The look picked under View > Themes ("View/Theme", the theme's name); "" when never picked. */
QString theme();
void setTheme(const QString& name);

/** The device manager program started by Synchronize ("Device/Manager"); "" when not set. */
QString deviceManager();

/**
 * The size the history of changes is trimmed to, in MB ("History/MaxMegabytes"); 256 when never set
 * or not a whole number from 1 on.
 */
int historyMegabytes();
void setHistoryMegabytes(int megabytes);

/** The last file a contacts, tasks or meetings import read ("Import/<kind>"). */
QString lastImportFile(const QString& kind);
void setLastImportFile(const QString& kind, const QString& path);

} // namespace AppSettings

} // namespace korvane
