#include "records/DateTime.h"

#include "records/Clock.h"

#include <cmath>

namespace korvane {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

DateTime DateTime::now()
{
    return fromQDateTime(Clock::now());
}

DateTime DateTime::fromQDateTime(const QDateTime& value)
{
    if (!value.isValid())
        return DateTime{Invalid, 0.0};
    const qint64 whole = kEpoch.daysTo(value.date());
    const double fraction = value.time().msecsSinceStartOfDay() / kMsPerDay;
    // Before the epoch the whole part counts backwards while the time of day still counts forwards.
    const double days = whole < 0 ? double(whole) - fraction : double(whole) + fraction;
    return DateTime{Valid, days};
}

DateTime DateTime::fromDate(const QDate& date)
{
    return fromQDateTime(QDateTime(date, QTime(0, 0)));
}

QDateTime DateTime::toQDateTime() const
{
    if (status != Valid || !std::isfinite(days) || std::fabs(days) > 2958466.0)
        return {};
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    qint64 ms = qint64(std::llround(fraction * kMsPerDay));
    qint64 dayOffset = qint64(whole);
    if (ms >= qint64(kMsPerDay)) {
        // Rounding carried the time past midnight.
        ms -= qint64(kMsPerDay);
        dayOffset += whole < 0 ? -1 : 1;
    }
    return QDateTime(kEpoch.addDays(dayOffset), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

} // namespace korvane
