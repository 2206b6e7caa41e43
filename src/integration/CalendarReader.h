#pragma once

#include "integration/PimItems.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace korvane {

/** Reads the tasks (VTODO) or appointments (VEVENT) of an iCalendar file, with times made local. */
class CalendarReader
{
public:
    /** The most items of the asked kind one file may hold, so a huge file cannot exhaust memory. */
    static constexpr qsizetype MaxItems = 100000;

    /**
     * Reads every VTODO of the text into `tasks`, in the file's order. Returns an empty text on
     * success, otherwise the reason the text is not a readable iCalendar file (and `tasks` is empty).
     */
    static QString readTasks(const QByteArray& text, QList<TaskItem>& tasks);

    /** Reads every VEVENT of the text into `appointments`, as `readTasks` reads the tasks. */
    static QString readAppointments(const QByteArray& text, QList<AppointmentItem>& appointments);
};

} // namespace korvane
