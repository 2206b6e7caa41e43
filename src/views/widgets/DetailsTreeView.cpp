#include "views/widgets/DetailsTreeView.h"

#include <QScrollBar>

#include "records/Text.h"
#include "ui/UserDialogs.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QToolTip>

namespace korvane {

namespace {

constexpr int kRowHeight = 18;
constexpr int kIndentation = 19;
constexpr int kIconSize = TreeIcons::kSize;
/** Gap between the label and whatever is drawn right of it. */
constexpr int kGap = 3;
/** The file icon takes this much room before the progress bar. */
constexpr int kFileIconStep = 20;
constexpr int kDocumentStep = 20;
constexpr int kProgressWidth = 85;
constexpr int kProgressHeight = 8;
constexpr int kDocumentSlots = 3;
/** A label is never cut shorter than this, so a few letters stay readable in the narrowest tree. */
constexpr int kMinimumLabelWidth = 40;

const QColor kLineColour(150, 150, 150);
const QColor kButtonFrame(152, 152, 152);
const QColor kHotFrameLight(152, 152, 152);

/** Distance of each action icon's left edge from the viewport's right edge. */
int actionOffset(TreeIcons::Action action)
{
    switch (action) {
    case TreeIcons::Action::Import: return 126;
    case TreeIcons::Action::Add: return 92;
    case TreeIcons::Action::Modify: return 72;
    case TreeIcons::Action::Delete: return 52;
    }
    return 0;
}

constexpr TreeIcons::Action kActions[] = {TreeIcons::Action::Import, TreeIcons::Action::Add,
                                          TreeIcons::Action::Modify, TreeIcons::Action::Delete};

} // namespace

/**
 * The tree as an item model, read straight from the TreeNode: nodes are numbered level by level,
 * so the children of each node are consecutive numbers and an index needs no allocation.
 */
class DetailsTreeView::NodeModel : public QAbstractItemModel
{
public:
    using QAbstractItemModel::QAbstractItemModel;

    void setTree(TreeNode root)
    {
        beginResetModel();
        m_root = std::move(root);
        m_entries.clear();
        m_entries.reserve(size_t(countNodes(m_root)));
        m_entries.push_back({&m_root, -1, 0});
        for (size_t at = 0; at < m_entries.size(); ++at) {
            const TreeNode* node = m_entries[at].node;
            m_entries[at].firstChild = int(m_entries.size());
            for (qsizetype row = 0; row < node->children.size(); ++row)
                m_entries.push_back({&node->children[row], int(at), 0});
        }
        endResetModel();
    }

    const TreeNode& tree() const { return m_root; }

    const TreeNode* node(const QModelIndex& index) const
    {
        return index.isValid() ? m_entries[size_t(index.internalId())].node : nullptr;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        if (column != 0 || row < 0 || m_entries.empty())
            return {};
        if (!parent.isValid())
            return row == 0 ? createIndex(0, 0, quintptr(0)) : QModelIndex();
        const Entry& above = m_entries[size_t(parent.internalId())];
        if (row >= above.node->children.size())
            return {};
        return createIndex(row, 0, quintptr(above.firstChild + row));
    }

    QModelIndex parent(const QModelIndex& child) const override
    {
        if (!child.isValid())
            return {};
        const int above = m_entries[size_t(child.internalId())].parent;
        if (above < 0)
            return {};
        // A node's row is its distance from the first of its parent's children.
        const int aboveParent = m_entries[size_t(above)].parent;
        const int row = aboveParent < 0 ? 0 : above - m_entries[size_t(aboveParent)].firstChild;
        return createIndex(row, 0, quintptr(above));
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (!parent.isValid())
            return m_entries.empty() ? 0 : 1;
        return parent.column() == 0 ? int(node(parent)->children.size()) : 0;
    }

    int columnCount(const QModelIndex& = {}) const override { return 1; }

    bool hasChildren(const QModelIndex& parent = {}) const override { return rowCount(parent) > 0; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: return node(index)->label;
        case Qt::SizeHintRole: return QSize(-1, kRowHeight);
        default: return {};
        }
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    static qsizetype countNodes(const TreeNode& node)
    {
        qsizetype count = 1;
        for (const TreeNode& child : node.children)
            count += countNodes(child);
        return count;
    }

