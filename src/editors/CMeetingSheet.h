#pragma once

#include "editors/EditorOutcome.h"
#include "records/Records.h"

#include <QByteArray>
#include <QWizard>

namespace korvane {

class CActionPg;
class CAgendaPg;
class CAttendeesPg;
class CMeetingDetailsPg;
class CSynopsisPg;
class RecordStore;

/**
 * The five-page wizard in which a meeting of a project is added or changed: details, agenda,
 * actions, attendees and notes. The agenda and action files are written whenever their page is
 * left by Next; Finish writes them once more and stores the meeting.
 */
class CMeetingSheet : public QWizard
{
    Q_OBJECT

public:
    /** The pages, in the order they are shown. */
    enum PageId
    {
        DetailsPage,
        AgendaPage,
        ActionPage,
        AttendeesPage,
        SynopsisPage
    };

    /**
     * "Add Meeting": the meeting is stored before the sheet opens, so its agenda and action files
     * have a name; Finish stores it again, Cancel deletes it with its agenda and action files.
     * The project's days limit the Start Date. Does nothing for a project the store does not hold.
     */
    static EditorOutcome addMeeting(RecordStore& store, const QByteArray& projectId, QWidget* parent);

    /**
     * "Modify Meeting" on a copy; Finish stores it. `projectId` gives the Start Date limits (the
     * project selected in the list). Does nothing for a meeting the store does not hold.
     */
    static EditorOutcome modifyMeeting(RecordStore& store, const QByteArray& meetingId,
                                       const QByteArray& projectId, QWidget* parent);

    /**
     * Builds the sheet on a copy of a stored meeting, opened on its first page. The Start Date may
     * range over the days from `projectStart` to `projectEnd` (a date that is not valid leaves that
     * side open); the Lead By list offers the names of the store's resources.
     */
    CMeetingSheet(RecordStore& store, const MeetingRecord& meeting, const DateTime& projectStart,
                  const DateTime& projectEnd, const QString& caption, QWidget* parent = nullptr);

    /** The working copy: the meeting as given, or as stored once Finish has succeeded. */
    const MeetingRecord& meeting() const { return m_meeting; }
    /** True once Finish has stored the meeting. */
    bool isStored() const { return m_stored; }

    /** The five pages, in the order they are shown. */
    CMeetingDetailsPg* detailsPage() const { return m_details; }
    CAgendaPg* agendaPage() const { return m_agenda; }
    CActionPg* actionPage() const { return m_action; }
    CAttendeesPg* attendeesPage() const { return m_attendees; }
    CSynopsisPg* synopsisPage() const { return m_synopsis; }

    /** Finish: stores the lists of the pages that were opened and the meeting; a failed write is shown and keeps the sheet open. */
    void accept() override;

private:
    bool store();

    RecordStore& m_store;
    MeetingRecord m_meeting;
    bool m_stored = false;
    CMeetingDetailsPg* m_details;
    CAgendaPg* m_agenda;
    CActionPg* m_action;
    CAttendeesPg* m_attendees;
    CSynopsisPg* m_synopsis;
};

} // namespace korvane
