#include "editors/CProjectDetailsPg.h"

#include "editors/CurrencyDialog.h"
#include "editors/KeptText.h"
#include "editors/PageLayout.h"
#include "editors/ProjectDocumentsDialog.h"
#include "records/Clock.h"
#include "store/ProjectDocuments.h"
#include "ui/UserDialogs.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvane {

using namespace PageLayout;

namespace {

QDateEdit* dateEdit(const char* name, const QString& accessible)
{
    auto* edit = named(new QDateEdit, name, accessible);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd MMM yyyy"));
    return edit;
}

QDate shownDate(const DateTime& value)
{
    return value.isValid() ? value.date() : Clock::now().date();
}

// A date the user did not change keeps its stored value, time of day and status included; a changed
// date keeps the stored time of day, as the picker only ever showed the date.
DateTime takeDate(const QDateEdit* edit, const QDate& shownAtOpening, const DateTime& original)
{
    if (edit->date() == shownAtOpening)
        return original;
    const QTime time = original.isValid() ? original.toQDateTime().time() : QTime(0, 0);
    return DateTime::fromQDateTime(QDateTime(edit->date(), time));
}

} // namespace

CProjectDetailsPg::CProjectDetailsPg(RecordStore* store, QWidget* parent)
    : QWizardPage(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("projectDetailsPage"));

    auto* grid = new QGridLayout(addPanel(this, "projectDetailsPanel"));
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);

    m_name = lineEdit("projectName", tr("Project Name"));
    m_code = lineEdit("projectCode", tr("Project ID"));
    m_endUser = lineEdit("endUser", tr("End User"));
    m_start = dateEdit("startDate", tr("Start Date"));
    m_end = dateEdit("endDate", tr("End Date"));

    addWideRow(grid, 0, tr("Project N&ame"), m_name);
    addWideRow(grid, 1, tr("Project &ID"), m_code);
    addWideRow(grid, 2, tr("End &User"), m_endUser);
    addShortRow(grid, 3, tr("&Start Date"), m_start);
    addShortRow(grid, 4, tr("&End Date"), m_end);

    auto* fileButton = addLinkRow(grid, 5, tr("File &Link Path"), tr("File Link Path"), "fileLink", m_fileLink);

    m_currency = lineEdit("currency", tr("Currency"));
    m_currency->setReadOnly(true);
    m_setCurrency = new QPushButton(tr("SET"));
    m_setCurrency->setObjectName(QStringLiteral("setCurrency"));
    m_setCurrency->setAccessibleName(tr("Set currency"));
    addButtonRow(grid, 6, tr("Currenc&y"), m_currency, m_setCurrency);

    auto* heading = new QLabel(tr("Money Flow File Link"));
    heading->setObjectName(QStringLiteral("moneyFlowHeading"));
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    heading->setFont(headingFont);
    useCaptionColour(heading);
    grid->addWidget(heading, 7, 0, 1, 3);
    grid->setRowMinimumHeight(7, 28);

    auto* incomeButton = addLinkRow(grid, 8, tr("Inc&ome"), tr("Income"), "incomeLink", m_income);
    auto* expenseButton = addLinkRow(grid, 9, tr("E&xpense"), tr("Expense"), "expenseLink", m_expense);
    auto* turnOverButton = addLinkRow(grid, 10, tr("&Turn Over"), tr("Turn Over"), "turnOverLink", m_turnOver);

    m_documentsText = new QPushButton;
    m_documentsText->setObjectName(QStringLiteral("documentsText"));
    // A link is read by its visible text, which says how many documents there are.
    m_documentsText->setAccessibleDescription(tr("Project documents"));
    m_documentsText->setFlat(true);
    m_documentsText->setCursor(Qt::PointingHandCursor);
    m_documentsText->setStyleSheet(QStringLiteral("QPushButton { color: #1c5aa8; text-decoration: underline; "
                                                  "text-align: left; padding: 2px; }"));
    m_documentsButton = new QPushButton(QStringLiteral("..."));
    m_documentsButton->setObjectName(QStringLiteral("documentsButton"));
    m_documentsButton->setAccessibleName(tr("Edit project documents"));
    m_documentsButton->setFixedWidth(36);
    grid->setRowMinimumHeight(11, 10);
    grid->addWidget(m_documentsText, 12, 0, 1, 2);
    grid->addWidget(m_documentsButton, 12, 2);
    grid->setRowStretch(13, 1);

    connect(fileButton, &QPushButton::clicked, this, [this] { chooseFile(m_fileLink); });
    connect(incomeButton, &QPushButton::clicked, this, [this] { chooseFile(m_income); });
    connect(expenseButton, &QPushButton::clicked, this, [this] { chooseFile(m_expense); });
    connect(turnOverButton, &QPushButton::clicked, this, [this] { chooseFile(m_turnOver); });
    connect(m_setCurrency, &QPushButton::clicked, this, &CProjectDetailsPg::chooseCurrency);
    connect(m_documentsText, &QPushButton::clicked, this, &CProjectDetailsPg::editDocuments);
    connect(m_documentsButton, &QPushButton::clicked, this, &CProjectDetailsPg::editDocuments);
    connect(m_start, &QDateEdit::dateChanged, this, &CProjectDetailsPg::followStartDate);
    connect(m_end, &QDateEdit::dateChanged, this, &CProjectDetailsPg::followStartDate);

    setTabOrder(m_name, m_code);
    setTabOrder(m_code, m_endUser);
    setTabOrder(m_endUser, m_start);
    setTabOrder(m_start, m_end);
    setTabOrder(m_end, m_fileLink);
    setTabOrder(m_fileLink, fileButton);
    setTabOrder(fileButton, m_currency);
    setTabOrder(m_currency, m_setCurrency);
    setTabOrder(m_setCurrency, m_income);
    setTabOrder(m_income, incomeButton);
    setTabOrder(incomeButton, m_expense);
    setTabOrder(m_expense, expenseButton);
    setTabOrder(expenseButton, m_turnOver);
    setTabOrder(m_turnOver, turnOverButton);
    setTabOrder(turnOverButton, m_documentsText);
    setTabOrder(m_documentsText, m_documentsButton);
    setFocusProxy(m_name);

    setProject(ProjectRecord{});
}

