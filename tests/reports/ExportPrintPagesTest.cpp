#include "ReportFixture.h"

#include "reports/HtmlExport.h"
#include "reports/PrintReport.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

/**
 * The export page and the print page of records whose texts carry "&", "<", ">" and '"', with the
 * list rules at their edges. The expected pages were written out from the page descriptions
 * piece by piece, not taken from the generators' output.
 */
class ExportPrintPagesTest : public ReportFixture
{
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();

        project("P7", "Dock & <Yard>", "C7");
        m_project.endUser = "Port \"A\"";
        m_project.currency = "<b>";
        storeProject();
        // R404 does not exist and R2 lacks the line feed that would make it an entry.
        client("C7", "Marine <Ltd>", "Ann & Bo", "R1\nR404\nR2");
        resource("R1", "Maya & Co", "Lead <dev>", "555\"1", "555-2");
        resource("R2", "Jon", "Diver");
        // Added in the reverse of their enumeration order (T71 sits in an earlier bucket).
        task("T72", "P7", "Paint", 9, "R2", at(2007, 8, 1), at(2007, 8, 2));
        task("T71", "P7", "Fix <hull>", TaskRecord::Medium, "R1\nR404\n", at(2007, 7, 9), at(2007, 7, 20));
        meeting("M71", "P7", "Talk & walk", "Bob\nCarol <c>\n", at(2007, 7, 4, 10), at(2007, 7, 5, 12));
        agenda("M71", {{"Plan &", at(2007, 7, 4, 10)}});
        actions("M71", {{"Do <y>", at(2007, 7, 6), "\"Bo\"", 0}});
        money("F72", "P7", "Rent & co", MoneyFlowRecord::Expense, 250.5, at(2007, 7, 10));
        money("F71", "P7", "Fee <1>", MoneyFlowRecord::Income, 100.0, at(2007, 7, 5));

        // A client that does not exist, no end date, income only.
        project("P8", "Only income", "C404");
        m_project.endDate = DateTime::null();
        storeProject();
        money("F81", "P8", "Gift", MoneyFlowRecord::Income, 12.345, at(2007, 9, 3));
    }
};

TEST_F(ExportPrintPagesTest, ExportPageEscapesRecordTextsAndTakesOnlyEndedListEntries)
{
    expectPage(HtmlExport::projectText(m_store, "P7", usEnglish()), QStringLiteral("export-escaped/Page.html"));
}

TEST_F(ExportPrintPagesTest, PrintPageWithEveryModuleForTwoProjects)
{
    expectPage(PrintReport::page(m_store, {"P7", "P8"}, 11110, usEnglish()),
               QStringLiteral("print-escaped/Print.html"));
}

} // namespace
