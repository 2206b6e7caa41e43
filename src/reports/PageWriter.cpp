#include "reports/PageWriter.h"

#include "store/ProgramFolder.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace korvane::PageWriter {

namespace {

const QString kShippedFolder = QStringLiteral(":/Images");

QString programImagesFolder()
{
    return programFolder() + QStringLiteral("/Images");
}

// Copies one file without replacing an existing target; the copy of a compiled-in resource
// would keep the resource's read-only mode, so the user could not replace the picture later.
bool copyIfMissing(const QString& source, const QString& target, QString& problem)
{
    if (QFileInfo::exists(target))
        return true;
    QFile file(source);
    if (!file.copy(target)) {
        problem = QStringLiteral("%1: %2").arg(target, file.errorString());
        return false;
    }
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ReadOther);
    return true;
}

} // namespace

QString fileName(PageFile page)
{
    switch (page) {
    case PageFile::Details:
        return QStringLiteral("Details.html");
    case PageFile::Invoice:
        return QStringLiteral("Invoice.html");
    case PageFile::InvoiceTemp:
        return QStringLiteral("InvoiceTemp.html");
    case PageFile::Print:
        break;
    }
    return QStringLiteral("Print.html");
}

QString path(PageFile page)
{
    return programFolder() + QLatin1Char('/') + fileName(page);
}

PageResult write(PageFile page, const QString& text)
{
    PageResult result{text, path(page), {}};
    // A missing picture only shows as a broken image; the page itself still matters more.
    placeProgramBitmaps();
    result.error = SafeFile::write(result.path, utf8(text));
    return result;
}

PageResult writeUtf8(PageFile page, const QByteArray& bytes)
{
    PageResult result{{}, path(page), {}};
    placeProgramBitmaps();
    result.error = SafeFile::write(result.path, bytes);
    return result;
}

QByteArray utf8(QStringView text)
{
    // QString::toUtf8 sets aside three bytes per character; a page of megabytes is mostly ASCII, so
    // it is converted in slices into a buffer of about its own size. A slice never ends between the
    // two halves of a surrogate pair, so the bytes are those of one conversion of the whole.
    constexpr qsizetype kSlice = 16 * 1024;
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 8);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype length = std::min(kSlice, text.size() - at);
        if (at + length < text.size() && text[at + length - 1].isHighSurrogate())
            ++length;
        bytes += text.sliced(at, length).toUtf8();
        at += length;
    }
    return bytes;
}

QStringList shippedBitmaps()
{
    return QDir(kShippedFolder).entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
}

QStringList placeProgramBitmaps()
{
    const QString folder = programImagesFolder();
    QStringList problems;
    const QStringList names = shippedBitmaps();
    if (names.isEmpty())
        return problems;
    if (!QDir().mkpath(folder))
        return {QStringLiteral("%1: the folder cannot be created").arg(folder)};
    for (const QString& name : names) {
        QString problem;
        if (!copyIfMissing(kShippedFolder + QLatin1Char('/') + name, folder + QLatin1Char('/') + name,
                           problem))
            problems.append(problem);
    }
    return problems;
}

QStringList copyBitmaps(const QStringList& names, const QString& targetFolder)
{
    QStringList problems;
    const QDir target(targetFolder);
    if (!target.exists() && !QDir().mkdir(targetFolder))
        return {QStringLiteral("%1: the folder cannot be created").arg(targetFolder)};
    const QString programImages = programImagesFolder();
    for (const QString& name : names) {
        QString source = programImages + QLatin1Char('/') + name;
        if (!QFileInfo::exists(source))
            source = kShippedFolder + QLatin1Char('/') + name;
        QString problem;
        if (!copyIfMissing(source, target.filePath(name), problem))
            problems.append(problem);
    }
    return problems;
}

} // namespace korvane::PageWriter
