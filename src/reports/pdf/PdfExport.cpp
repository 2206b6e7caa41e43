#include "reports/pdf/PdfExport.h"

#include "records/Text.h"
#include "reports/InvoiceReport.h"
#include "reports/PrintReport.h"
#include "reports/pdf/PdfPages.h"
#include "reports/pdf/PrintDocument.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace korvane {

namespace {

constexpr int kResolution = 300; // dots per inch the pages are laid out in
constexpr double kMarginMm = 18.0;
constexpr double kFooterMm = 8.0; // the page number's line ends this far above the bottom edge

// The generated pages name the bitmaps the program carries, so they are taken from there.
const QString kBundledPictures = QStringLiteral(":/");

double dots(double mm)
{
    return mm / 25.4 * kResolution;
}

} // namespace

QPageSize::PageSizeId PdfExport::paperFor(const QLocale& locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QString PdfExport::write(QTextDocument& document, const QString& path, const QString& title,
                         const QLocale& locale)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        PdfPages::setUp(writer, title, paperFor(locale), kResolution);

        const double margin = dots(kMarginMm);
        const QSizeF body = PdfPages::layOut(document, writer, margin);
        QFont footerFont = document.defaultFont();
        footerFont.setPointSizeF(8);
        const bool painted =
            PdfPages::paint(document, writer, margin, [&](QPainter& painter, int page, int pages) {
                painter.setFont(footerFont);
                painter.setPen(Qt::darkGray);
                const QRectF footer(margin, writer.height() - dots(kFooterMm + 5), body.width(), dots(5));
                painter.drawText(footer, Qt::AlignCenter,
                                 QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
            });
        if (!painted)
            return QStringLiteral("%1: the PDF could not be started").arg(path);
    }
    return SafeFile::write(path, buffer.data());
}

QString PdfExport::projects(const RecordStore& store, const QList<QByteArray>& projectIdentifiers,
                            int moduleNumber, const QString& path, const QLocale& locale)
{
    QStringList names;
    for (const QByteArray& identifier : projectIdentifiers)
        names.append(displayText(store.GetProject(identifier).name));
    const auto document = PrintDocument::fromPage(
        PrintReport::page(store, projectIdentifiers, moduleNumber, locale), kBundledPictures);
    return write(*document, path, names.join(QStringLiteral(", ")), locale);
}

QString PdfExport::invoice(const RecordStore& store, const QByteArray& invoiceIdentifier, const QString& path,
                           const QLocale& locale)
{
    const InvoiceRecord record = store.GetInvoice(invoiceIdentifier);
    const auto document = PrintDocument::fromPage(
        InvoiceReport::letter(store, invoiceIdentifier, false, true, locale), kBundledPictures);
    return write(*document, path, QStringLiteral("Invoice %1").arg(displayText(record.invoiceNumber)),
                 locale);
}

} // namespace korvane
