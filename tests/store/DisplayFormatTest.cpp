#include "store/DisplayFormat.h"

#include <gtest/gtest.h>
#include <limits>

using korvane::DateTime;
using korvane::DisplayFormat;

namespace {

const QLocale kUs("en_US");
const QLocale kGerman("de_DE");
const QLocale kJapan("ja_JP");

TEST(DisplayFormatTest, Amounts)
{
    struct Case
    {
        double value;
        const QLocale& locale;
        const char* amount;
        const char* withRupees;
    };
    const Case cases[] = {
        {1234.5, kUs, "$1,234.50", "Rs.1,234.50"},
        // en_US writes -12 as ($12.00); the parentheses go, and with a symbol so does any sign.
        {-12.0, kUs, "$12.00", "Rs.12.00"},
        {-12.0, kGerman, "-12,00\u00a0€", "Rs.12,00\u00a0€"},
        // Printed with six decimals first, these round up although their doubles lie below the half.
        {1.005, kUs, "$1.01", "Rs.1.01"},
        {-2.675, kUs, "$2.68", "Rs.2.68"},
        {999.995, kUs, "$1,000.00", "Rs.1,000.00"},
        {-0.004, kGerman, "0,00\u00a0€", "Rs.0,00\u00a0€"},
        {1234.5, kJapan, "￥1,235", "Rs.1,235"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(DisplayFormat::amount(c.value, c.locale), QString::fromUtf8(c.amount));
        EXPECT_EQ(DisplayFormat::amountWithSymbol(c.value, "Rs.", c.locale), QString::fromUtf8(c.withRupees));
    }
    // Without any digit only the symbol is left.
    EXPECT_EQ(DisplayFormat::amountWithSymbol(std::numeric_limits<double>::quiet_NaN(), "$", kUs), "$");
}

TEST(DisplayFormatTest, Dates)
{
    const DateTime july = DateTime::fromQDateTime(QDateTime(QDate(2007, 7, 3), QTime(14, 5, 30)));
    EXPECT_EQ(DisplayFormat::dateWithPicture(july, "dd MMM yy", kUs), "03 Jul 07");
    EXPECT_EQ(DisplayFormat::dateWithPicture(july, "dd MMMM yyyy", kUs), "03 July 2007");
    EXPECT_EQ(DisplayFormat::shortDate(july, kUs), "7/3/07");
    EXPECT_EQ(DisplayFormat::timeWithoutSeconds(july, kUs), "2:05 PM");

    for (const DateTime& value : {DateTime::null(), DateTime{DateTime::Invalid, 39266.5}}) {
        SCOPED_TRACE(value.status);
        EXPECT_EQ(DisplayFormat::dateWithPicture(value, "dd MMM yy", kUs), "");
        EXPECT_EQ(DisplayFormat::shortDate(value, kUs), "");
        EXPECT_EQ(DisplayFormat::timeWithoutSeconds(value, kUs), "");
    }
}

TEST(DisplayFormatTest, PictureWithoutSeconds)
{
    const std::pair<const char*, const char*> cases[] = {
        {"h:mm:ss AP", "h:mm AP"},
        {"HH.mm.ss.zzz", "HH.mm"},
        // An "s" inside quotes is text, not the seconds.
        {"HH 'hours' mm:ss", "HH 'hours' mm"},
    };
    for (const auto& [picture, expected] : cases) {
        SCOPED_TRACE(picture);
        EXPECT_EQ(DisplayFormat::pictureWithoutSeconds(picture), expected);
    }
}

} // namespace
