#include "shell/PrintPreferenceDialog.h"

#include "records/Text.h"
#include "reports/PrintReport.h"
#include "reports/pdf/PdfExport.h"
#include "reports/pdf/PrintDocument.h"
#include "shell/PagePrinter.h"
#include "shell/ProjectExports.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/ProjectRangePicker.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

PrintPreferenceDialog::PrintPreferenceDialog(const RecordStore& store, QWidget* parent)
    : QDialog(parent), m_store(store)
{
    setObjectName(QStringLiteral("printPreferenceDialog"));
    setWindowTitle(QStringLiteral("Print Preference"));
    setAccessibleName(windowTitle());
    m_printer = new PagePrinter(this);

    m_picker = new ProjectRangePicker(store, this);
    m_picker->projectList()->setAlternatingRowColors(true);

    m_modules = new QListWidget(this);
    m_modules->setObjectName(QStringLiteral("moduleList"));
    m_modules->setAccessibleName(QStringLiteral("Modules"));
    for (const QString& name : {QStringLiteral("Leaders"), QStringLiteral("Task"), QStringLiteral("Meeting"),
                                QStringLiteral("Payment Track")}) {
        auto* item = new QListWidgetItem(name, m_modules);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    m_modules->setCurrentRow(0);
    // Four rows and no more: the list should not claim space the project list needs.
    m_modules->setFixedHeight(m_modules->sizeHintForRow(0) * m_modules->count() +
                              2 * m_modules->frameWidth() + 4);
    auto* modulesLabel = new QLabel(QStringLiteral("&Modules"), this);
    modulesLabel->setBuddy(m_modules);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("pageBrowser"));
    m_browser->setAccessibleName(QStringLiteral("Page preview"));
    m_browser->setOpenLinks(false);
    // The printed pages hold no links to step through, so Tab moves on to the buttons.
    m_browser->setTabChangesFocus(true);
    m_browser->setPlaceholderText(QStringLiteral(
        "Check the projects and the modules to print, then press Print to see the page here."));
    auto* pageLabel = new QLabel(QStringLiteral("Pa&ge"), this);
    pageLabel->setBuddy(m_browser);

    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    m_print = buttons->addButton(QStringLiteral("&Print"), QDialogButtonBox::AcceptRole);
    m_print->setObjectName(QStringLiteral("printButton"));
    m_print->setAccessibleName(QStringLiteral("Print"));
    m_print->setDefault(true);
    m_savePdf = buttons->addButton(QStringLiteral("Save as P&DF..."), QDialogButtonBox::ActionRole);
    m_savePdf->setObjectName(QStringLiteral("savePdfButton"));
    m_savePdf->setAccessibleName(QStringLiteral("Save as PDF"));
    m_cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAccessibleName(QStringLiteral("Cancel"));
    // Print keeps the dialog open: the user may print other projects before closing it.
    connect(m_print, &QPushButton::clicked, this, &PrintPreferenceDialog::print);
    connect(m_savePdf, &QPushButton::clicked, this, &PrintPreferenceDialog::savePdf);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(m_picker, 1);
    left->addWidget(modulesLabel);
    left->addWidget(m_modules);
    auto* right = new QVBoxLayout;
    right->addWidget(pageLabel);
    right->addWidget(m_browser, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addWidget(buttons);

    setTabOrder(m_picker->projectList(), m_modules);
    setTabOrder(m_modules, m_browser);
    setTabOrder(m_browser, m_print);
    setTabOrder(m_print, m_savePdf);
    setTabOrder(m_savePdf, m_cancel);

    resize(980, 640);
}

void PrintPreferenceDialog::setDateRange(const QDate& from, const QDate& to)
{
    m_picker->setDateRange(from, to);
}

QList<QByteArray> PrintPreferenceDialog::checkedProjects() const
{
    return m_picker->checkedProjects();
}

QTreeWidget* PrintPreferenceDialog::projectList() const
{
    return m_picker->projectList();
}

QDateEdit* PrintPreferenceDialog::fromEdit() const
{
    return m_picker->fromEdit();
}

QDateEdit* PrintPreferenceDialog::toEdit() const
{
    return m_picker->toEdit();
}

int PrintPreferenceDialog::moduleNumber() const
{
    QList<PrintReport::Module> modules;
    for (int row = 0; row < m_modules->count(); ++row) {
        if (m_modules->item(row)->checkState() == Qt::Checked)
            modules.append(PrintReport::Module(row));
    }
    return PrintReport::moduleNumber(modules);
}

void PrintPreferenceDialog::print()
{
    if (const std::optional<PageResult> page = writePage())
        m_printer->previewNow(page->path);
}

void PrintPreferenceDialog::savePdf()
{
    const std::optional<PageResult> page = writePage();
    if (!page)
        return;
    const QList<QByteArray> projects = checkedProjects();
    const QString title = projects.size() == 1 ? displayText(m_store.GetProject(projects.first()).name)
                                               : QStringLiteral("Projects");
    const QString path = ProjectExports::askSavePath(
        this, QStringLiteral("Save as PDF"), ProjectExports::safeFileName(title, QStringLiteral("Projects")),
        QStringLiteral("pdf"), QStringLiteral("PDF Files (*.pdf)"));
    if (path.isEmpty())
        return;
    const auto document = PrintDocument::fromPage(page->text, QFileInfo(page->path).absolutePath());
    const QString error = PdfExport::write(*document, path, title);
    if (!error.isEmpty()) {
        UserDialogs::message(this, QStringLiteral("The PDF could not be written.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
        return;
    }
    UserDialogs::openFile(this, path);
}

std::optional<PageResult> PrintPreferenceDialog::writePage()
{
    const QList<QByteArray> projects = checkedProjects();
    const PageResult page = PrintReport::write(m_store, projects, moduleNumber());
    if (!page.ok()) {
        UserDialogs::message(this, QStringLiteral("The page cannot be printed.\n%1").arg(page.error),
                             UserDialogs::Icon::Critical);
        return std::nullopt;
    }
    // Shown from the text, not loaded from the file: a browser asked for the same file name again
    // keeps showing the page it read the first time.
    PrintDocument::setPage(*m_browser->document(), page.text, QFileInfo(page.path).absolutePath());
    if (projects.isEmpty()) {
        UserDialogs::message(this, QStringLiteral("Please Select atleast one Project from the list"),
                             UserDialogs::Icon::Warning);
        return std::nullopt;
    }
    return page;
}

} // namespace korvane
