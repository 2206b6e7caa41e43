#include "shell/PagePrinter.h"

#include "store/SafeFile.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>
#include <QWidget>

namespace korvane {

namespace {

constexpr int kPrintDelayMs = 100;

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

PagePrinter::PagePrinter(QWidget* window) : QObject(window), m_window(window)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kPrintDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &PagePrinter::showPreview);
}

PagePrinter::~PagePrinter() = default;

void PagePrinter::preview(const QString& pageFile)
{
    if (load(pageFile))
        m_timer.start();
}

void PagePrinter::previewNow(const QString& pageFile)
{
    m_timer.stop();
    if (load(pageFile))
        showPreview();
}

void PagePrinter::resolvePictures(QTextDocument& document, const QString& pageFolder)
{
    document.setResourceProvider([pageFolder](const QUrl& url) -> QVariant {
        const QString path = picturePath(url, pageFolder);
        const QImage picture = path.isEmpty() ? QImage() : QImage(path);
        return picture.isNull() ? QVariant() : QVariant(picture);
    });
}

bool PagePrinter::load(const QString& pageFile)
{
    QByteArray bytes;
    QString error;
    if (!SafeFile::read(pageFile, bytes, &error)) {
        UserDialogs::message(m_window, QStringLiteral("The page cannot be printed.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
        return false;
    }
    const QString folder = QFileInfo(pageFile).absolutePath();
    m_document = std::make_shared<QTextDocument>();
    m_document->setBaseUrl(QUrl::fromLocalFile(folder + QLatin1Char('/')));
    resolvePictures(*m_document, folder);
    m_document->setHtml(QString::fromUtf8(bytes));
    return true;
}

void PagePrinter::showPreview()
{
    if (!m_document)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Korvane"));
    QPrintPreviewDialog dialog(&printer, m_window);
    dialog.setObjectName(QStringLiteral("printPreviewDialog"));
    dialog.setAccessibleName(QStringLiteral("Print preview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [document = m_document](QPrinter* target) { document->print(target); });
    if (m_window)
        dialog.resize(m_window->size().expandedTo(QSize(800, 600)));
    UserDialogs::exec(dialog);
}

} // namespace korvane
