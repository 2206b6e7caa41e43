#include "store/RecordId.h"

#include <cstdint>

namespace korvane {

QByteArray RecordId::make(const QDateTime& moment, int batch)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    QByteArray id = QByteArray::number(date.year()).rightJustified(4, '0');
    for (int part : {date.month(), date.day(), time.hour(), time.minute(), time.second(), 90})
        id += QByteArray::number(part).rightJustified(2, '0');
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
