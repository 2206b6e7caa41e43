#include "store/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace korvane::SafeFile {

namespace {
QString describe(const QString& path, const QString& reason)
{
    return QStringLiteral("%1: %2").arg(path, reason);
}
} // namespace

QString write(const QString& path, const QByteArray& data)
{
    // Unbuffered, so that every write reaches the file here and its failure is seen: QSaveFile's
    // commit() ignores a failed flush of buffered data and would put a cut-off file in place of the
    // old one when the disk is full. A short write is retried, and the retry tells the reason.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return describe(path, file.errorString());
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 chunk = file.write(data.constData() + written, data.size() - written);
        if (chunk <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return describe(path, reason);
        }
        written += chunk;
    }
    // commit() syncs too but ignores a failure, which a disk that fills late reports only here.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
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
        if (error) {
            const bool folder = QFileInfo(path).isDir();
            *error = describe(path, folder ? QStringLiteral("a folder stands where the file should be")
                                           : file.errorString());
        }
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
