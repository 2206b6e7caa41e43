#pragma once

#include "records/Records.h"

#include <QDateTime>
#include <QStringList>
#include <QWizardPage>

class QComboBox;
class QDateTimeEdit;
class QLineEdit;

namespace korvane {

/**
 * The first page of the meeting sheet: name, meeting ID, place, who leads it and when it starts
 * and ends, the end always kept on the start's day and not before the start.
 */
class CMeetingDetailsPg : public QWizardPage
{
    Q_OBJECT

public:
    explicit CMeetingDetailsPg(QWidget* parent = nullptr);

    /** Offers these names in the Lead By list, sorted alphabetically; the field keeps what it shows. */
    void setLeadNames(const QStringList& names);

    /**
     * Shows the meeting's details. Start Date may range over the project's days, from the start of
     * its first day to the end of its last (a date that is not valid leaves that side open), and
     * always over the meeting's own start, so a value the user leaves alone is never changed.
     */
    void setMeeting(const MeetingRecord& meeting, const DateTime& projectStart, const DateTime& projectEnd);

    /** Takes the shown details into the meeting; texts and dates the user left alone keep their stored bytes. */
    void applyTo(MeetingRecord& meeting) const;

    /** The page's fields, for tests and for keyboard focus. */
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* codeEdit() const { return m_code; }
    QLineEdit* placeEdit() const { return m_place; }
    QComboBox* leadCombo() const { return m_lead; }
    QDateTimeEdit* startEdit() const { return m_start; }
    QDateTimeEdit* endEdit() const { return m_end; }

private:
    void updateEndRange();

    QLineEdit* m_name;
    QLineEdit* m_code;
    QLineEdit* m_place;
    QComboBox* m_lead;
    QDateTimeEdit* m_start;
    QDateTimeEdit* m_end;

    DateTime m_storedStart;
    DateTime m_storedEnd;
    /** What the pickers showed once the meeting was set, to tell the user's changes from none. */
    QDateTime m_shownStart;
    QDateTime m_shownEnd;
};

} // namespace korvane
