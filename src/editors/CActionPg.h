#pragma once

#include "records/Records.h"

#include <QByteArray>
#include <QList>
#include <QWizardPage>

class QListWidget;
class QPushButton;

namespace korvane {

class RecordStore;

/**
 * The meeting sheet's action page: the to-dos of the meeting's action file, added, changed and
 * deleted in a list that is written back to the file whenever the page is left by Next.
 */
class CActionPg : public QWizardPage
{
    Q_OBJECT

public:
    explicit CActionPg(RecordStore& store, QWidget* parent = nullptr);

    /** The meeting whose action file the page reads and writes. */
    void setMeetingIdentifier(const QByteArray& identifier);
    /** The items as the list shows them, in list order. */
    const QList<ActionRecord>& items() const { return m_items; }
    /** True once the page has been opened and its list read from the file. */
    bool wasShown() const { return m_loaded; }
    /** Writes the whole list to the meeting's action file; "" or the reason it failed. */
    QString writeFile() const;

    /** Reads the action file the first time the page opens; later visits keep the list as edited. */
    void initializePage() override;
    /** Leaving by Next writes the list; a failed write is shown and keeps the user on the page. */
    bool validatePage() override;

    /** The list of actions, one two-line row each. */
    QListWidget* list() const { return m_list; }

protected:
    /** The Delete key in the list deletes the selected item. */
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addItem();
    void modifyItem();
    void deleteItem();
    void showItems(qsizetype current);
    void updateButtons();

    RecordStore& m_store;
    QByteArray m_meetingIdentifier;
    QList<ActionRecord> m_items;
    bool m_loaded = false;
    QListWidget* m_list;
    QPushButton* m_add;
    QPushButton* m_modify;
    QPushButton* m_delete;
};

} // namespace korvane
