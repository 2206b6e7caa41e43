#include "ViewsFixture.h"

#include "views/ProgressGraphModel.h"

using namespace korvane;
using korvane::test::ViewsFixture;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

DateTime day(int year, int month, int d)
{
    return DateTime::fromDate(QDate(year, month, d));
}

TEST(GraphAxis, ScaleLabelsAndCaptionFollowTheProjectDates)
{
    const struct
    {
        DateTime start, end;
        int mode, part;
        DateTime axisStart, axisEnd;
        const char* labels;
        const char* caption;
    } cases[] = {
        // Days within one month.
        {day(2007, 3, 1), day(2007, 3, 20), 0, 5, day(2007, 3, 1), day(2007, 3, 20), "01 06 11 16 21",
         "March"},
        // Days across months: 69 days make parts of 18, and the end moves to the start + 72 days.
        {day(2007, 1, 10), day(2007, 3, 20), 3, 18, day(2007, 1, 10), day(2007, 3, 23),
         "10 Jan|28 Jan|15 Feb|05 Mar|23 Mar", "2007"},
        {day(2007, 2, 28), day(2007, 3, 2), 3, 1, day(2007, 2, 28), day(2007, 3, 4),
         "28 Feb|01 Mar|02 Mar|03 Mar|04 Mar", "2007"},
        {day(2007, 11, 1), day(2007, 12, 31), 3, 16, day(2007, 11, 1), day(2008, 1, 4),
         "01 Nov|17 Nov|03 Dec|19 Dec|04 Jan", "2007 - 2008"},
        // Years.
        {day(2004, 6, 15), day(2010, 3, 1), 2, 2, day(2004, 1, 1), day(2012, 1, 31),
         "2004 2006 2008 2010 2012", "2004 - 2012"},
        // Months within a year.
        {day(2007, 1, 15), day(2007, 8, 10), 1, 2, day(2007, 1, 1), day(2007, 8, 31), "Jan Mar May Jul Sep",
         "2007"},
        // Months running into the next year.
        {day(2007, 6, 10), day(2007, 12, 5), 4, 2, day(2007, 6, 1), day(2007, 8, 31),
         "Jun 07|Aug 07|Oct 07|Dec 07|Feb 08", "2007 - 2008"},
        {day(2007, 3, 5), day(2007, 11, 1), 4, 3, day(2007, 3, 1), day(2007, 12, 31),
         "Mar 07|Jun 07|Sep 07|Dec 07|Mar 08", "2007 - 2008"},
        {day(2006, 11, 20), day(2007, 2, 10), 4, 1, day(2006, 11, 1), day(2007, 4, 30),
         "Nov 06|Dec 06|Jan 07|Feb 07|Mar 07", "2006 - 2007"},
        {day(2008, 2, 29), day(2008, 9, 1), 1, 2, day(2008, 2, 1), day(2008, 8, 31), "Feb Apr Jun Aug Oct",
         "2008"},
        // Ends before the start: parts of no length or running backwards.
        {day(2007, 3, 20), day(2007, 3, 16), 0, 0, day(2007, 3, 20), day(2007, 3, 16), "20 20 20 20 20",
         "March"},
        {day(2007, 3, 20), day(2007, 3, 4), 0, -3, day(2007, 3, 20), day(2007, 3, 4), "20 17 14 11 08",
         "March"},
        {day(2010, 1, 1), day(2004, 1, 1), 2, 0, day(2010, 1, 1), day(2010, 1, 31),
         "2010 2010 2010 2010 2010", "January"},
        {day(2007, 10, 1), day(2007, 2, 1), 1, -1, day(2007, 10, 1), day(2007, 8, 31), "Oct Sep Aug Jul Jun",
         "2007"},
        {day(2008, 3, 1), day(2007, 1, 1), 4, -2, day(2008, 3, 1), day(2007, 4, 30),
         "Mar 08|Jan 08|Nov 07|Sep 07|Jul 07", "2008 - 2007"},
    };
    for (const auto& c : cases) {
        const std::string name = DisplayFormat::dateWithPicture(c.start, "yyyy-MM-dd").toStdString() +
                                 " .. " + DisplayFormat::dateWithPicture(c.end, "yyyy-MM-dd").toStdString();
        const GraphAxis axis = GraphAxis::forDates(c.start, c.end);
        EXPECT_EQ(axis.mode, c.mode) << name;
        EXPECT_EQ(axis.part, c.part) << name;
        EXPECT_EQ(axis.start, c.axisStart) << name;
        EXPECT_EQ(axis.end, c.axisEnd) << name;
        const QString labels = axis.labelTexts(kEnglish).join(
            QString::fromLatin1(QByteArray(c.labels).contains('|') ? "|" : " "));
        EXPECT_EQ(labels.toStdString(), c.labels) << name;
        EXPECT_EQ(axis.caption(kEnglish).toStdString(), c.caption) << name;

        // The time line runs from the start (x0) to the last label (x4); without length all of it is at x0.
        const DateTime last = axis.labelDates()[4];
        EXPECT_EQ(axis.xFor(axis.start, 10, 210), 10) << name;
        EXPECT_EQ(axis.xFor(last, 10, 210), c.part == 0 ? 10 : 210) << name;
        EXPECT_EQ(axis.xFor(c.end, 10, 210) == 10, c.part == 0 || c.end == axis.start) << name;
        EXPECT_FALSE(axis.covers(last)) << name;
    }
}

