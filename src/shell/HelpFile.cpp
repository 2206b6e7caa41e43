#include "shell/HelpFile.h"

#include <QDir>
#include <QFileInfo>

namespace korvane {

QString findHelpFile(const QString& programFolder, const QString& executableFolder)
{
    const QString name = QStringLiteral("Korvane.pdf");
    const QDir executableDir(executableFolder);
    const QString candidates[] = {QDir(programFolder).filePath(name), executableDir.filePath(name),
                                  executableDir.filePath(QStringLiteral("../share/korvane/") + name),
                                  executableDir.filePath(QStringLiteral("../share/doc/korvane/") + name),
                                  executableDir.filePath(QStringLiteral("../doc/") + name)};
    for (const QString& candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return QDir(programFolder).filePath(name);
}

} // namespace korvane
