#include "integration/CalendarWriter.h"

#include "integration/IcalComponent.h"
#include "records/Clock.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

namespace korvane {

namespace {

// A zone definition holds one observance per change of offset; far more would not be a calendar a
// program reads (the import refuses more than a thousand).
constexpr int kMostObservances = 900;

// libical writes CATEGORIES with its commas and semicolons bare (they separate categories), so one
// project name with a comma would become two categories. The name is written with these stand-ins,
// which libical neither escapes nor folds apart, and they become escaped commas and semicolons after.
const QString kCommaStandIn(QChar(0xE000));
const QString kSemicolonStandIn(QChar(0xE001));

/** Stored text as the UTF-8 iCalendar holds, without the control characters that no text value may hold. */
QByteArray calendarText(const QByteArray& stored)
{
    QString text = displayText(stored);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar& c : text) {
        if (c == QLatin1Char('\r'))
            c = QLatin1Char('\n');
        else if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            c = QLatin1Char(' ');
        else if (c == kCommaStandIn[0] || c == kSemicolonStandIn[0])
            c = QChar(QChar::ReplacementCharacter);
    }
    return text.toUtf8();
}

/** A name as a parameter value (CN), which can hold neither quotes nor line breaks. */
QByteArray parameterText(const QByteArray& stored)
{
    QByteArray text = calendarText(stored);
    text.replace('"', '\'');
    text.replace('\n', ' ');
    text.replace('\t', ' ');
    return text;
}

/** A person known only by name: a URI that names no mailbox, so no server sends them invitations. */
QByteArray personAddress(const QByteArray& name)
{
    return "urn:x-korvane:person:" + calendarText(name).toPercentEncoding();
}

QByteArray serialised(icalcomponent* component)
{
    char* text = icalcomponent_as_ical_string_r(component);
    QByteArray bytes(text);
    icalmemory_free_buffer(text);
    bytes.replace(kCommaStandIn.toUtf8(), "\\,");
    bytes.replace(kSemicolonStandIn.toUtf8(), "\\;");
    return bytes;
}

icaltimetype wallClock(const QDateTime& moment)
{
    icaltimetype time = icaltime_null_time();
    time.year = moment.date().year();
    time.month = moment.date().month();
    time.day = moment.date().day();
    time.hour = moment.time().hour();
    time.minute = moment.time().minute();
    time.second = moment.time().second();
    return time;
}

/** Builds the calendar components of records, noting the years their times fall in. */
class ComponentWriter
{
public:
    ComponentWriter(const RecordStore& store, const QTimeZone& zone)
        : m_store(store), m_zone(zone), m_zoneId(zone.id())
    {
    }

    IcalComponent todo(const TaskRecord& task, const QByteArray& category, const QByteArray& parent);
    IcalComponent event(const MeetingRecord& meeting);
    /** The VTIMEZONE of the zone over the years the times written so far fall in. */
    IcalComponent zoneDefinition() const;
    /** Starts a new set of years, for a calendar of its own. */
    void forgetYears() { m_firstYear = m_lastYear = 0; }

private:
    std::optional<QDateTime> inZone(const DateTime& value);
    void addTime(icalcomponent* component, icalproperty* (*make)(icaltimetype), const DateTime& value);
    void addText(icalcomponent* component, icalproperty* property, const QByteArray& text) const;
    void addCommon(icalcomponent* component, const QByteArray& uid) const;

