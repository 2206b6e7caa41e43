#include "ViewsFixture.h"

#include "views/ProjectListModel.h"

using namespace korvane;
using korvane::test::ViewsFixture;

namespace {

TEST(ProjectListModelRange, BothEndsIncludedByYearAndMonthOnly)
{
    const struct
    {
        QDate start, from, to;
        bool listed;
    } cases[] = {
        {{2007, 1, 31}, {2007, 1, 1}, {2007, 1, 1}, true},   // last day of the only month
        {{2007, 1, 31}, {2007, 2, 1}, {2007, 3, 1}, false},  // before the range
        {{2007, 3, 31}, {2007, 2, 15}, {2007, 3, 15}, true}, // the days of the pickers do not count
        {{2007, 2, 1}, {2007, 3, 1}, {2007, 1, 1}, false},   // "from" after "to": nothing is listed
        {{2007, 3, 1}, {2007, 3, 1}, {2007, 1, 1}, false},
        {{2006, 11, 5}, {2006, 10, 1}, {2007, 2, 1}, true}, // across a year end
        {{2007, 2, 28}, {2006, 10, 1}, {2007, 2, 1}, true},
        {{2007, 3, 1}, {2006, 10, 1}, {2007, 2, 1}, false},
        {{2006, 9, 30}, {2006, 10, 1}, {2007, 2, 1}, false},
        {{2006, 1, 1}, {2005, 11, 1}, {2007, 2, 1}, true}, // a middle year takes every month
        {{2006, 12, 1}, {2005, 11, 1}, {2007, 2, 1}, true},
        {{2008, 1, 1}, {2005, 11, 1}, {2007, 2, 1}, false},
        {{}, {2007, 1, 1}, {2007, 12, 1}, false}, // no start date
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProjectListModel::inMonthRange(c.start, c.from, c.to), c.listed)
            << c.start.toString(Qt::ISODate).toStdString() << " in "
            << c.from.toString(Qt::ISODate).toStdString() << " .. "
            << c.to.toString(Qt::ISODate).toStdString();
    }
}

class ProjectListModelTest : public ViewsFixture
{
};

TEST_F(ProjectListModelTest, FillsTheRangeAndSortsByStartBelowTheCaption)
{
    const QByteArray late = addProject("Late", at(2007, 3, 20), at(2007, 4, 1));
    const QByteArray early = addProject("Early", at(2007, 2, 1), at(2007, 4, 1));
    addProject("Outside", at(2007, 4, 1), at(2007, 5, 1));
    // Three projects starting at the same moment: they keep the order of the project map.
    QList<QByteArray> sameDay;
    for (const char* name : {"Same A", "Same B", "Same C"})
        sameDay.append(addProject(name, at(2007, 3, 1, 9), at(2007, 4, 1)));
    QList<QByteArray> mapOrder;
    for (const auto& entry : m_store.projects()) {
        if (sameDay.contains(entry.key))
            mapOrder.append(entry.key);
    }

    addTask(early, "High done", at(2007, 2, 1), TaskRecord::High, 100);
    addTask(early, "Low open", at(2007, 2, 1), TaskRecord::Low, 0);
    addTask(early, "Odd priority", at(2007, 2, 1), 7, 100);
    addTask(early, "Sub", at(2007, 2, 1), TaskRecord::Medium, 30, {}, TaskRecord::kSubTask);

    ProjectListModel list;
    list.fill(m_store, QDate(2007, 2, 1), QDate(2007, 3, 1));
    list.sort();
    QList<QByteArray> ids;
    for (const ProjectListRow& row : list.rows())
        ids.append(row.isCaption() ? QByteArray("caption") : row.project->identifier);
    EXPECT_EQ(ids, (QList<QByteArray>{"caption", early} + mapOrder + QList<QByteArray>{late}));
    EXPECT_EQ(list.rows()[1].text, "Early");
    // (3 x 100 + 1 x 0 + 2 x 30) / 6: the sub task counts, the unknown priority does not.
    EXPECT_EQ(list.rows()[1].progress, 60);
    EXPECT_EQ(list.rows().back().progress, 0);
    EXPECT_EQ(list.projectAt(0), nullptr);
    ASSERT_NE(list.projectAt(1), nullptr);
    EXPECT_EQ(list.projectAt(1)->identifier, early);

    list.fill(m_store, QDate(2007, 3, 1), QDate(2007, 3, 1), true);
    list.sort();
    ASSERT_EQ(list.rows().size(), 4u);
    EXPECT_FALSE(list.rows().front().isCaption());
    EXPECT_EQ(list.rows().back().project->identifier, late);

    list.fill(m_store, QDate(2007, 3, 1), QDate(2007, 2, 1));
    EXPECT_EQ(list.rows().size(), 1u); // only the caption
}

TEST_F(ProjectListModelTest, SortFollowsTheCalendarBefore1900)
{
    // 29 December 1899: -1.25 is 06:00 and -1.5 is noon; the stored value alone would put noon first.
    addProject("Noon", DateTime{DateTime::Valid, -1.5}, at(2007, 1, 1));
    addProject("Six", DateTime{DateTime::Valid, -1.25}, at(2007, 1, 1));
    addProject("Before", DateTime{DateTime::Valid, -2.0}, at(2007, 1, 1));
    ProjectListModel list;
    list.fill(m_store, QDate(1899, 12, 1), QDate(1899, 12, 1), true);
    list.sort();
    std::string names;
    for (const ProjectListRow& row : list.rows())
        names += row.text.toStdString() + ' ';
    EXPECT_EQ(names, "Before Six Noon ");
}

} // namespace
