#include "FuzzFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace korvane::fuzz {

QString FuzzFolder::path()
{
    static QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder: %s\n", qPrintable(folder.errorString()));
        std::abort();
    }
    return folder.path();
}

QString FuzzFolder::put(const QString& name, const QByteArray& bytes)
{
    const QString file = path() + QLatin1Char('/') + name;
    // A plain write rather than SafeFile: it keeps the loop fast, and nothing reads the file meanwhile.
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(file), qPrintable(out.errorString()));
        std::abort();
    }
    return file;
}

QByteArray FuzzFolder::take(const QString& name)
{
    QFile in(path() + QLatin1Char('/') + name);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

} // namespace korvane::fuzz
