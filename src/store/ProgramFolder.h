#pragma once

#include <QString>

namespace korvane {

/**
 * The per-user folder that holds Korvane's writable program files ("currency.cur", the scratch
 * documents file, generated pages), created when missing; the environment variable
 * KORVANE_PROGRAM_FOLDER, when set, names it instead.
 */
QString programFolder();

/** Makes programFolder() return the given folder (an empty text restores the normal one). */
void setProgramFolderForTesting(const QString& folder);

} // namespace korvane
