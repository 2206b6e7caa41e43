#include "reports/MailDraft.h"

#include "records/Records.h"
#include "records/Text.h"

namespace korvane {

namespace {

QByteArray encoded(const QByteArray& text)
{
    // Decoded for display first, so a subject written by the Windows program reaches the mail
    // program as the same letters, in UTF-8.
    return displayText(text).toUtf8().toPercentEncoding();
}

} // namespace

QByteArray MailDraft::url(const InvoiceRecord& invoice)
{
    return "mailto:?subject=" + encoded(invoice.subject) + "&body=" + encoded(invoice.body);
}

} // namespace korvane
