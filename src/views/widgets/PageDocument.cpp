#include "views/widgets/PageDocument.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextLayout>

// Qt's own layout of rich text, extended below so that a browser keeps a layout made in advance.
#include <QtGui/private/qtextdocumentlayout_p.h>
#include <QtGui/private/qtextengine_p.h>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

namespace {

/** Everything besides the text that decides where the lines of a page fall. */
struct LayoutInputs
{
    QSizeF pageSize;
    QFont font;
    int wrapMode = 0;
    Qt::Alignment alignment;
    QTextOption::Flags flags;
    qreal tabStop = 0;
    qreal margin = 0;
    qreal indentWidth = 0;
    bool designMetrics = false;

    static LayoutInputs of(const QTextDocument& document)
    {
        const QTextOption option = document.defaultTextOption();
        return {document.pageSize(),       document.defaultFont(), int(option.wrapMode()),
                option.alignment(),        option.flags(),         option.tabStopDistance(),
                document.documentMargin(), document.indentWidth(), document.useDesignMetrics()};
    }
    bool operator==(const LayoutInputs& other) const
    {
        return pageSize == other.pageSize && font == other.font && wrapMode == other.wrapMode &&
               alignment == other.alignment && flags == other.flags && tabStop == other.tabStop &&
               margin == other.margin && indentWidth == other.indentWidth &&
               designMetrics == other.designMetrics;
    }
};

/**
 * Qt's layout, which lays a document out anew whenever a browser sets its page size or font, even
 * to the values it already has. A page of thousands of tasks takes most of a second to lay out, so
 * once a page is laid out in advance, a request that changes neither the text nor any input of
 * the layout keeps the layout it has.
 */
class KeptLayout : public QTextDocumentLayout
{
public:
    explicit KeptLayout(QTextDocument* document) : QTextDocumentLayout(document)
    {
        connect(document, &QTextDocument::contentsChange, this, [this] { m_kept = false; });
    }

    /** From now on, the current layout stands while its inputs stay the same. */
    void keep()
    {
        m_inputs = LayoutInputs::of(*document());
        m_kept = true;
        m_relayouts = 0;
    }
    int relayouts() const { return m_relayouts; }

protected:
    void documentChanged(int from, int oldLength, int length) override
    {
        if (m_kept && LayoutInputs::of(*document()) == m_inputs)
            return;
        if (m_kept)
            ++m_relayouts;
        QTextDocumentLayout::documentChanged(from, oldLength, length);
        if (m_kept)
            m_inputs = LayoutInputs::of(*document());
    }

private:
    LayoutInputs m_inputs;
    bool m_kept = false;
    int m_relayouts = 0;
};

} // namespace

PageSettings PageSettings::of(const QTextDocument& document, int width)
{
    return {document.defaultFont(),
            document.defaultTextOption(),
            document.documentMargin(),
            document.indentWidth(),
            document.useDesignMetrics(),
            document.defaultStyleSheet(),
            width};
}

QVariant loadPageResource(int type, const QUrl& name, const QString& pageFolder)
{
    QString path;
    if (name.isLocalFile())
        path = name.toLocalFile();
    else if (name.isRelative())
        path = name.path(QUrl::FullyDecoded);
    if (path.isEmpty())
        return {};
    // The pages name their pictures the Windows way, "Images\Project.bmp".
    path.replace(u'\\', u'/');
    if (QDir::isRelativePath(path))
        path = pageFolder + u'/' + path;
    if (type == QTextDocument::ImageResource) {
        const QImage image(path);
        if (!image.isNull())
            return image;
    } else if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) {
        QFile file(path);
        // Pages are written as UTF-8 and carry no charset of their own.
        if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly))
            return QString::fromUtf8(file.readAll());
    }
    return {};
}

PageDocument::PageDocument(const QString& folder) : m_folder(folder) {}

std::unique_ptr<PageDocument> PageDocument::prepare(const QString& path, const PageSettings& settings,
                                                    QString* error, qint64 headBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"%1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString());
        return nullptr;
    }
    QString html = QString::fromUtf8(headBytes < 0 ? file.readAll() : file.read(headBytes));
    if (headBytes >= 0 && !file.atEnd()) {
        // Cut before a tag, never inside one or inside a character; the rich-text reader closes
        // what the cut leaves open.
        const qsizetype tag = html.lastIndexOf(u'<');
        if (tag > 0)
            html.truncate(tag);
    }

    const QFileInfo info(path);
    std::unique_ptr<PageDocument> page(new PageDocument(info.absolutePath()));
    auto* layout = new KeptLayout(page.get());
    page->setDocumentLayout(layout);
    page->setUndoRedoEnabled(false);
    page->setDefaultFont(settings.font);
    page->setDefaultTextOption(settings.option);
    page->setDocumentMargin(settings.margin);
    page->setIndentWidth(settings.indentWidth);
    page->setUseDesignMetrics(settings.designMetrics);
    page->setDefaultStyleSheet(settings.styleSheet);
    page->setBaseUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    page->setPageSize(QSizeF(settings.width, -1));
    page->setHtml(html);
    layout->documentSize(); // lays the whole page out now, not bit by bit while it is shown
    layout->keep();
    // Finishing the layout leaves a timer to announce the new size. Timers cannot follow the page
    // to another thread reliably, so their events are delivered here and now.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        for (int round = 0; round < 4; ++round) {
            const QList<QAbstractEventDispatcher::TimerInfo> timers = dispatcher->registeredTimers(layout);
            if (timers.isEmpty())
                break;
            for (const QAbstractEventDispatcher::TimerInfo& timer : timers) {
                QTimerEvent event(timer.timerId);
                QCoreApplication::sendEvent(layout, &event);
            }
        }
    }

    // Each laid-out line remembers the font engine it was shaped with, and font engines belong to
    // the thread that made them; the thread that shows the page finds its own again.
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
        if (QTextLayout* lines = block.layout())
            lines->engine()->resetFontEngineCache();
    }
    return page;
}

int PageDocument::relayoutsSincePrepared() const
{
    const auto* layout = dynamic_cast<const KeptLayout*>(documentLayout());
    return layout ? layout->relayouts() : -1;
}

QVariant PageDocument::loadResource(int type, const QUrl& name)
{
    // Thousands of rows show the same few pictures: each is read once per page.
    const auto known = m_resources.constFind(name);
    if (known != m_resources.cend())
        return *known;
    QVariant resource = loadPageResource(type, name, m_folder);
    if (!resource.isValid())
        resource = QTextDocument::loadResource(type, name);
    m_resources.insert(name, resource);
    return resource;
}

} // namespace korvane
