#pragma once

#include <QString>
#include <memory>

class QTextDocument;

namespace korvane {

/** A generated page loaded into Qt's rich-text engine for printing, laid out as a browser shows it. */
class PrintDocument
{
public:
    /**
     * A document holding the page, mended for the engine (see PrintableHtml), with the pictures it
     * names found from `pageFolder`. ":/" finds the bitmaps compiled into the program.
     */
    static std::unique_ptr<QTextDocument> fromPage(const QString& page, const QString& pageFolder);

    /** Puts the page into an existing document (a page view's) as fromPage does into a new one. */
    static void setPage(QTextDocument& document, const QString& page, const QString& pageFolder);

    /**
     * Lets a document find the pictures its page names the Windows way ("Images\Project.bmp",
     * percent-encoded or not): "\" becomes "/" and relative paths count from `pageFolder`.
     */
    static void resolvePictures(QTextDocument& document, const QString& pageFolder);
};

} // namespace korvane
