#pragma once

#include <QFont>
#include <QString>
#include <QTextDocument>
#include <QTextOption>
#include <QUrl>
#include <QVariant>

#include <memory>

namespace korvane {

/** What a browser's document is laid out with, so that a page prepared elsewhere matches it. */
struct PageSettings
{
    QFont font;
    QTextOption option;
    qreal margin = 4;
    qreal indentWidth = 40;
    bool designMetrics = false;
    QString styleSheet;
    /** The width the page is laid out at: the browser's viewport with its vertical scroll bar shown. */
    int width = 0;

    /** The settings of an existing document, at the given width. */
    static PageSettings of(const QTextDocument& document, int width);
};

/**
 * Loads a page's picture or page resource from disk: names written the Windows way
 * ("Images\Project.bmp", also percent-encoded) are found relative to the page's folder. Pages are
 * read as UTF-8. Returns an invalid variant when nothing is there.
 */
QVariant loadPageResource(int type, const QUrl& name, const QString& pageFolder);

/**
 * A generated page read into a document and laid out completely, ready for a browser to show
 * without laying it out again. Preparing may run on a worker thread: the document is then handed
 * to the thread that shows it, and keeps its layout as long as the browser asks for the width and
 * settings it was laid out with.
 */
class PageDocument : public QTextDocument
{
public:
    /**
     * Reads the page at `path` and lays it out with `settings`; nullptr and the reason when it cannot
     * be read. With `headBytes`, only about that much of the start of the page is read: the top of a
     * long page, to show while the whole of it is prepared.
     */
    static std::unique_ptr<PageDocument> prepare(const QString& path, const PageSettings& settings,
                                                 QString* error, qint64 headBytes = -1);

    /** How many times the page was laid out again since it was prepared (0 when the browser kept the layout).
     */
    int relayoutsSincePrepared() const;

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    explicit PageDocument(const QString& folder);

    QString m_folder;
    QHash<QUrl, QVariant> m_resources;
};

} // namespace korvane
