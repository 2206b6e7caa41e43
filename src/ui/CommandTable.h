#pragma once

#include "ui/Commands.h"
#include "ui/ToolbarIcons.h"
#include "views/DetailsTrees.h"

#include <QKeySequence>
#include <QString>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace korvane {

/** When a command is enabled, judged from the project list and the "Project Details" bar. */
enum class EnableRule
{
    Always,
    /** A project row of the project list is selected. */
    ProjectSelected,
    TasksTab,
    MeetingsTab,
    MoneyFlowTab,
    /** The "Tasks" tab, with a row other than the root selected in its tree. */
    TaskRow,
    /** The "Meetings" tab, with a row other than the root selected in its tree. */
    MeetingRow,
    /** The "Money Flow" tab, with a row below the "Income" or the "Expense" category selected. */
    PaymentRow,
    /** The "Money Flow" tab, with a row below the "Invoice" category selected. */
    InvoiceRow
};

/** What the enable rules look at: the selected project, the bar's tab and the selected row of that tab's
 * tree. */
struct CommandContext
{
    bool projectSelected = false;
    TreeKind tab = TreeKind::Tasks;
    /** The selected row of the tab's tree (empty path: its root); nullopt when none is selected. */
    std::optional<TreePath> selection;
};

/** One command: how menus, toolbars and context menus show it, and when it may run. */
struct CommandInfo
{
    Command command;
    /** "AddProject": the command's QAction is named "actionAddProject". */
    const char* name;
    /** The text in the menu bar's menus, with its access key ("&Add New..."). */
    const char* menuText;
    /** The full name ("Add Project"): toolbar tooltip, status bar tip, and the toolbar button's accessible
     * name. */
    const char* title;
    QKeySequence shortcut;
    ToolbarIcon icon;
    EnableRule enabled = EnableRule::Always;
    /** The text in a context menu ("Add"); nullptr for commands no context menu offers. */
    const char* contextText = nullptr;
    /** Shows a check mark (the View menu's bars and themes). */
    bool checkable = false;
    /** Writes into the data folder, so it needs the folder to be there. */
    bool writesData = false;
    /** A second key for the same command (Redo answers to Ctrl+Y and Ctrl+Shift+Z). */
    QKeySequence alternateShortcut{};
};

/** An entry of a menu of the menu bar: a command, or a separator (no command); in a submenu when one is
 * named. */
struct MenuEntry
{
    const char* submenu = nullptr;
    std::optional<Command> command;
};

/** A menu of the menu bar; one without entries is not shown. */
struct MenuLayout
{
    const char* title;
    const char* objectName;
    std::vector<MenuEntry> entries;
};

/** A position of a toolbar: a command's button, a separator, or one of the two month pickers. */
struct ToolbarSlot
{
    enum class Kind
    {
        Command,
        Separator,
        FromPicker,
        ToPicker
    };
    Kind kind = Kind::Command;
    Command command = Command::AddProject;
};

/** The four things a tree's root-row icons and keys ask for, in the icons' order from left to right. */
enum class TreeVerb
{
    Import,
    Add,
    Modify,
    Delete
};

/**
 * Every command of the main window in one table: its texts, shortcut, picture and enable rule; the
 * menu bar, the two toolbars, the context menus and the trees' action icons are all made from it.
 */
namespace CommandTable {

/** Every command, in menu order. */
const std::vector<CommandInfo>& all();
/** The row of one command. */
const CommandInfo& info(Command command);
/** The object name of the command's QAction ("actionAddProject"), by which tests and scripts find it. */
QString objectName(Command command);
/** Whether the command may run now. */
bool isEnabled(Command command, const CommandContext& context);

/** The menu bar, left to right. */
const std::vector<MenuLayout>& menuBar();
/** The main toolbar, left to right. */
const std::vector<ToolbarSlot>& mainToolbar();
/** The calendar toolbar, left to right. */
const std::vector<ToolbarSlot>& calendarToolbar();

/**
 * The command a tree's verb stands for; in the money tree it depends on the category the selection
 * is in (nothing without one). nullopt where the tree has no such command.
 */
std::optional<Command> treeCommand(TreeKind tree, TreeVerb verb, MoneyCategory category);
/** What a tree's action icon or key does with the tree's selection: its command when enabled, else nothing.
 */
std::optional<Command> treeAction(TreeKind tree, TreeVerb verb, const std::optional<TreePath>& selection);
/** The context menu of a tree's row, in menu order; empty when the row has none. */
std::vector<Command> treeContextMenu(TreeKind tree, std::span<const int> row);
/** The context menu of a project row of the project list. */
std::vector<Command> projectListContextMenu();

/** A new QAction for the command, with its texts, tips, shortcut, picture and object name; not connected. */
QAction* createAction(Command command, QObject* parent);
/**
 * A new pop-up menu of context menu entries, each carrying its command as data and calling `run`
 * with it when chosen.
 */
QMenu* createContextMenu(const std::vector<Command>& commands, const std::function<void(Command)>& run,
                         QWidget* parent);

} // namespace CommandTable

} // namespace korvane
