#pragma once

#include <QString>

namespace korvane {

/**
 * Where the user manual "Korvane.pdf" is: in the program's folder, beside the program (a build
 * tree), or in the share folder of the prefix the program is installed in. When none holds it,
 * the path in the program's folder, so that opening it names the file that is missing.
 */
QString findHelpFile(const QString& programFolder, const QString& executableFolder);

} // namespace korvane
