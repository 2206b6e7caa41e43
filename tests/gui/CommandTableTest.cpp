// The command table: when each command is enabled for a tab and a tree selection, what the trees'
// icons, keys and context menus ask for, and menus whose access keys each open with one chord.
#include "GuiTestSupport.h"

#include "ui/CommandTable.h"

#include <QAction>
#include <QMenu>
#include <QSet>
#include <QtTest>
#include <memory>

using namespace korvane;
using namespace korvane::test;

namespace {

/** A selection from test data: a list of rows below the root, or "nothing selected" for {-1}. */
std::optional<TreePath> selectionOf(const QList<int>& rows)
{
    if (rows == QList<int>{-1})
        return std::nullopt;
    return TreePath(rows.begin(), rows.end());
}

QList<int> numbers(std::initializer_list<Command> commands)
{
    QList<int> out;
    for (Command command : commands)
        out.append(int(command));
    return out;
}

/** The access key of a menu text ("M&oney Flow" gives 'o'), 0 when it has none. */
QChar accessKey(const QString& text)
{
    for (qsizetype at = text.indexOf(QLatin1Char('&')); at >= 0 && at + 1 < text.size();
         at = text.indexOf(QLatin1Char('&'), at + 2)) {
        if (text.at(at + 1) != QLatin1Char('&'))
            return text.at(at + 1).toLower();
    }
    return {};
}

/** Fails with the text that repeats an access key, or that has none, among texts shown side by side. */
void expectDistinctAccessKeys(const QStringList& texts, const char* where)
{
    QSet<QChar> seen;
    for (const QString& text : texts) {
        const QChar key = accessKey(text);
        QVERIFY2(!key.isNull(), qPrintable(QStringLiteral("%1: \"%2\" has no access key").arg(where, text)));
        QVERIFY2(!seen.contains(key),
                 qPrintable(QStringLiteral("%1: \"%2\" repeats an access key").arg(where, text)));
        seen.insert(key);
    }
}

constexpr TreeKind kTasks = TreeKind::Tasks;
constexpr TreeKind kMeetings = TreeKind::Meetings;
constexpr TreeKind kMoney = TreeKind::MoneyFlow;
const QList<int> kNothing{-1};

} // namespace

class CommandTableTest : public QObject
{
    Q_OBJECT

private slots:
    void enableRules_data();
    void enableRules();
    void treeIconsAndContextMenus_data();
    void treeIconsAndContextMenus();
    void everyCommandHasOneRowAndAPlace();
    void menusOpenWithOneChord();
    void toolbarButtonsNameTheirRecordKind();
};

void CommandTableTest::enableRules_data()
{
    QTest::addColumn<bool>("project");
    QTest::addColumn<TreeKind>("tab");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<QList<int>>("enabled");
    const QList<int> moneyAdds = numbers({Command::AddIncome, Command::AddExpense, Command::AddInvoice});
    const QList<int> payment = numbers(
        {Command::ModifyIncome, Command::DeleteIncome, Command::ModifyExpense, Command::DeleteExpense});
    const QList<int> invoice =
        numbers({Command::PrintInvoice, Command::ModifyInvoice, Command::DeleteInvoice,
                 Command::ExportInvoiceWord, Command::ExportInvoiceHtml, Command::ExportInvoicePdf});
    const QList<int> project = numbers({Command::ModifyProject, Command::DeleteProject});
    dataRow("no project, tasks, nothing selected", false, kTasks, kNothing, numbers({Command::AddTask}));
    dataRow("project, tasks root", true, kTasks, QList<int>{}, project + numbers({Command::AddTask}));
    dataRow("task resource detail", false, kTasks, QList<int>{0, 1, 2},
            numbers({Command::AddTask, Command::ModifyTask, Command::DeleteTask}));
    // A path that would be an invoice in the money tree is a task row on the "Tasks" tab.
    dataRow("invoice-shaped path on tasks", false, kTasks, QList<int>{0, 0},
            numbers({Command::AddTask, Command::ModifyTask, Command::DeleteTask}));
    dataRow("meetings root", false, kMeetings, QList<int>{}, numbers({Command::AddMeeting}));
    dataRow("meeting place row", true, kMeetings, QList<int>{0, 0},
            project + numbers({Command::AddMeeting, Command::ModifyMeeting, Command::DeleteMeeting}));
    dataRow("money, nothing selected", false, kMoney, kNothing, moneyAdds);
    dataRow("money root", false, kMoney, QList<int>{}, moneyAdds);
    dataRow("income category row", false, kMoney, QList<int>{1}, moneyAdds);
    dataRow("invoice category row", false, kMoney, QList<int>{0}, moneyAdds);
    dataRow("income entry", false, kMoney, QList<int>{1, 0}, moneyAdds + payment);
    dataRow("expense amount row", false, kMoney, QList<int>{2, 0, 1}, moneyAdds + payment);
    dataRow("invoice", false, kMoney, QList<int>{0, 0}, moneyAdds + invoice);
    dataRow("invoice tax row", false, kMoney, QList<int>{0, 0, 1}, moneyAdds + invoice);
    dataRow("balance row", false, kMoney, QList<int>{3}, moneyAdds);
}