TEST(GraphAxis, PlacesMomentsOnTheTimeLine)
{
    const GraphAxis axis = GraphAxis::forDates(day(2007, 3, 1), day(2007, 3, 20)); // 1 to 21 March
    EXPECT_EQ(axis.xFor(day(2007, 3, 11), 0, 200), 100);
    EXPECT_EQ(axis.xFor(DateTime::fromQDateTime(QDateTime(QDate(2007, 3, 1), QTime(12, 0))), 0, 200), 5);
    EXPECT_EQ(axis.xFor(day(2007, 2, 19), 0, 200), -100);
    EXPECT_TRUE(axis.covers(day(2007, 3, 1)));
    EXPECT_TRUE(axis.covers(day(2007, 3, 20)));
    EXPECT_FALSE(axis.covers(day(2007, 3, 21)));
    EXPECT_FALSE(axis.covers(day(2007, 2, 28)));
}

class ProgressGraphModelTest : public ViewsFixture
{
};

TEST_F(ProgressGraphModelTest, RowsWeightedCompletionAndLeads)
{
    ClientRecord client = emptyRecord<ClientRecord>();
    client.contactPerson = "Mr. Lee";
    const QByteArray clientId = added(m_store.AddClient(client));
    const QByteArray project = addProject("Bridge", day(2007, 3, 1), day(2007, 3, 20), "Rs.", clientId);
    const QByteArray ann = addResource("Ann");
    const QByteArray alpha =
        addTask(project, "Alpha", day(2007, 3, 5), TaskRecord::High, 100, ann + "\nBob\n");
    const QByteArray beta = addTask(project, "Beta", day(2007, 3, 2), TaskRecord::Low, 0, ann);
    const QByteArray gamma = addTask(project, "Gamma", day(2007, 3, 8), 7, 40, "unknown\n");
    addTask(addProject("Other", day(2007, 3, 1), day(2007, 3, 2)), "Elsewhere", day(2007, 3, 1));

    ProgressGraphModel graph;
    graph.fill(m_store, project);
    const struct
    {
        std::int32_t kind;
        QByteArray id;
        const char* lead;
        const char* name;
        std::int32_t priority, completion;
    } expected[] = {
        {GraphRow::Header, {}, "", "", 4, 0},        {GraphRow::Project, project, "Mr. Lee", "Bridge", 4, 75},
        {GraphRow::Task, beta, "", "Beta", 2, 0},    {GraphRow::Task, alpha, "Ann", "Alpha", 0, 100},
        {GraphRow::Task, gamma, "", "Gamma", 7, 40}, {GraphRow::Legend, {}, "", "", 4, 0},
    };
    ASSERT_EQ(graph.rows().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const GraphRow& row = graph.rows()[i];
        EXPECT_EQ(row.kind, expected[i].kind) << i;
        EXPECT_EQ(row.id, expected[i].id) << i;
        EXPECT_EQ(row.lead, expected[i].lead) << i;
        EXPECT_EQ(row.name, expected[i].name) << i;
        EXPECT_EQ(row.priority, expected[i].priority) << i;
        EXPECT_EQ(row.completion, expected[i].completion) << i;
    }
    EXPECT_EQ(graph.rows()[0].start, day(2007, 3, 1));
    EXPECT_EQ(graph.rows()[0].end, day(2007, 3, 20));
    EXPECT_EQ(graph.axis().part, 5);

    graph.fill(m_store, "unknown");
    EXPECT_TRUE(graph.rows().empty());

    EXPECT_EQ(
        ProgressGraphModel::taskCaption(m_store, alpha, kEnglish),
        QStringLiteral("Alpha( %1 - %1 )").arg(kEnglish.toString(QDate(2007, 3, 5), QLocale::ShortFormat)));
    EXPECT_EQ(ProgressGraphModel::taskCaption(m_store, "unknown"), QString());
    EXPECT_EQ(ProgressGraphModel::taskCaption(m_store, {}), QString());
}

