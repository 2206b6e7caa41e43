#include "reports/pdf/PdfPages.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace korvane {

void PdfPages::setUp(QPdfWriter& writer, const QString& title, QPageSize::PageSizeId paper, int resolution)
{
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Korvane"));
    writer.setResolution(resolution);
    writer.setPageSize(QPageSize(paper));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
}

QSizeF PdfPages::layOut(QTextDocument& document, QPdfWriter& writer, double margin)
{
    const QSizeF body(writer.width() - 2 * margin, writer.height() - 2 * margin);
    document.documentLayout()->setPaintDevice(&writer);
    document.setDocumentMargin(0);
    document.setPageSize(body);
    return body;
}

bool PdfPages::paint(QTextDocument& document, QPdfWriter& writer, double margin,
                     const std::function<void(QPainter&, int page, int pages)>& foot)
{
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QSizeF body = document.pageSize();
    const int pages = document.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(margin, margin - page * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(context.clip);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        foot(painter, page, pages);
    }
    return painter.end();
}

} // namespace korvane
