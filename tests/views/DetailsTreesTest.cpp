#include "ViewsFixture.h"

#include "views/DetailsTrees.h"

#include <cmath>
#include <limits>

using namespace korvane;
using korvane::test::ViewsFixture;

namespace {

class DetailsTreesTest : public ViewsFixture
{
protected:
    static std::string outline(const TreeNode& root) { return treeOutline(root).toStdString(); }

    static QString money(double amount, const QString& symbol = QStringLiteral("Rs."))
    {
        return DisplayFormat::amountWithSymbol(amount, symbol);
    }

    /** A project with top-level tasks out of date order, sub tasks, known and unknown resources. */
    QByteArray taskProject()
    {
        const QByteArray project = addProject("Bridge", at(2007, 3, 1), at(2007, 3, 31));
        const QByteArray ann = addResource("Ann", "Lead", "Dev", "111", "222");
        m_subOne =
            addTask(project, "Sub one", at(2007, 3, 2), TaskRecord::Low, 0, ann + '\n', TaskRecord::kSubTask);
        const QByteArray subTwo =
            addTask(project, "Sub two", at(2007, 3, 3), TaskRecord::Medium, 0, {}, TaskRecord::kSubTask);
        const QByteArray subThree =
            addTask(project, "Sub three", at(2007, 3, 4), TaskRecord::Low, 0, {}, TaskRecord::kSubTask);
        addTask(project, "Orphan sub task", at(2007, 3, 1), TaskRecord::High, 0, {}, TaskRecord::kSubTask);
        addTask(project, "No kind", at(2007, 3, 1), TaskRecord::High, 0, {}, "");
        addTask(addProject("Other", at(2007, 3, 1), at(2007, 3, 2)), "Elsewhere", at(2007, 3, 1));

        addTask(project, "Build", at(2007, 3, 10), TaskRecord::Medium, 0,
                ann + "\nunknown\ntail without line feed");
        addTask(project, "Test", at(2007, 3, 5), TaskRecord::Low);
        TaskRecord plan = emptyRecord<TaskRecord>();
        plan.projectIdentifier = project;
        plan.name = "Plan";
        plan.kind = TaskRecord::kTopLevel;
        plan.start = at(2007, 3, 1);
        plan.resources = ann + '\n';
        plan.subTaskList = m_subOne + '\n' + subTwo + "\nmissing\n" + subThree + '\n';
        added(m_store.AddTask(plan));
        return project;
    }

    QByteArray m_subOne;
};

TEST_F(DetailsTreesTest, TaskTreeOrdersTasksByDateAndSubTasksInReverseListOrder)
{
    const TreeNode root = buildTaskTree(m_store, taskProject());
    // A resource's rows at the depth given; an unknown one is an all-empty record.
    const auto resource = [](const char* indent, const char* name, const char* desg, const char* dept,
                             const char* phone1, const char* phone2) {
        return QStringLiteral("%1[15] %2\n%1  [47] Desg: %3\n%1  [47] Dept: %4\n%1  [3] %5\n%1  [3] %6\n")
            .arg(indent, name, desg, dept, phone1, phone2);
    };
    const auto ann = [&](const char* indent) { return resource(indent, "Ann", "Lead", "Dev", "111", "222"); };
    EXPECT_EQ(outline(root), (QStringLiteral("[14] Tasks(3)\n"
                                             "  [48] Plan\n"
                                             "    [50] Sub three\n"
                                             "    [48] \n" // an unknown sub task: an all-empty record
                                             "    [49] Sub two\n"
                                             "    [50] Sub one\n") +
                              ann("      ") + ann("    ") + "  [50] Test\n  [49] Build\n" + ann("    ") +
                              resource("    ", "", "", "", "", ""))
                                 .toStdString());
    ASSERT_NE(root.children[0].children[3].task(), nullptr);
    EXPECT_EQ(root.children[0].children[3].task()->identifier, m_subOne);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(root.children[0].children[4].record)); // resource rows own nothing
}

TEST_F(DetailsTreesTest, TaskSelectionResolvesToTheTaskAboveIt)
{
    const TreeNode root = buildTaskTree(m_store, taskProject());
    const struct
    {
        TreePath selected;
        TreePath resolved;
    } cases[] = {
        {{}, {}},               // the root
        {{0}, {0}},             // a top-level task
        {{0, 0}, {0, 0}},       // a sub task
        {{0, 4}, {0}},          // a resource of a top-level task
        {{0, 4, 2}, {0}},       // its phone row
        {{0, 3, 0, 1}, {0, 3}}, // a detail of a sub task's resource
        {{2, 1, 0}, {2}},       // a detail of an unknown resource
        {{7}, {}},              // no such node
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolveTaskSelection(root, c.selected), c.resolved) << ::testing::PrintToString(c.selected);
}

