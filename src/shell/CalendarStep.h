#pragma once

#include <QDate>

namespace korvane {

/**
 * A month picker's date moved by whole months and years: the month wraps into the next or previous
 * year, and a day the new month lacks becomes its last day (31 January + 1 month = 28/29 February).
 */
QDate stepMonth(const QDate& date, int monthStep, int yearStep);

} // namespace korvane
