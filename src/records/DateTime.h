#pragma once

#include <QDateTime>
#include <cstdint>

namespace korvane {

/** A stored date-time: a status and the days since 30 December 1899 with the time as the fraction. */
struct DateTime
{
    enum Status : std::int32_t { Valid = 0, Invalid = 1, Null = 2 };

    std::int32_t status = Valid;
    double days = 0.0;

    /** The current local date and time, as the clock gives it. */
    static DateTime now();
    /** Converts a local date-time; an invalid one becomes the Invalid status. */
    static DateTime fromQDateTime(const QDateTime& value);
    /** A date at midnight. */
    static DateTime fromDate(const QDate& date);
    static DateTime null() { return DateTime{Null, 0.0}; }

    bool isValid() const { return status == Valid; }
    /** The local date-time this value stands for, or an invalid QDateTime unless the status is valid. */
    QDateTime toQDateTime() const;
    /** The date part alone, without the cost of a local date-time; invalid unless the status is valid. */
    QDate date() const;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

} // namespace korvane
