// Turns the user manual's HTML source into "Korvane.pdf" (A4, page numbers in the footer):
//
//   korvane-make-manual resources/manual/manual.html build/app/Korvane.pdf
//
// The build runs it with QT_QPA_PLATFORM=offscreen. Images are named relative to the HTML file;
// a missing image fails the run, so a renamed screenshot cannot leave a hole in the manual.

#include "reports/pdf/PdfPages.h"
#include "store/SafeFile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QUrl>
#include <cstdio>
#include <utility>

using namespace korvane;

namespace {

constexpr int kResolution = 300; // dots per inch of the PDF's layout
constexpr double kMarginMm = 20.0;
constexpr double kFooterMm = 10.0; // the page number sits this far above the bottom edge

double mmToDots(double mm)
{
    return mm / 25.4 * kResolution;
}

/** Loads every image the page names into the document; returns the names that could not be read. */
QStringList addImages(QTextDocument& document, const QString& html, const QString& baseFolder)
{
    QStringList missing;
    static const QRegularExpression source(QStringLiteral("<img[^>]*\\ssrc=\"([^\"]+)\""),
                                           QRegularExpression::CaseInsensitiveOption);
    for (auto it = source.globalMatch(html); it.hasNext();) {
        const QString name = it.next().captured(1);
        const QImage image(QFileInfo(baseFolder + QLatin1Char('/') + name).absoluteFilePath());
        if (image.isNull())
            missing.append(name);
        else
            document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    return missing;
}

/** Headings and pictures stay on the page of what follows them (a caption, the section's text). */
bool keepsWithNext(const QTextBlock& block)
{
    return block.blockFormat().headingLevel() > 0 ||
           block.text() == QString(QChar::ObjectReplacementCharacter);
}

/**
 * Where a block's text begins and ends in the document. A line that does not fit on a page is moved
 * to the next one inside its block, so the block's own rectangle can start a page early.
 */
std::pair<double, double> lineSpan(QTextDocument& document, const QTextBlock& block)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    if (QTextTable* table = QTextCursor(block).currentTable()) {
        const QRectF rect = layout->frameBoundingRect(table);
        return {rect.top(), rect.bottom()};
    }
    const QTextLayout* lines = block.layout();
    if (!lines || lines->lineCount() == 0) {
        const QRectF rect = layout->blockBoundingRect(block);
        return {rect.top(), rect.bottom()};
    }
    const double top = lines->position().y();
    const QTextLine last = lines->lineAt(lines->lineCount() - 1);
    return {top + lines->lineAt(0).y(), top + last.y() + last.height()};
}

/** Moves every heading or picture that would end a page onto the next one; the document is laid out. */
void keepWithNext(QTextDocument& document, double pageHeight)
{
    auto page = [&](double y) { return int(y / pageHeight); };
    for (bool moved = true; moved;) {
        moved = false;
        for (QTextBlock block = document.begin(); block.isValid() && block.next().isValid();
             block = block.next()) {
            const int start = page(lineSpan(document, block).first);
            if (!keepsWithNext(block) || start == page(lineSpan(document, block.next()).first))
                continue;
            // A heading over a picture over its caption moves as one.
            QTextBlock first = block;
            while (first.previous().isValid() && keepsWithNext(first.previous()) &&
                   page(lineSpan(document, first.previous()).first) == start)
                first = first.previous();
            QTextBlockFormat format = first.blockFormat();
            const bool firstOnPage =
                !first.previous().isValid() || page(lineSpan(document, first.previous()).second - 1) != start;
            if (firstOnPage || format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                continue;
            format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(first).setBlockFormat(format);
            moved = true;
            break;
        }
    }
}

/** Lays the document out on A4 pages and paints them, numbering every page but the first. */
QByteArray renderPdf(QTextDocument& document, const QString& title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    PdfPages::setUp(writer, title, QPageSize::A4, kResolution);

    const double margin = mmToDots(kMarginMm);
    const QSizeF body = PdfPages::layOut(document, writer, margin);
    keepWithNext(document, body.height());

    QFont footerFont = document.defaultFont();
    footerFont.setPointSizeF(8);
    PdfPages::paint(document, writer, margin, [&](QPainter& painter, int page, int pages) {
        if (page == 0)
            return;
        painter.setFont(footerFont);
        painter.setPen(QColor(0x55, 0x55, 0x55));
        const QRectF footer(margin, writer.height() - mmToDots(kFooterMm) - mmToDots(5), body.width(),
                            mmToDots(5));
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, title);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("%1 / %2").arg(page + 1).arg(pages));
    });
    return buffer.data();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: korvane-make-manual MANUAL.html OUTPUT.pdf\n");
        return 1;
    }
    QByteArray html;
    QString error;
    if (!SafeFile::read(args[1], html, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QString text = QString::fromUtf8(html);

    QTextDocument document;
    const QStringList missing = addImages(document, text, QFileInfo(args[1]).absolutePath());
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "%s: images not found: %s\n", qPrintable(args[1]),
                     qPrintable(missing.join(", ")));
        return 1;
    }
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setHtml(text);

    const QString title = document.metaInformation(QTextDocument::DocumentTitle);
    error =
        SafeFile::write(args[2], renderPdf(document, title.isEmpty() ? QStringLiteral("Korvane") : title));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
