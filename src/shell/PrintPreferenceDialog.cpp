#include "shell/PrintPreferenceDialog.h"

#include "records/Text.h"
#include "reports/PrintReport.h"
#include "reports/pdf/PdfExport.h"
#include "reports/pdf/PrintDocument.h"
#include "shell/PagePrinter.h"
#include "shell/ProjectExports.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kIdentifierRole = Qt::UserRole;

const QString kDatePicture = QStringLiteral("MMM - yyyy");

QDateEdit* monthPicker(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* edit = new QDateEdit(QDate::currentDate(), parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setDisplayFormat(kDatePicture);
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

PrintPreferenceDialog::PrintPreferenceDialog(const RecordStore& store, QWidget* parent)
    : QDialog(parent), m_store(store)
{
    setObjectName(QStringLiteral("printPreferenceDialog"));
    setWindowTitle(QStringLiteral("Print Preference"));
    setAccessibleName(windowTitle());
    m_printer = new PagePrinter(this);

    auto* filter = new QGroupBox(QStringLiteral("Project Start Date Filter"), this);
    filter->setObjectName(QStringLiteral("dateFilterGroup"));
    m_from = monthPicker(QStringLiteral("fromDateEdit"), QStringLiteral("From"), filter);
    m_to = monthPicker(QStringLiteral("toDateEdit"), QStringLiteral("To"), filter);
    auto* filterLayout = new QFormLayout(filter);
    auto* fromLabel = new QLabel(QStringLiteral("&From : "), filter);
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel(QStringLiteral("&To : "), filter);
    toLabel->setBuddy(m_to);
    filterLayout->addRow(fromLabel, m_from);
    filterLayout->addRow(toLabel, m_to);

    m_projects = new QTreeWidget(this);
    m_projects->setObjectName(QStringLiteral("projectList"));
    m_projects->setAccessibleName(QStringLiteral("Projects"));
    m_projects->setColumnCount(2);
    m_projects->setHeaderLabels({QStringLiteral("Project"), QStringLiteral("Duration")});
    m_projects->setRootIsDecorated(false);
    m_projects->setUniformRowHeights(true);
    m_projects->setAlternatingRowColors(true);
    m_projects->header()->setStretchLastSection(false);
    m_projects->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_projects->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    auto* projectsLabel = new QLabel(QStringLiteral("&Projects"), this);
    projectsLabel->setBuddy(m_projects);

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
    left->addWidget(filter);
    left->addWidget(projectsLabel);
    left->addWidget(m_projects, 1);
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

    setTabOrder(m_from, m_to);
    setTabOrder(m_to, m_projects);
    setTabOrder(m_projects, m_modules);
    setTabOrder(m_modules, m_browser);
    setTabOrder(m_browser, m_print);
    setTabOrder(m_print, m_savePdf);
    setTabOrder(m_savePdf, m_cancel);

    connect(m_from, &QDateEdit::dateChanged, this, &PrintPreferenceDialog::fromChanged);
    connect(m_to, &QDateEdit::dateChanged, this, &PrintPreferenceDialog::refill);
    m_to->setMinimumDate(m_from->date());
    refill();
    resize(980, 640);
}

void PrintPreferenceDialog::setDateRange(const QDate& from, const QDate& to)
{
    m_from->setDate(from);
    m_to->setDate(to);
}

QList<QByteArray> PrintPreferenceDialog::checkedProjects() const
{
    QList<QByteArray> identifiers;
    for (int row = 0; row < m_projects->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_projects->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            identifiers.append(item->data(0, kIdentifierRole).toByteArray());
    }
    return identifiers;
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

void PrintPreferenceDialog::fromChanged(const QDate& date)
{
    // Moving the minimum past the To date moves To along, which refills the list already.
    const bool toMoves = m_to->date() < date;
    m_to->setMinimumDate(date);
    if (!toMoves)
        refill();
}

void PrintPreferenceDialog::refill()
{
    // Checks survive a change of range for the projects still listed.
    QSet<QByteArray> checked;
    for (const QByteArray& identifier : checkedProjects())
        checked.insert(identifier);

    m_model.fill(m_store, m_from->date(), m_to->date(), true);
    // In start order, as the main window lists them, not in the store's own order.
    m_model.sort();
    m_projects->clear();
    for (const ProjectListRow& row : m_model.rows()) {
        if (row.isCaption())
            continue;
        const ProjectRecord& project = *row.project;
        auto* item = new QTreeWidgetItem(m_projects);
        item->setText(0, row.text);
        item->setText(1, DisplayFormat::dateWithPicture(project.startDate, QStringLiteral("dd MMM yy")) +
                             QStringLiteral(" - ") +
                             DisplayFormat::dateWithPicture(project.endDate, QStringLiteral("dd MMM yy")));
        item->setToolTip(0, row.text);
        item->setData(0, kIdentifierRole, project.identifier);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, checked.contains(project.identifier) ? Qt::Checked : Qt::Unchecked);
    }
    if (m_projects->topLevelItemCount() > 0)
        m_projects->setCurrentItem(m_projects->topLevelItem(0));
}

} // namespace korvane
