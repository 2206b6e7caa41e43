#include "views/widgets/ProjectDetailsBar.h"

#include "records/Text.h"
#include "store/RecordStore.h"
#include "views/widgets/DetailsTreeView.h"

#include <QTabWidget>

namespace korvane {

ProjectDetailsBar::ProjectDetailsBar(const RecordStore& store, QWidget* parent)
    : QDockWidget(tr("Project Details"), parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("ProjectDetailsBar"));
    setAccessibleName(tr("Project Details"));
    setAllowedAreas(Qt::AllDockWidgetAreas);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("projectDetailsTabs"));
    m_tabs->setAccessibleName(tr("Project Details"));
    m_tabs->setDocumentMode(true);
    m_taskTree = addTree(int(DetailsTreeView::Kind::Tasks), tr("Tasks"));
    m_meetingTree = addTree(int(DetailsTreeView::Kind::Meetings), tr("Meetings"));
    m_moneyTree = addTree(int(DetailsTreeView::Kind::MoneyFlow), tr("Money Flow"));
    setWidget(m_tabs);
    setFocusProxy(m_tabs);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        emit currentTabChanged(tab);
        emit selectionChanged();
    });
    connect(m_taskTree, &DetailsTreeView::selectedRowChanged, this, &ProjectDetailsBar::taskSelectionChanged);
    connect(m_moneyTree, &DetailsTreeView::invoiceListRequested, this, &ProjectDetailsBar::invoiceListRequested);
    connect(m_moneyTree, &DetailsTreeView::invoiceRequested, this, &ProjectDetailsBar::invoiceRequested);
    connect(m_moneyTree, &DetailsTreeView::detailsAgainRequested, this, &ProjectDetailsBar::detailsAgainRequested);
}

DetailsTreeView* ProjectDetailsBar::addTree(int kind, const QString& title)
{
    auto* tree = new DetailsTreeView(DetailsTreeView::Kind(kind), m_tabs);
    m_tabs->addTab(tree, title);
    connect(tree, &DetailsTreeView::commandRequested, this, &ProjectDetailsBar::commandRequested);
    connect(tree, &DetailsTreeView::selectedRowChanged, this, &ProjectDetailsBar::selectionChanged);
    return tree;
}

void ProjectDetailsBar::rebuild(const QByteArray& projectId, const QByteArray& revealId, int which)
{
    if (which < 0 || which > 3)
        return;
    if (which == 0 || which == 1)
        m_taskTree->setTree(buildTaskTree(m_store, projectId));
    if (which == 0 || which == 2)
        m_meetingTree->setTree(buildMeetingTree(m_store, projectId));
    if (which == 0 || which == 3) {
        m_projectId = projectId;
        TreeNode money = buildMoneyFlowTree(m_store, projectId);
        const TreePath reveal = moneyFlowRevealPath(money, revealId);
        m_moneyTree->setTree(std::move(money), reveal);
        QStringList documents;
        if (const ProjectRecord* project = m_store.projects().find(projectId)) {
            documents = {displayText(project->incomeLink), displayText(project->expenseLink),
                         displayText(project->turnOverLink)};
        }
        m_moneyTree->setRootDocuments(documents);
    }
    // A rebuilt tree has lost its selection, so commands that needed it are no longer available.
    if (which == 0 || which == 1)
        emit taskSelectionChanged();
    emit selectionChanged();
}

bool ProjectDetailsBar::selectRecord(RecordKind kind, const QByteArray& identifier)
{
    const Tab tab = kind == RecordKind::Task      ? TasksTab
                    : kind == RecordKind::Meeting ? MeetingsTab
                                                  : MoneyFlowTab;
    DetailsTreeView* tree = tab == TasksTab ? m_taskTree : tab == MeetingsTab ? m_meetingTree : m_moneyTree;
    const std::optional<TreePath> path = pathOfRecord(tree->tree(), kind, identifier);
    if (!path)
        return false;
    setCurrentTab(tab);
    tree->selectPath(*path);
    return true;
}

int ProjectDetailsBar::currentTab() const
{
    return m_tabs->currentIndex();
}

void ProjectDetailsBar::setCurrentTab(int tab)
{
    if (tab >= TasksTab && tab <= MoneyFlowTab)
        m_tabs->setCurrentIndex(tab);
}

bool ProjectDetailsBar::hasTaskSelection() const
{
    const auto selection = m_taskTree->selectedPath();
    return selection && !selection->empty();
}

QByteArray ProjectDetailsBar::selectedTaskId() const
{
    const auto selection = m_taskTree->selectedPath();
    if (!selection)
        return {};
    const TreePath task = resolveTaskSelection(m_taskTree->tree(), *selection);
    if (task.empty())
        return {};
    const TreeNode* node = nodeAt(m_taskTree->tree(), task);
    return node ? node->recordIdentifier() : QByteArray();
}

bool ProjectDetailsBar::hasMeetingSelection() const
{
    const auto selection = m_meetingTree->selectedPath();
    return selection && !selection->empty();
}

QByteArray ProjectDetailsBar::selectedMeetingId() const
{
    const auto selection = m_meetingTree->selectedPath();
    if (!selection || selection->empty())
        return {};
    const TreeNode* meeting = nodeAt(m_meetingTree->tree(), std::span(selection->data(), 1));
    return meeting && meeting->meeting() ? meeting->meeting()->identifier : QByteArray();
}

int ProjectDetailsBar::selectedMoneyCategory() const
{
    const auto selection = m_moneyTree->selectedPath();
    return selection ? int(moneyCategoryOf(*selection)) : int(MoneyCategory::None);
}

QByteArray ProjectDetailsBar::selectedMoneyFlowId() const
{
    const auto selection = m_moneyTree->selectedPath();
    if (!selection || selection->size() < 2)
        return {};
    const MoneyCategory category = moneyCategoryOf(*selection);
    if (category != MoneyCategory::Income && category != MoneyCategory::Expense)
        return {};
    const TreeNode* entry = nodeAt(m_moneyTree->tree(), std::span(selection->data(), 2));
    return entry && entry->moneyFlow() ? entry->moneyFlow()->identifier : QByteArray();
}

QByteArray ProjectDetailsBar::selectedInvoiceId() const
{
    const auto selection = m_moneyTree->selectedPath();
    if (!selection || selection->size() < 2 || moneyCategoryOf(*selection) != MoneyCategory::Invoice)
        return {};
    const TreeNode* invoice = nodeAt(m_moneyTree->tree(), std::span(selection->data(), 2));
    return invoice && invoice->invoice() ? invoice->invoice()->identifier : QByteArray();
}

bool ProjectDetailsBar::isReportReplaced() const
{
    return m_moneyTree->isReportReplaced();
}

void ProjectDetailsBar::setReportReplaced(bool replaced)
{
    m_moneyTree->setReportReplaced(replaced);
}

QByteArray ProjectDetailsBar::projectId() const
{
    return m_projectId;
}

const TreeNode& ProjectDetailsBar::taskTree() const
{
    return m_taskTree->tree();
}

const TreeNode& ProjectDetailsBar::meetingTree() const
{
    return m_meetingTree->tree();
}

const TreeNode& ProjectDetailsBar::moneyTree() const
{
    return m_moneyTree->tree();
}

QTreeView* ProjectDetailsBar::taskTreeView() const
{
    return m_taskTree;
}

QTreeView* ProjectDetailsBar::meetingTreeView() const
{
    return m_meetingTree;
}

QTreeView* ProjectDetailsBar::moneyTreeView() const
{
    return m_moneyTree;
}

} // namespace korvane
