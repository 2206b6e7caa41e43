#include "records/DateTime.h"

#include <gtest/gtest.h>

using namespace korvane;

TEST(DateTimeConversion, DayNumbersFollowTheOleDateRules)
{
    struct Case
    {
        double days;
        QDateTime local;
    };
    const Case cases[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {39266.5, QDateTime(QDate(2007, 7, 3), QTime(12, 0))},
        {39266.586909722224, QDateTime(QDate(2007, 7, 3), QTime(14, 5, 9))},
        // Before the epoch the whole part counts back while the time still counts forward.
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {-2.75, QDateTime(QDate(1899, 12, 28), QTime(18, 0))},
    };
    for (const Case& c : cases) {
        const DateTime value{DateTime::Valid, c.days};
        EXPECT_EQ(value.toQDateTime(), c.local) << c.days;
        EXPECT_NEAR(DateTime::fromQDateTime(c.local).days, c.days, 1e-8) << c.days;
    }
}

TEST(DateTimeConversion, InvalidAndNullHaveNoDate)
{
    EXPECT_FALSE((DateTime{DateTime::Null, 0.0}).toQDateTime().isValid());
    EXPECT_FALSE((DateTime{DateTime::Invalid, 39266.5}).toQDateTime().isValid());
    EXPECT_FALSE((DateTime{DateTime::Valid, 1e300}).toQDateTime().isValid());
    EXPECT_EQ(DateTime::fromQDateTime(QDateTime()).status, DateTime::Invalid);
}

TEST(DateTimeConversion, DateAloneAgreesWithTheFullConversion)
{
    for (const double days : {0.0, 39266.999999999, 39266.9999999999, -1.25, -0.9999999999, 2958465.5}) {
        const DateTime value{DateTime::Valid, days};
        EXPECT_EQ(value.date(), value.toQDateTime().date()) << days;
    }
    EXPECT_FALSE((DateTime{DateTime::Null, 39266.0}).date().isValid());
}
