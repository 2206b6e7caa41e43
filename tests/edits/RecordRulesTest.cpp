#include "edits/InvoiceRules.h"
#include "edits/RecordDefaults.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

TEST(RecordRulesTest, EmptyFieldsTakeTheirDefaultsAndFilledOnesStay)
{
    ProjectRecord project;
    project.projectCode = "P-7";
    RecordDefaults::fill(project);
    EXPECT_EQ(project.name, "Untitled");
    EXPECT_EQ(project.projectCode, "P-7");

    MeetingRecord meeting;
    meeting.place = " ";
    RecordDefaults::fill(meeting);
    EXPECT_EQ(meeting.subject, "Untitled");
    EXPECT_EQ(meeting.place, " ") << "a blank is a text, as it always was";

    ClientRecord client;
    RecordDefaults::fill(client);
    EXPECT_EQ(client.clientName, "Unknown");
    TaskRecord task;
    RecordDefaults::fill(task);
    EXPECT_EQ(task.name, "Unknown");
    EXPECT_EQ(task.taskCode, "***");

    EXPECT_EQ(RecordDefaults::taskName("  "), "UnTitled");
    EXPECT_EQ(RecordDefaults::taskName(" Survey "), "Survey");
}

TEST(RecordRulesTest, TheAddresseeSplitsAtItsFirstPointAndJoinsTrimmed)
{
    const auto split = InvoiceRules::splitAddressee("Dr. Jane Q. Public");
    EXPECT_EQ(split.salutation, "Dr.");
    EXPECT_EQ(split.name, " Jane Q. Public");
    EXPECT_EQ(InvoiceRules::splitAddressee("Jane").salutation, "");
    EXPECT_EQ(InvoiceRules::splitAddressee("Jane").name, "Jane");
    EXPECT_EQ(InvoiceRules::joinAddressee("Mrs . ", " Dupont "), "Mrs .Dupont");
    EXPECT_EQ(InvoiceRules::joinAddressee(" ", ""), "Unknown");
    EXPECT_EQ(InvoiceRules::joinAddressee("", "Zoë"), QByteArray("Zo\xc3\xab"));
}

TEST(RecordRulesTest, CurrencyTextNeedsAHyphenBeforeItsEnd)
{
    EXPECT_EQ(InvoiceRules::cleanCurrencyText(" EUR - EURO "), "EUR - EURO");
    EXPECT_EQ(InvoiceRules::cleanCurrencyText("-EURO"), "-EURO");
    EXPECT_EQ(InvoiceRules::cleanCurrencyText("EURO-"), "$-US DOLLAR");
    EXPECT_EQ(InvoiceRules::cleanCurrencyText("EURO"), "$-US DOLLAR");
    EXPECT_EQ(InvoiceRules::cleanCurrencyText(""), "$-US DOLLAR");
}

TEST(RecordRulesTest, AnInvoiceSaysItsNetAmountInWords)
{
    InvoiceRecord invoice = InvoiceRules::newInvoice("P");
    EXPECT_EQ(invoice.projectIdentifier, "P");
    EXPECT_EQ(invoice.addressee, "Mr.");
    EXPECT_EQ(invoice.currencyText, "$ - US DOLLAR");
    invoice.amount = 1000;
    invoice.taxPercentage = 12.5;
    invoice.netAmount = InvoiceRules::netAmount(invoice.amount, invoice.taxPercentage);
    EXPECT_DOUBLE_EQ(invoice.netAmount, 875.0);
    EXPECT_DOUBLE_EQ(InvoiceRules::netAmount(200, 150), -100.0) << "a tax above 100 % is taken as it is";
    InvoiceRules::finish(invoice);
    EXPECT_TRUE(invoice.amountInWords.contains("Eight  Hundred  and  Seventy  Five"))
        << invoice.amountInWords.toStdString();
    invoice.netAmount = 2;
    InvoiceRules::finish(invoice);
    EXPECT_FALSE(invoice.amountInWords.contains("Eight")) << "the words follow the final net amount";
}

} // namespace
