#include "store/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace korvane::SafeFile {

namespace {
QString describe(const QString& path, const QString& reason)
{
    return QStringLiteral("%1: %2").arg(path, reason);
}
} // namespace

QString write(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return describe(path, file.errorString());
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return describe(path, reason);
    }
    if (!file.commit())
        return describe(path, file.errorString());
    return {};
}

QString remove(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.remove())
        return describe(path, file.errorString());
    return {};
}

bool read(const QString& path, QByteArray& data, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = describe(path, file.errorString());
        return false;
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = describe(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace korvane::SafeFile
