#pragma once

#include "records/DateTime.h"

#include <cmath>

namespace korvane {

/**
 * Stored days count the time of day forward even before 30 December 1899, where the whole part
 * is negative (-1.25 is 29 December, 06:00, later than -1.5 at noon of the same day). This maps
 * them onto a continuous count, so that comparing, adding days and taking differences follow
 * the calendar on either side of that date.
 */
inline double continuousDays(double stored)
{
    if (stored >= 0)
        return stored;
    const double day = std::ceil(stored);
    return day + (day - stored);
}

/** The inverse of continuousDays. */
inline double storedDays(double continuous)
{
    if (continuous >= 0)
        return continuous;
    const double day = std::floor(continuous);
    const double fraction = continuous - day;
    return fraction == 0 ? day : day - fraction;
}

/**
 * True when a comes strictly before b in time (the views' "earlier first"). A day count that is
 * not a number (only a damaged file holds one) goes after every moment, so that sorting still
 * sees a consistent order.
 */
inline bool earlier(const DateTime& a, const DateTime& b)
{
    const double x = continuousDays(a.days);
    const double y = continuousDays(b.days);
    if (std::isnan(x))
        return false;
    return std::isnan(y) || x < y;
}

} // namespace korvane
