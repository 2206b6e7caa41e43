#pragma once

#include <QDialog>

class QPushButton;

namespace korvane {

class ProjectRangePicker;
class RecordStore;

/** "Export To Calendar File": the projects chosen by start month, written as one iCalendar file. */
class CalendarExportDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CalendarExportDialog(const RecordStore& store, QWidget* parent = nullptr);

    /** The project list and its month range. */
    ProjectRangePicker* picker() const { return m_picker; }
    QPushButton* exportButton() const { return m_export; }

    /** Asks for the file, writes the checked projects' tasks and meetings and says what it wrote. */
    void exportChecked();

private:
    const RecordStore& m_store;
    ProjectRangePicker* m_picker = nullptr;
    QPushButton* m_export = nullptr;
};

} // namespace korvane