    struct Entry
    {
        const TreeNode* node;
        int parent;
        int firstChild;
    };

    TreeNode m_root;
    std::vector<Entry> m_entries;
};

DetailsTreeView::DetailsTreeView(Kind kind, QWidget* parent)
    : QTreeView(parent)
    , m_kind(kind)
    , m_model(new NodeModel(this))
{
    switch (m_kind) {
    case Kind::Tasks:
        setObjectName(QStringLiteral("TaskTreeCtrl"));
        setAccessibleName(QStringLiteral("Tasks"));
        setAccessibleDescription(QStringLiteral("Insert adds a task, Enter or F2 modifies it, Delete deletes it, "
                                                "Ctrl+I imports tasks, the Menu key or Shift+F10 opens the row's menu"));
        break;
    case Kind::Meetings:
        setObjectName(QStringLiteral("MeetingTreeCtrl"));
        setAccessibleName(QStringLiteral("Meetings"));
        setAccessibleDescription(QStringLiteral("Insert adds a meeting, Enter or F2 modifies it, Delete deletes it, "
                                                "Ctrl+I imports meetings, the Menu key or Shift+F10 opens the row's menu"));
        break;
    case Kind::MoneyFlow:
        setObjectName(QStringLiteral("MoneyFlowTreeCtrl"));
        setAccessibleName(QStringLiteral("Money Flow"));
        setAccessibleDescription(QStringLiteral("Insert adds to the selected category, Enter or F2 modifies the "
                                                "selected entry, Delete deletes it, Space shows the selected invoice "
                                                "or the invoice list, the Menu key or Shift+F10 opens the row's menu"));
        break;
    }

    m_font = font();
    m_font.setPixelSize(13);
    m_font.setWeight(QFont::Light);
    m_font.setItalic(false);
    m_struckFont = m_font;
    m_struckFont.setStrikeOut(true);

    setModel(m_model);
    setHeaderHidden(true);
    header()->setStretchLastSection(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRootIsDecorated(true);
    setIndentation(kIndentation);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setMouseTracking(true);
    setMinimumWidth(220);
    setProperty("lightPage", true); // the rows' colours are fixed for a white background
    viewport()->setAutoFillBackground(true);
    QPalette white = viewport()->palette();
    white.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(white);

    switch (m_kind) {
    case Kind::Tasks: setTree(emptyTaskTree()); break;
    case Kind::Meetings: setTree(emptyMeetingTree()); break;
    case Kind::MoneyFlow: setTree(emptyMoneyFlowTree()); break;
    }
}

DetailsTreeView::Kind DetailsTreeView::kind() const
{
    return m_kind;
}

void DetailsTreeView::setTree(TreeNode root, std::optional<TreePath> reveal)
{
    m_hot.reset();
    if (m_menu)
        m_menu->close();
    m_model->setTree(std::move(root));

    expand(rootRow());
    if (reveal) {
        const QModelIndex target = indexOf(*reveal);
        for (QModelIndex above = target.parent(); above.isValid(); above = above.parent())
            expand(above);
        if (target.isValid())
            scrollTo(target);
    } else {
        scrollToTop();
    }
}

const TreeNode& DetailsTreeView::tree() const
{
    return m_model->tree();
}

void DetailsTreeView::setRootDocuments(const QStringList& paths)
{
    m_rootDocuments = paths.mid(0, kDocumentSlots);
    const QRect row = visualRect(rootRow());
    viewport()->update(QRect(0, row.top(), viewport()->width(), row.height()));
}

QModelIndex DetailsTreeView::rootRow() const
{
    return m_model->index(0, 0);
}

TreePath DetailsTreeView::pathOf(const QModelIndex& index) const
{
    TreePath path;
    for (QModelIndex at = index; at.isValid() && at.parent().isValid(); at = at.parent())
        path.insert(path.begin(), at.row());
    return path;
}

QModelIndex DetailsTreeView::indexOf(const TreePath& path) const
{
    QModelIndex at = rootRow();
    for (int row : path) {
        if (!at.isValid())
            break;
        at = m_model->index(row, 0, at);
    }
    return at;
}

const TreeNode* DetailsTreeView::nodeOf(const QModelIndex& index) const
{
    return m_model->node(index);
}

std::optional<TreePath> DetailsTreeView::selectedPath() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty())
        return std::nullopt;
    return pathOf(selected.first());
}