void CommandTableTest::enableRules()
{
    QFETCH(bool, project);
    QFETCH(TreeKind, tab);
    QFETCH(QList<int>, selection);
    QFETCH(QList<int>, enabled);
    const CommandContext context{project, tab, selectionOf(selection)};
    for (const CommandInfo& row : CommandTable::all()) {
        const bool expected = row.enabled == EnableRule::Always || enabled.contains(int(row.command));
        QVERIFY2(CommandTable::isEnabled(row.command, context) == expected, row.name);
    }
}

void CommandTableTest::treeIconsAndContextMenus_data()
{
    QTest::addColumn<TreeKind>("tree");
    QTest::addColumn<QList<int>>("selection");
    // What the Import, Add, Modify and Delete icons (and keys) ask for; 0 where they do nothing.
    QTest::addColumn<QList<int>>("icons");
    QTest::addColumn<QStringList>("menuTexts");
    QTest::addColumn<QList<int>>("menuCommands");
    const int none = 0;
    const auto icons = [](Command import, Command add, int modify, int del) {
        return QList<int>{int(import), int(add), modify, del};
    };
    const QString import = QStringLiteral("Import From Calendar File...");
    dataRow("tasks, nothing selected", kTasks, kNothing,
            icons(Command::ImportTasks, Command::AddTask, none, none), QStringList{}, QList<int>{});
    dataRow("tasks root", kTasks, QList<int>{}, icons(Command::ImportTasks, Command::AddTask, none, none),
            QStringList{"Add", import}, numbers({Command::AddTask, Command::ImportTasks}));
    dataRow("task resource", kTasks, QList<int>{0, 1},
            icons(Command::ImportTasks, Command::AddTask, int(Command::ModifyTask), int(Command::DeleteTask)),
            QStringList{"Modify", "Delete"}, numbers({Command::ModifyTask, Command::DeleteTask}));
    dataRow("meetings root", kMeetings, QList<int>{},
            icons(Command::ImportMeetings, Command::AddMeeting, none, none), QStringList{"Add New", import},
            numbers({Command::AddMeeting, Command::ImportMeetings}));
    dataRow("meeting agenda item", kMeetings, QList<int>{0, 2, 0},
            icons(Command::ImportMeetings, Command::AddMeeting, int(Command::ModifyMeeting),
                  int(Command::DeleteMeeting)),
            QStringList{"Modify", "Delete"}, numbers({Command::ModifyMeeting, Command::DeleteMeeting}));
    dataRow("money root", kMoney, QList<int>{}, QList<int>{none, none, none, none}, QStringList{},
            QList<int>{});
    dataRow("balance row", kMoney, QList<int>{3}, QList<int>{none, none, none, none}, QStringList{},
            QList<int>{});
    dataRow("invoice category", kMoney, QList<int>{0}, QList<int>{none, int(Command::AddInvoice), none, none},
            QStringList{"Add"}, numbers({Command::AddInvoice}));
    dataRow("expense category", kMoney, QList<int>{2}, QList<int>{none, int(Command::AddExpense), none, none},
            QStringList{"Add"}, numbers({Command::AddExpense}));
    dataRow(
        "invoice net row", kMoney, QList<int>{0, 0, 2},
        QList<int>{none, int(Command::AddInvoice), int(Command::ModifyInvoice), int(Command::DeleteInvoice)},
        QStringList{"Modify", "Delete"}, numbers({Command::ModifyInvoice, Command::DeleteInvoice}));
    // An expense entry is modified and deleted by the payment commands, as an income entry is.
    dataRow(
        "expense entry", kMoney, QList<int>{2, 0},
        QList<int>{none, int(Command::AddExpense), int(Command::ModifyIncome), int(Command::DeleteIncome)},
        QStringList{"Modify", "Delete"}, numbers({Command::ModifyIncome, Command::DeleteIncome}));
}

