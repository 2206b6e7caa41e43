#include "ReportFixture.h"

#include "reports/InvoiceList.h"
#include "reports/InvoiceReport.h"
#include "reports/MailDraft.h"

#include <QUrl>
#include <QUrlQuery>

using namespace korvane;
using namespace korvane::testing;

namespace {

class InvoiceReportTest : public ReportFixture
{
protected:
    InvoiceRecord invoice(const QByteArray& id, const QByteArray& project = "P1")
    {
        InvoiceRecord record = blank<InvoiceRecord>();
        record.identifier = id;
        record.projectIdentifier = project;
        record.task = "Sound the channel";
        record.invoiceNumber = "INV-0042";
        record.invoiceDate = at(2007, 9, 14);
        record.addressee = "Ms .Ann Lee";
        record.signatory = "Maya Ortiz";
        record.signatureImage = "/home/maya/Signatures/maya.bmp";
        record.subject = "Survey & soundings";
        record.toAddress = "Tidewater & Sons\r\n12 <Quay> Road\r\nPortsmouth";
        record.fromAddress = "Ortiz Marine\r\n3 Dock Lane";
        record.body = "Soundings of the channel.\r\nCharts <draft> enclosed.";
        record.netAmount = 2500.5;
        record.amountInWords = "TWO THOUSAND FIVE HUNDRED ";
        record.currencyText = "$-US DOLLAR";
        record.company = "Ortiz Marine Surveys";
        return record;
    }
    void storeInvoice(const InvoiceRecord& record) { EXPECT_EQ(m_store.ModifyInvoice(record), QString()); }

    QString letter(const QByteArray& id, bool links = false, bool forPrint = false)
    {
        return InvoiceReport::letter(m_store, id, links, forPrint, usEnglish());
    }
};

TEST_F(InvoiceReportTest, LetterMatchesExpectedPageForEveryFlagCombination)
{
    storeInvoice(invoice("I1"));
    expectPage(letter("I1", false, false), QStringLiteral("invoice/export.html"));
    expectPage(letter("I1", true, false), QStringLiteral("invoice/shown.html"));
    expectPage(letter("I1", false, true), QStringLiteral("invoice/print.html"));
    expectPage(letter("I1", true, true), QStringLiteral("invoice/shown-print.html"));
}

TEST_F(InvoiceReportTest, CurrencyTextIsSplitAtItsFirstDash)
{
    const struct
    {
        const char* text;
        const char* symbol;
        const char* name;
    } cases[] = {
        {"$-US DOLLAR", "$", "US DOLLAR"},
        {"Rs.-INDIAN RUPEE-NEW", "Rs.", "INDIAN RUPEE-NEW"},
        {"EURO", "", "EURO"},
        {"-", "", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InvoiceReport::currencySymbol(QString::fromUtf8(c.text)), QString::fromUtf8(c.symbol))
            << c.text;
        EXPECT_EQ(InvoiceReport::currencyName(QString::fromUtf8(c.text)), QString::fromUtf8(c.name))
            << c.text;
    }

    InvoiceRecord record = invoice("I1");
    record.currencyText = "EURO";
    storeInvoice(record);
    const QString page = letter("I1");
    EXPECT_TRUE(page.contains(QStringLiteral("Net Amount : <b><font color=\"#0099FF\">2500</font></b>")));
    EXPECT_TRUE(page.contains(QStringLiteral("TWO THOUSAND FIVE HUNDRED EURO ONLY</font>")));
}

TEST_F(InvoiceReportTest, SenderIsTheFirstLineOfTheFromAddress)
{
    const struct
    {
        const char* address;
        const char* sender;
    } cases[] = {
        {"Ortiz Marine\r\n3 Dock Lane", "Ortiz Marine"},
        {"Ortiz Marine\n3 Dock Lane", "Ortiz Marine"}, // typed here: no carriage return to drop
        {"Ortiz Marine", "Ortiz Marine"},
        {"O\r\nx", "O"},
        {"\nSecond", "\nSecond"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InvoiceReport::firstLine(QString::fromUtf8(c.address)), QString::fromUtf8(c.sender))
            << c.address;

    InvoiceRecord record = invoice("I1");
    record.fromAddress = "A & B Marine";
    storeInvoice(record);
    EXPECT_TRUE(letter("I1").contains(QStringLiteral("<p>For A &amp; B Marine </p>")));
}

TEST_F(InvoiceReportTest, SignatureIsNamedByFullPathOnScreenAndByFileNameInTheExport)
{
    InvoiceRecord record = invoice("I1");
    record.signatureImage = "C:\\Sig\\maya \"1\".bmp";
    storeInvoice(record);
    const QString tail = QStringLiteral("\" width=\"84\" height=\"42\"></p>");
    // The printed letters name the full path as the shown one does: see the expected pages.
    EXPECT_TRUE(letter("I1", true, false)
                    .contains(QStringLiteral("<p><img src=\"C:\\Sig\\maya &quot;1&quot;.bmp") + tail));
    EXPECT_TRUE(letter("I1").contains(QStringLiteral("<p><img src=\"Images\\maya &quot;1&quot;.bmp") + tail));

    record.signatureImage.clear();
    storeInvoice(record);
    EXPECT_TRUE(letter("I1", true)
                    .contains(QStringLiteral("</font></b></p><p>For Ortiz Marine </p><p></p><p>(Maya")));
}

TEST_F(InvoiceReportTest, UnknownInvoiceGivesALetterWithEmptyFields)
{
    const QString page = letter("I404", true);
    EXPECT_TRUE(page.contains(
        QStringLiteral("<center>Invoice Number : </center><p align=\"right\">03 July 2007</p>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<p>For  </p><p></p><p>()</p>")));
}

TEST_F(InvoiceReportTest, InvoiceListShowsTheProjectsInvoicesInMapOrder)
{
    project("P1", "Harbour Survey");
    storeProject();
    // Added in the opposite of the map's order ("I1" hashes to an earlier bucket than "I2").
    InvoiceRecord second = invoice("I2");
    second.task = "Chart <wrecks>";
    second.invoiceNumber = "INV-0043";
    second.invoiceDate = at(2007, 10, 31);
    storeInvoice(second);
    storeInvoice(invoice("I1"));
    storeInvoice(invoice("I3", "P2"));
    expectPage(InvoiceList::generate(m_store, "P1", usEnglish()),
               QStringLiteral("invoice-list/InvoiceTemp.html"));

    EXPECT_EQ(
        InvoiceList::generate(m_store, "P9", usEnglish()),
        QStringLiteral("<html><body><br><center><b>Invoice Report</b></center><br><center><b>Project Name : "
                       "</b></center><br><ul></ul></body></html>"));
}

TEST_F(InvoiceReportTest, MailDraftCarriesSubjectAndBodyWhole)
{
    InvoiceRecord record = invoice("I1");
    record.subject = "Q3 & Q4? #1 = 100%";
    record.body = "Line one\r\nbody=cut&subject=forged \xE2\x82\xAC";
    const QByteArray url = MailDraft::url(record);
    EXPECT_EQ(url, QByteArray("mailto:?subject=Q3%20%26%20Q4%3F%20%231%20%3D%20100%25"
                              "&body=Line%20one%0D%0Abody%3Dcut%26subject%3Dforged%20%E2%82%AC"));

    // A mail program reading the link gets exactly the two fields back.
    const QUrlQuery query(QUrl::fromEncoded(url));
    EXPECT_EQ(query.queryItems(QUrl::FullyDecoded).size(), 2);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QString::fromUtf8(record.subject));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
              QString::fromUtf8(record.body));
}

} // namespace