TEST_F(DetailsTreesTest, MeetingTreeReadsAgendaAndActionFilesAndCountsEndedAttendees)
{
    const QByteArray project = addProject("Bridge", at(2007, 3, 1), at(2007, 3, 31));
    const DateTime kickoffStart = at(2007, 3, 2, 10);
    const DateTime reviewStart = at(2007, 3, 1, 9);
    const DateTime brokenStart = at(2007, 3, 3);
    // Bob has no line feed after him: not an entry.
    const QByteArray kickoff = addMeeting(project, "Kickoff", kickoffStart, "Ann\nBob", "Room 1", "Ann");
    addMeeting(project, "Review", reviewStart, "Cy\nDee\n", "Room 1", "Ann");
    const QByteArray broken = addMeeting(project, "Broken", brokenStart, "", "Room 1", "Ann");

    const DateTime agendaTime = at(2007, 3, 2, 10, 30);
    writeList(ListFile::Agenda, kickoff,
              encodeList(QList<AgendaRecord>{{"Scope", agendaTime}, {"Budget", agendaTime}}));
    const DateTime due = at(2007, 3, 9);
    writeList(ListFile::Action, kickoff,
              encodeList(QList<ActionRecord>{{"Draft plan", due, "Bob", TaskRecord::Medium}}));
    // An agenda file that claims items it does not hold is unreadable: the category stays at (0).
    writeList(ListFile::Agenda, broken, QByteArray("\x05\0\0\0", 4));

    const QString time = DisplayFormat::timeWithoutSeconds(agendaTime);
    const QString expected = QStringLiteral("[16] Meetings(3)\n"
                                            "  [17] Review(%1)\n"
                                            "    [47] Place:Room 1\n"
                                            "    [47] Lead:Ann\n"
                                            "    [19] Agenda (0)\n"
                                            "    [21] Action (0)\n"
                                            "    [15] Attendee(2)\n"
                                            "      [47] Cy\n"
                                            "      [47] Dee\n"
                                            "  [17] Kickoff(%2)\n"
                                            "    [47] Place:Room 1\n"
                                            "    [47] Lead:Ann\n"
                                            "    [19] Agenda (2)\n"
                                            "      [20] Scope - %3\n"
                                            "      [20] Budget - %3\n"
                                            "    [21] Action (1)\n"
                                            "      [49] Draft plan (%4) - Bob\n"
                                            "    [15] Attendee(1)\n"
                                            "      [47] Ann\n"
                                            "  [17] Broken(%5)\n"
                                            "    [47] Place:Room 1\n"
                                            "    [47] Lead:Ann\n"
                                            "    [19] Agenda (0)\n"
                                            "    [21] Action (0)\n"
                                            "    [15] Attendee(0)\n")
                                 .arg(shortDate(reviewStart), shortDate(kickoffStart), time, shortDate(due),
                                      shortDate(brokenStart));
    const TreeNode root = buildMeetingTree(m_store, project);
    EXPECT_EQ(outline(root), expected.toStdString());
    ASSERT_NE(root.children[1].meeting(), nullptr);
    EXPECT_EQ(root.children[1].meeting()->identifier, kickoff);
}

class MoneyTreeTest : public DetailsTreesTest
{
protected:
    QByteArray addEntry(const QByteArray& project, const QByteArray& name, std::int32_t kind, double net,
                        const DateTime& date)
    {
        MoneyFlowRecord entry = emptyRecord<MoneyFlowRecord>();
        entry.projectIdentifier = project;
        entry.name = name;
        entry.kind = kind;
        entry.amount = net;
        entry.netAmount = net;
        entry.transactionDate = date;
        return added(m_store.AddMoneyFlow(entry));
    }

    QByteArray addInvoice(const QByteArray& project, const QByteArray& task, const QByteArray& currency,
                          const DateTime& date)
    {
        InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
        invoice.projectIdentifier = project;
        invoice.task = task;
        invoice.invoiceNumber = "INV-" + task;
        invoice.invoiceDate = date;
        invoice.amount = 1000;
        invoice.taxPercentage = 12.5;
        invoice.netAmount = 1125;
        invoice.currencyText = currency;
        return added(m_store.AddInvoice(invoice));
    }
};