TEST_F(ProgressGraphModelTest, StatusComparesTheEndWithTheClock)
{
    const DateTime now = DateTime::now(); // the fixture's fixed moment
    const DateTime later = DateTime::fromQDateTime(Clock::now().addSecs(60));
    const DateTime earlier = DateTime::fromQDateTime(Clock::now().addSecs(-60));
    const struct
    {
        std::int32_t kind, completion;
        DateTime end;
        GraphStatus status;
    } cases[] = {
        {GraphRow::Task, 100, later, GraphStatus::Completed}, // done before its end
        {GraphRow::Project, 100, later, GraphStatus::Ahead},  // the project is only ahead
        {GraphRow::Project, 100, earlier, GraphStatus::Completed},
        {GraphRow::Task, 50, now, GraphStatus::Behind}, // ending this very moment is not later
        {GraphRow::Project, 50, now, GraphStatus::Behind},
        {GraphRow::Task, 50, later, GraphStatus::Ahead},
        {GraphRow::Task, 120, earlier, GraphStatus::Behind}, // over 100 is not complete
        {GraphRow::Task, 100, now, GraphStatus::Completed},
        {GraphRow::Header, 100, later, GraphStatus::None},
        {GraphRow::Legend, 0, earlier, GraphStatus::None},
    };
    for (const auto& c : cases) {
        GraphRow row;
        row.kind = c.kind;
        row.completion = c.completion;
        row.end = c.end;
        EXPECT_EQ(ProgressGraphModel::status(row, DateTime::now()), c.status)
            << "kind " << c.kind << ", " << c.completion << "%";
    }
    EXPECT_EQ(ProgressGraphModel::statusText(GraphStatus::Behind), "BEHIND");
    EXPECT_EQ(ProgressGraphModel::statusText(GraphStatus::Ahead), "AHEAD");
    EXPECT_EQ(ProgressGraphModel::statusText(GraphStatus::Completed), "COMPLETED");
    EXPECT_EQ(ProgressGraphModel::statusText(GraphStatus::None), "");
}

TEST(ProgressGraphModel, LongNamesShowTheirFirstFifteenCharacters)
{
    EXPECT_EQ(ProgressGraphModel::shownName("12345678901234567890"), "12345678901234567890");
    EXPECT_EQ(ProgressGraphModel::shownName("123456789012345678901"), "123456789012345...");
    EXPECT_EQ(ProgressGraphModel::shownName(""), "");
}

} // namespace
