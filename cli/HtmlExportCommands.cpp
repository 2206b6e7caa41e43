#include "CliApp.h"

#include "records/Text.h"
#include "reports/HtmlExport.h"
#include "store/RecordStore.h"

namespace korvane {

namespace {

/** Tells which pictures an export that wrote its page could not place beside it. */
void warnSkipped(const HtmlExport::Result& result, QIODevice& err)
{
    for (const QString& skipped : result.skippedImages)
        err.write("korvane-cli: warning: picture not copied: " + skipped.toUtf8() + '\n');
}

} // namespace

void CliApp::exportHtml(const QByteArray& project, const QString& file)
{
    if (!store().projects().contains(project))
        fail(InvalidInput, QStringLiteral("no project with the identifier \"%1\"").arg(displayText(project)));
    const HtmlExport::Result result = HtmlExport::exportProject(store(), project, file);
    if (!result.ok())
        fail(InvalidInput, result.error);
    warnSkipped(result, m_err);
}

void CliApp::exportInvoiceHtml(const QByteArray& invoice, const QString& file)
{
    if (!store().invoices().contains(invoice))
        fail(InvalidInput, QStringLiteral("no invoice with the identifier \"%1\"").arg(displayText(invoice)));
    const HtmlExport::Result result = HtmlExport::exportInvoice(store(), invoice, file);
    if (!result.ok())
        fail(InvalidInput, result.error);
    warnSkipped(result, m_err);
}

} // namespace korvane
