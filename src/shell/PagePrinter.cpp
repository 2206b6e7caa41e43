#include "shell/PagePrinter.h"

#include "reports/pdf/PrintDocument.h"
#include "store/SafeFile.h"
#include "ui/UserDialogs.h"

#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QWidget>

namespace korvane {

namespace {

constexpr int kPrintDelayMs = 100;

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

bool PagePrinter::load(const QString& pageFile)
{
    QByteArray bytes;
    QString error;
    if (!SafeFile::read(pageFile, bytes, &error)) {
        UserDialogs::message(m_window, QStringLiteral("The page cannot be printed.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
        return false;
    }
    m_document = PrintDocument::fromPage(QString::fromUtf8(bytes), QFileInfo(pageFile).absolutePath());
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
