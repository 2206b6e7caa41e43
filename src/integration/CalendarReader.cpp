#include "integration/CalendarReader.h"

#include "integration/CalendarZones.h"
#include "integration/ContentLines.h"
#include "integration/IcalComponent.h"
#include "records/Clock.h"

#include <QSet>
#include <libical/ical.h>
#include <memory>
#include <optional>

namespace korvane {

namespace {

// VCALENDAR > VEVENT > VALARM is as deep as any calendar program writes; far deeper is not a calendar.
constexpr int kMaxNesting = 10;
const QDate kFirstDate(100, 1, 1);
const QDate kLastDate(9999, 12, 31);

/** One VTIMEZONE, VTODO or VEVENT of the file, as text for libical, with what the first pass saw. */
struct Chunk
{
    QByteArray kind;
    QByteArray text;
    int line = 0;
    QByteArray uid;
    bool isException = false; // one changed occurrence of a recurring item (RECURRENCE-ID)
};

/**
 * Checks the file's structure (every BEGIN closed by its END, nothing outside a VCALENDAR) and
 * collects the components libical is to read, so that each is parsed alone and memory stays small.
 */
QString splitCalendar(const QByteArray& text, const QByteArray& wanted, QList<Chunk>& chunks)
{
    QList<std::pair<QByteArray, int>> open;
    bool sawCalendar = false;
    bool collecting = false;
    qsizetype wantedCount = 0;
    for (const ContentLine& line : ContentLines::unfold(text)) {
        if (line.text.trimmed().isEmpty())
            continue;
        const qsizetype start = ContentLines::valueStart(line.text);
        if (start < 0) {
            if (!sawCalendar)
                return QStringLiteral("is not an iCalendar file (line %1 is not BEGIN:VCALENDAR)")
                    .arg(line.number);
            return QStringLiteral("line %1: not an iCalendar content line (it has no colon)")
                .arg(line.number);
        }
        const QByteArray name = ContentLines::name(line.text);
        const QByteArray value = line.text.mid(start).trimmed().toUpper();
        if (name == "BEGIN") {
            if (open.isEmpty() && value != "VCALENDAR") {
                if (!sawCalendar)
                    return QStringLiteral("is not an iCalendar file (line %1 is not BEGIN:VCALENDAR)")
                        .arg(line.number);
                return QStringLiteral("line %1: BEGIN:%2 outside BEGIN:VCALENDAR and END:VCALENDAR")
                    .arg(line.number)
                    .arg(QString::fromUtf8(value));
            }
            if (open.size() == kMaxNesting)
                return QStringLiteral("line %1: components are nested too deeply").arg(line.number);
            sawCalendar = true;
            open.append({value, line.number});
            if (open.size() == 2 && (value == "VTIMEZONE" || value == wanted)) {
                if (value == wanted && ++wantedCount > CalendarReader::MaxItems)
                    return QStringLiteral("holds more than %1 items").arg(CalendarReader::MaxItems);
                chunks.append(Chunk{value, {}, line.number, {}, false});
                collecting = true;
            }
        } else if (name == "END") {
            if (open.isEmpty())
                return QStringLiteral("line %1: END:%2 without BEGIN")
                    .arg(line.number)
                    .arg(QString::fromUtf8(value));
            if (open.last().first != value)
                return QStringLiteral("line %1: END:%2 does not close BEGIN:%3 of line %4")
                    .arg(line.number)
                    .arg(QString::fromUtf8(value), QString::fromUtf8(open.last().first))
                    .arg(open.last().second);
        } else if (open.isEmpty()) {
            if (!sawCalendar)
                return QStringLiteral("is not an iCalendar file (line %1 is not BEGIN:VCALENDAR)")
                    .arg(line.number);
            return QStringLiteral("line %1: text outside BEGIN:VCALENDAR and END:VCALENDAR").arg(line.number);
        } else if (collecting && open.size() == 2) {
            if (name == "UID")
                chunks.last().uid = line.text.mid(start).trimmed();
            else if (name == "RECURRENCE-ID")
                chunks.last().isException = true;
        }
        if (collecting)
            chunks.last().text += line.text + "\r\n";
        if (name == "END") {
            open.removeLast();
            if (open.size() < 2)
                collecting = false;
        }
    }
    if (!open.isEmpty())
        return QStringLiteral("BEGIN:%1 on line %2 has no END:%1")
            .arg(QString::fromUtf8(open.last().first))
            .arg(open.last().second);
    return {};
}

/** libical leaves a value it cannot parse out and notes why; a time or duration it dropped is an error. */
QString droppedValue(icalcomponent* component)
{
    static const char* const kUsed[] = {" DTSTART ", " DTEND ", " DUE ", " DURATION ", " TRIGGER "};
    for (icalproperty* note = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); note;
         note = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
        icalparameter* type = icalproperty_get_first_parameter(note, ICAL_XLICERRORTYPE_PARAMETER);
        if (!type || icalparameter_get_xlicerrortype(type) != ICAL_XLICERRORTYPE_VALUEPARSEERROR)
            continue;
        const QByteArray text(icalproperty_get_xlicerror(note));
        for (const char* used : kUsed) {
            if (text.contains(used))
                return QString::fromUtf8(text);
        }
    }
    for (icalcomponent* part = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
        const QString dropped = droppedValue(part);
        if (!dropped.isEmpty())
            return dropped;
    }
    return {};
}

QByteArray text(icalcomponent* component, icalproperty_kind kind)
{
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    if (!property)
        return {};
    const icalvalue* value = icalproperty_get_value(property);
    const char* text = value ? icalvalue_get_text(value) : nullptr;
    return text ? QByteArray(text) : QByteArray();
}

QDateTime addDuration(const QDateTime& base, const icaldurationtype& duration)
{
    // Days and weeks are calendar days, so a day-long duration keeps the wall-clock time across DST.
    qint64 days = qint64(duration.weeks) * 7 + duration.days;
    qint64 seconds = qint64(duration.hours) * 3600 + qint64(duration.minutes) * 60 + duration.seconds;
    if (duration.is_neg) {
        days = -days;
        seconds = -seconds;
    }
    return base.addDays(days).addSecs(seconds);
}

/** A time read from one property, made local. */
struct Moment
{
    QDateTime local;
    bool isDate = false;
};

/** Reads the items of one kind; the chunk being read gives the line that errors name. */
class ItemReader
{
public:
    ItemReader(CalendarZones& zones, const Chunk& chunk) : m_zones(zones), m_chunk(chunk) {}

