#include "reports/WordInvoice.h"

#include "records/Text.h"
#include "reports/HtmlText.h"
#include "reports/InvoiceReport.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"

namespace korvane {

namespace {
constexpr int kLetterHalfPoints = 18; // 9 pt
} // namespace

WordInvoice::WordInvoice(const RecordStore& store, const QLocale& locale) : m_store(store), m_locale(locale)
{
}

DocxWriter WordInvoice::document(const QByteArray& invoiceId) const
{
    const InvoiceRecord invoice = m_store.GetInvoice(invoiceId);
    const QString fromAddress = displayText(invoice.fromAddress);
    const QString currency = displayText(invoice.currencyText);
    using Alignment = DocxWriter::Alignment;

    DocxWriter doc;
    DocxWriter::Font& font = doc.font();
    font.name = QStringLiteral("Verdana");
    font.halfPoints = kLetterHalfPoints;
    font.bold = false;
    font.allCaps = false;

    doc.setAlignment(Alignment::Right);
    doc.typeText(displayText(invoice.company) + QStringLiteral("\r\n"));

    doc.setAlignment(Alignment::Center);
    font.bold = true;
    font.underline = true;
    doc.typeText(QStringLiteral("Invoice Report\r\n"));
    font.bold = false;
    font.underline = false;
    doc.typeText(QStringLiteral("Invoice Number : ") + displayText(invoice.invoiceNumber) +
                 QStringLiteral("\r\n"));

    doc.setAlignment(Alignment::Right);
    doc.typeText(
        DisplayFormat::dateWithPicture(invoice.invoiceDate, QStringLiteral("dd MMMM yyyy"), m_locale) +
        QStringLiteral("\r\n"));

    doc.setAlignment(Alignment::Left);
    font.bold = true;
    doc.typeText(QStringLiteral("From,\r\n"));
    font.bold = false;
    doc.typeText(QStringLiteral("\t") + fromAddress + QStringLiteral("\r\n"));
    font.bold = true;
    doc.typeText(QStringLiteral("To,\r\n"));
    font.bold = false;
    doc.typeText(QStringLiteral("\t") + displayText(invoice.toAddress) + QStringLiteral("\r\n"));

    doc.typeText(QStringLiteral("Dear ") + displayText(invoice.addressee) + QStringLiteral("\r\n"));
    font.bold = true;
    doc.typeText(QStringLiteral("\tSub :"));
    font.bold = false;
    doc.typeText(displayText(invoice.subject) + QStringLiteral("\r\n\n"));

    doc.typeText(QStringLiteral("Task : ") + displayText(invoice.task) + QStringLiteral("\r\n"));
    doc.typeText(QStringLiteral("\t") + displayText(invoice.body) + QStringLiteral("\r\n\n"));

    doc.typeText(QStringLiteral("Net Amount : ") + InvoiceReport::currencySymbol(currency) +
                 HtmlText::fixed(invoice.netAmount, 0) + QStringLiteral(" \r\n"));
    doc.typeText(QStringLiteral("Amount in words : ") + displayText(invoice.amountInWords) +
                 InvoiceReport::currencyName(currency) + QStringLiteral(" ONLY\r\n\n\n"));

    doc.typeText(QStringLiteral("For ") + InvoiceReport::firstLine(fromAddress) + QStringLiteral("\r\n"));
    doc.typeText(QStringLiteral("(") + displayText(invoice.signatory) + QStringLiteral(")\r\n"));
    doc.typeText(QStringLiteral("Authorized Signatory\r\n"));
    return doc;
}

QString WordInvoice::write(const QByteArray& invoiceId, const QString& path) const
{
    return document(invoiceId).save(path);
}

} // namespace korvane
