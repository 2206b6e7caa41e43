#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimeZone>

namespace korvane {

class RecordStore;
struct MeetingRecord;

/** One task or meeting written as a calendar object of its own, as a calendar server stores it. */
struct CalendarEntry
{
    QByteArray uid;
    /** The task's or meeting's identifier, and which of the two it is. */
    QByteArray identifier;
    bool isMeeting = false;
    /** The name or subject, as a list of items shows it. */
    QString summary;
    /** A whole VCALENDAR holding the item and the definition of the time zone its times use. */
    QByteArray text;
};

/**
 * Writes the tasks (VTODO) and meetings (VEVENT) of projects as iCalendar text, with times in a
 * time zone whose VTIMEZONE the text carries, and with UIDs that stay the same from one export to
 * the next, so that a calendar updates its items instead of duplicating them.
 */
class CalendarWriter
{
public:
    /** Writes times in `zone`; by default the system's zone, in which the records' times are local. */
    explicit CalendarWriter(const RecordStore& store, const QTimeZone& zone = QTimeZone::systemTimeZone());

    /** The whole calendar of the projects' tasks and meetings, in the order of the projects given. */
    QByteArray calendar(const QList<QByteArray>& projects) const;

    /** The projects' tasks and meetings, each as a calendar of its own. */
    QList<CalendarEntry> entries(const QList<QByteArray>& projects) const;

    /** Writes `calendar(projects)` to the file; returns an empty text or "<path>: <reason>". */
    QString writeFile(const QList<QByteArray>& projects, const QString& path) const;

    /** False for a meeting without any valid time, which is left out. */
    static bool isWritten(const MeetingRecord& meeting);

    /** The UID of a task's VTODO. */
    static QByteArray taskUid(const QByteArray& identifier);
    /** The UID of a meeting's VEVENT. */
    static QByteArray meetingUid(const QByteArray& identifier);

private:
    const RecordStore& m_store;
    QTimeZone m_zone;
};

} // namespace korvane
