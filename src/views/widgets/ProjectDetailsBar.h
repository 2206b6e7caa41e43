#pragma once

#include "ui/CommandTable.h"
#include "views/DetailsTrees.h"
#include "views/widgets/DetailsTreeView.h"

#include <QByteArray>
#include <QDockWidget>
#include <array>
#include <optional>

class QTabWidget;
class QTreeView;

namespace korvane {

class RecordStore;

/**
 * The docked "Project Details" bar: the selected project's tasks, meetings and money flow as three
 * trees on three tabs, whose selections drive the main window's modify, delete and invoice commands.
 */
class ProjectDetailsBar : public QDockWidget
{
    Q_OBJECT

public:
    /** A bar whose trees hold only their root rows until the first rebuild. */
    explicit ProjectDetailsBar(const RecordStore& store, QWidget* parent = nullptr);

    /**
     * Rebuilds trees for a project from the store; revealId: the record to make visible in the money
     * tree. Does not touch the right pane.
     */
    void rebuild(const QByteArray& projectId, const QByteArray& revealId, WhichTrees which);

    /**
     * Shows the tab whose tree holds the record (a task, meeting, money flow entry or invoice) and
     * selects its row; false when no tree shows it.
     */
    bool selectRecord(RecordKind kind, const QByteArray& identifier);

    /** The trees' open branches, selections and scroll positions. */
    using ViewState = std::array<DetailsTreeView::ViewState, 3>;
    ViewState viewState() const;
    /** Brings back what `viewState` gave, where the rows are still there (after a rebuild). */
    void restoreViewState(const ViewState& state);

    /** The tab shown: each tab shows the tree of its kind. */
    TreeKind currentTab() const;
    /** Shows a tab. */
    void setCurrentTab(TreeKind tab);
    /** The selected row of the shown tab's tree (empty path: its root); nullopt when none is. */
    std::optional<TreePath> currentSelection() const;

    /** The task the task tree's selection resolves to ("" when none). */
    QByteArray selectedTaskId() const;
    /** The meeting (root's child holding the selection), "" when none. */
    QByteArray selectedMeetingId() const;
    /** Category of the money tree selection; None for no selection, the root and the balance row. */
    MoneyCategory selectedMoneyCategory() const;
    /** The income/expense entry holding the selection, "" when none (also on the category row itself). */
    QByteArray selectedMoneyFlowId() const;
    /** The invoice of the selection (node whose parent is "Invoice"), "" when none. */
    QByteArray selectedInvoiceId() const;

    /** The money tree's "details pane shows an invoice or the invoice list" flag. */
    bool isReportReplaced() const;
    /** Sets or clears that flag. */
    void setReportReplaced(bool replaced);
    /** The project the money tree was last rebuilt for. */
    QByteArray projectId() const;

    /** The task tree as shown (the Word export types it). */
    const TreeNode& taskTree() const;
    /** The meeting tree as shown. */
    const TreeNode& meetingTree() const;
    /** The money flow tree as shown. */
    const TreeNode& moneyTree() const;

    /** The task tree widget (for tests and focus). */
    QTreeView* taskTreeView() const;
    /** The meeting tree widget. */
    QTreeView* meetingTreeView() const;
    /** The money flow tree widget. */
    QTreeView* moneyTreeView() const;

signals:
    /** An action icon, context-menu entry or key asked for a main-window command. */
    void commandRequested(korvane::Command command);
    /** "Invoice" category row clicked: show the project's invoice list (the bar already set the flag). */
    void invoiceListRequested();
    /** Invoice row clicked: show that invoice (flag set). */
    void invoiceRequested(const QByteArray& invoiceId);
    /** Another click while the flag was set: show the project details again (flag cleared). */
    void detailsAgainRequested();
    /** Task tree selection changed (the main window redraws the graph caption when the graph shows). */
    void taskSelectionChanged();
    /** Any selection or tab change (the main window updates its command enable states). */
    void selectionChanged();
    /** The tab shown changed. */
    void currentTabChanged(korvane::TreeKind tab);

private:
    DetailsTreeView* addTree(TreeKind kind, const QString& title);
    DetailsTreeView* treeOf(TreeKind kind) const;

    const RecordStore& m_store;
    QTabWidget* m_tabs = nullptr;
    DetailsTreeView* m_taskTree = nullptr;
    DetailsTreeView* m_meetingTree = nullptr;
    DetailsTreeView* m_moneyTree = nullptr;
    QByteArray m_projectId;
};

} // namespace korvane
