#include "store/AppSettings.h"

#include <QDir>
#include <QSettings>

namespace korvane::AppSettings {

namespace {

QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brisolt"),
                     QStringLiteral("Korvane"));
}

QString read(const QString& key)
{
    return settings().value(key).toString();
}

void write(const QString& key, const QString& value)
{
    QSettings s = settings();
    s.setValue(key, value);
    s.sync();
}

} // namespace

QString workingFolder()
{
    return read(QStringLiteral("Directory/Path"));
}

void setWorkingFolder(const QString& folder)
{
    write(QStringLiteral("Directory/Path"), folder);
}

QString dataFolderOf(const QString& pickedFolder)
{
    return QDir::cleanPath(pickedFolder + QStringLiteral("/Korvane"));
}

int historyMegabytes()
{
    bool ok = false;
    const int megabytes = read(QStringLiteral("History/MaxMegabytes")).toInt(&ok);
    return ok && megabytes >= 1 ? megabytes : 256;
}

void setHistoryMegabytes(int megabytes)
{
    write(QStringLiteral("History/MaxMegabytes"), QString::number(megabytes));
}

QString lastExportFolder()
{
    return read(QStringLiteral("Export/Folder"));
}

void setLastExportFolder(const QString& folder)
{
    write(QStringLiteral("Export/Folder"), folder);
}

QString theme()
{
    return read(QStringLiteral("View/Theme"));
}

void setTheme(const QString& name)
{
    write(QStringLiteral("View/Theme"), name);
}

QString deviceManager()
{
    return read(QStringLiteral("Device/Manager"));
}

QString lastImportFile(const QString& kind)
{
    return read(QStringLiteral("Import/") + kind);
}

void setLastImportFile(const QString& kind, const QString& path)
{
    write(QStringLiteral("Import/") + kind, path);
}

} // namespace korvane::AppSettings
