#include "integration/CalendarZones.h"

#include <QHash>
#include <QTimeZone>
#include <cstdlib>
#include <libical/ical.h>

namespace korvane {

namespace {

// libical expands a zone's rules year by year up to the time converted; rules that change more
// often than yearly, or very many rules, would make that expansion run for hours.
constexpr int kMaxRuledObservances = 10;
constexpr int kMaxObservances = 1000;
constexpr int kMaxRuleValues = 7;

int listSize(const short* values, int capacity)
{
    int size = 0;
    while (size < capacity && values[size] != ICAL_RECURRENCE_ARRAY_MAX)
        ++size;
    return size;
}

bool isYearlyRule(const icalrecurrencetype& rule)
{
    return rule.freq == ICAL_YEARLY_RECURRENCE && rule.interval >= 1 &&
           listSize(rule.by_second, ICAL_BY_SECOND_SIZE) == 0 &&
           listSize(rule.by_minute, ICAL_BY_MINUTE_SIZE) == 0 &&
           listSize(rule.by_hour, ICAL_BY_HOUR_SIZE) == 0 &&
           listSize(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) == 0 &&
           listSize(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) == 0 &&
           // Without months a weekday's position counts in the year; no zone is written that way.
           (listSize(rule.by_month, ICAL_BY_MONTH_SIZE) > 0 ||
            (listSize(rule.by_day, ICAL_BY_DAY_SIZE) == 0 &&
             listSize(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE) == 0 &&
             listSize(rule.by_set_pos, ICAL_BY_SETPOS_SIZE) == 0)) &&
           listSize(rule.by_day, ICAL_BY_DAY_SIZE) <= kMaxRuleValues &&
           listSize(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE) <= kMaxRuleValues &&
           listSize(rule.by_set_pos, ICAL_BY_SETPOS_SIZE) <= kMaxRuleValues;
}

QList<int> listValues(const short* values, int capacity)
{
    QList<int> list;
    for (int i = 0; i < listSize(values, capacity); ++i)
        list.append(values[i]);
    return list;
}

/** The day matches one BYDAY entry: its weekday, and its place in the month when the entry has one. */
bool matchesWeekday(const QList<int>& byDay, const QDate& date)
{
    if (byDay.isEmpty())
        return true;
    const int weekday = date.dayOfWeek() % 7 + 1; // libical counts from Sunday = 1
    for (int entry : byDay) {
        const int position = icalrecurrencetype_day_position(short(entry));
        if (int(icalrecurrencetype_day_day_of_week(short(entry))) != weekday)
            continue;
        if (position == 0 || (position > 0 && (date.day() - 1) / 7 + 1 == position) ||
            (position < 0 && (date.daysInMonth() - date.day()) / 7 + 1 == -position))
            return true;
    }
    return false;
}

/**
 * True when a yearly rule with months changes the offset at least once within kYearsSearched
 * periods from `start`. libical looks for the next change year by year and does not give up early on
 * a rule that never happens (BYDAY=6SU, February 30th), which takes it minutes.
 */
bool changesSoon(const icalrecurrencetype& rule, const QDate& start)
{
    constexpr int kYearsSearched = 56; // twice the 28 years after which weekdays and leap years repeat
    QList<int> months = listValues(rule.by_month, ICAL_BY_MONTH_SIZE);
    if (months.isEmpty())
        months.append(start.month());
    const QList<int> byDay = listValues(rule.by_day, ICAL_BY_DAY_SIZE);
    QList<int> monthDays = listValues(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const QList<int> setPositions = listValues(rule.by_set_pos, ICAL_BY_SETPOS_SIZE);
    if (byDay.isEmpty() && monthDays.isEmpty())
        monthDays.append(start.day()); // the day of the onset, in each month the rule names
    for (int period = 0; period < kYearsSearched; ++period) {
        const int year = start.year() + period * rule.interval;
        if (year > 9999)
            break;
        int count = 0;
        for (int month : months) {
            const QDate first(year, month, 1);
            for (int day = 1; first.isValid() && day <= first.daysInMonth(); ++day) {
                const QDate date(year, month, day);
                const bool dayMatches = monthDays.isEmpty() || monthDays.contains(day) ||
                                        monthDays.contains(day - first.daysInMonth() - 1);
                if (dayMatches && matchesWeekday(byDay, date))
                    ++count;
            }
        }
        if (count > 0 && setPositions.isEmpty())
            return true;
        for (int position : setPositions) {
            if (position != 0 && std::abs(position) <= count)
                return true;
        }
    }
    return false;
}

/** Checks that every observance of a definition has its onset and offset and a rule libical can expand
 * quickly. */
QString checkObservances(icalcomponent* definition)
{
    int observances = 0;
    int ruled = 0;
    for (icalcomponent* part = icalcomponent_get_first_component(definition, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(definition, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(part);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
            continue;
        if (++observances > kMaxObservances)
            return QStringLiteral("has more than %1 observances").arg(kMaxObservances);
        if (!icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY) ||
            !icalcomponent_get_first_property(part, ICAL_TZOFFSETTO_PROPERTY))
            return QStringLiteral("has an observance without DTSTART or TZOFFSETTO");
        // Read before the rules: asking for another property would restart their iteration.
        const icaltimetype onset =
            icalproperty_get_dtstart(icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY));
        const QDate start(onset.year, onset.month, onset.day);
        for (icalproperty* rule = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); rule;
             rule = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            if (++ruled > kMaxRuledObservances)
                return QStringLiteral("has more than %1 yearly rules").arg(kMaxRuledObservances);
            const icalrecurrencetype recurrence = icalproperty_get_rrule(rule);
            if (!isYearlyRule(recurrence))
                return QStringLiteral("has a rule that is not a simple yearly change");
            if (!start.isValid() || !changesSoon(recurrence, start))
                return QStringLiteral("has a rule that never or hardly ever changes the offset");
        }
    }
    return {};
}

/** The zone the system knows under a TZID: an IANA name, possibly behind a vendor prefix, or a Windows name.
 */
QTimeZone systemZone(const QByteArray& tzid)
{
    QList<QByteArray> candidates{tzid.trimmed()};
    // "/mozilla.org/20050126_1/Europe/Berlin" and similar prefixed names end in the IANA name.
    const QList<QByteArray> segments = tzid.split('/');
    for (qsizetype n = 1; n <= 3 && n < segments.size(); ++n)
        candidates.append(segments.mid(segments.size() - n).join('/'));
    const QByteArray windows = QTimeZone::windowsIdToDefaultIanaId(tzid.trimmed());
    if (!windows.isEmpty())
        candidates.append(windows);
    for (const QByteArray& candidate : std::as_const(candidates)) {
        if (!candidate.isEmpty() && QTimeZone::isTimeZoneIdAvailable(candidate))
            return QTimeZone(candidate);
    }
    return {};
}

} // namespace

struct CalendarZones::Private
{
    QHash<QByteArray, icaltimezone*> defined;
    QHash<QByteArray, QTimeZone> known;
};

CalendarZones::CalendarZones() : d(std::make_unique<Private>()) {}

CalendarZones::~CalendarZones()
{
    for (icaltimezone* zone : std::as_const(d->defined))
        icaltimezone_free(zone, 1);
}

QString CalendarZones::addDefinition(const QByteArray& text, int line)
{
    if (d->defined.size() >= MaxDefinitions)
        return QStringLiteral("holds more than %1 time zone definitions").arg(MaxDefinitions);
    icalcomponent* definition = icalparser_parse_string(text.constData());
    if (!definition || icalcomponent_isa(definition) != ICAL_VTIMEZONE_COMPONENT) {
        if (definition)
            icalcomponent_free(definition);
        return QStringLiteral("line %1: the time zone definition cannot be read").arg(line);
    }
    icalproperty* tzidProperty = icalcomponent_get_first_property(definition, ICAL_TZID_PROPERTY);
    const QByteArray tzid = tzidProperty ? QByteArray(icalproperty_get_tzid(tzidProperty)) : QByteArray();
    QString problem = tzid.isEmpty() ? QStringLiteral("has no TZID") : checkObservances(definition);
    if (!problem.isEmpty()) {
        icalcomponent_free(definition);
        return QStringLiteral("line %1: the time zone definition %2").arg(line).arg(problem);
    }
    if (d->defined.contains(tzid)) {
        icalcomponent_free(definition); // the first definition of a TZID holds
        return {};
    }
    icaltimezone* zone = icaltimezone_new();
    if (!icaltimezone_set_component(zone, definition)) {
        icaltimezone_free(zone, 1);
        return QStringLiteral("line %1: the time zone definition cannot be read").arg(line);
    }
    d->defined.insert(tzid, zone);
    return {};
}

QDateTime CalendarZones::toLocal(const QDate& date, const QTime& time, const QByteArray& tzid, QString& error)
{
    if (icaltimezone* zone = d->defined.value(tzid)) {
        icaltimetype moment = icaltime_null_time();
        moment.year = date.year();
        moment.month = date.month();
        moment.day = date.day();
        moment.hour = time.hour();
        moment.minute = time.minute();
        moment.second = time.second();
        icaltimezone_convert_time(&moment, zone, icaltimezone_get_utc_timezone());
        return QDateTime(QDate(moment.year, moment.month, moment.day),
                         QTime(moment.hour, moment.minute, moment.second), Qt::UTC)
            .toLocalTime();
    }
    auto known = d->known.constFind(tzid);
    if (known == d->known.cend())
        known = d->known.insert(tzid, systemZone(tzid));
    if (!known->isValid()) {
        error = QStringLiteral("the time zone \"%1\" is neither defined in the file nor known to the system")
                    .arg(QString::fromUtf8(tzid));
        return {};
    }
    return QDateTime(date, time, *known).toLocalTime();
}

} // namespace korvane
