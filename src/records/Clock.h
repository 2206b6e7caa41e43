#pragma once

#include <QDateTime>

namespace korvane {

/** The program's source of "now", which tests can fix to a chosen moment. */
class Clock
{
public:
    /** The current local date and time, or the fixed moment when one is set. */
    static QDateTime now();
    /** Fixes "now" to the given moment; an invalid QDateTime returns to the real clock. */
    static void setFixed(const QDateTime& moment);
};

} // namespace korvane
