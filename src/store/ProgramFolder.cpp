#include "store/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace korvane {

namespace {

QString& folderOverride()
{
    static QString folder;
    return folder;
}

QString standardFolder()
{
    // Without an organisation the application name is only the executable's file name, so
    // korvane-cli and the tests would each get a folder of their own; they share the program's.
    if (QCoreApplication::organizationName().isEmpty() || QCoreApplication::applicationName().isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/Brisolt/Korvane");
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace

QString programFolder()
{
    QString folder = folderOverride();
    if (folder.isEmpty())
        folder = qEnvironmentVariable("KORVANE_PROGRAM_FOLDER");
    if (folder.isEmpty())
        folder = standardFolder();
    QDir().mkpath(folder);
    return folder;
}

void setProgramFolderForTesting(const QString& folder)
{
    folderOverride() = folder;
}

} // namespace korvane
