#include "store/RecordId.h"

#include <cstdint>

namespace korvane {

QByteArray RecordId::make(const QDateTime& moment, int batch)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    // Written digit by digit into one buffer: thousands of identifiers are made in a row when a
    // burst of adds has taken the seconds ahead.
    char digits[32];
    int at = 0;
    const auto put = [&](int value, int width) {
        for (int place = width - 1; place >= 0; --place, value /= 10)
            digits[at + place] = char('0' + value % 10);
        at += width;
    };
    // A year of more than four digits (or before year 0) is written as it is.
    const int year = date.year();
    QByteArray id;
    if (year >= 0 && year <= 9999)
        put(year, 4);
    else
        id = QByteArray::number(year).rightJustified(4, '0');
    for (int part : {date.month(), date.day(), time.hour(), time.minute(), time.second(), 90})
        put(part, 2);
    id += QByteArrayView(digits, at);
    if (batch != -1)
        id += QByteArray::number(batch);
    return id;
}

int RecordId::bucketOf(const QByteArray& identifier)
{
    std::uint32_t h = 0;
    for (const char c : identifier)
        h = h * 33u + std::uint32_t(std::int32_t(static_cast<signed char>(c)));
    return int(h % 17u);
}

} // namespace korvane
