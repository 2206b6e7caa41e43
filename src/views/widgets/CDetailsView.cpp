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

bool CDetailsView::showPage(const PageResult& page)
{
    if (!page.ok()) {
        m_lastError = page.error;
        return false;
    }
    return showFile(page.path);
}

bool CDetailsView::showFile(const QString& path)
{
    // Pages up to this size are ready in a few tens of milliseconds; longer ones (a project of
    // thousands of tasks) take most of a second, which the window should not wait for.
    constexpr qint64 kPrepareInBackground = 256 * 1024;

    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_lastError = u"%1: cannot be read"_s.arg(QDir::toNativeSeparators(path));
        return false;
    }
    m_lastError.clear();
    m_pendingAnchor.clear();
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    const quint64 ticket = ++m_ticket;
    // A long page shows the vertical scroll bar, so it is laid out at the width left beside it.
    const Qt::ScrollBarPolicy barPolicy = verticalScrollBarPolicy();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const PageSettings settings = PageSettings::of(*document(), viewport()->width());
    setVerticalScrollBarPolicy(barPolicy);

    if (info.size() <= kPrepareInBackground) {
        QString error;
        std::unique_ptr<PageDocument> page = PageDocument::prepare(info.absoluteFilePath(), settings, &error);
        if (!page) {
            m_lastError = error;
            return false;
        }
        m_preparing = false;
        install(std::move(page), url);
        return true;
    }

    // Until the page is ready the view shows its top, never the previous project's page.
    constexpr qint64 kHeadBytes = 32 * 1024;
    QString error;
    std::unique_ptr<QTextDocument> head =
        PageDocument::prepare(info.absoluteFilePath(), settings, &error, kHeadBytes);
    if (!head)
        head = std::make_unique<QTextDocument>();
    install(std::move(head), url);
    m_preparing = true;
    preparer().prepare(info.absoluteFilePath(), settings,
                       [this, ticket, url](std::unique_ptr<PageDocument> page, const QString& error) {
                           if (ticket != m_ticket) {
                               retire(std::move(page));
                               return;
                           }
                           m_preparing = false;
                           if (page) {
                               // The whole page starts as its top did: the reader stays where it was.
                               const int scrolled = verticalScrollBar()->value();
                               const int cursor = textCursor().position();
                               install(std::move(page), url);
                               QTextCursor kept(document());
                               kept.setPosition(qMin(cursor, document()->characterCount() - 1));
                               setTextCursor(kept);
                               verticalScrollBar()->setValue(scrolled);
                               if (!m_pendingAnchor.isEmpty())
                                   scrollToAnchor(std::exchange(m_pendingAnchor, QString()));
                           } else {
                               m_lastError = error;
                               setPlainText(error);
                           }
                           emit pageShown();
                       });
    return true;
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
        if (m_preparing)
            m_pendingAnchor = url.fragment();
        else
            scrollToAnchor(url.fragment());
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
        if (url.hasFragment() && m_preparing)
            m_pendingAnchor = url.fragment();
        else if (url.hasFragment())
            scrollToAnchor(url.fragment());
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme == "http"_L1 || scheme == "https"_L1 || scheme == "mailto"_L1)
        UserDialogs::openUrl(url);
}

QVariant CDetailsView::loadResource(int type, const QUrl& name)
{
    if (m_addressOnly && type == QTextDocument::HtmlResource)
        return u"<html></html>"_s;
    const QVariant resource = loadPageResource(type, name, shownFolder());
    return resource.isValid() ? resource : QTextBrowser::loadResource(type, name);
}

} // namespace korvane