void DetailsTreeView::selectPath(const TreePath& path)
{
    const QModelIndex index = indexOf(path);
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

namespace {

QString keyOf(const TreeNode& node)
{
    // Records keep their place by identifier when their label changed elsewhere; category rows by label.
    const QByteArray identifier = node.recordIdentifier();
    return identifier.isEmpty() ? node.label : QLatin1Char('#') + QString::fromUtf8(identifier);
}

} // namespace

QStringList DetailsTreeView::keysOf(const QModelIndex& index) const
{
    QStringList keys;
    for (QModelIndex at = index; at.isValid() && at.parent().isValid(); at = at.parent())
        keys.prepend(keyOf(*nodeOf(at)));
    return keys;
}

QModelIndex DetailsTreeView::indexOfKeys(const QStringList& keys) const
{
    QModelIndex at = rootRow();
    for (const QString& key : keys) {
        QModelIndex found;
        for (int row = 0, rows = m_model->rowCount(at); row < rows && !found.isValid(); ++row) {
            const QModelIndex child = m_model->index(row, 0, at);
            if (keyOf(*nodeOf(child)) == key)
                found = child;
        }
        if (!found.isValid())
            return {};
        at = found;
    }
    return at;
}

DetailsTreeView::ViewState DetailsTreeView::viewState() const
{
    ViewState state;
    std::vector<QModelIndex> open{rootRow()};
    while (!open.empty()) {
        const QModelIndex at = open.back();
        open.pop_back();
        if (!isExpanded(at))
            continue;
        state.expanded.append(keysOf(at));
        for (int row = 0, rows = m_model->rowCount(at); row < rows; ++row)
            open.push_back(m_model->index(row, 0, at));
    }
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (!selected.isEmpty())
        state.selected = keysOf(selected.first());
    state.scroll = verticalScrollBar()->value();
    return state;
}

void DetailsTreeView::restoreViewState(const ViewState& state)
{
    collapseAll();
    for (const QStringList& keys : state.expanded) {
        const QModelIndex index = indexOfKeys(keys);
        if (index.isValid())
            expand(index);
    }
    if (state.selected) {
        const QModelIndex index = indexOfKeys(*state.selected);
        if (index.isValid())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    }
    verticalScrollBar()->setValue(state.scroll);
}

std::optional<Command> DetailsTreeView::actionCommand(Action action) const
{
    return CommandTable::treeAction(m_kind, action, selectedPath());
}

QRect DetailsTreeView::actionIconRect(Action action) const
{
    if (m_kind == Kind::MoneyFlow && action == Action::Import)
        return {};
    const QRect row = visualRect(rootRow());
    if (row.isEmpty())
        return {};
    const int x = viewport()->width() - actionOffset(action);
    return QRect(x, row.top() + (row.height() - kIconSize) / 2, kIconSize, kIconSize);
}

QRect DetailsTreeView::labelRect(const QModelIndex& index, const TreeNode& node) const
{
    const QRect item = visualRect(index);
    const QFontMetrics metrics(labelFont(node));
    const int left = item.left() + 2 + kIconSize + 3;
    // A long label ends at the tree's edge (on the root row before its action icons) and is elided there.
    int right = viewport()->width() - 2;
    if (!index.parent().isValid()) {
        for (Action action : kActions) {
            if (const QRect icon = actionIconRect(action); !icon.isEmpty())
                right = std::min(right, icon.left() - kGap);
        }
    }
    const int width =
        std::min(metrics.horizontalAdvance(node.label) + 4, std::max(right - left, kMinimumLabelWidth));
    return QRect(left, item.top() + 1, width, item.height() - 2);
}

bool DetailsTreeView::isLabelElided(const QModelIndex& index, const TreeNode& node) const
{
    return QFontMetrics(labelFont(node)).horizontalAdvance(node.label) + 4 > labelRect(index, node).width();
}

QRect DetailsTreeView::fileIconRect(const QModelIndex& index) const
{
    const TreeNode* node = nodeOf(index);
    if (!node || filePathOf(*node).isEmpty())
        return {};
    const QRect label = labelRect(index, *node);
    return QRect(label.right() + 1 + kGap, label.center().y() - kIconSize / 2 + 1, kIconSize, kIconSize);
}

QRect DetailsTreeView::documentIconRect(int slot) const
{
    if (slot < 0 || slot >= m_rootDocuments.size() || m_rootDocuments.at(slot).isEmpty())
        return {};
    const QRect label = labelRect(rootRow(), tree());
    return QRect(label.right() + 1 + kGap + slot * kDocumentStep, label.center().y() - kIconSize / 2 + 1,
                 kIconSize, kIconSize);
}

QString DetailsTreeView::filePathOf(const TreeNode& node) const
{
    if (const TaskRecord* task = node.task())
        return displayText(task->fileLink);
    if (const MoneyFlowRecord* entry = node.moneyFlow())
        return displayText(entry->filePath);
    return {};
}

QFont DetailsTreeView::labelFont(const TreeNode& node) const
{
    const TaskRecord* task = node.task();
    return task && task->completed ? m_struckFont : m_font;
}

QColor DetailsTreeView::labelColour(const TreeNode& node, bool isRoot) const
{
    if (isRoot)
        return QColor(0, 0, 255);
    if (const TaskRecord* task = node.task()) {
        switch (task->priority) {
        case TaskRecord::High: return QColor(255, 0, 0);
        case TaskRecord::Medium: return QColor(0, 0, 255);
        case TaskRecord::Low: return QColor(150, 150, 150);
        default: break;
        }
    }
    return Qt::black;
}

QPixmap DetailsTreeView::fileIcon(const QString& path) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const auto found = m_fileIcons.constFind(suffix);
    if (found != m_fileIcons.constEnd())
        return *found;
    const qreal ratio = devicePixelRatioF();
    // Windows paths ("C:\Docs\Plan.doc") still name their type by the suffix.
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(mime.genericIconName());
    const QPixmap pixmap = icon.isNull() ? m_icons.document(suffix, ratio)
                                         : icon.pixmap(QSize(kIconSize, kIconSize), ratio);
    m_fileIcons.insert(suffix, pixmap);
    return pixmap;
}

void DetailsTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->fillRect(option.rect, Qt::white);
    const QRect item = visualRect(index);
    drawBranches(painter, QRect(option.rect.left(), option.rect.top(), item.left() - option.rect.left(),
                                option.rect.height()),
                 index);

    const TreeNode* node = nodeOf(index);
    if (!node) {
        painter->restore();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const bool isRoot = !index.parent().isValid();

    const QPixmap& icon = m_icons.strip(node->icon, ratio);
    if (!icon.isNull())
        painter->drawPixmap(item.left() + 2, item.top() + (item.height() - kIconSize) / 2, icon);

    const QRect label = labelRect(index, *node);
    const bool selected = selectionModel()->isSelected(index);
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    if (selected) {
        painter->fillRect(label, palette().color(group, QPalette::Highlight));
        painter->setPen(palette().color(group, QPalette::HighlightedText));
    } else {
        painter->setPen(labelColour(*node, isRoot));
    }
    painter->setFont(labelFont(*node));
    const QRect text = label.adjusted(2, 0, -2, 0);
    painter->drawText(
        text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        isLabelElided(index, *node)
            ? QFontMetrics(labelFont(*node)).elidedText(node->label, Qt::ElideRight, text.width())
            : node->label);
    if (hasFocus() && index == currentIndex()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = label;
        focus.backgroundColor = selected ? palette().color(group, QPalette::Highlight) : QColor(Qt::white);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }

    int x = label.right() + 1 + kGap;
    const QString file = filePathOf(*node);
    if (!file.isEmpty()) {
        const QRect where = fileIconRect(index);
        painter->drawPixmap(where.topLeft(), fileIcon(file));
        x += kFileIconStep;
    }
    if (const TaskRecord* task = node->task()) {
        // A stored percentage outside 0..100 must not paint a bar across the whole row.
        const int percent = std::clamp(task->percentComplete, 0, 100);
        const int width = percent * kProgressWidth / 100;
        if (width > 0) {
            const QRectF bar(x + 0.5, label.center().y() - kProgressHeight / 2 + 0.5, width - 1, kProgressHeight);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(QColor(40, 130, 60));
            painter->setBrush(percent == 100 ? QColor(70, 170, 90) : QColor(100, 190, 115));
            painter->drawRoundedRect(bar, 2, 2);
            painter->setRenderHint(QPainter::Antialiasing, false);
        }
    }

    if (isRoot) {
        for (int slot = 0; slot < m_rootDocuments.size(); ++slot) {
            const QRect where = documentIconRect(slot);
            if (!where.isEmpty())
                painter->drawPixmap(where.topLeft(), fileIcon(m_rootDocuments.at(slot)));
        }
        for (Action action : kActions) {
            const QRect where = actionIconRect(action);
            if (where.isEmpty())
                continue;
            painter->drawPixmap(where.topLeft(), m_icons.action(action, ratio));
            if (m_hot == action) {
                const QRect frame = where.adjusted(-1, -1, 1, 1);
                painter->setPen(kHotFrameLight);
                painter->drawLine(frame.topLeft(), frame.topRight());
                painter->drawLine(frame.topLeft(), frame.bottomLeft());
                painter->setPen(Qt::black);
                painter->drawLine(frame.bottomLeft(), frame.bottomRight());
                painter->drawLine(frame.topRight(), frame.bottomRight());
            }
        }
    }
    painter->restore();
}

