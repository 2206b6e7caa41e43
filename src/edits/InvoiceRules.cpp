#include "edits/InvoiceRules.h"

#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/AmountInWords.h"

namespace korvane::InvoiceRules {

InvoiceRecord newInvoice(const QByteArray& projectIdentifier)
{
    InvoiceRecord record = emptyRecord<InvoiceRecord>();
    record.projectIdentifier = projectIdentifier;
    record.addressee = "Mr.";
    record.currencyText = "$ - US DOLLAR";
    return record;
}

Addressee splitAddressee(const QByteArray& addressee)
{
    const qsizetype point = addressee.indexOf('.');
    if (point < 0)
        return {QString(), displayText(addressee)};
    return {displayText(addressee.left(point + 1)), displayText(addressee.mid(point + 1))};
}

QByteArray joinAddressee(const QString& salutation, const QString& name)
{
    const QString joined = salutation.trimmed() + name.trimmed();
    return storedText(joined.isEmpty() ? QStringLiteral("Unknown") : joined);
}

QString cleanCurrencyText(const QString& typed)
{
    const QString text = typed.trimmed();
    const qsizetype hyphen = text.indexOf(u'-');
    return hyphen >= 0 && hyphen != text.size() - 1 ? text : QStringLiteral("$-US DOLLAR");
}

double netAmount(double amount, double taxPercentage)
{
    return amount - taxPercentage * 0.01 * amount;
}

void finish(InvoiceRecord& invoice)
{
    // Always from the final net amount, so the words never lag behind a change typed just before OK.
    invoice.amountInWords = amountInWords(invoice.netAmount);
}

} // namespace korvane::InvoiceRules
