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
    m_taskTree = addTree(TreeKind::Tasks, tr("Tasks"));
    m_meetingTree = addTree(TreeKind::Meetings, tr("Meetings"));
    m_moneyTree = addTree(TreeKind::MoneyFlow, tr("Money Flow"));
    setWidget(m_tabs);
    setFocusProxy(m_tabs);

    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        emit currentTabChanged(TreeKind(tab));
        emit selectionChanged();
    });
    connect(m_taskTree, &DetailsTreeView::selectedRowChanged, this, &ProjectDetailsBar::taskSelectionChanged);
    connect(m_moneyTree, &DetailsTreeView::invoiceListRequested, this, &ProjectDetailsBar::invoiceListRequested);
    connect(m_moneyTree, &DetailsTreeView::invoiceRequested, this, &ProjectDetailsBar::invoiceRequested);
    connect(m_moneyTree, &DetailsTreeView::detailsAgainRequested, this, &ProjectDetailsBar::detailsAgainRequested);
}

DetailsTreeView* ProjectDetailsBar::addTree(TreeKind kind, const QString& title)
{
    auto* tree = new DetailsTreeView(kind, m_tabs);
    m_tabs->addTab(tree, title);
    connect(tree, &DetailsTreeView::commandRequested, this, &ProjectDetailsBar::commandRequested);
    connect(tree, &DetailsTreeView::selectedRowChanged, this, &ProjectDetailsBar::selectionChanged);
    return tree;
}

void ProjectDetailsBar::rebuild(const QByteArray& projectId, const QByteArray& revealId, WhichTrees which)
{
    const bool all = which == WhichTrees::All;
    if (all || which == WhichTrees::Tasks)
        m_taskTree->setTree(buildTaskTree(m_store, projectId));
    if (all || which == WhichTrees::Meetings)
        m_meetingTree->setTree(buildMeetingTree(m_store, projectId));
    if (all || which == WhichTrees::MoneyFlow) {
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
    if (all || which == WhichTrees::Tasks)
        emit taskSelectionChanged();
    emit selectionChanged();
}

ProjectDetailsBar::ViewState ProjectDetailsBar::viewState() const
{
    return {m_taskTree->viewState(), m_meetingTree->viewState(), m_moneyTree->viewState()};
}

void ProjectDetailsBar::restoreViewState(const ViewState& state)
{
    m_taskTree->restoreViewState(state[0]);
    m_meetingTree->restoreViewState(state[1]);
    m_moneyTree->restoreViewState(state[2]);
}

bool ProjectDetailsBar::selectRecord(RecordKind kind, const QByteArray& identifier)
{
    const TreeKind tab = kind == RecordKind::Task      ? TreeKind::Tasks
                         : kind == RecordKind::Meeting ? TreeKind::Meetings
                                                       : TreeKind::MoneyFlow;
    DetailsTreeView* tree = tab == TreeKind::Tasks      ? m_taskTree
                            : tab == TreeKind::Meetings ? m_meetingTree
                                                        : m_moneyTree;
    const std::optional<TreePath> path = pathOfRecord(tree->tree(), kind, identifier);
    if (!path)
        return false;
    setCurrentTab(tab);
    tree->selectPath(*path);
    return true;
}

TreeKind ProjectDetailsBar::currentTab() const
{
    return TreeKind(m_tabs->currentIndex());
}

void ProjectDetailsBar::setCurrentTab(TreeKind tab)
{
    m_tabs->setCurrentWidget(treeOf(tab));
}

DetailsTreeView* ProjectDetailsBar::treeOf(TreeKind kind) const
{
    switch (kind) {
    case TreeKind::Tasks: return m_taskTree;
    case TreeKind::Meetings: return m_meetingTree;
    case TreeKind::MoneyFlow: return m_moneyTree;
    }
    return m_taskTree;
}

std::optional<TreePath> ProjectDetailsBar::currentSelection() const
{
    return treeOf(currentTab())->selectedPath();
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

QByteArray ProjectDetailsBar::selectedMeetingId() const
{
    const auto selection = m_meetingTree->selectedPath();
    if (!selection || selection->empty())
        return {};
    const TreeNode* meeting = nodeAt(m_meetingTree->tree(), std::span(selection->data(), 1));
    return meeting && meeting->meeting() ? meeting->meeting()->identifier : QByteArray();
}

MoneyCategory ProjectDetailsBar::selectedMoneyCategory() const
{
    const auto selection = m_moneyTree->selectedPath();
    return selection ? moneyCategoryOf(*selection) : MoneyCategory::None;
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
