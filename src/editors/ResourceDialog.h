#pragma once

#include "records/Records.h"

#include <QDialog>

class QLineEdit;

namespace korvane {

/** The "Add Resource" / "Modify Resource" dialog: name, designation, department and two phones. */
class ResourceDialog : public QDialog
{
    Q_OBJECT

public:
    /** A dialog with the given title showing the record's five texts. */
    ResourceDialog(const QString& title, const ResourceRecord& record, QWidget* parent = nullptr);

    /** The record with the shown texts taken over; an empty name becomes "Unknown". */
    ResourceRecord record() const;

    /** Runs the dialog on the record; true (and the record changed) when the user pressed OK. */
    static bool run(ResourceRecord& record, const QString& title, QWidget* parent);

private:
    ResourceRecord m_record;
    QLineEdit* m_name;
    QLineEdit* m_designation;
    QLineEdit* m_department;
    QLineEdit* m_phone1;
    QLineEdit* m_phone2;
};

} // namespace korvane