    QString error() const { return m_error; }

    /** The time of a date or date-time property; an error when it is there but is no usable time. */
    std::optional<Moment> time(icalproperty* property, const icaltimetype& value)
    {
        if (icaltime_is_null_time(value)) {
            fail(QStringLiteral("%1 holds no date")
                     .arg(QLatin1String(icalproperty_get_property_name(property))));
            return std::nullopt;
        }
        const QDate date(value.year, value.month, value.day);
        const QTime time(value.hour, value.minute, value.second == 60 ? 59 : value.second);
        Moment moment;
        if (value.is_date) {
            moment.local = QDateTime(date, QTime(0, 0));
            moment.isDate = true;
        } else if (icaltime_is_utc(value)) {
            moment.local = QDateTime(date, time, Qt::UTC).toLocalTime();
        } else if (icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
            QString reason;
            moment.local = m_zones.toLocal(date, time, QByteArray(icalparameter_get_tzid(tzid)), reason);
            if (!reason.isEmpty()) {
                fail(reason);
                return std::nullopt;
            }
        } else {
            moment.local = QDateTime(date, time); // floating time: the same wall clock wherever one is
        }
        if (!check(moment.local, icalproperty_get_property_name(property)))
            return std::nullopt;
        return moment;
    }

    /** The time of the component's first property of the kind, or std::nullopt (with no error) when missing.
     */
    std::optional<Moment> time(icalcomponent* component, icalproperty_kind kind)
    {
        icalproperty* property = icalcomponent_get_first_property(component, kind);
        if (!property)
            return std::nullopt;
        const icalvalue* value = icalproperty_get_value(property);
        if (!value) {
            fail(QStringLiteral("%1 holds no date")
                     .arg(QLatin1String(icalproperty_get_property_name(property))));
            return std::nullopt;
        }
        return time(property, icalvalue_get_datetime(value));
    }

    /** False, with the error noted, when a computed time lies outside the dates Korvane can store. */
    bool check(const QDateTime& value, const char* what)
    {
        if (value.isValid() && value.date() >= kFirstDate && value.date() <= kLastDate)
            return true;
        fail(QStringLiteral("%1 gives a time outside the years 100 to 9999").arg(QLatin1String(what)));
        return false;
    }

    void fail(const QString& reason)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("line %1: %2").arg(m_chunk.line).arg(reason);
    }

    std::optional<TaskItem> task(icalcomponent* todo);
    std::optional<AppointmentItem> appointment(icalcomponent* event);

private:
    CalendarZones& m_zones;
    const Chunk& m_chunk;
    QString m_error;
};