TEST_F(MoneyTreeTest, LossRowShowsTheSizeOfTheLossAndLeavesInvoicesOut)
{
    const QByteArray project = addProject("Bridge", at(2007, 3, 1), at(2007, 3, 31), "Rs.");
    addEntry(project, "Second", MoneyFlowRecord::Income, 50, at(2007, 3, 5));
    addEntry(project, "Advance", MoneyFlowRecord::Income, 100, at(2007, 3, 1));
    addEntry(project, "Gift", MoneyFlowRecord::Income, 0, at(2007, 3, 3));
    addEntry(project, "Hardware", MoneyFlowRecord::Expense, 200, at(2007, 3, 4));
    addEntry(project, "Neither", 7, 999, at(2007, 3, 4));
    addEntry(addProject("Other", at(2007, 3, 1), at(2007, 3, 2)), "Elsewhere", MoneyFlowRecord::Income, 5000,
             at(2007, 3, 1));
    addInvoice(project, "Design", " $ - US Dollar", at(2007, 3, 20));
    addInvoice(project, "Build", "EUR", at(2007, 3, 10)); // no "-": the whole text is the symbol

    const auto entryRows = [](const QString& amt, const QString& tax, const QString& net) {
        return QStringLiteral("      [47] Amt: %1\n      [47] Tax : %2\n      [47] Net: %3\n")
            .arg(amt, tax, net);
    };
    const QString expected =
        QStringLiteral("[24] Payment(2/3/1)\n"
                       "  [8] Invoice(2)\n"
                       "    [9] Build(INV-Build) - %1\n") +
        entryRows(money(1000, "EUR"), "12.50", money(1125, "EUR")) +
        QStringLiteral("    [9] Design(INV-Design) - %1\n").arg(shortDate(at(2007, 3, 20))) +
        entryRows(money(1000, "$"), "12.50", money(1125, "$")) +
        QStringLiteral("  [25] Income(3)\n    [27] Advance(%1)\n").arg(shortDate(at(2007, 3, 1))) +
        entryRows(money(100), "0.00", money(100)) +
        QStringLiteral("    [27] Gift(%1)\n").arg(shortDate(at(2007, 3, 3))) +
        entryRows(money(0), "0.00", money(0)) +
        QStringLiteral("    [27] Second(%1)\n").arg(shortDate(at(2007, 3, 5))) +
        entryRows(money(50), "0.00", money(50)) +
        QStringLiteral("  [26] Expense(1)\n    [27] Hardware(%1)\n").arg(shortDate(at(2007, 3, 4))) +
        entryRows(money(200), "0.00", money(200)) + QStringLiteral("  [31] Loss: : %1\n").arg(money(50));
    EXPECT_EQ(outline(buildMoneyFlowTree(m_store, project)),
              expected.arg(shortDate(at(2007, 3, 10))).toStdString());
}

TEST_F(MoneyTreeTest, EmptyProjectShowsZeroCountsAndAZeroProfit)
{
    const QByteArray project = addProject("Empty", at(2007, 3, 1), at(2007, 3, 31), "Rs.");
    EXPECT_EQ(outline(buildTaskTree(m_store, project)), "[14] Tasks(0)\n");
    EXPECT_EQ(outline(buildMeetingTree(m_store, project)), "[16] Meetings(0)\n");
    EXPECT_EQ(outline(buildMoneyFlowTree(m_store, project)),
              QStringLiteral("[24] Payment(0/0/0)\n  [8] Invoice(0)\n  [25] Income(0)\n  [26] Expense(0)\n"
                             "  [31] Profit: : %1\n")
                  .arg(money(0))
                  .toStdString());

    // Income equal to expense is no loss.
    addEntry(project, "In", MoneyFlowRecord::Income, 75.5, at(2007, 3, 1));
    addEntry(project, "Out", MoneyFlowRecord::Expense, 75.5, at(2007, 3, 2));
    const TreeNode root = buildMoneyFlowTree(m_store, project);
    EXPECT_EQ(root.label, "Payment(0/1/1)");
    EXPECT_EQ(root.children.back().label, QStringLiteral("Profit: : %1").arg(money(0)));
}

