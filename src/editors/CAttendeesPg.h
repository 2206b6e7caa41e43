#pragma once

#include <QByteArray>
#include <QWizardPage>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace korvane {

/**
 * The meeting sheet's attendees page: one row per attendee name, added from a one-line edit and
 * removed at once; leaving the page by Next rebuilds the meeting's attendees list from the rows.
 */
class CAttendeesPg : public QWizardPage
{
    Q_OBJECT

public:
    explicit CAttendeesPg(QWidget* parent = nullptr);

    /** Takes the meeting's attendees list (each name ended by a line feed); the rows are made when the page opens. */
    void setAttendees(const QByteArray& list);
    /** The list as last rebuilt by Next, or the one given to setAttendees, byte for byte, before that. */
    QByteArray attendees() const { return m_list; }

    /** Makes one row per name that a line feed ends, the first time the page opens. */
    void initializePage() override;
    /** Rebuilds the attendees list: every row's name followed by a line feed, in row order. */
    bool validatePage() override;

    /** The one-line edit and the rows of the page. */
    QLineEdit* nameEdit() const { return m_edit; }
    QTreeWidget* rows() const { return m_rows; }

protected:
    /** Enter in the name edit adds the name, Delete in the rows removes the selected one. */
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addAttendee();
    void deleteAttendee();
    void updateButtons();

    QByteArray m_list;
    bool m_loaded = false;
    QLineEdit* m_edit;
    QPushButton* m_add;
    QPushButton* m_delete;
    QTreeWidget* m_rows;
};

} // namespace korvane