std::optional<TaskItem> ItemReader::task(icalcomponent* todo)
{
    TaskItem task;
    task.subject = text(todo, ICAL_SUMMARY_PROPERTY);
    if (icalproperty* priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY)) {
        const int value = icalproperty_get_priority(priority);
        task.importance = value >= 1 && value <= 4   ? TaskItem::High
                          : value >= 6 && value <= 9 ? TaskItem::Low
                                                     : TaskItem::Normal; // 5, 0 (undefined) and nonsense
    }

    const std::optional<Moment> start = time(todo, ICAL_DTSTART_PROPERTY);
    const std::optional<Moment> due = time(todo, ICAL_DUE_PROPERTY);
    if (!m_error.isEmpty())
        return std::nullopt;
    task.startDate = start ? start->local : Clock::now();
    if (due) {
        task.dueDate = due->local;
    } else if (icalproperty* duration = icalcomponent_get_first_property(todo, ICAL_DURATION_PROPERTY)) {
        task.dueDate = addDuration(task.startDate, icalproperty_get_duration(duration));
        if (!check(task.dueDate, "DURATION"))
            return std::nullopt;
    } else {
        task.dueDate = task.startDate;
    }

    task.reminderTime = task.startDate;
    if (icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT)) {
        task.reminderSet = true;
        if (icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY)) {
            const icaltriggertype value = icalproperty_get_trigger(trigger);
            if (!icaltime_is_null_time(value.time)) {
                const std::optional<Moment> at = time(trigger, value.time);
                if (!at)
                    return std::nullopt;
                task.reminderTime = at->local;
            } else {
                icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
                const bool fromEnd = related && icalparameter_get_related(related) == ICAL_RELATED_END;
                task.reminderTime = addDuration(fromEnd ? task.dueDate : task.startDate, value.duration);
                if (!check(task.reminderTime, "TRIGGER"))
                    return std::nullopt;
            }
        }
    }
    return task;
}

std::optional<AppointmentItem> ItemReader::appointment(icalcomponent* event)
{
    AppointmentItem appointment;
    appointment.subject = text(event, ICAL_SUMMARY_PROPERTY);
    appointment.location = text(event, ICAL_LOCATION_PROPERTY);
    appointment.body = text(event, ICAL_DESCRIPTION_PROPERTY);

    const std::optional<Moment> start = time(event, ICAL_DTSTART_PROPERTY);
    const std::optional<Moment> end = time(event, ICAL_DTEND_PROPERTY);
    if (!m_error.isEmpty())
        return std::nullopt;
    const bool allDay = start && start->isDate;
    appointment.start = start ? start->local : Clock::now();

    // For an all-day event DTEND is the day after its last day.
    std::optional<QDateTime> exclusiveEnd;
    if (end) {
        exclusiveEnd = end->local;
    } else if (icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
        exclusiveEnd = addDuration(appointment.start, icalproperty_get_duration(duration));
        if (!check(*exclusiveEnd, "DURATION"))
            return std::nullopt;
    }
    if (allDay) {
        QDate lastDay = appointment.start.date();
        if (exclusiveEnd)
            lastDay = std::max(lastDay, exclusiveEnd->addSecs(-1).date());
        appointment.end = QDateTime(lastDay, QTime(23, 59, 59));
    } else {
        appointment.end = exclusiveEnd.value_or(appointment.start);
    }
    // An end before the start would give a meeting of negative length.
    if (appointment.end < appointment.start)
        appointment.end = appointment.start;
    return appointment;
}

/** Reads the wanted items (VTODO or VEVENT) with the file's time zones. */
template <class Item, class Read>
QString readItems(const QByteArray& text, const QByteArray& wanted, QList<Item>& items, Read readOne)
{
    items.clear();
    static const bool quiet = [] {
        icalerror_set_errors_are_fatal(0); // a damaged file must give an error text, never abort
        return true;
    }();
    Q_UNUSED(quiet);

    QList<Chunk> chunks;
    QString error = splitCalendar(text, wanted, chunks);
    if (!error.isEmpty())
        return error;

    CalendarZones zones;
    QSet<QByteArray> recurring;
    for (const Chunk& chunk : std::as_const(chunks)) {
        if (chunk.kind == "VTIMEZONE") {
            error = zones.addDefinition(chunk.text, chunk.line);
            if (!error.isEmpty())
                return error;
        } else if (!chunk.isException && !chunk.uid.isEmpty()) {
            recurring.insert(chunk.uid);
        }
    }

    QList<Item> read;
    for (const Chunk& chunk : std::as_const(chunks)) {
        // A changed occurrence of an item that is in the file is imported once, with its item.
        if (chunk.kind != wanted || (chunk.isException && recurring.contains(chunk.uid)))
            continue;
        const IcalComponent component(icalparser_parse_string(chunk.text.constData()));
        if (!component)
            return QStringLiteral("line %1: the %2 cannot be read")
                .arg(chunk.line)
                .arg(QString::fromUtf8(wanted));
        const QString dropped = droppedValue(component.get());
        if (!dropped.isEmpty())
            return QStringLiteral("line %1: %2").arg(chunk.line).arg(dropped);
        ItemReader reader(zones, chunk);
        const std::optional<Item> item = readOne(reader, component.get());
        if (!item)
            return reader.error();
        read.append(*item);
    }
    items = std::move(read);
    return {};
}

} // namespace

QString CalendarReader::readTasks(const QByteArray& text, QList<TaskItem>& tasks)
{
    return readItems(text, "VTODO", tasks,
                     [](ItemReader& reader, icalcomponent* c) { return reader.task(c); });
}

QString CalendarReader::readAppointments(const QByteArray& text, QList<AppointmentItem>& appointments)
{
    return readItems(text, "VEVENT", appointments,
                     [](ItemReader& reader, icalcomponent* c) { return reader.appointment(c); });
}

} // namespace korvane
