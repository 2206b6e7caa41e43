#pragma once

#include "reports/PageWriter.h"

#include <QByteArray>
#include <QDate>
#include <QDialog>
#include <QList>
#include <optional>

class QDateEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;
class QTreeWidget;

namespace korvane {

class PagePrinter;
class ProjectRangePicker;
class RecordStore;

/**
 * "Print Preference": the projects that start in a month range and the report modules, each with a
 * check box, a preview of the page, Print, which opens the print preview of the checked projects, and
 * Save as PDF.
 */
class PrintPreferenceDialog : public QDialog
{
    Q_OBJECT

public:
    /** Both month pickers start on today's month, as the main window's do; see setDateRange. */
    explicit PrintPreferenceDialog(const RecordStore& store, QWidget* parent = nullptr);

    /** Starts the pickers on the main window's months, so the dialog lists the projects the user sees. */
    void setDateRange(const QDate& from, const QDate& to);

    /** The identifiers of the checked projects, in list order. */
    QList<QByteArray> checkedProjects() const;
    /** The module number of the checked modules (10 Leaders, 100 Task, 1000 Meeting, 10000 Payment Track). */
    int moduleNumber() const;

    /** Builds "Print.html" from the checked projects and modules, shows it, and opens its print preview. */
    void print();

    /** Builds and shows the page as Print does, then writes it to a PDF file of the user's choice and opens
     * it. */
    void savePdf();

    QTreeWidget* projectList() const;
    QListWidget* moduleList() const { return m_modules; }
    QDateEdit* fromEdit() const;
    QDateEdit* toEdit() const;
    QTextBrowser* browser() const { return m_browser; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* savePdfButton() const { return m_savePdf; }
    QPushButton* cancelButton() const { return m_cancel; }
    /** The printer that shows the print preview. */
    PagePrinter& printer() { return *m_printer; }

private:
    /** Writes "Print.html" and shows it; the page, or nothing after a message when it cannot be printed. */
    std::optional<PageResult> writePage();

    const RecordStore& m_store;
    ProjectRangePicker* m_picker = nullptr;
    QListWidget* m_modules = nullptr;
    QTextBrowser* m_browser = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_savePdf = nullptr;
    QPushButton* m_cancel = nullptr;
    PagePrinter* m_printer = nullptr;
};

} // namespace korvane
