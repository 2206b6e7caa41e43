#include "store/AmountInWords.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(AmountInWordsTest, SpellsTheWholePartWithEveryBlank)
{
    const std::pair<double, const char*> cases[] = {
        {0.0, ""},
        {0.999, ""},
        {-3.0, ""},
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {std::numeric_limits<double>::infinity(), ""},
        {1.0, " One "},
        {12.99, " Twelve "},
        {18.0, " Eighteen "},
        {99.0, " Ninety  Nine "},
        {100.0, " One  Hundred "},
        {110.0, " One  Hundred  and  Ten "},
        {1000.0, " One  Thousand "},
        {1234.0, " One  Thousand  Two  Hundred  and  Thirty  Four "},
        {1000000.0, " One  Million "},
        {1000001000.0, " One  Billion  One  Thousand "},
        {2000000005.0, " Two  Billion  Five "},
        // Beyond 32 bits nothing is lost, and a count of billions above 999 is spelled in full.
        {3000000000.0, " Three  Billion "},
        {999999999999.0,
         " Nine  Hundred  and  Ninety  Nine  Billion  Nine  Hundred  and  Ninety  Nine  Million "
         " Nine  Hundred  and  Ninety  Nine  Thousand  Nine  Hundred  and  Ninety  Nine "},
        {1000000000000.0, " One  Thousand  Billion "},
        {2000005000000000.0, " Two  Million  Five  Billion "},
    };
    for (const auto& [value, words] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(korvane::amountInWords(value), QByteArray(words));
    }
}

} // namespace
