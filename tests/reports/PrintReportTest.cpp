#include "ReportFixture.h"

#include "reports/PrintReport.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

using Module = PrintReport::Module;

class PrintReportTest : public ReportFixture
{
protected:
    QString print(int modules, const QList<QByteArray>& projects = {"P1"})
    {
        return PrintReport::page(m_store, projects, modules, usEnglish());
    }
};

TEST_F(PrintReportTest, ModuleNumberHasOneDigitPerModule)
{
    EXPECT_EQ(PrintReport::moduleNumber({}), 0);
    EXPECT_EQ(PrintReport::moduleNumber({Module::Leaders}), 10);
    EXPECT_EQ(PrintReport::moduleNumber({Module::PaymentTrack, Module::Task}), 10100);
    EXPECT_EQ(
        PrintReport::moduleNumber({Module::Leaders, Module::Task, Module::Meeting, Module::PaymentTrack}),
        11110);
    // Naming a module twice still counts it once; otherwise its digit would read 2 and drop it.
    EXPECT_EQ(PrintReport::moduleNumber({Module::Meeting, Module::Meeting}), 1000);

    const struct
    {
        int number;
        bool leaders, task, meeting, payment;
    } cases[] = {
        {0, false, false, false, false},   {11110, true, true, true, true},
        {10, true, false, false, false},   {20, false, false, false, false},
        {1010, true, false, true, false},  {110000, false, false, false, true},
        {21100, false, true, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintReport::includes(c.number, Module::Leaders), c.leaders) << c.number;
        EXPECT_EQ(PrintReport::includes(c.number, Module::Task), c.task) << c.number;
        EXPECT_EQ(PrintReport::includes(c.number, Module::Meeting), c.meeting) << c.number;
        EXPECT_EQ(PrintReport::includes(c.number, Module::PaymentTrack), c.payment) << c.number;
    }
}

TEST_F(PrintReportTest, EachModuleAloneMatchesExpectedPage)
{
    fillFullProject();
    expectPage(print(PrintReport::moduleNumber({Module::Leaders})),
               QStringLiteral("print-leaders/Print.html"));
    expectPage(print(PrintReport::moduleNumber({Module::Task})), QStringLiteral("print-task/Print.html"));
    expectPage(print(PrintReport::moduleNumber({Module::Meeting})),
               QStringLiteral("print-meeting/Print.html"));
    expectPage(print(PrintReport::moduleNumber({Module::PaymentTrack})),
               QStringLiteral("print-payment/Print.html"));
}

TEST_F(PrintReportTest, EmptyProjectHasNoIncomeAndAZeroProfit)
{
    project("P1", "Bare");
    storeProject();
    // The other modules' texts for a project without entries are in the page of ExportPrintPagesTest.
    const QString page = print(11110);
    EXPECT_TRUE(page.contains(QStringLiteral("<ol  type='1'>\n<center>No Income</center>\n</ol></td>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<font size=2 ><b>Profit: : $0.00</b>\n</td></tr></table>")));
}

TEST_F(PrintReportTest, ProjectsFollowOneAnotherAndUnknownOnesSayNoProject)
{
    project("P1", "First");
    storeProject();
    project("P2", "Second");
    storeProject();
    const QString page = print(0, {"P2", "P404", "P1"});
    EXPECT_LT(page.indexOf(QStringLiteral(">Second</font>")), page.indexOf(QStringLiteral(">First</font>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<hr color=#000000 size=8><html><body><center>No Project Is "
                                             "Selected</center></body></html>\n<center>")));
    EXPECT_EQ(print(0, {}), QStringLiteral("<html><body>\n</body></html>"));
}

} // namespace
