#pragma once

#include "store/RecordKind.h"

#include <QDialog>
#include <QList>
#include <utility>

class QLabel;
class QListWidget;
class QTableWidget;
class QHBoxLayout;

namespace korvane {

class RecordStore;

/**
 * The records that sync programs left conflicting copies of: for the chosen record every version
 * side by side, field by field with the differences marked, and "Keep this version" for each.
 */
class ConflictsWindow : public QDialog
{
    Q_OBJECT

public:
    ConflictsWindow(RecordStore& store, QWidget* parent = nullptr);

    /** True when a version was kept, so the panes show records changed here. */
    bool changedRecords() const { return m_changed; }

private:
    /** Lists the records in conflict again, keeping the chosen one when it still is. */
    void fillRecords();
    /** Shows the versions of the record chosen in the list. */
    void showVersions();
    void keep(const QString& path);

    RecordStore& m_store;
    QList<std::pair<RecordKind, QByteArray>> m_records;
    QListWidget* m_recordList;
    QTableWidget* m_table;
    QLabel* m_hint;
    QHBoxLayout* m_keepButtons;
    bool m_changed = false;
};

} // namespace korvane