void DetailsTreeView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    int level = 0;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        ++level;
    const int middle = rect.top() + rect.height() / 2;
    const auto column = [&](int depth) { return rect.left() + depth * kIndentation + kIndentation / 2; };

    painter->save();
    // A 50 % pattern anchored to the viewport gives one-pixel dots that line up from row to row.
    painter->setBrushOrigin(0, 0);
    const QBrush dots(kLineColour, Qt::Dense4Pattern);
    const auto vertical = [&](int x, int top, int bottom) {
        if (bottom > top)
            painter->fillRect(QRect(x, top, 1, bottom - top), dots);
    };

    const int x = column(level);
    const bool hasNext = index.sibling(index.row() + 1, 0).isValid();
    const bool hasAbove = index.row() > 0 || index.parent().isValid();
    if (hasAbove)
        vertical(x, rect.top(), middle);
    if (hasNext)
        vertical(x, middle, rect.bottom() + 1);
    painter->fillRect(QRect(x, middle, rect.left() + (level + 1) * kIndentation - x, 1), dots);

    int depth = level - 1;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent(), --depth) {
        if (above.sibling(above.row() + 1, 0).isValid())
            vertical(column(depth), rect.top(), rect.bottom() + 1);
    }

    if (m_model->hasChildren(index)) {
        const QRect box(x - 4, middle - 4, 8, 8);
        painter->setBrush(Qt::white);
        painter->setPen(kButtonFrame);
        painter->drawRect(box);
        painter->setPen(Qt::black);
        painter->drawLine(x - 2, middle, x + 2, middle);
        if (!isExpanded(index))
            painter->drawLine(x, middle - 2, x, middle + 2);
    }
    painter->restore();
}

std::optional<DetailsTreeView::Action> DetailsTreeView::actionAt(const QPoint& pos) const
{
    for (Action action : kActions) {
        if (actionIconRect(action).contains(pos))
            return action;
    }
    return std::nullopt;
}

int DetailsTreeView::documentAt(const QPoint& pos) const
{
    for (int slot = 0; slot < m_rootDocuments.size(); ++slot) {
        if (documentIconRect(slot).contains(pos))
            return slot;
    }
    return -1;
}

