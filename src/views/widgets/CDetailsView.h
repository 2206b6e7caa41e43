#pragma once

#include "reports/PageLink.h"

#include <QByteArray>
#include <QString>
#include <QTextBrowser>

#include <memory>

namespace korvane {

class PageDocument;
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
    /** True while a long page is still being prepared in the background; `pageShown` follows. */
    bool isPreparing() const;

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
    void followLink(const QUrl& url);
    bool showPage(const PageResult& page);
    bool showFile(const QString& path);
    /** Puts a prepared page on screen under its address, and retires the page shown before. */
    void install(std::unique_ptr<QTextDocument> page, const QUrl& url);
    /** Deletes a page taken off the screen; a long one on the preparer's thread. */
    void retire(std::unique_ptr<QTextDocument> page);
    PagePreparer& preparer();
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
};

} // namespace korvane
