#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

namespace korvane {

/**
 * The time zones an iCalendar file's times refer to: the file's own VTIMEZONE definitions first,
 * then the zones the system knows by name (IANA or Windows names), so TZID times become local times.
 */
class CalendarZones
{
public:
    /** The most time zone definitions one file may hold; each costs work to expand. */
    static constexpr int MaxDefinitions = 20;

    CalendarZones();
    ~CalendarZones();
    CalendarZones(const CalendarZones&) = delete;
    CalendarZones& operator=(const CalendarZones&) = delete;

    /**
     * Adds a VTIMEZONE component of the file, given as its text, that begins on line `line`.
     * Returns an empty text, or the reason the definition cannot be used.
     */
    QString addDefinition(const QByteArray& text, int line);

    /**
     * The local date-time of a wall-clock time in the zone named `tzid`; an invalid QDateTime and the
     * reason in `error` when the zone is neither defined in the file nor known to the system.
     */
    QDateTime toLocal(const QDate& date, const QTime& time, const QByteArray& tzid, QString& error);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace korvane
