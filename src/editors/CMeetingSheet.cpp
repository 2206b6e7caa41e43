#include "editors/CMeetingSheet.h"
#include "editors/ChangedElsewhereQuestion.h"

#include "editors/CActionPg.h"
#include "editors/CAgendaPg.h"
#include "editors/CAttendeesPg.h"
#include "editors/CMeetingDetailsPg.h"
#include "editors/CSynopsisPg.h"
#include "editors/WizardPictures.h"
#include "edits/MeetingEdits.h"
#include "edits/RecordDefaults.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QPainter>

namespace korvane {

namespace {

const DateTime kNoLimit{DateTime::Invalid, 0.0};

/**
 * The watermark for the page without a header: the header pages make the sheet taller than the
 * picture, so it is continued downwards in its bottom colour instead of ending above the buttons.
 */
QPixmap headerlessWatermark(int extraHeight)
{
    const QPixmap picture = WizardPictures::watermark();
    QPixmap result(picture.width(), picture.height() + extraHeight);
    result.fill(picture.toImage().pixelColor(2, picture.height() - 1));
    QPainter painter(&result);
    painter.drawPixmap(0, 0, picture);
    return result;
}

} // namespace

CMeetingSheet::CMeetingSheet(RecordStore& store, const MeetingRecord& meeting, const DateTime& projectStart,
                             const DateTime& projectEnd, const QString& caption, QWidget* parent)
    : QWizard(parent)
    , m_store(store)
    , m_meeting(meeting)
    , m_details(new CMeetingDetailsPg(this))
    , m_agenda(new CAgendaPg(store, this))
    , m_action(new CActionPg(store, this))
    , m_attendees(new CAttendeesPg(this))
    , m_synopsis(new CSynopsisPg(this))
{
    setObjectName(QStringLiteral("meetingSheet"));
    setWindowTitle(caption);
    WizardPictures::apply(*this);
    setMinimumSize(640, 480);
    m_details->setPixmap(WatermarkPixmap, headerlessWatermark(WizardPictures::banner().height()));

    QStringList names;
    for (const auto& entry : store.resources())
        names.append(displayText(entry.record.name));
    m_details->setLeadNames(names);
    m_details->setMeeting(meeting, projectStart, projectEnd);
    m_agenda->setMeetingIdentifier(meeting.identifier);
    m_action->setMeetingIdentifier(meeting.identifier);
    m_attendees->setAttendees(meeting.attendees);
    m_synopsis->setTitle(tr("Synopsis"));
    m_synopsis->setSubTitle(tr("Your Synopsis go here ...."));
    m_synopsis->setText(meeting.notes);

    setPage(DetailsPage, m_details);
    setPage(AgendaPage, m_agenda);
    setPage(ActionPage, m_action);
    setPage(AttendeesPage, m_attendees);
    setPage(SynopsisPage, m_synopsis);
    setStartId(DetailsPage);

    // Opened at once, so the sheet can be driven before it is shown; showing it keeps this page.
    restart();
}

void CMeetingSheet::accept()
{
    if (validateCurrentPage() && store())
        QDialog::accept();
}

bool CMeetingSheet::store()
{
    MeetingRecord meeting = m_meeting;
    m_details->applyTo(meeting);
    RecordDefaults::fill(meeting);
    meeting.attendees = m_attendees->attendees();
    meeting.notes = m_synopsis->text();

    const auto failed = [this](const QString& what, const QString& error) {
        UserDialogs::message(this, what + QLatin1Char('\n') + error, UserDialogs::Icon::Critical);
        return false;
    };
    const auto listOf = [](const MeetingListPage* page) {
        return page->wasShown() ? std::optional<QByteArray>(page->fileBytes()) : std::nullopt;
    };
    const auto save = [&] {
        return MeetingEdits::modifyMeeting(m_store, meeting, listOf(m_agenda), listOf(m_action));
    };
    EditResult result = save();
    ChangedElsewhereQuestion::ask(this, m_store, result, save);
    if (result.changedElsewhere)
        return false;
    if (!result.ok())
        return failed(tr("The meeting could not be saved."), result.error);
    m_meeting = meeting;
    m_stored = true;
    return true;
}

EditorOutcome CMeetingSheet::addMeeting(RecordStore& store, const QByteArray& projectId, QWidget* parent)
{
    const ProjectRecord* found = store.projects().find(projectId);
    if (!found)
        return {};
    const ProjectRecord project = *found;

    const EditResult added = MeetingEdits::addForSheet(store, project.identifier);
    if (!added.ok()) {
        UserDialogs::message(parent, tr("The new meeting could not be saved.\n%1").arg(added.error),
                             UserDialogs::Icon::Critical);
        return {};
    }

    CMeetingSheet sheet(store, store.GetMeeting(added.identifier), project.startDate, project.endDate,
                        tr("Add Meeting"), parent);
    if (UserDialogs::exec(sheet) == QDialog::Accepted && sheet.isStored())
        return {true, added.identifier};

    // Cancel takes back the meeting added for the sheet, with any agenda or action file written for it.
    if (const QString error = MeetingEdits::cancelAdded(store, added.identifier).error; !error.isEmpty())
        UserDialogs::message(parent, tr("The cancelled meeting could not be removed.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
    return {};
}

EditorOutcome CMeetingSheet::modifyMeeting(RecordStore& store, const QByteArray& meetingId,
                                           const QByteArray& projectId, QWidget* parent)
{
    const MeetingRecord* found = store.meetings().find(meetingId);
    if (!found)
        return {};
    const ProjectRecord* project = store.projects().find(projectId);
    CMeetingSheet sheet(store, *found, project ? project->startDate : kNoLimit,
                        project ? project->endDate : kNoLimit, tr("Modify Meeting"), parent);
    if (UserDialogs::exec(sheet) == QDialog::Accepted && sheet.isStored())
        return {true, meetingId};
    return {};
}

} // namespace korvane
