#include "views/widgets/CDetailsView.h"

#include "reports/DetailsReport.h"
#include "reports/InvoiceList.h"
#include "reports/InvoiceReport.h"
#include "reports/PageWriter.h"
#include "store/ProgramFolder.h"
#include "ui/UserDialogs.h"
#include "views/widgets/PageDocument.h"
#include "views/widgets/PagePreparer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

CDetailsView::CDetailsView(const RecordStore& store, QWidget* parent) : QTextBrowser(parent), m_store(store)
{
    setObjectName(u"detailsView"_s);
    setProperty("lightPage", true); // the pages set light backgrounds and leave the text colour to us
    setAccessibleName(u"Project details"_s);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QTextBrowser::anchorClicked, this, &CDetailsView::followLink);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CDetailsView::moreIfNearEnd);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &CDetailsView::moreIfNearEnd);
}

CDetailsView::~CDetailsView() = default;

void CDetailsView::showProjectDetails(const QByteArray& projectId)
{
    showPage(DetailsReport::write(m_store, projectId, QLocale()));
}

void CDetailsView::showDetailsAgain()
{
    showFile(PageWriter::path(PageFile::Details));
}

void CDetailsView::showInvoice(const QByteArray& invoiceId)
{
    // The page's links act on the remembered invoice, so it changes only when its letter is on screen.
    if (showPage(InvoiceReport::write(m_store, invoiceId, QLocale())))
        m_invoiceId = invoiceId;
}

void CDetailsView::showInvoiceList(const QByteArray& projectId)
{
    showPage(InvoiceList::write(m_store, projectId, QLocale()));
}

QByteArray CDetailsView::shownInvoiceId() const
{
    return m_invoiceId;
}

QString CDetailsView::shownFile() const
{
    const QUrl shown = source();
    return shown.isLocalFile() ? QFileInfo(shown.toLocalFile()).absoluteFilePath() : QString();
}

QString CDetailsView::lastError() const
{
    return m_lastError;
}

bool CDetailsView::isPreparing() const
{
    return m_preparing;
}

bool CDetailsView::showPage(PageResult page)
{
    // The view reads the page from its file; the text of a long page need not stay beside it.
    page.text = QString();
    if (!page.ok()) {
        m_lastError = page.error;
        return false;
    }
    return showFile(page.path);
}

bool CDetailsView::showFile(const QString& path)
{
    // Pages up to this size are read and laid out whole in a few tens of milliseconds; a longer one
    // (a project of thousands of tasks) shows its top, and the rest is read as the reader nears it.
    constexpr qint64 kShowWhole = 256 * 1024;
    constexpr qint64 kHeadBytes = 32 * 1024;

    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_lastError = u"%1: cannot be read"_s.arg(QDir::toNativeSeparators(path));
        return false;
    }
    m_lastError.clear();
    m_pendingAnchor.clear();
    m_pendingKey.reset();
    ++m_ticket;
    m_preparing = false;
    m_wantWhole = false;
    const QString absolute = info.absoluteFilePath();
    const bool whole = info.size() <= kShowWhole;
    QString error;
    std::unique_ptr<PageDocument> page =
        PageDocument::prepare(absolute, pageSettings(), &error, whole ? -1 : kHeadBytes);
    if (!page) {
        m_lastError = error;
        return false;
    }
    m_partialPath = whole ? QString() : absolute;
    m_pageBytes = info.size();
    m_shownBytes = whole ? -1 : kHeadBytes;
    m_installing = true;
    install(std::move(page), QUrl::fromLocalFile(absolute));
    m_installing = false;
    moreIfNearEnd();
    return true;
}

PageSettings CDetailsView::pageSettings()
{
    // A long page shows the vertical scroll bar, so it is laid out at the width left beside it.
    const Qt::ScrollBarPolicy barPolicy = verticalScrollBarPolicy();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const PageSettings settings = PageSettings::of(*document(), viewport()->width());
    setVerticalScrollBarPolicy(barPolicy);
    return settings;
}

bool CDetailsView::isPartial() const
{
    return !m_partialPath.isEmpty();
}

