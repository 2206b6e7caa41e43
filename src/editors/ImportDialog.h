#pragma once

#include "integration/ImportRow.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvane {

class RecordStore;

/** Lists the contacts, tasks or meetings read from a vCard or iCalendar file with check boxes, to pick
 * the ones to add. */
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    /**
     * Asks for a file (starting at the last one used for this kind, remembered by
     * AppSettings::lastImportFile under "Contacts", "Tasks" or "Meetings"), reads it, shows the rows with
     * check boxes ("Import Contacts" / "Import Tasks" / "Import Meetings/Appointments", column "Name" or
     * "Subject", "A - Z", "Z - A", OK, Cancel) and on OK adds the checked rows. Returns true when records
     * were added. projectId is the project that imported tasks and meetings belong to.
     */
    static bool run(RecordStore& store, ImportKind kind, const QByteArray& projectId, QWidget* parent);

    /** The file dialog's filter for a kind: the kind's own file types first, then all files. */
    static QString fileFilter(ImportKind kind);

    /** The settings key under which the last file of a kind is remembered. */
    static QString settingsKey(ImportKind kind);

    /** Builds the dialog on the rows read from `path`, shown in the order given. */
    ImportDialog(ImportKind kind, const QString& path, QList<ImportRow> rows, QWidget* parent = nullptr);

    /** The rows in the order shown, with their check marks as they stand. */
    const QList<ImportRow>& rows() const { return m_rows; }

private:
    void sortRows(bool ascending);
    void setAllChecked(bool checked);
    void takeCheckMark(QTreeWidgetItem* item);
    void fillList();
    void showCount();

    QList<ImportRow> m_rows;
    QTreeWidget* m_list = nullptr;
    QLabel* m_count = nullptr;
};

} // namespace korvane