void CommandTableTest::treeIconsAndContextMenus()
{
    QFETCH(TreeKind, tree);
    QFETCH(QList<int>, selection);
    QFETCH(QList<int>, icons);
    QFETCH(QStringList, menuTexts);
    QFETCH(QList<int>, menuCommands);
    const std::optional<TreePath> selected = selectionOf(selection);
    const TreeVerb verbs[] = {TreeVerb::Import, TreeVerb::Add, TreeVerb::Modify, TreeVerb::Delete};
    for (int i = 0; i < 4; ++i) {
        const std::optional<Command> command = CommandTable::treeAction(tree, verbs[i], selected);
        QCOMPARE(command ? int(*command) : 0, icons[i]);
    }
    if (!selected) // a context menu always belongs to a row
        return;

    QList<int> commands;
    for (Command command : CommandTable::treeContextMenu(tree, *selected)) {
        commands.append(int(command));
        // An entry of a row's menu can always run for that row.
        QVERIFY(CommandTable::isEnabled(command, CommandContext{true, tree, selected}));
    }
    QCOMPARE(commands, menuCommands);
    QList<Command> ran;
    std::unique_ptr<QMenu> menu(CommandTable::createContextMenu(
        CommandTable::treeContextMenu(tree, *selected), [&](Command command) { ran.append(command); },
        nullptr));
    QStringList texts;
    for (QAction* action : menu->actions()) {
        texts.append(action->text());
        QVERIFY(!action->objectName().isEmpty());
        action->trigger();
    }
    QCOMPARE(texts, menuTexts);
    QCOMPARE(ran.size(), menuCommands.size());
}

void CommandTableTest::everyCommandHasOneRowAndAPlace()
{
    QSet<int> commands;
    QSet<QString> names;
    for (const CommandInfo& row : CommandTable::all()) {
        QVERIFY2(!commands.contains(int(row.command)), row.name);
        commands.insert(int(row.command));
        names.insert(CommandTable::objectName(row.command));
        QVERIFY(*row.menuText && *row.title);
    }
    QCOMPARE(names.size(), commands.size());

    QSet<int> placed;
    for (const MenuLayout& menu : CommandTable::menuBar()) {
        for (const MenuEntry& entry : menu.entries) {
            if (entry.command)
                placed.insert(int(*entry.command));
        }
    }
    for (const auto* toolbar : {&CommandTable::mainToolbar(), &CommandTable::calendarToolbar()}) {
        for (const ToolbarSlot& place : *toolbar) {
            if (place.kind == ToolbarSlot::Kind::Command)
                placed.insert(int(place.command));
        }
    }
    QCOMPARE(placed, commands);
}

void CommandTableTest::menusOpenWithOneChord()
{
    QStringList titles;
    for (const MenuLayout& menu : CommandTable::menuBar()) {
        titles.append(QString::fromUtf8(menu.title));
        // What one menu or submenu shows side by side: its commands and its submenus' titles.
        QMap<QString, QStringList> shown;
        for (const MenuEntry& entry : menu.entries) {
            if (!entry.command)
                continue;
            const QString text = QString::fromUtf8(CommandTable::info(*entry.command).menuText);
            if (entry.submenu) {
                shown[QString::fromUtf8(entry.submenu)].append(text);
                if (!shown[QString()].contains(QString::fromUtf8(entry.submenu)))
                    shown[QString()].append(QString::fromUtf8(entry.submenu));
            } else {
                shown[QString()].append(text);
            }
        }
        // The calendar steps show only as toolbar buttons; every menu entry has its key.
        for (auto it = shown.cbegin(); it != shown.cend(); ++it)
            expectDistinctAccessKeys(*it, menu.objectName);
    }
    // The Edit menu is counted even while it is empty, so filling it needs no other key to move.
    expectDistinctAccessKeys(titles, "menu bar");
}

void CommandTableTest::toolbarButtonsNameTheirRecordKind()
{
    QStringList tips;
    for (const ToolbarSlot& place : CommandTable::mainToolbar()) {
        if (place.kind != ToolbarSlot::Kind::Command)
            continue;
        std::unique_ptr<QAction> action(CommandTable::createAction(place.command, nullptr));
        QCOMPARE(action->statusTip(), action->toolTip());
        QCOMPARE(action->iconText(), action->toolTip());
        tips.append(action->toolTip());
    }
    QCOMPARE(tips, (QStringList{"Add Project", "Modify Project", "Delete Project", "Add Task", "Modify Task",
                                "Delete Task", "Add Meeting", "Modify Meeting", "Delete Meeting",
                                "Add Payment", "Modify Payment", "Delete Payment", "Change Login",
                                "Change Directory", "Synchronize", "Refresh", "Help", "About", "Undo", "Redo"}));
}

QTEST_MAIN(CommandTableTest)
#include "CommandTableTest.moc"
