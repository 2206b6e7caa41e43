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

namespace {
/** Splits a valid day number into the day offset from the epoch and the milliseconds into that day. */
bool split(const DateTime& value, qint64& dayOffset, qint64& ms)
{
    if (value.status != DateTime::Valid || !std::isfinite(value.days) || std::fabs(value.days) > 2958466.0)
        return false;
    const double whole = std::trunc(value.days);
    const double fraction = std::fabs(value.days - whole);
    ms = qint64(std::llround(fraction * kMsPerDay));
    dayOffset = qint64(whole);
    if (ms >= qint64(kMsPerDay)) {
        // Rounding carried the time past midnight.
        ms -= qint64(kMsPerDay);
        dayOffset += whole < 0 ? -1 : 1;
    }
    return true;
}
} // namespace

QDateTime DateTime::toQDateTime() const
{
    qint64 dayOffset = 0;
    qint64 ms = 0;
    if (!split(*this, dayOffset, ms))
        return {};
    return QDateTime(kEpoch.addDays(dayOffset), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

QDate DateTime::date() const
{
    qint64 dayOffset = 0;
    qint64 ms = 0;
    return split(*this, dayOffset, ms) ? kEpoch.addDays(dayOffset) : QDate();
}

} // namespace korvane
