#pragma once

#include "edits/History.h"

#include <QHash>
#include <QWidget>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeWidget;

namespace korvane {

class RecordStore;

/**
 * The History window: every kept change, newest first, with its time and description, filtered by
 * project and by text; the change chosen is shown record by record, each changed field with its
 * value before and after. "Restore" asks the main window to put that change's records back. The
 * entries are read a slice at a time, so a long history shows its newest changes at once.
 */
class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    /** A window over the history of the store's data folder; it does not own the store. */
    explicit HistoryWindow(const RecordStore& store, QWidget* parent = nullptr);

    /** Reads the history again from the newest change (after a change, or another data folder). */
    void reload();

    QTreeWidget* changeList() const { return m_changes; }
    QTreeWidget* detailsView() const { return m_details; }
    QLineEdit* textFilter() const { return m_text; }
    QComboBox* projectFilter() const { return m_project; }
    QPushButton* restoreButton() const { return m_restore; }
    /** The size, in MB, the history is trimmed to; a change is remembered for the next start. */
    QSpinBox* sizeLimit() const { return m_limit; }
    /** True while older entries are still being read. */
    bool isReading() const;
    /** The identifier of the change chosen in the list; empty when none. */
    QByteArray currentChange() const;

signals:
    /** The user asked for the records of the change to be put back as they were before it. */
    void restoreRequested(const QByteArray& changeId);

private:
    void readSlice();
    void addRow(const HistoryEntry& entry);
    bool matches(const HistoryEntry& entry) const;
    void applyFilter();
    void showDetails();
    void noteProjects(const HistoryEntry& entry);
    void showCount();

    const RecordStore& m_store;
    QList<QByteArray> m_ids;
    qsizetype m_nextIndex = 0;
    /** The entries read so far, newest first; the list's rows show those the filter lets through. */
    std::vector<HistoryEntry> m_entries;
    QHash<QByteArray, QString> m_projectNames;
    QTimer* m_reader = nullptr;
    QComboBox* m_project = nullptr;
    QLineEdit* m_text = nullptr;
    QTreeWidget* m_changes = nullptr;
    QTreeWidget* m_details = nullptr;
    QPushButton* m_restore = nullptr;
    QSpinBox* m_limit = nullptr;
    QLabel* m_count = nullptr;
};

} // namespace korvane
