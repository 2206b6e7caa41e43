#include "views/widgets/ProjectRangePicker.h"

#include "store/DisplayFormat.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kIdentifierRole = Qt::UserRole;

QDateEdit* monthPicker(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* edit = new QDateEdit(QDate::currentDate(), parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setDisplayFormat(QStringLiteral("MMM - yyyy"));
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

ProjectRangePicker::ProjectRangePicker(const RecordStore& store, QWidget* parent)
    : QWidget(parent), m_store(store)
{
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
    m_projects->header()->setStretchLastSection(false);
    m_projects->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_projects->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    auto* projectsLabel = new QLabel(QStringLiteral("&Projects"), this);
    projectsLabel->setBuddy(m_projects);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(filter);
    layout->addWidget(projectsLabel);
    layout->addWidget(m_projects, 1);
    setTabOrder(m_from, m_to);
    setTabOrder(m_to, m_projects);

    connect(m_from, &QDateEdit::dateChanged, this, &ProjectRangePicker::fromChanged);
    connect(m_to, &QDateEdit::dateChanged, this, &ProjectRangePicker::refill);
    m_to->setMinimumDate(m_from->date());
    refill();
}

void ProjectRangePicker::setDateRange(const QDate& from, const QDate& to)
{
    m_from->setDate(from);
    m_to->setDate(to);
}

void ProjectRangePicker::checkProject(const QByteArray& identifier)
{
    for (int row = 0; row < m_projects->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_projects->topLevelItem(row);
        if (item->data(0, kIdentifierRole).toByteArray() == identifier) {
            item->setCheckState(0, Qt::Checked);
            m_projects->setCurrentItem(item);
        }
    }
}

QList<QByteArray> ProjectRangePicker::checkedProjects() const
{
    QList<QByteArray> identifiers;
    for (int row = 0; row < m_projects->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_projects->topLevelItem(row);
        if (item->checkState(0) == Qt::Checked)
            identifiers.append(item->data(0, kIdentifierRole).toByteArray());
    }
    return identifiers;
}

void ProjectRangePicker::fromChanged(const QDate& date)
{
    // Moving the minimum past the To date moves To along, which refills the list already.
    const bool toMoves = m_to->date() < date;
    m_to->setMinimumDate(date);
    if (!toMoves)
        refill();
}

void ProjectRangePicker::refill()
{
    // Checks survive a change of range for the projects still listed.
    const QList<QByteArray> checkedList = checkedProjects();
    const QSet<QByteArray> checked(checkedList.begin(), checkedList.end());
    m_model.fill(m_store, m_from->date(), m_to->date(), true);
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
