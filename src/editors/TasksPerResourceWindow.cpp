#include "editors/TasksPerResourceWindow.h"

#include "editors/TaskRowDelegate.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTreeWidget>
#include <algorithm>

namespace korvane {

namespace {

constexpr int kResourceIdRole = Qt::UserRole + 1;
constexpr int kTaskColumnWidth = 295;
constexpr int kTreeWidth = 250;
const QColor kAssignedName(0, 0, 155);

QString dateRange(const DateTime& start, const DateTime& end)
{
    return QStringLiteral("( %1 - %2 )").arg(DisplayFormat::shortDate(start), DisplayFormat::shortDate(end));
}

} // namespace

void TasksPerResourceWindow::showFor(const RecordStore& store, QWidget* parent)
{
    TasksPerResourceWindow window(store, parent);
    UserDialogs::exec(window);
}

bool TasksPerResourceWindow::assigned(const QByteArray& taskResources, const QByteArray& resourceId)
{
    return !resourceId.isEmpty() && TextList::contains(taskResources, resourceId);
}

TasksPerResourceWindow::TasksPerResourceWindow(const RecordStore& store, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
{
    setWindowTitle(tr("Tasks Per Resource"));
    setObjectName(QStringLiteral("tasksPerResourceWindow"));

    auto* treeLabel = new QLabel(tr("&Resources:"), this);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("resourceTree"));
    m_tree->setAccessibleName(tr("Resources"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setFixedWidth(kTreeWidth);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    treeLabel->setBuddy(m_tree);

    auto* listLabel = new QLabel(tr("Assigned &tasks:"), this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("resourceTaskList"));
    m_list->setAccessibleName(tr("Tasks of the selected resource"));
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({tr("Tasks")});
    m_list->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(0, kTaskColumnWidth);
    m_list->setRootIsDecorated(false);
    m_list->setIndentation(0);
    m_list->setUniformRowHeights(true);
    m_list->setItemDelegate(new TaskRowDelegate(m_list));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setFixedWidth(kTaskColumnWidth + 2 * m_list->frameWidth() + m_list->verticalScrollBar()->sizeHint().width());
    listLabel->setBuddy(m_list);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("tasksPerResourceButtons"));
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("tasksPerResourceCloseButton"));
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(tr("Close"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(treeLabel, 0, 0);
    layout->addWidget(listLabel, 0, 1);
    layout->addWidget(m_tree, 1, 0);
    layout->addWidget(m_list, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    resize(sizeHint().width(), 440);

    setTabOrder(m_tree, m_list);
    setTabOrder(m_list, buttons->button(QDialogButtonBox::Close));

    fillTree();
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &TasksPerResourceWindow::selectionChanged);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TasksPerResourceWindow::fillTree()
{
    m_tree->clear();
    auto* root = new QTreeWidgetItem(m_tree, {tr("Resource")});

    std::vector<const ResourceRecord*> resources;
    for (const auto& entry : m_store.resources())
        resources.push_back(&entry.record);
    std::stable_sort(resources.begin(), resources.end(), [](const ResourceRecord* a, const ResourceRecord* b) {
        return a->name.toLower() < b->name.toLower();
    });

    QSet<QByteArray> busy;
    for (const auto& entry : m_store.tasks())
        for (const QByteArray& id : TextList::entries(entry.record.resources))
            busy.insert(id);

    for (const ResourceRecord* resource : resources) {
        auto* item = new QTreeWidgetItem(root, {displayText(resource->name)});
        item->setData(0, kResourceIdRole, resource->identifier);
        if (busy.contains(resource->identifier))
            item->setForeground(0, kAssignedName);
        const QStringList lines{
            QStringLiteral("Desg: ") + displayText(resource->designation),
            QStringLiteral("Dept: ") + displayText(resource->department),
            QStringLiteral("Ph1: ") + displayText(resource->phone1),
            QStringLiteral("Ph2: ") + displayText(resource->phone2),
        };
        for (const QString& line : lines) {
            auto* child = new QTreeWidgetItem(item, {line});
            child->setData(0, kResourceIdRole, resource->identifier);
        }
    }
    root->setExpanded(true);
}

void TasksPerResourceWindow::selectionChanged()
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    showResource(item ? item->data(0, kResourceIdRole).toByteArray() : QByteArray());
}

void TasksPerResourceWindow::showResource(const QByteArray& resourceId)
{
    m_list->clear();
    if (resourceId.isEmpty())
        return;
    QSet<QByteArray> listedProjects;
    for (const auto& entry : m_store.tasks()) {
        const TaskRecord& task = entry.record;
        if (!assigned(task.resources, resourceId))
            continue;
        if (!listedProjects.contains(task.projectIdentifier)) {
            listedProjects.insert(task.projectIdentifier);
            const ProjectRecord project = m_store.GetProject(task.projectIdentifier);
            const QString dates = dateRange(project.startDate, project.endDate);
            const QString caption = displayText(project.name) + dates;
            auto* row = new QTreeWidgetItem(m_list, {caption});
            row->setData(0, TaskRowDelegate::IsProjectRole, true);
            row->setData(0, TaskRowDelegate::DatesRole, dates);
            row->setToolTip(0, caption);
        }
        auto* row = new QTreeWidgetItem(m_list, {displayText(task.name)});
        row->setData(0, TaskRowDelegate::IsProjectRole, false);
        row->setData(0, TaskRowDelegate::DatesRole, dateRange(task.start, task.end));
        row->setData(0, TaskRowDelegate::PercentRole, task.percentComplete);
        row->setData(0, TaskRowDelegate::PriorityRole, task.priority);
        row->setToolTip(0, displayText(task.name) + QLatin1Char(' ') + dateRange(task.start, task.end));
        row->setData(0, Qt::AccessibleTextRole,
                     tr("%1 %2, %3% complete").arg(displayText(task.name), dateRange(task.start, task.end))
                         .arg(task.percentComplete));
    }
}

} // namespace korvane
