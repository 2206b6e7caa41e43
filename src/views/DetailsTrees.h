#pragma once

#include "records/Records.h"
#include "store/RecordKind.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace korvane {

class RecordStore;

/** Positions in the icon strip that the three project details trees share. */
namespace TreeIcon {
enum : int
{
    Phone = 3,
    InvoiceCategory = 8,
    Invoice = 9,
    TasksRoot = 14,
    Resource = 15,
    AttendeeCategory = 15,
    MeetingsRoot = 16,
    Meeting = 17,
    AgendaCategory = 19,
    AgendaItem = 20,
    ActionCategory = 21,
    PaymentRoot = 24,
    IncomeCategory = 25,
    ExpenseCategory = 26,
    MoneyEntry = 27,
    Balance = 31,
    Detail = 47,
    /** Tasks, sub tasks and action items add their priority (0 High, 1 Medium, 2 Low) to this. */
    PriorityBase = 48,
};
} // namespace TreeIcon

/** The record a tree node owns a copy of, if any: roots, categories and detail rows own none. */
using TreeRecord =
    std::variant<std::monostate, std::shared_ptr<const TaskRecord>, std::shared_ptr<const MeetingRecord>,
                 std::shared_ptr<const MoneyFlowRecord>, std::shared_ptr<const InvoiceRecord>>;

/** One row of a project details tree, with its children in display order. */
struct TreeNode
{
    QString label;
    /** 64 bits wide: a task's or action's icon is 48 + its stored 32-bit priority, whatever that holds. */
    std::int64_t icon = 0;
    /** Nothing for the many rows that own no record; a row costs a pointer rather than a record. */
    TreeRecord record;
    /** Shared, not copied, where rows repeat: every task that lists a resource shows the same rows below it.
     */
    QList<TreeNode> children;

    /** The owned task, or nullptr when the node owns none. */
    const TaskRecord* task() const { return owned<TaskRecord>(); }
    /** The owned meeting, or nullptr. */
    const MeetingRecord* meeting() const { return owned<MeetingRecord>(); }
    /** The owned income or expense entry, or nullptr. */
    const MoneyFlowRecord* moneyFlow() const { return owned<MoneyFlowRecord>(); }
    /** The owned invoice, or nullptr. */
    const InvoiceRecord* invoice() const { return owned<InvoiceRecord>(); }
    /** The identifier of the owned record, empty when the node owns none. */
    QByteArray recordIdentifier() const;

private:
    template <class R> const R* owned() const
    {
        const auto* pointer = std::get_if<std::shared_ptr<const R>>(&record);
        return pointer ? pointer->get() : nullptr;
    }
};

/** A node's place in a tree: the child index at each level below the root (empty for the root). */
using TreePath = std::vector<int>;

/** The three project details trees, in the order of the tabs that show them. */
enum class TreeKind : int
{
    Tasks = 0,
    Meetings = 1,
    MoneyFlow = 2
};

/** Which trees a rebuild renews. */
enum class WhichTrees
{
    All,
    Tasks,
    Meetings,
    MoneyFlow
};

/** Positions of the money tree's children of the root. */
enum class MoneyCategory : int
{
    None = -1,
    Invoice = 0,
    Income = 1,
    Expense = 2
};

/** What the trees show before any project is selected: a single root row each. */
TreeNode emptyTaskTree();
TreeNode emptyMeetingTree();
TreeNode emptyMoneyFlowTree();

/**
 * The "Tasks" tree of a project: top-level tasks sorted by start date, each with its sub tasks
 * (in reverse order of its sub task list) and its resources with their details.
 */
TreeNode buildTaskTree(const RecordStore& store, const QByteArray& projectId);

/** The "Meetings" tree of a project, sorted by start, each meeting with place, lead, agenda, actions,
 * attendees. */
TreeNode buildMeetingTree(const RecordStore& store, const QByteArray& projectId);

/**
 * The "Payment" tree of a project: the "Invoice", "Income" and "Expense" categories sorted by date,
 * then the profit or loss row.
 */
TreeNode buildMoneyFlowTree(const RecordStore& store, const QByteArray& projectId);

/**
 * The node of the money tree to scroll into view after a rebuild: the invoice or income/expense
 * node whose record has the identifier, otherwise the "Invoice" category.
 */
TreePath moneyFlowRevealPath(const TreeNode& moneyRoot, const QByteArray& identifier);

/**
 * The place of the first node, in display order, that owns the record of that kind and identifier
 * (kinds draw identifiers apart, so one identifier can name records of two kinds); nullopt when none does.
 */
std::optional<TreePath> pathOfRecord(const TreeNode& root, RecordKind kind, const QByteArray& identifier);

/** The node at a path, or nullptr when the path leaves the tree. */
const TreeNode* nodeAt(const TreeNode& root, std::span<const int> path);

/**
 * The task or sub task a selection in the task tree stands for: the selected node itself or the
 * task above it (a resource row and its details resolve to their task). Empty when the root or no
 * node is selected.
 */
TreePath resolveTaskSelection(const TreeNode& taskRoot, std::span<const int> selection);

/** The category of the money tree a selected node descends from; None for the root and the balance row. */
MoneyCategory moneyCategoryOf(std::span<const int> selection);

/** Writes a tree as `korvane-cli tree` prints it: one node a line, two blanks per depth, "[ICON] LABEL". */
QByteArray treeOutline(const TreeNode& root);

} // namespace korvane
