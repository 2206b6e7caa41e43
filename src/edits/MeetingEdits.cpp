#include "edits/MeetingEdits.h"

#include "records/RecordCodec.h"
#include "store/RecordStore.h"

namespace korvane {

EditResult MeetingEdits::addForSheet(RecordStore& store, const QByteArray& projectIdentifier)
{
    const ProjectRecord* project = store.projects().find(projectIdentifier);
    if (!project)
        return {{}, QStringLiteral("The project is no longer in the data folder.")};
    MeetingRecord meeting = emptyRecord<MeetingRecord>();
    meeting.projectIdentifier = project->identifier;
    meeting.clientIdentifier = project->clientIdentifier;
    return RecordEdits::add(store, meeting);
}

EditResult MeetingEdits::cancelAdded(RecordStore& store, const QByteArray& meetingIdentifier)
{
    return RecordEdits::apply(store, removeChange(store, meetingIdentifier));
}

EditResult MeetingEdits::modifyMeeting(RecordStore& store, const MeetingRecord& meeting,
                                       const std::optional<QByteArray>& agenda,
                                       const std::optional<QByteArray>& actions)
{
    Change change(RecordEdits::describe("Modify", meeting));
    // The lists first, as the sheet always wrote them: a meeting is never saved ahead of its agenda.
    if (agenda)
        change.putList(ListFile::Agenda, meeting.identifier, *agenda);
    if (actions)
        change.putList(ListFile::Action, meeting.identifier, *actions);
    change.put(meeting,
               store.meetings().contains(meeting.identifier) ? RecordAction::Modify : RecordAction::Add);
    return RecordEdits::apply(store, change, meeting.identifier);
}

EditResult MeetingEdits::writeList(RecordStore& store, ListFile file, const QByteArray& meetingIdentifier,
                                   const QByteArray& bytes)
{
    const MeetingRecord* meeting = store.meetings().find(meetingIdentifier);
    const QString subject = meeting ? RecordEdits::nameOf(*meeting) : QString::fromLatin1(meetingIdentifier);
    Change change(
        QStringLiteral("Change %1 of Meeting \"%2\"")
            .arg(file == ListFile::Agenda ? QStringLiteral("Agenda") : QStringLiteral("Actions"), subject));
    change.putList(file, meetingIdentifier, bytes);
    return RecordEdits::apply(store, change, meetingIdentifier);
}

Change MeetingEdits::removeChange(const RecordStore& store, const QByteArray& identifier)
{
    const MeetingRecord* meeting = store.meetings().find(identifier);
    if (!meeting)
        return Change();
    Change change(RecordEdits::describe("Delete", *meeting));
    change.erase(*meeting);
    if (RecordStore::isUsableIdentifier(identifier)) {
        for (ListFile file : {ListFile::Agenda, ListFile::Action, ListFile::Attendees})
            change.eraseList(file, identifier);
    }
    return change;
}

} // namespace korvane