QPushButton* CProjectDetailsPg::addLinkRow(QGridLayout* grid, int row, const QString& captionText,
                                           const QString& accessible, const char* name, QLineEdit*& edit)
{
    edit = lineEdit(name, accessible);
    edit->setReadOnly(true);
    auto* button = new QPushButton(QStringLiteral("..."));
    button->setObjectName(QLatin1String(name) + QStringLiteral("Button"));
    button->setAccessibleName(tr("Choose the %1 file").arg(accessible));
    button->setFixedWidth(36);
    addButtonRow(grid, row, captionText, edit, button);
    return button;
}

void CProjectDetailsPg::setProject(const ProjectRecord& record)
{
    m_loading = true;
    m_record = record;
    KeptText::show(m_name, record.name);
    KeptText::show(m_code, record.projectCode);
    KeptText::show(m_endUser, record.endUser);
    KeptText::show(m_fileLink, record.fileLink);
    KeptText::show(m_currency, record.currency);
    KeptText::show(m_income, record.incomeLink);
    KeptText::show(m_expense, record.expenseLink);
    KeptText::show(m_turnOver, record.turnOverLink);
    m_end->clearMinimumDate();
    m_start->setDate(shownDate(record.startDate));
    m_end->setDate(shownDate(record.endDate));
    m_startShown = m_start->date();
    m_endShown = m_end->date();
    m_loading = false;
}

ProjectRecord CProjectDetailsPg::project() const
{
    ProjectRecord record = m_record;
    record.name = KeptText::take(m_name);
    record.projectCode = KeptText::take(m_code);
    record.endUser = KeptText::take(m_endUser);
    record.startDate = takeDate(m_start, m_startShown, m_record.startDate);
    record.endDate = takeDate(m_end, m_endShown, m_record.endDate);
    record.fileLink = KeptText::take(m_fileLink);
    record.currency = KeptText::take(m_currency);
    record.incomeLink = KeptText::take(m_income);
    record.expenseLink = KeptText::take(m_expense);
    record.turnOverLink = KeptText::take(m_turnOver);
    return record;
}

void CProjectDetailsPg::showDocumentCount(int count)
{
    m_documentsText->setText(count == 0 ? tr("Click Here to Add Documents")
                                        : tr("%1 Project Documents are added").arg(count));
}

void CProjectDetailsPg::setDocumentsEnabled(bool enabled)
{
    m_documentsText->setEnabled(enabled);
    m_documentsButton->setEnabled(enabled);
}

void CProjectDetailsPg::followStartDate()
{
    // Only the user's changes set the earliest End Date; a stored project opens as it was stored.
    if (!m_loading)
        m_end->setMinimumDate(m_start->date());
}

void CProjectDetailsPg::chooseFile(QLineEdit* edit)
{
    const QString path = UserDialogs::openFileName(this, tr("Choose a File"), edit->text(), tr("All Files (*)"));
    if (!path.isEmpty())
        edit->setText(path);
}

void CProjectDetailsPg::chooseCurrency()
{
    m_currency->setText(CurrencyDialog::choose(m_currency->text(), this, m_store));
}

void CProjectDetailsPg::editDocuments()
{
    if (!ProjectDocumentsDialog::editScratch(this))
        return;
    const int count = ProjectDocuments::readCount(ProjectDocuments::scratchPath());
    // After the dialog the empty case has always been capitalised differently from the opening text.
    m_documentsText->setText(count == 0 ? tr("Click Here To Add Documents")
                                        : tr("%1 Project Documents are added").arg(count));
}

} // namespace korvane
