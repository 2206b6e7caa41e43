#include "views/widgets/CDetailsView.h"

#include "reports/DetailsReport.h"
#include "reports/InvoiceList.h"
#include "reports/InvoiceReport.h"
#include "reports/PageWriter.h"
#include "shell/UserDialogs.h"
#include "store/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

CDetailsView::CDetailsView(const RecordStore& store, QWidget* parent)
    : QTextBrowser(parent)
    , m_store(store)
{
    setObjectName(u"detailsView"_s);
    setAccessibleName(u"Project details"_s);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QTextBrowser::anchorClicked, this, &CDetailsView::followLink);
}

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
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_lastError = u"%1: cannot be read"_s.arg(QDir::toNativeSeparators(path));
        return false;
    }
    m_lastError.clear();
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    // Replacing the page empties the document first, which hides the scroll bar; once the new page
    // is in, the bar comes back and the browser lays the whole page out a second time at the
    // narrower width. Keeping the bar while the page is replaced lays a long page out once; a short
    // one is laid out again when the bar goes, which costs little.
    const Qt::ScrollBarPolicy barPolicy = verticalScrollBarPolicy();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The browser would keep a page it showed before; the file was rewritten, so read it again.
    if (source().adjusted(QUrl::RemoveFragment) == url)
        reload();
    else
        setSource(url);
    setVerticalScrollBarPolicy(barPolicy);
    clearHistory();
    return true;
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
        if (url.hasFragment())
            scrollToAnchor(url.fragment());
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme == "http"_L1 || scheme == "https"_L1 || scheme == "mailto"_L1)
        UserDialogs::openUrl(url);
}

QVariant CDetailsView::loadResource(int type, const QUrl& name)
{
    QString path;
    if (name.isLocalFile())
        path = name.toLocalFile();
    else if (name.isRelative())
        path = name.path(QUrl::FullyDecoded);
    if (!path.isEmpty()) {
        // The pages name their pictures the Windows way, "Images\Project.bmp".
        path.replace(u'\\', u'/');
        if (QDir::isRelativePath(path))
            path = shownFolder() + u'/' + path;
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
    }
    return QTextBrowser::loadResource(type, name);
}

} // namespace korvane
