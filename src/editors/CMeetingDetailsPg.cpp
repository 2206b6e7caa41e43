#include "editors/CMeetingDetailsPg.h"

#include "editors/KeptText.h"
#include "records/Clock.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

namespace korvane {

namespace {

const QString kDateTimeFormat = QStringLiteral("dd/MM/yyyy hh:mm AP");
const QTime kLastSecond(23, 59, 59);

QDateTimeEdit* makeDateTimeEdit(const char* name, const QString& accessible, QWidget* parent)
{
    auto* edit = new QDateTimeEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    edit->setDisplayFormat(kDateTimeFormat);
    edit->setCalendarPopup(true);
    return edit;
}

QLineEdit* makeLineEdit(const char* name, const QString& accessible, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    return edit;
}

/** The stored value when the picker still shows what it showed at first, otherwise the picked one. */
DateTime pickedOrStored(const QDateTime& picked, const QDateTime& shown, const DateTime& stored)
{
    const bool untouched = picked == shown && (!stored.isValid() || shown == stored.toQDateTime());
    return untouched ? stored : DateTime::fromQDateTime(picked);
}

} // namespace

CMeetingDetailsPg::CMeetingDetailsPg(QWidget* parent)
    : QWizardPage(parent)
    , m_name(makeLineEdit("meetingNameEdit", tr("Name"), this))
    , m_code(makeLineEdit("meetingCodeEdit", tr("Meeting ID"), this))
    , m_place(makeLineEdit("meetingPlaceEdit", tr("Place"), this))
    , m_lead(new QComboBox(this))
    , m_start(makeDateTimeEdit("meetingStartEdit", tr("Start Date"), this))
    , m_end(makeDateTimeEdit("meetingEndEdit", tr("End Date"), this))
{
    setObjectName(QStringLiteral("meetingDetailsPage"));

    m_lead->setObjectName(QStringLiteral("meetingLeadCombo"));
    m_lead->setAccessibleName(tr("Lead By"));
    m_lead->setEditable(true);
    // Typing a name and pressing Enter must not add it to the resources offered.
    m_lead->setInsertPolicy(QComboBox::NoInsert);
    m_lead->lineEdit()->setObjectName(QStringLiteral("meetingLeadEdit"));
    m_lead->lineEdit()->setAccessibleName(tr("Lead By"));

    auto* form = new QFormLayout(this);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setVerticalSpacing(12);
    const auto addRow = [&](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(tr("Na&me"), m_name);
    addRow(tr("Meeting &ID"), m_code);
    addRow(tr("&Place"), m_place);
    addRow(tr("&Lead By"), m_lead);
    addRow(tr("&Start Date"), m_start);
    addRow(tr("&End Date"), m_end);

    setTabOrder(m_name, m_code);
    setTabOrder(m_code, m_place);
    setTabOrder(m_place, m_lead);
    setTabOrder(m_lead, m_start);
    setTabOrder(m_start, m_end);
    setFocusProxy(m_name);

    connect(m_start, &QDateTimeEdit::dateTimeChanged, this, &CMeetingDetailsPg::updateEndRange);

    KeptText::show(m_name, {});
    KeptText::show(m_code, {});
    KeptText::show(m_place, {});
    KeptText::show(m_lead->lineEdit(), {});
}

void CMeetingDetailsPg::setLeadNames(const QStringList& names)
{
    QStringList sorted = names;
    sorted.removeDuplicates();
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    // Filling the list replaces the shown text, which must stay the meeting's lead.
    const QByteArray bytes = KeptText::take(m_lead->lineEdit());
    m_lead->clear();
    m_lead->addItems(sorted);
    m_lead->setCurrentIndex(-1);
    KeptText::show(m_lead->lineEdit(), bytes);
}

void CMeetingDetailsPg::setMeeting(const MeetingRecord& meeting, const DateTime& projectStart,
                                   const DateTime& projectEnd)
{
    KeptText::show(m_name, meeting.subject);
    KeptText::show(m_code, meeting.meetingCode);
    KeptText::show(m_place, meeting.place);
    KeptText::show(m_lead->lineEdit(), meeting.lead);

    m_storedStart = meeting.start;
    m_storedEnd = meeting.end;
    const QDateTime now = Clock::now();
    const QDateTime start = meeting.start.isValid() ? meeting.start.toQDateTime() : now;
    const QDateTime end = meeting.end.isValid() ? meeting.end.toQDateTime() : start;

    // Whole days: a project's dates carry the time of day they were entered at, which must not
    // shut out meetings later on its last day.
    QDateTime earliest = projectStart.isValid() ? QDateTime(projectStart.date(), QTime(0, 0)) : QDateTime();
    QDateTime latest = projectEnd.isValid() ? QDateTime(projectEnd.date(), kLastSecond) : QDateTime();
    if (earliest.isValid() && latest.isValid() && latest < earliest)
        latest = QDateTime(earliest.date(), kLastSecond);
    if (earliest.isValid())
        earliest = std::min(earliest, start);
    if (latest.isValid())
        latest = std::max(latest, start);

    {
        const QSignalBlocker blockStart(m_start);
        const QSignalBlocker blockEnd(m_end);
        m_start->clearMinimumDateTime();
        m_start->clearMaximumDateTime();
        m_end->clearMinimumDateTime();
        m_end->clearMaximumDateTime();
        m_start->setDateTime(start);
        m_end->setDateTime(end);
        if (earliest.isValid())
            m_start->setMinimumDateTime(earliest);
        if (latest.isValid())
            m_start->setMaximumDateTime(latest);
        m_shownStart = m_start->dateTime();
        updateEndRange();
    }
    m_shownEnd = m_end->dateTime();
}

void CMeetingDetailsPg::updateEndRange()
{
    const QDateTime start = m_start->dateTime();
    QDateTime latest(start.date(), kLastSecond);
    // A meeting that already ends on a later day (an imported appointment) keeps its end for as
    // long as its start is left where it was.
    const QDateTime storedEnd = m_storedEnd.toQDateTime();
    if (start == m_shownStart && storedEnd.isValid() && storedEnd > latest)
        latest = storedEnd;
    // Narrowing the range moves an End shown before the Start up to the Start.
    m_end->setDateTimeRange(start, latest);
}

void CMeetingDetailsPg::applyTo(MeetingRecord& meeting) const
{
    meeting.subject = KeptText::take(m_name);
    meeting.meetingCode = KeptText::take(m_code);
    meeting.place = KeptText::take(m_place);
    meeting.lead = KeptText::take(m_lead->lineEdit());
    meeting.start = pickedOrStored(m_start->dateTime(), m_shownStart, m_storedStart);
    meeting.end = pickedOrStored(m_end->dateTime(), m_shownEnd, m_storedEnd);
}

} // namespace korvane
