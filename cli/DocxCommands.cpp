#include "CliApp.h"

#include "records/Text.h"
#include "reports/WordInvoice.h"
#include "reports/WordProjectReport.h"
#include "store/RecordStore.h"

namespace korvane {

void CliApp::exportDocx(const QByteArray& project, const QString& file)
{
    RecordStore& records = store();
    if (!records.projects().contains(project))
        fail(InvalidInput, QStringLiteral("no project with the identifier \"%1\"").arg(displayText(project)));
    const QString error = WordProjectReport(records).write(project, file);
    if (!error.isEmpty())
        fail(InvalidInput, QStringLiteral("the Word document was not written: %1").arg(error));
}

void CliApp::exportInvoiceDocx(const QByteArray& invoice, const QString& file)
{
    RecordStore& records = store();
    if (!records.invoices().contains(invoice))
        fail(InvalidInput, QStringLiteral("no invoice with the identifier \"%1\"").arg(displayText(invoice)));
    const QString error = WordInvoice(records).write(invoice, file);
    if (!error.isEmpty())
        fail(InvalidInput, QStringLiteral("the Word document was not written: %1").arg(error));
}

} // namespace korvane
