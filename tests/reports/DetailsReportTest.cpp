#include "ReportFixture.h"

#include "reports/DetailsReport.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

class DetailsReportTest : public ReportFixture
{
protected:
    QString details(const QByteArray& project = "P1")
    {
        return DetailsReport::generate(m_store, project, usEnglish());
    }
};

TEST_F(DetailsReportTest, FullProjectMatchesExpectedPage)
{
    // Among much else: a task without resources leaves its item open but still closes its list.
    fillFullProject();
    expectPage(details(), QStringLiteral("details-full/Details.html"));
}

TEST_F(DetailsReportTest, EmptyProjectShowsEveryNoneTextAndAZeroProfit)
{
    project("P1", "Bare");
    storeProject();
    expectPage(details(), QStringLiteral("details-empty/Details.html"));
}

TEST_F(DetailsReportTest, SubTasksAreListedAndTaskAndAttendeeListsFollowTheLineFeedRule)
{
    project("P1", "Lists");
    storeProject();
    resource("R1", "Maya Ortiz", "Surveyor");
    // An unknown resource ahead of a known one still leaves its ", ".
    task("T1", "P1", "Parent", TaskRecord::High, "R9\nR1\n", at(2007, 7, 9), at(2007, 8, 17));
    TaskRecord child = m_store.GetTask("T1");
    child.identifier = "T2";
    child.kind = TaskRecord::kSubTask;
    child.name = "Child";
    child.resources = "R1"; // no closing line feed: no resources at all
    ASSERT_EQ(m_store.ModifyTask(child), QString());
    meeting("M1", "P1", "Unended", "Ann\nBob", at(2007, 7, 4), at(2007, 7, 4));
    meeting("M2", "P1", "Blank entry", "\n", at(2007, 7, 5), at(2007, 7, 5));

    const QString page = details();
    EXPECT_TRUE(page.contains(QStringLiteral("> Parent</font></b>( <font color=#008000>7/9/07</font> - <font "
                                             "color=#800000 size=3>8/17/07</font> )<font size=3><ul><li><img "
                                             "src = Images\\Lead.bmp><i> Resources </i>:, Maya "
                                             "Ortiz</li></ul></font></li></ul>")));
    EXPECT_TRUE(page.contains(QStringLiteral("> Child</font></b>( <font color=#008000>7/9/07</font> - <font "
                                             "color=#800000 size=3>8/17/07</font> )</ul>")));
    EXPECT_TRUE(page.contains(QStringLiteral("> Attendees<ul><li>Ann</li></ul></li></ul></li>")));
    EXPECT_FALSE(page.contains(QStringLiteral("Bob")));
    EXPECT_TRUE(page.contains(QStringLiteral("> Attendees<ul><li></li></ul></li></ul></li>")));
}

TEST_F(DetailsReportTest, BalanceLineShowsLossWithoutSignAndEqualTotalsAsProfit)
{
    project("P1", "Money");
    storeProject();
    money("F1", "P1", "In", MoneyFlowRecord::Income, 100.0, at(2007, 7, 5));
    money("F2", "P1", "Out", MoneyFlowRecord::Expense, 1334.5, at(2007, 7, 6));
    EXPECT_TRUE(details().contains(QStringLiteral(">Loss: : $1,234.50</td>")));

    money("F2", "P1", "Out", MoneyFlowRecord::Expense, 100.0, at(2007, 7, 6));
    EXPECT_TRUE(details().contains(QStringLiteral(">Profit: : $0.00</td>")));
}

TEST_F(DetailsReportTest, RecordTextsShowAsTextNeverAsMarkup)
{
    project("P1", "<script>alert(\"x\")</script>", "C1");
    storeProject();
    client("C1", "Smith & Sons", "A<B>", "");
    const QString page = details();
    EXPECT_FALSE(page.contains(QStringLiteral("<script>")));
    EXPECT_TRUE(page.contains(QStringLiteral("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;</font>")));
    EXPECT_TRUE(page.contains(QStringLiteral("Smith &amp; Sons<br>A&lt;B&gt;</font>")));
}

TEST_F(DetailsReportTest, ListFilesThatCannotBeReadShowTheirOwnTexts)
{
    project("P1", "Lists");
    storeProject();
    meeting("M1", "P1", "Meet", "", at(2007, 7, 4), at(2007, 7, 4));
    auto agendaAndActions = [&] {
        const QString page = details();
        const qsizetype agenda = page.indexOf(QStringLiteral(" Agenda </font>"));
        const qsizetype attendees = page.indexOf(QStringLiteral(" Attendees<ul>"));
        return page.mid(agenda, attendees - agenda);
    };

    // No files at all.
    EXPECT_EQ(agendaAndActions(),
              QStringLiteral(
                  " Agenda </font><ul> <li>No Agenda Assigned</li></ul></li><li><font color=#111111>"
                  "<img src = Images\\Action.bmp> Action</font><ul><li>No Actions Assigned</li></ul></li>"
                  "<li><img src = Images\\Lead1.bmp>"));

    // Files that promise more items than they hold are not trusted either.
    listFileBytes(ListFile::Agenda, "M1", QByteArray("\x02\x00\x00\x00\x01X", 6));
    listFileBytes(ListFile::Action, "M1", QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_TRUE(agendaAndActions().contains(QStringLiteral("<ul> <li>No Agenda Assigned</li>")));
    EXPECT_TRUE(agendaAndActions().contains(QStringLiteral("<li>No Actions Assigned</li>")));

    // Files with no items.
    agenda("M1", {});
    actions("M1", {});
    EXPECT_EQ(
        agendaAndActions(),
        QStringLiteral(" Agenda </font><ul><li>No Agenda Assigned</li></ul></li><li><font color=#111111>"
                       "<img src = Images\\Action.bmp> Action</font><ul><li>No Action Assigned</li></ul></li>"
                       "<li><img src = Images\\Lead1.bmp>"));
}

TEST_F(DetailsReportTest, WriteReplacesDetailsPageAndPlacesTheImages)
{
    project("P1", "Caf\xC3\xA9");
    storeProject();
    const QString path = m_program.filePath(QStringLiteral("Details.html"));
    ASSERT_EQ(SafeFile::write(path, QByteArray(100000, 'x')), QString());

    const PageResult result = DetailsReport::write(m_store, "P1", usEnglish());
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.path, path);
    EXPECT_EQ(fileBytes(path), DetailsReport::generate(m_store, "P1", usEnglish()).toUtf8());
    EXPECT_TRUE(fileBytes(path).contains("Caf\xC3\xA9</font>"));
    EXPECT_TRUE(QFile::exists(m_program.filePath(QStringLiteral("Images/Project.bmp"))));
}

} // namespace