void DetailsTreeView::triggerAction(Action action)
{
    if (const std::optional<Command> command = actionCommand(action))
        emit commandRequested(*command);
}

void DetailsTreeView::rowClicked(const QModelIndex& index)
{
    if (m_kind != Kind::MoneyFlow)
        return;
    const TreePath path = pathOf(index);
    const TreeNode* node = nodeOf(index);
    const bool inInvoices = node && !path.empty() && path.front() == int(MoneyCategory::Invoice);
    const bool invoiceCategory = inInvoices && path.size() == 1;
    const InvoiceRecord* invoice = inInvoices && path.size() == 2 ? node->invoice() : nullptr;
    if (invoiceCategory) {
        m_reportReplaced = true;
        emit invoiceListRequested();
    } else if (invoice) {
        m_reportReplaced = true;
        emit invoiceRequested(invoice->identifier);
    } else if (m_reportReplaced) {
        m_reportReplaced = false;
        emit detailsAgainRequested();
    }
}

void DetailsTreeView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<Action> action = actionAt(pos)) {
            event->accept();
            triggerAction(*action);
            return;
        }
        if (const int slot = documentAt(pos); slot >= 0) {
            event->accept();
            UserDialogs::openFile(this, m_rootDocuments.at(slot));
            return;
        }
        const QModelIndex index = indexAt(pos);
        if (index.isValid() && fileIconRect(index).contains(pos)) {
            event->accept();
            UserDialogs::openFile(this, filePathOf(*nodeOf(index)));
            return;
        }
    }
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(pos);
        // A click on the expand button only opens or closes the branch.
        if (index.isValid() && pos.x() < visualRect(index).left())
            return;
        rowClicked(index);
    }
}

void DetailsTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    // The first click of the pair already acted on the icon; the second must not fold the root away.
    if (actionAt(pos) || documentAt(pos) >= 0 || (index.isValid() && fileIconRect(index).contains(pos))) {
        event->accept();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void DetailsTreeView::setHot(std::optional<Action> hot)
{
    if (hot == m_hot)
        return;
    m_hot = hot;
    const QRect row = visualRect(rootRow());
    viewport()->update(QRect(0, row.top(), viewport()->width(), row.height()));
}

void DetailsTreeView::mouseMoveEvent(QMouseEvent* event)
{
    setHot(actionAt(event->position().toPoint()));
    QTreeView::mouseMoveEvent(event);
}

QString DetailsTreeView::actionToolTip(Action action) const
{
    static const char* const keys[] = {"Ctrl+I", "Insert", "Enter, F2", "Delete"};
    const QString key = QLatin1String(keys[int(action)]);
    if (m_kind == Kind::MoneyFlow) {
        // Which command an icon runs depends on the selected category, so the tip names them all.
        switch (action) {
        case Action::Import: return {};
        case Action::Add: return tr("Add an Invoice, Income or Expense to the selected category (%1)").arg(key);
        case Action::Modify: return tr("Modify the selected Invoice or Payment (%1)").arg(key);
        case Action::Delete: return tr("Delete the selected Invoice or Payment (%1)").arg(key);
        }
    }
    const std::optional<Command> command = CommandTable::treeCommand(m_kind, action, MoneyCategory::None);
    return command ? QStringLiteral("%1 (%2)").arg(QString::fromUtf8(CommandTable::info(*command).title), key)
                   : QString();
}

bool DetailsTreeView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Leave:
        setHot(std::nullopt);
        break;
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPoint pos = help->pos();
        QString text;
        QRect area;
        if (const std::optional<Action> action = actionAt(pos)) {
            text = actionToolTip(*action);
            area = actionIconRect(*action);
        } else if (const int slot = documentAt(pos); slot >= 0) {
            static const char* const names[] = {"Income document", "Expense document", "Turn over document"};
            text = tr(names[slot]) + QStringLiteral(": ") + m_rootDocuments.at(slot);
            area = documentIconRect(slot);
        } else if (const QModelIndex index = indexAt(pos); index.isValid() && fileIconRect(index).contains(pos)) {
            text = tr("Open %1").arg(filePathOf(*nodeOf(index)));
            area = fileIconRect(index);
        } else if (const TreeNode* node = index.isValid() ? nodeOf(index) : nullptr;
                   node && labelRect(index, *node).contains(pos) && isLabelElided(index, *node)) {
            text = node->label;
            area = labelRect(index, *node);
        }
        if (!text.isEmpty()) {
            QToolTip::showText(help->globalPos(), text, viewport(), area);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QTreeView::viewportEvent(event);
}

bool DetailsTreeView::isTreeKey(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Menu:
        return modifiers == Qt::NoModifier;
    case Qt::Key_F10:
        return modifiers == Qt::ShiftModifier;
    case Qt::Key_I:
        return modifiers == Qt::ControlModifier && m_kind != Kind::MoneyFlow;
    case Qt::Key_Space:
        return modifiers == Qt::NoModifier && m_kind == Kind::MoneyFlow;
    default:
        return false;
    }
}

