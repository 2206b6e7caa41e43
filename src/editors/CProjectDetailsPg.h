#pragma once

#include "records/Records.h"

#include <QDate>
#include <QWizardPage>

class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

class RecordStore;

/** The first page of the project wizard: name, code, end user, dates, links, currency and documents. */
class CProjectDetailsPg : public QWizardPage
{
    Q_OBJECT

public:
    /** A page whose currency list changes go through `store`'s history when one is given. */
    explicit CProjectDetailsPg(RecordStore* store = nullptr, QWidget* parent = nullptr);

    /** Shows the project's fields; the End Date's earliest value is set only once a date changes. */
    void setProject(const ProjectRecord& record);
    /** The record given to setProject with the page's fields taken over; untouched fields keep their bytes. */
    ProjectRecord project() const;

    /** Shows the number of documents in the scratch file as the page does on opening. */
    void showDocumentCount(int count);
    /** Enables or disables the documents text and button (disabled when the scratch file is unusable). */
    void setDocumentsEnabled(bool enabled);

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* codeEdit() const { return m_code; }
    QDateEdit* startDateEdit() const { return m_start; }
    QDateEdit* endDateEdit() const { return m_end; }
    /** The clickable documents text ("Click Here to Add Documents" or the count). */
    QPushButton* documentsText() const { return m_documentsText; }

private:
    QPushButton* addLinkRow(QGridLayout* grid, int row, const QString& caption, const QString& accessible,
                            const char* name, QLineEdit*& edit);
    void chooseFile(QLineEdit* edit);
    void chooseCurrency();
    void editDocuments();
    void followStartDate();

    ProjectRecord m_record;
    QDate m_startShown;
    QDate m_endShown;
    bool m_loading = false;

    QLineEdit* m_name = nullptr;
    QLineEdit* m_code = nullptr;
    QLineEdit* m_endUser = nullptr;
    QDateEdit* m_start = nullptr;
    QDateEdit* m_end = nullptr;
    QLineEdit* m_fileLink = nullptr;
    QLineEdit* m_currency = nullptr;
    RecordStore* m_store = nullptr;
    QPushButton* m_setCurrency = nullptr;
    QLineEdit* m_income = nullptr;
    QLineEdit* m_expense = nullptr;
    QLineEdit* m_turnOver = nullptr;
    QPushButton* m_documentsText = nullptr;
    QPushButton* m_documentsButton = nullptr;
};

} // namespace korvane
