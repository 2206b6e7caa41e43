#pragma once

#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <functional>

class QPainter;
class QPdfWriter;
class QTextDocument;

namespace korvane {

/** A rich-text document laid out on a PDF writer's pages and painted page by page. */
class PdfPages
{
public:
    /** Names the writer's document and sets its paper, edge to edge (the margins are the layout's), and
     * resolution. */
    static void setUp(QPdfWriter& writer, const QString& title, QPageSize::PageSizeId paper, int resolution);

    /** Lays the document out for the writer's pages within `margin` dots on every side; returns the body
     * size. */
    static QSizeF layOut(QTextDocument& document, QPdfWriter& writer, double margin);

    /**
     * Paints the laid-out document, one body of its pages after another, and lets `foot` add to
     * each page (its index from 0 and the count). False when the writer could not be painted on.
     */
    static bool paint(QTextDocument& document, QPdfWriter& writer, double margin,
                      const std::function<void(QPainter&, int page, int pages)>& foot);
};

} // namespace korvane
