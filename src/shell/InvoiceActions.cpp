#include "shell/InvoiceActions.h"

#include "records/Text.h"
#include "reports/HtmlExport.h"
#include "reports/InvoiceReport.h"
#include "reports/MailDraft.h"
#include "reports/WordInvoice.h"
#include "reports/pdf/PdfExport.h"
#include "shell/PagePrinter.h"
#include "shell/ProjectExports.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QUrl>
#include <QWidget>

namespace korvane {

InvoiceActions::InvoiceActions(const RecordStore& store, QWidget* window)
    : QObject(window), m_store(store), m_window(window), m_printer(new PagePrinter(window))
{
    m_printer->setParent(this);
}

void InvoiceActions::print(const QByteArray& invoiceId)
{
    if (invoiceId.isEmpty())
        return;
    const PageResult page = InvoiceReport::writeForPrint(m_store, invoiceId);
    if (!page.ok()) {
        UserDialogs::message(m_window, QStringLiteral("The invoice cannot be printed.\n%1").arg(page.error),
                             UserDialogs::Icon::Critical);
        return;
    }
    m_printer->preview(page.path);
}

void InvoiceActions::mail(const QByteArray& invoiceId)
{
    if (invoiceId.isEmpty())
        return;
    const QUrl url = QUrl::fromEncoded(MailDraft::url(m_store.GetInvoice(invoiceId)), QUrl::StrictMode);
    if (!UserDialogs::openUrl(url))
        UserDialogs::message(m_window,
                             QStringLiteral("The e-mail draft could not be handed to a mail program.\n"
                                            "Please check that a default mail program is set up."),
                             UserDialogs::Icon::Warning);
}

void InvoiceActions::exportHtml(const QByteArray& invoiceId)
{
    const QString path = askPath(invoiceId, QStringLiteral("Export Invoice To HTML"), QStringLiteral("html"),
                                 QStringLiteral("HTML Files (*.html)"));
    if (path.isEmpty())
        return;
    const HtmlExport::Result result = HtmlExport::exportInvoice(m_store, invoiceId, path);
    if (!result.ok()) {
        UserDialogs::message(
            m_window,
            QStringLiteral("There was a problem exporting the document to HTML format\n%1").arg(result.error),
            UserDialogs::Icon::Critical);
        return;
    }
    UserDialogs::openFile(m_window, path);
    if (!result.skippedImages.isEmpty())
        UserDialogs::message(
            m_window,
            QStringLiteral("The invoice was exported, but its signature picture could not be "
                           "placed beside it:\n%1")
                .arg(result.skippedImages.join(QLatin1Char('\n'))),
            UserDialogs::Icon::Warning);
}

void InvoiceActions::exportWord(const QByteArray& invoiceId)
{
    const QString path = askPath(invoiceId, QStringLiteral("Export Invoice To Word"), QStringLiteral("docx"),
                                 QStringLiteral("Word Documents (*.docx)"));
    if (path.isEmpty())
        return;
    const QString error = WordInvoice(m_store).write(invoiceId, path);
    if (!error.isEmpty()) {
        UserDialogs::message(
            m_window,
            QStringLiteral("There was a problem exporting the document to Word format\n%1").arg(error),
            UserDialogs::Icon::Critical);
        return;
    }
    UserDialogs::openFile(m_window, path);
}

void InvoiceActions::exportPdf(const QByteArray& invoiceId)
{
    const QString path = askPath(invoiceId, QStringLiteral("Export Invoice To PDF"), QStringLiteral("pdf"),
                                 QStringLiteral("PDF Files (*.pdf)"));
    if (path.isEmpty())
        return;
    const QString error = PdfExport::invoice(m_store, invoiceId, path);
    if (!error.isEmpty()) {
        UserDialogs::message(
            m_window, QStringLiteral("There was a problem exporting the document to PDF\n%1").arg(error),
            UserDialogs::Icon::Critical);
        return;
    }
    UserDialogs::openFile(m_window, path);
}

QString InvoiceActions::suggestedName(const QByteArray& invoiceId) const
{
    const InvoiceRecord invoice = m_store.GetInvoice(invoiceId);
    const QString name = displayText(invoice.task) + QLatin1Char(' ') + displayText(invoice.invoiceNumber);
    return ProjectExports::safeFileName(name, QStringLiteral("Invoice"));
}

QString InvoiceActions::askPath(const QByteArray& invoiceId, const QString& caption, const QString& extension,
                                const QString& filter) const
{
    if (invoiceId.isEmpty())
        return {};
    return ProjectExports::askSavePath(m_window, caption, suggestedName(invoiceId), extension, filter);
}

} // namespace korvane