void CDetailsView::showWholePage()
{
    if (!isPartial()) {
        emit pageShown();
        return;
    }
    m_wantWhole = true;
    prepareMore(-1);
}

void CDetailsView::moreIfNearEnd()
{
    if (!isPartial() || m_preparing || m_installing)
        return;
    const QScrollBar* bar = verticalScrollBar();
    // Three screens ahead leave the background time to prepare the next part before it is reached.
    if (bar->maximum() - bar->value() > 3 * std::max(bar->pageStep(), viewport()->height()))
        return;
    // Each part is four times the one before, so a reader who scrolls to the end waits for a few
    // preparations in all, and one who stays at the top never pays for the rest.
    const qint64 next = m_shownBytes * 4;
    prepareMore(next * 2 > m_pageBytes ? -1 : next);
}

void CDetailsView::prepareMore(qint64 bytes)
{
    if (!isPartial() || m_preparing)
        return;
    m_preparing = true;
    const quint64 ticket = m_ticket;
    const QUrl url = QUrl::fromLocalFile(m_partialPath);
    preparer().prepare(m_partialPath, pageSettings(), bytes,
                       [this, ticket, url, bytes](std::unique_ptr<PageDocument> page, const QString& error) {
                           if (ticket != m_ticket) {
                               retire(std::move(page));
                               return;
                           }
                           takePrepared(std::move(page), url, bytes, error);
                       });
}

void CDetailsView::takePrepared(std::unique_ptr<PageDocument> page, const QUrl& url, qint64 bytes,
                                const QString& error)
{
    m_preparing = false;
    if (!page) {
        m_lastError = error;
        m_partialPath.clear();
        m_pendingKey.reset();
        setPlainText(error);
        emit pageShown();
        return;
    }
    // The longer page starts as the shorter one did: the reader stays where they were.
    const int scrolled = verticalScrollBar()->value();
    const QTextCursor before = textCursor();
    const int anchor = before.anchor();
    const int position = before.position();
    if (bytes < 0)
        m_partialPath.clear();
    m_shownBytes = bytes;
    m_installing = true;
    install(std::move(page), url);
    const int last = document()->characterCount() - 1;
    QTextCursor kept(document());
    kept.setPosition(qMin(anchor, last));
    kept.setPosition(qMin(position, last), QTextCursor::KeepAnchor);
    setTextCursor(kept);
    verticalScrollBar()->setValue(scrolled);
    m_installing = false;
    if (isPartial() && m_wantWhole) {
        prepareMore(-1);
        return;
    }
    if (!isPartial()) {
        if (!m_pendingAnchor.isEmpty())
            scrollToAnchor(std::exchange(m_pendingAnchor, QString()));
        if (m_pendingKey) {
            const std::unique_ptr<QKeyEvent> key = std::move(m_pendingKey);
            keyPressEvent(key.get());
        }
    }
    emit pageShown();
    moreIfNearEnd();
}