TEST_F(MoneyTreeTest, RevealsTheNamedEntryOrElseTheInvoiceCategory)
{
    const QByteArray project = addProject("Bridge", at(2007, 3, 1), at(2007, 3, 31));
    const QByteArray late = addEntry(project, "Late", MoneyFlowRecord::Expense, 1, at(2007, 3, 9));
    const QByteArray early = addEntry(project, "Early", MoneyFlowRecord::Expense, 1, at(2007, 3, 2));
    const QByteArray income = addEntry(project, "Fee", MoneyFlowRecord::Income, 1, at(2007, 3, 2));
    const QByteArray sharedId = addInvoice(project, "Shares an identifier", "Rs.", at(2007, 3, 1));
    ASSERT_EQ(sharedId, late); // both kinds drew their first identifier in the same second
    Clock::setFixed(QDateTime(QDate(2007, 7, 4), QTime(9, 0)));
    const QByteArray invoice = addInvoice(project, "Design", "Rs.", at(2007, 3, 2));
    const TreeNode root = buildMoneyFlowTree(m_store, project);

    const struct
    {
        QByteArray identifier;
        TreePath path;
        MoneyCategory category;
    } cases[] = {
        {invoice, {0, 1}, MoneyCategory::Invoice}, {income, {1, 0}, MoneyCategory::Income},
        {early, {2, 0}, MoneyCategory::Expense},   {late, {2, 1}, MoneyCategory::Expense}, // not the invoice
        {"unknown", {0}, MoneyCategory::Invoice},  {{}, {0}, MoneyCategory::Invoice},
    };
    for (const auto& c : cases) {
        const TreePath path = moneyFlowRevealPath(root, c.identifier);
        EXPECT_EQ(path, c.path) << c.identifier.toStdString();
        EXPECT_EQ(moneyCategoryOf(path), c.category) << c.identifier.toStdString();
    }
    EXPECT_EQ(moneyCategoryOf(TreePath{}), MoneyCategory::None);
    EXPECT_EQ(moneyCategoryOf(TreePath{3}), MoneyCategory::None); // the balance row
    EXPECT_EQ(moneyCategoryOf(TreePath{2, 1, 0}), MoneyCategory::Expense);
}

TEST_F(MoneyTreeTest, SortsFollowTheCalendarBefore1900AndPutDamagedDatesLast)
{
    // Before 30 December 1899 the stored whole part counts back while the time counts forward:
    // -1.25 is 29 December at 06:00, earlier than -1.5 at noon, and -2.0 is the day before.
    const DateTime noon{DateTime::Valid, -1.5};
    const DateTime six{DateTime::Valid, -1.25};
    const DateTime dayBefore{DateTime::Valid, -2.0};
    const DateTime damaged{DateTime::Valid, std::nan("")};
    const QByteArray project = addProject("Old", dayBefore, noon);
    const struct
    {
        const char* name;
        DateTime date;
    } dates[] = {{"Damaged", damaged}, {"Noon", noon}, {"Six", six}, {"Before", dayBefore}};
    for (const auto& d : dates) {
        addTask(project, d.name, d.date);
        addMeeting(project, d.name, d.date);
        addEntry(project, d.name, MoneyFlowRecord::Income, 1, d.date);
        addEntry(project, d.name, MoneyFlowRecord::Expense, 1, d.date);
        addInvoice(project, d.name, "$", d.date);
    }
    const std::string expected = "Before Six Noon Damaged";
    const auto names = [](const TreeNode& parent, auto name) {
        QStringList result;
        for (const TreeNode& child : parent.children)
            result.append(name(child));
        return result.join(QLatin1Char(' ')).toStdString();
    };
    const auto label = [](const TreeNode& n) { return n.label; };
    const auto head = [](const TreeNode& n) { return n.label.section(QLatin1Char('('), 0, 0); };
    EXPECT_EQ(names(buildTaskTree(m_store, project), label), expected);
    EXPECT_EQ(names(buildMeetingTree(m_store, project), head), expected);
    const TreeNode money = buildMoneyFlowTree(m_store, project);
    for (int category = 0; category < 3; ++category)
        EXPECT_EQ(names(money.children[category], head), expected) << category;
}

TEST_F(DetailsTreesTest, PriorityIconsHoldAnyStoredPriority)
{
    const QByteArray project = addProject("Bridge", at(2007, 3, 1), at(2007, 3, 31));
    addTask(project, "Highest", at(2007, 3, 1), std::numeric_limits<std::int32_t>::max());
    addTask(project, "Lowest", at(2007, 3, 2), std::numeric_limits<std::int32_t>::min());
    const QByteArray meeting = addMeeting(project, "Kickoff", at(2007, 3, 1));
    const DateTime due = at(2007, 3, 9);
    writeList(
        ListFile::Action, meeting,
        encodeList(QList<ActionRecord>{{"Up", due, "Bob", std::numeric_limits<std::int32_t>::max()},
                                       {"Down", due, "Bob", std::numeric_limits<std::int32_t>::min()}}));

    const TreeNode tasks = buildTaskTree(m_store, project);
    ASSERT_EQ(tasks.children.size(), 2);
    EXPECT_EQ(tasks.children[0].icon, 2147483695); // 48 + 2147483647, not wrapped round
    EXPECT_EQ(tasks.children[1].icon, -2147483600);
    const TreeNode meetings = buildMeetingTree(m_store, project);
    const TreeNode& actions = meetings.children.at(0).children.at(3);
    ASSERT_EQ(actions.children.size(), 2);
    EXPECT_EQ(actions.children[0].icon, 2147483695);
    EXPECT_EQ(actions.children[1].icon, -2147483600);
}

} // namespace
