#pragma once

#include "ui/CommandTable.h"
#include "views/DetailsTrees.h"
#include "views/widgets/TreeIcons.h"

#include <QFont>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTreeView>
#include <optional>

class QMenu;

namespace korvane {

/**
 * One of the three project details trees: shows a TreeNode with its own row drawing, and turns the
 * root row's action icons, file icons, clicks, keys and its context menu into the main window's
 * commands.
 */
class DetailsTreeView : public QTreeView
{
    Q_OBJECT

public:
    using Kind = TreeKind;
    using Action = TreeIcons::Action;

    /** A tree of one kind, showing the kind's single root row until the first setTree. */
    explicit DetailsTreeView(Kind kind, QWidget* parent = nullptr);

    /** Which of the three trees this is. */
    Kind kind() const;

    /**
     * Shows a new tree: collapsed below the root, or with the way down to `reveal` expanded and
     * scrolled into view. The selection is cleared.
     */
    void setTree(TreeNode root, std::optional<TreePath> reveal = std::nullopt);
    /** The tree as shown. */
    const TreeNode& tree() const;
    /** The documents whose icons sit right of the root label, in slot order; "" leaves a slot empty. */
    void setRootDocuments(const QStringList& paths);

    /** A row's place in the tree (empty for the root row). */
    TreePath pathOf(const QModelIndex& index) const;
    /** The row at a place, invalid when the place leaves the tree. */
    QModelIndex indexOf(const TreePath& path) const;
    /** The node shown in a row, nullptr for an invalid index. */
    const TreeNode* nodeOf(const QModelIndex& index) const;
    /** The selected row's place (empty for the root), nullopt when nothing is selected. */
    std::optional<TreePath> selectedPath() const;
    /** Selects the row at a place and makes it the current row. */
    void selectPath(const TreePath& path);

    /** The open branches, the selected row and the scroll position, each row named by its record or label. */
    struct ViewState
    {
        QList<QStringList> expanded;
        std::optional<QStringList> selected;
        int scroll = 0;
    };
    /** What a rebuild of the same project keeps. */
    ViewState viewState() const;
    /** Opens the branches, selects the row and scrolls as they were, where the rows are still there. */
    void restoreViewState(const ViewState& state);

    /** What an action icon asks for with the present selection; nullopt when it does nothing now. */
    std::optional<Command> actionCommand(Action action) const;
    /** Where an action icon sits on the root row, in viewport coordinates; empty when there is none. */
    QRect actionIconRect(Action action) const;
    /** Where a row's file icon sits, in viewport coordinates; empty when the row shows none. */
    QRect fileIconRect(const QModelIndex& index) const;
    /** Where the root row's document icon of a slot sits; empty when that slot holds no document. */
    QRect documentIconRect(int slot) const;

    /**
     * A new context menu for a row, owned by the caller; nullptr when the row has none. Each entry
     * carries its Command as data and asks for it when triggered.
     */
    QMenu* buildContextMenu(const QModelIndex& index);
    /** The context menu that is open, nullptr when none is. */
    QMenu* activeContextMenu() const;

    /** The money tree's flag: the details pane shows an invoice or the invoice list. */
    bool isReportReplaced() const;
    /** Sets or clears the money tree's flag without asking the details pane for anything. */
    void setReportReplaced(bool replaced);

signals:
    /** An action icon, context menu entry or key asked for a main-window command. */
    void commandRequested(korvane::Command command);
    /** Money tree: the "Invoice" category was clicked (the flag is set). */
    void invoiceListRequested();
    /** Money tree: an invoice row was clicked (the flag is set). */
    void invoiceRequested(const QByteArray& invoiceId);
    /** Money tree: another click while the flag was set (the flag is cleared). */
    void detailsAgainRequested();
    /** The selected row changed, also when the selection was cleared by a click. */
    void selectedRowChanged();

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    class NodeModel;

    QModelIndex rootRow() const;
    /** The rows' names from below the root down to the row: record identifiers, else labels. */
    QStringList keysOf(const QModelIndex& index) const;
    QModelIndex indexOfKeys(const QStringList& keys) const;
    QRect labelRect(const QModelIndex& index, const TreeNode& node) const;
    bool isLabelElided(const QModelIndex& index, const TreeNode& node) const;
    QFont labelFont(const TreeNode& node) const;
    QColor labelColour(const TreeNode& node, bool isRoot) const;
    QString filePathOf(const TreeNode& node) const;
    QPixmap fileIcon(const QString& path) const;
    std::optional<Action> actionAt(const QPoint& pos) const;
    int documentAt(const QPoint& pos) const;
    QString actionToolTip(Action action) const;
    bool isTreeKey(const QKeyEvent* event) const;
    void triggerAction(Action action);
    void rowClicked(const QModelIndex& index);
    void showContextMenu(const QModelIndex& index, const QPoint& globalPos);
    void setHot(std::optional<Action> hot);

    Kind m_kind;
    NodeModel* m_model = nullptr;
    QStringList m_rootDocuments;
    std::optional<Action> m_hot;
    bool m_reportReplaced = false;
    QPointer<QMenu> m_menu;
    QFont m_font;
    QFont m_struckFont;
    mutable TreeIcons m_icons;
    mutable QHash<QString, QPixmap> m_fileIcons;
};

} // namespace korvane
