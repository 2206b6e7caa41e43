#include "shell/CalendarStep.h"

namespace korvane {

QDate stepMonth(const QDate& date, int monthStep, int yearStep)
{
    if (!date.isValid())
        return date;
    int month = date.month() + monthStep;
    int year = date.year() + yearStep;
    if (month > 12) {
        month = 1;
        ++year;
    } else if (month < 1) {
        month = 12;
        --year;
    }
    int day = date.day();
    while (day > 1 && !QDate::isValid(year, month, day))
        --day;
    return QDate(year, month, day);
}

} // namespace korvane
