#include "reports/HtmlText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <string>

using namespace korvane;

namespace {

TEST(HtmlText, EscapesTheFourMarkupCharactersOnly)
{
    EXPECT_EQ(HtmlText::escape(QStringLiteral("<a href=\"x\">Tom & 'Jerry'</a>")),
              QStringLiteral("&lt;a href=&quot;x&quot;&gt;Tom &amp; 'Jerry'&lt;/a&gt;"));
    EXPECT_EQ(HtmlText::escape(QStringLiteral("&amp;")), QStringLiteral("&amp;amp;"));
    // Stored bytes that are not UTF-8 are Windows-1252 text from the old program.
    EXPECT_EQ(HtmlText::record("Caf\xE9 <1>"), QStringLiteral("Caf\u00e9 &lt;1&gt;"));
}

TEST(HtmlText, FixedMatchesPrintf)
{
    // printf is the reference only in the C locale; Qt sets the user's at start.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "C");
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // Exact halves (0.125, 2.5, 420.125) round to even; near halves round by their binary value.
    // clang-format off
    const double values[] = {0.0, -0.0, 0.125, 0.375, 2.5, -2.5, 0.5, 1.005, 420.125, -0.001, 999.995,
                             1e15 + 0.5, 123456789.125, 1e300, -1.7976931348623157e308, kInfinity, kNaN};
    // clang-format on
    for (const double value : values) {
        for (const int decimals : {0, 2}) {
            char expected[400];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            EXPECT_EQ(HtmlText::fixed(value, decimals).toStdString(), expected) << value << " " << decimals;
        }
    }
    std::setlocale(LC_NUMERIC, previous.c_str());
}

} // namespace
