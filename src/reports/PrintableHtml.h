#pragma once

#include <QString>

namespace korvane {

/**
 * A generated page made fit for Qt's rich-text engine, so that it lays out as a browser shows it:
 * the page files themselves stay as they are, only the copy given to the engine is mended.
 */
class PrintableHtml
{
public:
    /**
     * The page with a "<tr>" opened before every table cell that stands outside a row (browsers open
     * the row themselves; Qt's engine would keep the table open past its end), and without the end
     * tags of text styles that close inside a list or cell they did not open in (browsers keep the
     * block whole; Qt's engine would end it there).
     */
    static QString normalise(const QString& page);
};

} // namespace korvane