    const RecordStore& m_store;
    QTimeZone m_zone;
    QByteArray m_zoneId;
    int m_firstYear = 0;
    int m_lastYear = 0;
};

std::optional<QDateTime> ComponentWriter::inZone(const DateTime& value)
{
    const QDateTime local = value.toQDateTime();
    if (!local.isValid())
        return std::nullopt;
    const QDateTime there = local.toTimeZone(m_zone);
    const int year = there.date().year();
    m_firstYear = m_firstYear == 0 ? year : std::min(m_firstYear, year);
    m_lastYear = std::max(m_lastYear, year);
    return there;
}

void ComponentWriter::addTime(icalcomponent* component, icalproperty* (*make)(icaltimetype),
                              const DateTime& value)
{
    const std::optional<QDateTime> there = inZone(value);
    if (!there)
        return;
    icalproperty* property = make(wallClock(*there));
    icalproperty_add_parameter(property, icalparameter_new_tzid(m_zoneId.constData()));
    icalcomponent_add_property(component, property);
}

void ComponentWriter::addText(icalcomponent* component, icalproperty* property, const QByteArray& text) const
{
    if (text.isEmpty()) {
        icalproperty_free(property);
        return;
    }
    icalcomponent_add_property(component, property);
}

void ComponentWriter::addCommon(icalcomponent* component, const QByteArray& uid) const
{
    icalcomponent_add_property(component, icalproperty_new_uid(uid.constData()));
    icaltimetype stamp = wallClock(Clock::now().toUTC());
    stamp.zone = icaltimezone_get_utc_timezone();
    icalcomponent_add_property(component, icalproperty_new_dtstamp(stamp));
}

IcalComponent ComponentWriter::todo(const TaskRecord& task, const QByteArray& category,
                                    const QByteArray& parent)
{
    IcalComponent todo(icalcomponent_new(ICAL_VTODO_COMPONENT));
    addCommon(todo.get(), CalendarWriter::taskUid(task.identifier));
    const QByteArray name = calendarText(task.name);
    icalcomponent_add_property(todo.get(), icalproperty_new_summary(name.constData()));
    addTime(todo.get(), icalproperty_new_dtstart, task.start);
    // A due time before the start makes the item invalid for calendar programs.
    const bool endsBeforeStart =
        task.start.isValid() && task.end.isValid() && task.end.days < task.start.days;
    addTime(todo.get(), icalproperty_new_due, endsBeforeStart ? task.start : task.end);
    const int priority = task.priority == TaskRecord::High ? 1 : task.priority == TaskRecord::Low ? 9 : 5;
    icalcomponent_add_property(todo.get(), icalproperty_new_priority(priority));
    icalcomponent_add_property(todo.get(),
                               icalproperty_new_percentcomplete(std::clamp(task.percentComplete, 0, 100)));
    if (task.completed != 0)
        icalcomponent_add_property(todo.get(), icalproperty_new_status(ICAL_STATUS_COMPLETED));
    if (!parent.isEmpty())
        icalcomponent_add_property(todo.get(),
                                   icalproperty_new_relatedto(CalendarWriter::taskUid(parent).constData()));

    QString categoryText = QString::fromUtf8(category);
    categoryText.replace(QLatin1Char(','), kCommaStandIn).replace(QLatin1Char(';'), kSemicolonStandIn);
    const QByteArray categoryBytes = categoryText.toUtf8();
    addText(todo.get(), icalproperty_new_categories(categoryBytes.constData()), categoryBytes);

    QByteArrayList names;
    for (const QByteArray& identifier : TextList::entries(task.resources)) {
        if (const ResourceRecord* resource = m_store.resources().find(identifier))
            names.append(calendarText(resource->name).trimmed());
    }
    const QByteArray description = names.join('\n');
    addText(todo.get(), icalproperty_new_description(description.constData()), description);

    if (task.reminderOn != 0) {
        if (const std::optional<QDateTime> at = inZone(task.reminderTime)) {
            // An alarm at a fixed moment is written in UTC, as the standard asks.
            icaltriggertype trigger{};
            trigger.time = wallClock(at->toUTC());
            trigger.time.zone = icaltimezone_get_utc_timezone();
            trigger.duration = icaldurationtype_null_duration();
            icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
            icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
            icalcomponent_add_property(alarm, icalproperty_new_description(name.constData()));
            icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
            icalcomponent_add_component(todo.get(), alarm);
        }
    }
    return todo;
}

IcalComponent ComponentWriter::event(const MeetingRecord& meeting)
{
    IcalComponent event(icalcomponent_new(ICAL_VEVENT_COMPONENT));
    addCommon(event.get(), CalendarWriter::meetingUid(meeting.identifier));
    icalcomponent_add_property(event.get(),
                               icalproperty_new_summary(calendarText(meeting.subject).constData()));
    // An event must have a start; a meeting that lost its start time starts at its end.
    const DateTime& start = meeting.start.toQDateTime().isValid() ? meeting.start : meeting.end;
    addTime(event.get(), icalproperty_new_dtstart, start);
    const bool endsBeforeStart = start.isValid() && meeting.end.isValid() && meeting.end.days < start.days;
    addTime(event.get(), icalproperty_new_dtend, endsBeforeStart ? start : meeting.end);
    const QByteArray place = calendarText(meeting.place);
    addText(event.get(), icalproperty_new_location(place.constData()), place);

    if (!meeting.lead.trimmed().isEmpty()) {
        icalproperty* organizer = icalproperty_new_organizer(personAddress(meeting.lead).constData());
        icalproperty_add_parameter(organizer, icalparameter_new_cn(parameterText(meeting.lead).constData()));
        icalcomponent_add_property(event.get(), organizer);
    }
    for (const QByteArray& name : TextList::entries(meeting.attendees)) {
        if (name.trimmed().isEmpty())
            continue;
        icalproperty* attendee = icalproperty_new_attendee(personAddress(name).constData());
        icalproperty_add_parameter(attendee, icalparameter_new_cn(parameterText(name).constData()));
        icalcomponent_add_property(event.get(), attendee);
    }

    QByteArrayList parts;
    if (!meeting.notes.trimmed().isEmpty())
        parts.append(calendarText(meeting.notes));
    if (const auto agenda = m_store.readMeetingList<AgendaRecord>(ListFile::Agenda, meeting.identifier);
        agenda && !agenda->isEmpty()) {
        QByteArray text = "Agenda:";
        for (const AgendaRecord& item : *agenda)
            text +=
                '\n' + DisplayFormat::timeWithoutSeconds(item.time).toUtf8() + ' ' + calendarText(item.name);
        parts.append(text);
    }
    if (const auto actions = m_store.readMeetingList<ActionRecord>(ListFile::Action, meeting.identifier);
        actions && !actions->isEmpty()) {
        QByteArray text = "Actions:";
        for (const ActionRecord& item : *actions) {
            text +=
                '\n' + calendarText(item.todo) + " (due " + DisplayFormat::shortDate(item.dueDate).toUtf8();
            if (!item.who.trimmed().isEmpty())
                text += ", " + calendarText(item.who);
            text += ')';
        }
        parts.append(text);
    }
    const QByteArray description = parts.join("\n\n");
    addText(event.get(), icalproperty_new_description(description.constData()), description);
    return event;
}

IcalComponent ComponentWriter::zoneDefinition() const
{
    IcalComponent definition(icalcomponent_new(ICAL_VTIMEZONE_COMPONENT));
    icalcomponent_add_property(definition.get(), icalproperty_new_tzid(m_zoneId.constData()));
    const int firstYear = m_firstYear == 0 ? Clock::now().date().year() : m_firstYear;
    const int lastYear = std::max(firstYear, m_lastYear);
    const QDateTime from(QDate(firstYear - 1, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(lastYear + 1, 12, 31), QTime(23, 59, 59), Qt::UTC);

    auto addObservance = [&](const QDateTime& onsetUtc, int offsetFrom, int offsetTo, bool daylight,
                             const QString& abbreviation) {
        icalcomponent* observance =
            icalcomponent_new(daylight ? ICAL_XDAYLIGHT_COMPONENT : ICAL_XSTANDARD_COMPONENT);
        // The onset is the wall-clock time under the offset that was in force before it.
        icalcomponent_add_property(observance,
                                   icalproperty_new_dtstart(wallClock(onsetUtc.addSecs(offsetFrom))));
        icalcomponent_add_property(observance, icalproperty_new_tzoffsetfrom(offsetFrom));
        icalcomponent_add_property(observance, icalproperty_new_tzoffsetto(offsetTo));
        if (!abbreviation.isEmpty())
            icalcomponent_add_property(observance,
                                       icalproperty_new_tzname(abbreviation.toUtf8().constData()));
        icalcomponent_add_component(definition.get(), observance);
    };

    const int firstOffset = m_zone.offsetFromUtc(from);
    addObservance(from, firstOffset, firstOffset, m_zone.isDaylightTime(from), m_zone.abbreviation(from));
    QTimeZone::OffsetDataList transitions = m_zone.transitions(from, to);
    if (transitions.size() > kMostObservances)
        transitions.remove(0, transitions.size() - kMostObservances);
    int offset = firstOffset;
    for (const QTimeZone::OffsetData& change : std::as_const(transitions)) {
        addObservance(change.atUtc, offset, change.offsetFromUtc, change.daylightTimeOffset != 0,
                      change.abbreviation);
        offset = change.offsetFromUtc;
    }
    return definition;
}

IcalComponent newCalendar()
{
    IcalComponent calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid("-//Brisolt//Korvane//EN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    return calendar;
}

/** Calls `visit` with the component of every task and meeting of the projects, in order. */
template <class Visit>
void forEachComponent(const RecordStore& store, ComponentWriter& writer, const QList<QByteArray>& projects,
                      Visit visit)
{
    for (const QByteArray& projectIdentifier : projects) {
        const ProjectRecord* project = store.projects().find(projectIdentifier);
        if (!project)
            continue;
        const std::vector<const TaskRecord*> tasks = store.ofProject<TaskRecord>(projectIdentifier);
        QHash<QByteArray, QByteArray> parents;
        for (const TaskRecord* task : tasks) {
            for (const QByteArray& child : TextList::entries(task->subTaskList))
                parents.insert(child, task->identifier);
        }
        const QByteArray category = calendarText(project->name);
        for (const TaskRecord* task : tasks) {
            const QByteArray parent = task->isSubTask() ? parents.value(task->identifier) : QByteArray();
            visit(writer.todo(*task, category, parent));
        }
        for (const MeetingRecord* meeting : store.ofProject<MeetingRecord>(projectIdentifier)) {
            if (CalendarWriter::isWritten(*meeting))
                visit(writer.event(*meeting));
        }
    }
}

QTimeZone usableZone(const QTimeZone& zone)
{
    // A zone without a name could not be referred to; UTC is named and always known.
    return zone.isValid() && !zone.id().isEmpty() ? zone : QTimeZone::utc();
}

} // namespace

CalendarWriter::CalendarWriter(const RecordStore& store, const QTimeZone& zone)
    : m_store(store), m_zone(usableZone(zone))
{
}

QByteArray CalendarWriter::calendar(const QList<QByteArray>& projects) const
{
    icalerror_set_errors_are_fatal(0);
    ComponentWriter writer(m_store, m_zone);
    std::vector<IcalComponent> items;
    forEachComponent(m_store, writer, projects,
                     [&](IcalComponent item) { items.push_back(std::move(item)); });
    IcalComponent calendar = newCalendar();
    icalcomponent_add_component(calendar.get(), writer.zoneDefinition().release());
    for (IcalComponent& item : items)
        icalcomponent_add_component(calendar.get(), item.release());
    return serialised(calendar.get());
}

QList<CalendarEntry> CalendarWriter::entries(const QList<QByteArray>& projects) const
{
    icalerror_set_errors_are_fatal(0);
    ComponentWriter writer(m_store, m_zone);
    QList<CalendarEntry> entries;
    forEachComponent(m_store, writer, projects, [&](IcalComponent item) {
        IcalComponent calendar = newCalendar();
        icalcomponent_add_component(calendar.get(), writer.zoneDefinition().release());
        CalendarEntry entry;
        entry.uid = icalcomponent_get_uid(item.get());
        entry.isMeeting = icalcomponent_isa(item.get()) == ICAL_VEVENT_COMPONENT;
        entry.identifier = QByteArray::fromPercentEncoding(
            entry.uid.mid(entry.isMeeting ? meetingUid({}).size() : taskUid({}).size()));
        entry.summary = QString::fromUtf8(icalcomponent_get_summary(item.get()));
        icalcomponent_add_component(calendar.get(), item.release());
        entry.text = serialised(calendar.get());
        entries.append(entry);
        writer.forgetYears();
    });
    return entries;
}

QString CalendarWriter::writeFile(const QList<QByteArray>& projects, const QString& path) const
{
    return SafeFile::write(path, calendar(projects));
}

bool CalendarWriter::isWritten(const MeetingRecord& meeting)
{
    // Without any time a meeting has no place in a calendar, and servers refuse such an event.
    return meeting.start.toQDateTime().isValid() || meeting.end.toQDateTime().isValid();
}

QByteArray CalendarWriter::taskUid(const QByteArray& identifier)
{
    return "korvane-task-" + identifier.toPercentEncoding();
}

QByteArray CalendarWriter::meetingUid(const QByteArray& identifier)
{
    return "korvane-meeting-" + identifier.toPercentEncoding();
}

} // namespace korvane
