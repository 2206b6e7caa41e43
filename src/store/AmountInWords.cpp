#include "store/AmountInWords.h"

#include <cstdint>

namespace korvane {

namespace {

const char* const kUnits[] = {"",          " One ",     " Two ",       " Three ",    " Four ",
                              " Five ",    " Six ",     " Seven ",     " Eight ",    " Nine ",
                              " Ten ",     " Eleven ",  " Twelve ",    " Thirteen ", " Fourteen ",
                              " Fifteen ", " Sixteen ", " Seventeen ", " Eighteen ", " Nineteen "};

const char* const kTens[] = {"",        "",        " Twenty ",  " Thirty ", " Forty ",
                             " Fifty ", " Sixty ", " Seventy ", " Eighty ", " Ninety "};

// 1 to 99.
QByteArray word(std::int64_t w)
{
    if (w < 20)
        return kUnits[w];
    QByteArray text = kTens[w / 10];
    if (w % 10 != 0)
        text += word(w % 10);
    return text;
}

// 1 to 999.
QByteArray group(std::int64_t g)
{
    QByteArray text;
    const std::int64_t hundreds = g / 100;
    if (hundreds >= 1)
        text = word(hundreds) + " Hundred ";
    const std::int64_t rest = g % 100;
    if (rest > 0) {
        if (hundreds >= 1)
            text += " and ";
        text += word(rest);
    }
    return text;
}

QByteArray spell(std::int64_t n)
{
    QByteArray text;
    if (n >= 1000000000) {
        // A count of billions above 999 is spelled with the same rules ("One Thousand Billion").
        text += spell(n / 1000000000) + " Billion ";
        n %= 1000000000;
    }
    if (n >= 1000000) {
        text += group(n / 1000000) + " Million ";
        n %= 1000000;
    }
    if (n >= 1000) {
        text += group(n / 1000) + " Thousand ";
        n %= 1000;
    }
    if (n > 0)
        text += group(n);
    return text;
}

} // namespace

QByteArray amountInWords(double value)
{
    // 2^63 and above (and infinity) have no whole-number form to spell; NaN fails every comparison.
    if (!(value >= 1.0) || !(value < 9223372036854775808.0))
        return {};
    return spell(static_cast<std::int64_t>(value));
}

} // namespace korvane
