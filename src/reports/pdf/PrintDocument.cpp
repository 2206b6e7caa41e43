#include "reports/pdf/PrintDocument.h"

#include "reports/PrintableHtml.h"

#include <QDir>
#include <QImage>
#include <QTextDocument>
#include <QUrl>

namespace korvane {

namespace {

QString picturePath(const QUrl& url, const QString& pageFolder)
{
    if (!url.isLocalFile() && !url.scheme().isEmpty())
        return {};
    QString path = url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
    path.replace(u'\\', u'/');
    if (QDir::isRelativePath(path))
        path = QDir(pageFolder).filePath(path);
    return QDir::cleanPath(path);
}

} // namespace

std::unique_ptr<QTextDocument> PrintDocument::fromPage(const QString& page, const QString& pageFolder)
{
    auto document = std::make_unique<QTextDocument>();
    setPage(*document, page, pageFolder);
    return document;
}

void PrintDocument::setPage(QTextDocument& document, const QString& page, const QString& pageFolder)
{
    if (!pageFolder.startsWith(u':'))
        document.setBaseUrl(QUrl::fromLocalFile(pageFolder + QLatin1Char('/')));
    resolvePictures(document, pageFolder);
    document.setHtml(PrintableHtml::normalise(page));
}

void PrintDocument::resolvePictures(QTextDocument& document, const QString& pageFolder)
{
    document.setResourceProvider([pageFolder](const QUrl& url) -> QVariant {
        const QString path = picturePath(url, pageFolder);
        const QImage picture = path.isEmpty() ? QImage() : QImage(path);
        return picture.isNull() ? QVariant() : QVariant(picture);
    });
}

} // namespace korvane
