#pragma once

#include <QByteArray>

namespace korvane {

struct InvoiceRecord;

/** The e-mail draft of an invoice, as a "mailto:" link the desktop's mail program opens. */
class MailDraft
{
public:
    /**
     * "mailto:?subject=...&body=..." with no address and the invoice's subject and body
     * percent-encoded as UTF-8, so "&", "?", "#" or a line break in them stays part of the text.
     */
    static QByteArray url(const InvoiceRecord& invoice);
};

} // namespace korvane
