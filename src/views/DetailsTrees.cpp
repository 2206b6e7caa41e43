#include "views/DetailsTrees.h"

#include "records/RecordCodec.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "views/Chronology.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <optional>

namespace korvane {

namespace {

// Texts of the program's string table that the trees use.
const QString kTasks = QStringLiteral("Tasks");
const QString kTask = QStringLiteral("Task");
const QString kMeetings = QStringLiteral("Meetings");
const QString kMoneyFlow = QStringLiteral("Money Flow");
const QString kDesignation = QStringLiteral("Desg: ");
const QString kDepartment = QStringLiteral("Dept: ");
const QString kPlace = QStringLiteral("Place:");
const QString kLead = QStringLiteral("Lead:");
const QString kAgenda = QStringLiteral("Agenda");
const QString kAction = QStringLiteral("Action");
const QString kAttendee = QStringLiteral("Attendee");
const QString kPayment = QStringLiteral("Payment");
const QString kInvoice = QStringLiteral("Invoice");
const QString kIncome = QStringLiteral("Income");
const QString kExpense = QStringLiteral("Expense");
const QString kTax = QStringLiteral("Tax");
const QString kProfit = QStringLiteral("Profit: ");
const QString kLoss = QStringLiteral("Loss: ");

TreeNode node(const QString& label, std::int64_t icon)
{
    TreeNode result;
    result.label = label;
    result.icon = icon;
    return result;
}

/** A row that owns a copy of its record, allocated as that record alone. */
template <class R> TreeNode node(const QString& label, std::int64_t icon, const R& record)
{
    TreeNode result = node(label, icon);
    result.record = std::make_shared<const R>(record);
    return result;
}

QString counted(const QString& text, qsizetype count)
{
    return QStringLiteral("%1(%2)").arg(text).arg(count);
}

/** 48 + priority, worked out in 64 bits so that no stored priority overflows it. */
std::int64_t priorityIcon(std::int32_t priority)
{
    return std::int64_t(TreeIcon::PriorityBase) + priority;
}

/** Earlier first; equal dates keep the order they were inserted in. */
template <class Key> void sortChildrenBy(TreeNode& parent, Key key)
{
    std::stable_sort(parent.children.begin(), parent.children.end(),
                     [&](const TreeNode& a, const TreeNode& b) { return earlier(key(a), key(b)); });
}

/** The stored record, read in place; an unknown identifier still yields a node, built from an all-empty
 * record. */
template <class R> const R& lookup(const RecordStore& store, const QByteArray& identifier)
{
    static const R empty{};
    const R* record = store.records<R>().find(identifier);
    return record ? *record : empty;
}

/** A resource's row with its detail rows, made once per resource: the rows of every task that lists
 * it share them. */
using ResourceRows = QHash<QByteArray, TreeNode>;

/** A task's node: the rows given (its sub tasks), then its resource rows. */
TreeNode taskNode(const RecordStore& store, const TaskRecord& task, ResourceRows& resourceRows,
                  QList<TreeNode> leadingRows = {})
{
    TreeNode result = node(displayText(task.name), priorityIcon(task.priority), task);
    const QList<QByteArray> resourceIds = TextList::entries(task.resources);
    result.children = std::move(leadingRows);
    result.children.reserve(result.children.size() + resourceIds.size());
    for (const QByteArray& resourceId : resourceIds) {
        auto made = resourceRows.constFind(resourceId);
        if (made == resourceRows.cend()) {
            const ResourceRecord& resource = lookup<ResourceRecord>(store, resourceId);
            TreeNode row = node(displayText(resource.name), TreeIcon::Resource);
            row.children.reserve(4);
            row.children.push_back(node(kDesignation + displayText(resource.designation), TreeIcon::Detail));
            row.children.push_back(node(kDepartment + displayText(resource.department), TreeIcon::Detail));
            row.children.push_back(node(displayText(resource.phone1), TreeIcon::Phone));
            row.children.push_back(node(displayText(resource.phone2), TreeIcon::Phone));
            made = resourceRows.insert(resourceId, std::move(row));
        }
        result.children.push_back(*made);
    }
    return result;
}

TreeNode meetingNode(const RecordStore& store, const MeetingRecord& meeting)
{
    TreeNode result = node(displayText(meeting.subject) + QLatin1Char('(') +
                               DisplayFormat::shortDate(meeting.start) + QLatin1Char(')'),
                           TreeIcon::Meeting, meeting);
    result.children.push_back(node(kPlace + displayText(meeting.place), TreeIcon::Detail));
    result.children.push_back(node(kLead + displayText(meeting.lead), TreeIcon::Detail));

    TreeNode agenda = node(QStringLiteral("%1 (0)").arg(kAgenda), TreeIcon::AgendaCategory);
    if (const auto items = store.readMeetingList<AgendaRecord>(ListFile::Agenda, meeting.identifier)) {
        agenda.label = QStringLiteral("%1 (%2)").arg(kAgenda).arg(items->size());
        for (const AgendaRecord& item : *items)
            agenda.children.push_back(
                node(QStringLiteral("%1 - %2").arg(displayText(item.name),
                                                   DisplayFormat::timeWithoutSeconds(item.time)),
                     TreeIcon::AgendaItem));
    }
    result.children.push_back(std::move(agenda));

    TreeNode actions = node(QStringLiteral("%1 (0)").arg(kAction), TreeIcon::ActionCategory);
    if (const auto items = store.readMeetingList<ActionRecord>(ListFile::Action, meeting.identifier)) {
        actions.label = QStringLiteral("%1 (%2)").arg(kAction).arg(items->size());
        for (const ActionRecord& item : *items)
            actions.children.push_back(
                node(QStringLiteral("%1 (%2) - %3")
                         .arg(displayText(item.todo), DisplayFormat::shortDate(item.dueDate),
                              displayText(item.who)),
                     priorityIcon(item.priority)));
    }
    result.children.push_back(std::move(actions));

    TreeNode attendees = node(QString(), TreeIcon::AttendeeCategory);
    for (const QByteArray& name : TextList::entries(meeting.attendees))
        attendees.children.push_back(node(displayText(name), TreeIcon::Detail));
    attendees.label = counted(kAttendee, qsizetype(attendees.children.size()));
    result.children.push_back(std::move(attendees));
    return result;
}

/** The symbol of an invoice's currency text "Rs. - Indian Rupee": the part before the first "-", trimmed. */
QString invoiceSymbol(const InvoiceRecord& invoice)
{
    const QString text = displayText(invoice.currencyText);
    return text.section(QLatin1Char('-'), 0, 0).trimmed();
}

void appendAmountRows(TreeNode& parent, double amount, double tax, double net, const QString& symbol)
{
    parent.children.push_back(
        node(QStringLiteral("Amt: ") + DisplayFormat::amountWithSymbol(amount, symbol), TreeIcon::Detail));
    parent.children.push_back(node(QString::asprintf("%s : %.2f", qPrintable(kTax), tax), TreeIcon::Detail));
    parent.children.push_back(
        node(QStringLiteral("Net: ") + DisplayFormat::amountWithSymbol(net, symbol), TreeIcon::Detail));
}

} // namespace

QByteArray TreeNode::recordIdentifier() const
{
    return std::visit(
        [](const auto& owned) -> QByteArray {
            if constexpr (std::is_same_v<std::decay_t<decltype(owned)>, std::monostate>)
                return {};
            else
                return owned->identifier;
        },
        record);
}

TreeNode emptyTaskTree()
{
    return node(kTask, TreeIcon::TasksRoot);
}

TreeNode emptyMeetingTree()
{
    return node(kMeetings, TreeIcon::MeetingsRoot);
}

TreeNode emptyMoneyFlowTree()
{
    return node(kMoneyFlow, TreeIcon::PaymentRoot);
}

TreeNode buildTaskTree(const RecordStore& store, const QByteArray& projectId)
{
    // The tasks are put in order before their nodes are built: sorting nodes would move each
    // node's copy of its task and all its rows, which in a project of thousands of tasks costs
    // more than building them.
    std::vector<const TaskRecord*> tops;
    for (const TaskRecord* task : store.ofProject<TaskRecord>(projectId)) {
        if (task->kind == TaskRecord::kTopLevel)
            tops.push_back(task);
    }
    // Top-level tasks were inserted in front of each other: equal start dates stay in reverse map order.
    std::reverse(tops.begin(), tops.end());
    std::stable_sort(tops.begin(), tops.end(),
                     [](const TaskRecord* a, const TaskRecord* b) { return earlier(a->start, b->start); });

    TreeNode root = node(counted(kTasks, qsizetype(tops.size())), TreeIcon::TasksRoot);
    root.children.reserve(qsizetype(tops.size()));
    ResourceRows resourceRows;
    for (const TaskRecord* task : tops) {
        // Each sub task goes in front of the ones before it, ahead of the task's own resource
        // rows, so sub tasks show in reverse list order.
        const QList<QByteArray> subIds = TextList::entries(task->subTaskList);
        QList<TreeNode> rows;
        rows.reserve(subIds.size());
        for (auto sub = subIds.crbegin(); sub != subIds.crend(); ++sub)
            rows.push_back(taskNode(store, lookup<TaskRecord>(store, *sub), resourceRows));
        root.children.push_back(taskNode(store, *task, resourceRows, std::move(rows)));
    }
    return root;
}

TreeNode buildMeetingTree(const RecordStore& store, const QByteArray& projectId)
{
    TreeNode root = node(kMeetings, TreeIcon::MeetingsRoot);
    for (const MeetingRecord* meeting : store.ofProject<MeetingRecord>(projectId))
        root.children.push_back(meetingNode(store, *meeting));
    root.label = counted(kMeetings, qsizetype(root.children.size()));
    sortChildrenBy(root, [](const TreeNode& n) { return n.meeting()->start; });
    return root;
}

TreeNode buildMoneyFlowTree(const RecordStore& store, const QByteArray& projectId)
{
    const ProjectRecord* project = store.projects().find(projectId);
    const QString projectSymbol = project ? displayText(project->currency) : QString();

    TreeNode invoices = node(kInvoice, TreeIcon::InvoiceCategory);
    for (const InvoiceRecord* invoice : store.ofProject<InvoiceRecord>(projectId)) {
        TreeNode row =
            node(displayText(invoice->task) + QLatin1Char('(') + displayText(invoice->invoiceNumber) +
                     QStringLiteral(") - ") + DisplayFormat::shortDate(invoice->invoiceDate),
                 TreeIcon::Invoice, *invoice);
        appendAmountRows(row, invoice->amount, invoice->taxPercentage, invoice->netAmount,
                         invoiceSymbol(*invoice));
        invoices.children.push_back(std::move(row));
    }

    TreeNode incomes = node(kIncome, TreeIcon::IncomeCategory);
    TreeNode expenses = node(kExpense, TreeIcon::ExpenseCategory);
    double balance = 0.0;
    for (const MoneyFlowRecord* entry : store.ofProject<MoneyFlowRecord>(projectId)) {
        TreeNode* parent = nullptr;
        if (entry->kind == MoneyFlowRecord::Income) {
            balance += entry->netAmount;
            parent = &incomes;
        } else if (entry->kind == MoneyFlowRecord::Expense) {
            balance -= entry->netAmount;
            parent = &expenses;
        } else {
            continue; // neither income nor expense: not shown, not counted
        }
        TreeNode row = node(displayText(entry->name) + QLatin1Char('(') +
                                DisplayFormat::shortDate(entry->transactionDate) + QLatin1Char(')'),
                            TreeIcon::MoneyEntry, *entry);
        appendAmountRows(row, entry->amount, entry->taxPercentage, entry->netAmount, projectSymbol);
        parent->children.push_back(std::move(row));
    }

    TreeNode root = node(QStringLiteral("%1(%2/%3/%4)")
                             .arg(kPayment)
                             .arg(invoices.children.size())
                             .arg(incomes.children.size())
                             .arg(expenses.children.size()),
                         TreeIcon::PaymentRoot);
    invoices.label = counted(kInvoice, qsizetype(invoices.children.size()));
    incomes.label = counted(kIncome, qsizetype(incomes.children.size()));
    expenses.label = counted(kExpense, qsizetype(expenses.children.size()));
    sortChildrenBy(invoices, [](const TreeNode& n) { return n.invoice()->invoiceDate; });
    const auto byTransactionDate = [](const TreeNode& n) { return n.moneyFlow()->transactionDate; };
    sortChildrenBy(incomes, byTransactionDate);
    sortChildrenBy(expenses, byTransactionDate);
    root.children.push_back(std::move(invoices));
    root.children.push_back(std::move(incomes));
    root.children.push_back(std::move(expenses));

    // The amount form drops the sign, so a loss shows its size after "Loss: ".
    root.children.push_back(
        node(QStringLiteral("%1: %2").arg(balance < 0 ? kLoss : kProfit,
                                          DisplayFormat::amountWithSymbol(balance, projectSymbol)),
             TreeIcon::Balance));
    return root;
}

TreePath moneyFlowRevealPath(const TreeNode& moneyRoot, const QByteArray& identifier)
{
    TreePath found{int(MoneyCategory::Invoice)};
    if (identifier.isEmpty())
        return found;
    // Invoices and money flow entries draw identifiers independently, so one can name both; the
    // money flow entry, looked at last, is the one revealed then.
    for (int category = 0; category < 3 && category < int(moneyRoot.children.size()); ++category) {
        const auto& entries = moneyRoot.children[category].children;
        for (int row = 0; row < int(entries.size()); ++row) {
            const TreeNode& entry = entries[row];
            if ((entry.invoice() || entry.moneyFlow()) && entry.recordIdentifier() == identifier)
                found = {category, row};
        }
    }
    return found;
}

std::optional<TreePath> pathOfRecord(const TreeNode& root, RecordKind kind, const QByteArray& identifier)
{
    const bool owned = std::visit(
        [&](const auto& record) {
            if constexpr (std::is_same_v<std::decay_t<decltype(record)>, std::monostate>)
                return false;
            else
                return KindOf<std::remove_const_t<typename std::decay_t<decltype(record)>::element_type>>::value == kind &&
                       record->identifier == identifier;
        },
        root.record);
    if (owned)
        return TreePath{};
    for (qsizetype i = 0; i < root.children.size(); ++i) {
        if (std::optional<TreePath> below = pathOfRecord(root.children[i], kind, identifier)) {
            below->insert(below->begin(), int(i));
            return below;
        }
    }
    return std::nullopt;
}

const TreeNode* nodeAt(const TreeNode& root, std::span<const int> path)
{
    const TreeNode* current = &root;
    for (int index : path) {
        if (index < 0 || index >= current->children.size())
            return nullptr;
        current = &current->children[index];
    }
    return current;
}

TreePath resolveTaskSelection(const TreeNode& taskRoot, std::span<const int> selection)
{
    if (selection.empty() || !nodeAt(taskRoot, selection))
        return {};
    // Climb to the nearest node that owns a task: the selected task itself, the sub task above a
    // resource row, or the top-level task above it.
    for (size_t depth = selection.size(); depth >= 1; --depth) {
        const auto path = selection.first(depth);
        if (nodeAt(taskRoot, path)->task())
            return TreePath(path.begin(), path.end());
    }
    return {};
}

MoneyCategory moneyCategoryOf(std::span<const int> selection)
{
    if (selection.empty() || selection.front() < 0 || selection.front() > int(MoneyCategory::Expense))
        return MoneyCategory::None;
    return MoneyCategory(selection.front());
}

namespace {

void outline(const TreeNode& node, int depth, QByteArray& out)
{
    out += QByteArray(2 * depth, ' ');
    out += '[' + QByteArray::number(node.icon) + "] ";
    out += node.label.toUtf8();
    out += '\n';
    for (const TreeNode& child : node.children)
        outline(child, depth + 1, out);
}

} // namespace

QByteArray treeOutline(const TreeNode& root)
{
    QByteArray out;
    outline(root, 0, out);
    return out;
}

} // namespace korvane