void CDetailsView::keyPressEvent(QKeyEvent* event)
{
    // Going to the end or selecting all means the whole page; the key is acted on once it is there.
    const bool needsWhole = event->matches(QKeySequence::MoveToEndOfDocument) ||
                            event->matches(QKeySequence::SelectEndOfDocument) ||
                            event->matches(QKeySequence::SelectAll) ||
                            (event->key() == Qt::Key_End && event->modifiers() == Qt::NoModifier);
    if (isPartial() && needsWhole) {
        m_pendingKey =
            std::make_unique<QKeyEvent>(event->type(), event->key(), event->modifiers(), event->text(),
                                        event->isAutoRepeat(), ushort(event->count()));
        showWholePage();
        event->accept();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

void CDetailsView::install(std::unique_ptr<QTextDocument> page, const QUrl& url)
{
    // The browser would load the file itself; it only takes the page's address here, into an empty
    // document, so that relative links and source() name the page shown.
    QPointer<QTextDocument> shown = document();
    auto addressOnly = std::make_unique<QTextDocument>();
    setDocument(addressOnly.get());
    m_addressOnly = true;
    setSource(url);
    m_addressOnly = false;
    clearHistory();

    // Keeping the scroll bar while the page is replaced leaves the width the page was laid out at.
    const Qt::ScrollBarPolicy barPolicy = verticalScrollBarPolicy();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    page->setParent(this);
    setDocument(page.release());
    setVerticalScrollBarPolicy(barPolicy);
    // The browser deletes only the document it made itself; the pages shown before are ours.
    if (shown && shown->parent() == this)
        retire(std::unique_ptr<QTextDocument>(shown.data()));
}

void CDetailsView::retire(std::unique_ptr<QTextDocument> page)
{
    // Taking a page of thousands of rows apart costs a tenth of a second.
    constexpr int kLongPage = 64 * 1024;
    if (page && page->characterCount() > kLongPage)
        preparer().dispose(std::move(page));
}

PagePreparer& CDetailsView::preparer()
{
    if (!m_preparer)
        m_preparer = std::make_unique<PagePreparer>();
    return *m_preparer;
}

QString CDetailsView::shownFolder() const
{
    const QString shown = shownFile();
    return shown.isEmpty() ? programFolder() : QFileInfo(shown).absolutePath();
}

void CDetailsView::keepFollowedLinkFocused()
{
    // Following a link from the keyboard drops its selection, and Tab would start over at the first
    // link; selecting the followed link again lets Tab go on from it.
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        return;
    const auto hrefBefore = [this](int position) {
        QTextCursor probe(document());
        probe.setPosition(position);
        return probe.charFormat().anchorHref();
    };
    const QString href = hrefBefore(cursor.position());
    if (href.isEmpty())
        return;
    const QTextBlock block = cursor.block();
    const int blockEnd = block.position() + block.length() - 1;
    int begin = cursor.position();
    while (begin - 1 > block.position() && hrefBefore(begin - 1) == href)
        --begin;
    int end = cursor.position();
    while (end < blockEnd && hrefBefore(end + 1) == href)
        ++end;
    cursor.setPosition(begin - 1);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString CDetailsView::linkTarget(const QUrl& url) const
{
    // The browser resolves a target without a scheme against the page's folder; the commands are
    // compared with the target as the page wrote it.
    if (url.isLocalFile()) {
        const QString folder = shownFolder() + u'/';
        const QString local = url.toLocalFile();
        if (local.startsWith(folder))
            return local.mid(folder.size());
    }
    return url.toString();
}

void CDetailsView::followLink(const QUrl& url)
{
    keepFollowedLinkFocused();
    const PageLink link = PageLink::parse(linkTarget(url));
    if (link.action != PageLink::Action::Navigate) {
        emit linkCommand(link);
        return;
    }
    if (url.isRelative() && url.path().isEmpty() && url.hasFragment()) {
        scrollToPlace(url.fragment());
        return;
    }
    if (url.isLocalFile()) {
        // Only pages are shown here; a page link never starts another program on a local file.
        const QString local = url.toLocalFile();
        const QString suffix = QFileInfo(local).suffix().toLower();
        if (suffix != "html"_L1 && suffix != "htm"_L1)
            return;
        if (QFileInfo(local).absoluteFilePath() != shownFile() && !showFile(local))
            return;
        if (url.hasFragment())
            scrollToPlace(url.fragment());
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme == "http"_L1 || scheme == "https"_L1 || scheme == "mailto"_L1)
        UserDialogs::openUrl(url);
}

void CDetailsView::scrollToPlace(const QString& anchor)
{
    // The place may lie in the part of a long page not read yet.
    if (!isPartial()) {
        scrollToAnchor(anchor);
        return;
    }
    m_pendingAnchor = anchor;
    showWholePage();
}

QVariant CDetailsView::loadResource(int type, const QUrl& name)
{
    if (m_addressOnly && type == QTextDocument::HtmlResource)
        return u"<html></html>"_s;
    const QVariant resource = loadPageResource(type, name, shownFolder());
    return resource.isValid() ? resource : QTextBrowser::loadResource(type, name);
}

} // namespace korvane
