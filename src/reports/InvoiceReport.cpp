#include "reports/InvoiceReport.h"

#include "records/Text.h"
#include "reports/HtmlText.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"

#include <algorithm>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

namespace {

// Escaped first, so that only the line breaks the address really has become markup.
QString withBreaks(const QByteArray& text)
{
    return HtmlText::record(text).replace(u'\n', "<br>"_L1);
}

} // namespace

QString InvoiceReport::letter(const RecordStore& store, const QByteArray& invoiceIdentifier, bool showLinks,
                              bool forPrint, const QLocale& locale)
{
    using HtmlText::escape;
    using HtmlText::record;
    const InvoiceRecord invoice = store.GetInvoice(invoiceIdentifier);
    const QString currency = displayText(invoice.currencyText);

    QString page;
    page += "<html>\n"_L1;
    page += "<head>\n"_L1;
    page += "<title>Invoice</title>\n"_L1;
    page += "</head>\n"_L1;
    page += "<body>\n"_L1;
    page += "<font face=\"Verdana\" size=\"2\">\n"_L1;
    if (showLinks) {
        page += R"(<br><br><a title="Print Incoice" href="invoice::print">)"_L1;
        page += R"(<img border="0" src="Images/Invoice_print.bmp" width="20" height="20">)"_L1;
        page += "</a> "_L1;
        page += R"(<a title="Export To Word" href="invoice::WordExpo">)"_L1;
        page += R"(<img border="0" src="Images/Invoice_WordExpo.bmp" width="20" height="20">)"_L1;
        page += "</a> "_L1;
        page += R"(<a title="Export To HTML" href="invoice::HTMLExpo">)"_L1;
        page += R"(<img border="0" src="Images/Invoice_HTMLExpo.bmp" width="20" height="20">)"_L1;
        page += "</a> "_L1;
        page += R"(<a title="Mail To" href="invoice::MailTo">)"_L1;
        page += R"(<img border="0" src="Images/Invoice_MailTo.bmp" width="20" height="20">)"_L1;
        page += "</a> "_L1;
        page += "<br>"_L1;
    }
    page += "<p align=\"right\">\n"_L1 + record(invoice.company) + "</p>"_L1;
    page += "<center><b><u>Invoice Report</u></b></center><br>"_L1;
    page += "<center>Invoice Number : "_L1 + record(invoice.invoiceNumber) + "</center>"_L1;
    page += "<p align=\"right\">"_L1 +
            DisplayFormat::dateWithPicture(invoice.invoiceDate, u"dd MMMM yyyy"_s, locale) + "</p>"_L1;
    page += "<b>From,</b>"_L1;
    page += "<blockquote>"_L1 + withBreaks(invoice.fromAddress) + "</blockquote>"_L1;
    page += "<b>To,</b>"_L1;
    page += "<blockquote>"_L1 + withBreaks(invoice.toAddress) + "</blockquote>"_L1;
    page += "Dear "_L1 + record(invoice.addressee) + ", "_L1;
    page += "<br>"_L1;
    page += u"&nbsp;"_s.repeated(19);
    page += "<b>Sub</b>: "_L1 + record(invoice.subject);
    page += "<p>Task : "_L1 + record(invoice.task) + "</p>"_L1;
    page += "<p>"_L1 + withBreaks(invoice.body) + "</p>"_L1;
    page += "<p>"_L1;
    page += R"(Net Amount : <b><font color="#0099FF">)"_L1;
    page += escape(currencySymbol(currency));
    page += HtmlText::fixed(invoice.netAmount, 0) + "</font></b>"_L1;
    page += R"(<br>Amount in words : <b><font color="#0099FF">)"_L1;
    page += record(invoice.amountInWords);
    page += escape(currencyName(currency)) + " ONLY"_L1;
    page += "</font></b></p>"_L1;
    page += "<p>For "_L1 + escape(firstLine(displayText(invoice.fromAddress))) + " </p>"_L1;
    page += "<p>"_L1;
    if (!invoice.signatureImage.isEmpty()) {
        const QString path = displayText(invoice.signatureImage);
        if (showLinks || forPrint)
            page += "<img src=\""_L1 + escape(path);
        else
            page += R"(<img src="Images\)"_L1 + escape(imageFileName(path));
        page += R"(" width="84" height="42">)"_L1;
    }
    page += "</p>"_L1;
    page += "<p>("_L1 + record(invoice.signatory) + ")</p>"_L1;
    page += "<p>Authorized Signatory</p>"_L1;
    page += "</font>"_L1;
    page += "</body>"_L1;
    page += "</html>"_L1;
    return page;
}

PageResult InvoiceReport::write(const RecordStore& store, const QByteArray& invoiceIdentifier,
                                const QLocale& locale)
{
    return PageWriter::write(PageFile::Invoice, letter(store, invoiceIdentifier, true, false, locale));
}

PageResult InvoiceReport::writeForPrint(const RecordStore& store, const QByteArray& invoiceIdentifier,
                                        const QLocale& locale)
{
    return PageWriter::write(PageFile::InvoiceTemp, letter(store, invoiceIdentifier, false, true, locale));
}

QString InvoiceReport::currencySymbol(const QString& currencyText)
{
    const qsizetype dash = currencyText.indexOf(u'-');
    return dash < 0 ? QString() : currencyText.left(dash);
}

QString InvoiceReport::currencyName(const QString& currencyText)
{
    const qsizetype dash = currencyText.indexOf(u'-');
    return dash < 0 ? currencyText : currencyText.mid(dash + 1);
}

QString InvoiceReport::firstLine(const QString& fromAddress)
{
    const qsizetype lineFeed = fromAddress.indexOf(u'\n');
    if (lineFeed < 1)
        return fromAddress;
    QString line = fromAddress.left(lineFeed);
    // Addresses typed on Windows end their lines with a carriage return; one typed here does not,
    // and then the name's last letter must stay.
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

QString InvoiceReport::imageFileName(const QString& path)
{
    const qsizetype separator = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(separator + 1);
}

} // namespace korvane
