#pragma once

#include "reports/PageLink.h"

#include <QByteArray>
#include <QKeyEvent>
#include <QString>
#include <QTextBrowser>

#include <memory>

namespace korvane {

class PageDocument;
struct PageSettings;
class PagePreparer;
class RecordStore;
struct PageResult;

/** The "Details" tab: shows one generated page at a time and turns the pages' command links into signals. */
class CDetailsView : public QTextBrowser
{
    Q_OBJECT

public:
    /** A view on the store's records; it shows nothing until a page is asked for. */
    explicit CDetailsView(const RecordStore& store, QWidget* parent = nullptr);
    ~CDetailsView() override;

    /** Writes the project's details report to "Details.html" and shows it. */
    void showProjectDetails(const QByteArray& projectId);
    /** Shows the existing "Details.html" again without writing it. */
    void showDetailsAgain();
    /** Writes the invoice's letter to "Invoice.html", shows it and remembers the invoice for its links. */
    void showInvoice(const QByteArray& invoiceId);
    /** Writes the project's invoice list to "InvoiceTemp.html" and shows it. */
    void showInvoiceList(const QByteArray& projectId);

    /** The invoice whose letter was last shown; its links act on it. */
    QByteArray shownInvoiceId() const;
    /** The file currently shown ("" when none). */
    QString shownFile() const;
    /** Why the last page could not be written or read ("" when it was shown). */
    QString lastError() const;
    /** True while more of a long page is being prepared in the background; `pageShown` follows. */
    bool isPreparing() const;
    /**
     * True while only the top of a long page is in the view: the rest is read and laid out when the
     * reader scrolls towards it, goes to the end or selects all.
     */
    bool isPartial() const;
    /** Has the rest of a long page prepared in the background; `pageShown` follows (at once when whole). */
    void showWholePage();

    /**
     * Loads the pages and their pictures from disk (the browser keeps each picture while the page is
     * shown); picture names written with "\" (also percent-encoded) are found relative to the
     * folder of the page shown.
     */
    QVariant loadResource(int type, const QUrl& name) override;

signals:
    /**
     * A link command of a page ("invoice::print", "invoice::MailTo", "invoice::WordExpo",
     * "invoice::HTMLExpo", "print::<id>"); the main window acts on it. Ordinary links navigate
     * (local pages) or open in the desktop browser (http, https, mailto).
     */
    void linkCommand(const korvane::PageLink& link);
    /** A page prepared in the background is on screen now (or could not be read: see lastError). */
    void pageShown();

private:
protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followLink(const QUrl& url);
    bool showPage(PageResult page);
    bool showFile(const QString& path);
    /** What a page for this view is laid out with, at the width beside the vertical scroll bar. */
    PageSettings pageSettings();
    /** Prepares more of a partly shown page in the background: `bytes` of it, or all of it (-1). */
    void prepareMore(qint64 bytes);
    /** Asks for more of a partly shown page when the reader is near the end of what is there. */
    void moreIfNearEnd();
    /** Puts a page prepared in the background in place, the reader's place and selection kept. */
    void takePrepared(std::unique_ptr<PageDocument> page, const QUrl& url, qint64 bytes,
                      const QString& error);
    /** Puts a prepared page on screen under its address, and retires the page shown before. */
    void install(std::unique_ptr<QTextDocument> page, const QUrl& url);
    /** Deletes a page taken off the screen; a long one on the preparer's thread. */
    void retire(std::unique_ptr<QTextDocument> page);
    PagePreparer& preparer();
    /** Scrolls to a named place of the page, once the whole of a long page is there. */
    void scrollToPlace(const QString& anchor);
    void keepFollowedLinkFocused();
    QString linkTarget(const QUrl& url) const;
    QString shownFolder() const;

    const RecordStore& m_store;
    QByteArray m_invoiceId;
    QString m_lastError;
    std::unique_ptr<PagePreparer> m_preparer;
    /** Counts the pages asked for, so that only the last one asked for is shown. */
    quint64 m_ticket = 0;
    bool m_preparing = false;
    /** Set while the browser is pointed at a page whose document is put in place separately. */
    bool m_addressOnly = false;
    /** The place in a page that is being prepared to scroll to once it is shown. */
    QString m_pendingAnchor;
    /** The long page shown in part: its file, its size and how much of its start is in the view. */
    QString m_partialPath;
    qint64 m_pageBytes = 0;
    qint64 m_shownBytes = -1;
    bool m_wantWhole = false;
    /** Set while a page is put in place, when the scroll bar's moves are not the reader's. */
    bool m_installing = false;
    /** A key that needs the whole page (go to the end, select all), pressed while only its top was there. */
    std::unique_ptr<QKeyEvent> m_pendingKey;
};

} // namespace korvane