bool DetailsTreeView::event(QEvent* event)
{
    // The tree's own keys win over the main window's shortcuts while the tree has the focus.
    if (event->type() == QEvent::ShortcutOverride && isTreeKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

void DetailsTreeView::keyPressEvent(QKeyEvent* event)
{
    if (!isTreeKey(event)) {
        const QModelIndex before = currentIndex();
        QTreeView::keyPressEvent(event);
        // Moving onto a row with the keys shows what a click on it shows (an invoice's page).
        if (currentIndex() != before && currentIndex().isValid())
            rowClicked(currentIndex());
        return;
    }
    event->accept();
    switch (event->key()) {
    case Qt::Key_Insert: triggerAction(Action::Add); break;
    case Qt::Key_Delete: triggerAction(Action::Delete); break;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter: triggerAction(Action::Modify); break;
    case Qt::Key_I: triggerAction(Action::Import); break;
    case Qt::Key_Space: rowClicked(currentIndex()); break;
    case Qt::Key_Menu:
    case Qt::Key_F10: {
        const QModelIndex index = currentIndex();
        if (index.isValid()) {
            const TreeNode* node = nodeOf(index);
            showContextMenu(index, viewport()->mapToGlobal(labelRect(index, *node).bottomLeft()));
        }
        break;
    }
    default: break;
    }
}

void DetailsTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    const bool byMouse = event->reason() == QContextMenuEvent::Mouse;
    const QModelIndex index = byMouse ? indexAt(event->pos()) : currentIndex();
    if (!index.isValid())
        return;
    event->accept();
    const QPoint where =
        byMouse ? event->globalPos() : viewport()->mapToGlobal(labelRect(index, *nodeOf(index)).bottomLeft());
    showContextMenu(index, where);
}

void DetailsTreeView::showContextMenu(const QModelIndex& index, const QPoint& globalPos)
{
    // The Menu key can arrive both as a key and as a context menu event: open one menu only.
    if (m_menu && m_menu->isVisible())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QMenu* menu = buildContextMenu(index);
    if (!menu)
        return;
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    m_menu = menu;
    menu->popup(globalPos);
}

QMenu* DetailsTreeView::buildContextMenu(const QModelIndex& index)
{
    if (!index.isValid())
        return nullptr;
    const std::vector<Command> commands = CommandTable::treeContextMenu(m_kind, pathOf(index));
    if (commands.empty())
        return nullptr;
    QMenu* menu =
        CommandTable::createContextMenu(commands, [this](Command command) { emit commandRequested(command); }, this);
    menu->setObjectName(objectName() + QStringLiteral("Menu"));
    menu->setAccessibleName(accessibleName() + tr(" menu"));
    return menu;
}

QMenu* DetailsTreeView::activeContextMenu() const
{
    return m_menu && m_menu->isVisible() ? m_menu.data() : nullptr;
}

bool DetailsTreeView::isReportReplaced() const
{
    return m_reportReplaced;
}

void DetailsTreeView::setReportReplaced(bool replaced)
{
    m_reportReplaced = replaced;
}

void DetailsTreeView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    emit selectedRowChanged();
}

} // namespace korvane
