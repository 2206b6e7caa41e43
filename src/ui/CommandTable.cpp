#include "ui/CommandTable.h"

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QWidget>

namespace korvane {

namespace {

using Subject = ToolbarIcon::Subject;
using Badge = ToolbarIcon::Badge;
using Rule = EnableRule;

CommandInfo entry(Command id, const char* name, const char* menuText, const char* title,
                  ToolbarIcon icon = {}, Rule enabled = Rule::Always, const char* contextText = nullptr)
{
    return CommandInfo{id, name, menuText, title, QKeySequence(), icon, enabled, contextText};
}

CommandInfo withShortcut(CommandInfo info, const QKeySequence& shortcut)
{
    info.shortcut = shortcut;
    return info;
}

CommandInfo withAlternate(CommandInfo info, const QKeySequence& shortcut)
{
    info.alternateShortcut = shortcut;
    return info;
}

CommandInfo writing(CommandInfo info)
{
    info.writesData = true;
    return info;
}

CommandInfo checkable(CommandInfo info)
{
    info.checkable = true;
    return info;
}

std::vector<CommandInfo> makeTable()
{
    return {
        // Project
        writing(withShortcut(entry(Command::AddProject, "AddProject", "&Add New...", "Add Project",
                                   {Subject::Project, Badge::Add}, Rule::Always, "Add"),
                             QKeySequence(QStringLiteral("Ctrl+Shift+N")))),
        writing(entry(Command::ModifyProject, "ModifyProject", "&Modify...", "Modify Project",
                      {Subject::Project, Badge::Modify}, Rule::ProjectSelected, "Modify")),
        writing(entry(Command::DeleteProject, "DeleteProject", "&Delete", "Delete Project",
                      {Subject::Project, Badge::Delete}, Rule::ProjectSelected, "Delete")),
        withShortcut(entry(Command::PrintProject, "PrintProject", "&Print Project...", "Print Project",
                           {Subject::Print}),
                     QKeySequence::Print),
        entry(Command::PrintInvoice, "PrintInvoice", "Print &Invoice...", "Print Invoice", {Subject::Print},
              Rule::InvoiceRow),
        withShortcut(entry(Command::Exit, "Exit", "E&xit", "Exit", {Subject::Exit}), QKeySequence::Quit),

        // Edit: Undo and Redo name the change they act on once there is one.
        writing(withShortcut(entry(Command::Undo, "Undo", "&Undo", "Undo", {Subject::Undo}),
                             QKeySequence(QStringLiteral("Ctrl+Z")))),
        withAlternate(writing(withShortcut(entry(Command::Redo, "Redo", "&Redo", "Redo", {Subject::Redo}),
                                           QKeySequence(QStringLiteral("Ctrl+Y")))),
                      QKeySequence(QStringLiteral("Ctrl+Shift+Z"))),
        withShortcut(entry(Command::Find, "Find", "&Find...", "Find"), QKeySequence::Find),

        // View
        checkable(entry(Command::ViewMainToolbar, "ViewMainToolbar", "&Main Toolbar", "Main Toolbar")),
        checkable(entry(Command::ViewCalendarToolbar, "ViewCalendarToolbar", "&Calendar Toolbar",
                        "Calendar Toolbar")),
        checkable(entry(Command::ViewStatusBar, "ViewStatusBar", "&Status Bar", "Status Bar")),
        checkable(entry(Command::ViewDetailsBar, "ViewDetailsBar", "&Details Bar", "Details Bar")),
        checkable(entry(Command::ViewSynopsisBar, "ViewSynopsisBar", "S&ynopsis Bar", "Synopsis Bar")),
        checkable(entry(Command::ThemeWindowsXP, "ThemeWindowsXP", "Windows&XP", "WindowsXP")),
        checkable(entry(Command::ThemeWindows2003, "ThemeWindows2003", "Windows&2003", "Windows2003")),
        checkable(entry(Command::ThemeSystem, "ThemeSystem", "&System", "System")),

        // Task
        writing(withShortcut(entry(Command::AddTask, "AddTask", "&Add New...", "Add Task",
                                   {Subject::Task, Badge::Add}, Rule::TasksTab, "Add"),
                             QKeySequence(QStringLiteral("Ctrl+T")))),
        writing(withShortcut(entry(Command::AddSubTask, "AddSubTask", "Add New &Sub Task...", "Add Sub Task",
                                   {Subject::Task, Badge::Add}),
                             QKeySequence(QStringLiteral("Ctrl+Shift+T")))),
        writing(entry(Command::ModifyTask, "ModifyTask", "&Modify...", "Modify Task",
                      {Subject::Task, Badge::Modify}, Rule::TaskRow, "Modify")),
        writing(entry(Command::DeleteTask, "DeleteTask", "&Delete", "Delete Task",
                      {Subject::Task, Badge::Delete}, Rule::TaskRow, "Delete")),
        writing(entry(Command::ImportTasks, "ImportTasks", "&Import From Calendar File...",
                      "Import Tasks From Calendar File", {}, Rule::Always, "Import From Calendar File...")),
        entry(Command::TasksPerResource, "TasksPerResource", "&List Tasks For Resources...",
              "List Tasks For Resources"),

        // Meeting
        writing(withShortcut(entry(Command::AddMeeting, "AddMeeting", "&Add New...", "Add Meeting",
                                   {Subject::Meeting, Badge::Add}, Rule::MeetingsTab, "Add New"),
                             QKeySequence(QStringLiteral("Ctrl+M")))),
        writing(entry(Command::ModifyMeeting, "ModifyMeeting", "&Modify...", "Modify Meeting",
                      {Subject::Meeting, Badge::Modify}, Rule::MeetingRow, "Modify")),
        writing(entry(Command::DeleteMeeting, "DeleteMeeting", "&Delete", "Delete Meeting",
                      {Subject::Meeting, Badge::Delete}, Rule::MeetingRow, "Delete")),
        writing(entry(Command::ImportMeetings, "ImportMeetings", "&Import From Calendar File...",
                      "Import Meetings From Calendar File", {}, Rule::Always,
                      "Import From Calendar File...")),

        // Money Flow: the toolbar's "Payment" buttons are the income commands; modify and delete of an
        // income or an expense both act on the selected entry, whichever kind it is.
        writing(entry(Command::AddIncome, "AddIncome", "&Add...", "Add Payment",
                      {Subject::Payment, Badge::Add}, Rule::MoneyFlowTab, "Add")),
        writing(entry(Command::ModifyIncome, "ModifyIncome", "&Modify...", "Modify Payment",
                      {Subject::Payment, Badge::Modify}, Rule::PaymentRow, "Modify")),
        writing(entry(Command::DeleteIncome, "DeleteIncome", "&Delete", "Delete Payment",
                      {Subject::Payment, Badge::Delete}, Rule::PaymentRow, "Delete")),
        writing(entry(Command::AddExpense, "AddExpense", "&Add...", "Add Expense",
                      {Subject::Payment, Badge::Add}, Rule::MoneyFlowTab, "Add")),
        writing(entry(Command::ModifyExpense, "ModifyExpense", "&Modify...", "Modify Payment",
                      {Subject::Payment, Badge::Modify}, Rule::PaymentRow, "Modify")),
        writing(entry(Command::DeleteExpense, "DeleteExpense", "&Delete", "Delete Payment",
                      {Subject::Payment, Badge::Delete}, Rule::PaymentRow, "Delete")),
        writing(entry(Command::AddInvoice, "AddInvoice", "&Add...", "Add Invoice",
                      {Subject::Payment, Badge::Add}, Rule::MoneyFlowTab, "Add")),
        writing(entry(Command::ModifyInvoice, "ModifyInvoice", "&Modify...", "Modify Invoice",
                      {Subject::Payment, Badge::Modify}, Rule::InvoiceRow, "Modify")),
        writing(entry(Command::DeleteInvoice, "DeleteInvoice", "&Delete", "Delete Invoice",
                      {Subject::Payment, Badge::Delete}, Rule::InvoiceRow, "Delete")),

        // Export
        entry(Command::ExportWord, "ExportWord", "To &Word Document (.docx)...", "Export To Word Document",
              {Subject::Export}),
        entry(Command::ExportExcel, "ExportExcel", "To &Excel Workbook (.xlsx)...",
              "Export To Excel Workbook", {Subject::Export}),
        entry(Command::ExportHtml, "ExportHtml", "To &HTML...", "Export To HTML", {Subject::Export}),
        entry(Command::ExportCalendar, "ExportCalendar", "To &Calendar File (.ics)...",
              "Export To Calendar File", {Subject::Export}),
        entry(Command::ExportInvoiceWord, "ExportInvoiceWord", "To &Word Document (.docx)...",
              "Export Invoice To Word Document", {Subject::Export}, Rule::InvoiceRow),
        entry(Command::ExportInvoiceHtml, "ExportInvoiceHtml", "To &HTML...", "Export Invoice To HTML",
              {Subject::Export}, Rule::InvoiceRow),
        entry(Command::ExportPdf, "ExportPdf", "To &PDF...", "Export To PDF", {Subject::Export}),
        entry(Command::ExportInvoicePdf, "ExportInvoicePdf", "To &PDF...", "Export Invoice To PDF",
              {Subject::Export}, Rule::InvoiceRow),

        // Tools, Option, Help
        withShortcut(entry(Command::Refresh, "Refresh", "&Refresh", "Refresh", {Subject::Refresh}),
                     QKeySequence::Refresh),
        entry(Command::Synchronize, "Synchronize", "&Synchronize", "Synchronize", {Subject::Sync}),
        withShortcut(entry(Command::History, "History", "&History...", "History", {Subject::History}),
                     QKeySequence(QStringLiteral("Ctrl+H"))),
        entry(Command::PublishCalendar, "PublishCalendar", "&Publish To Calendar Server...",
              "Publish To Calendar Server", {Subject::Sync}),
        writing(
            entry(Command::ChangeLogin, "ChangeLogin", "Change &Login...", "Change Login", {Subject::Login})),
        writing(entry(Command::SetLoginStatus, "SetLoginStatus", "Set Login &Status...", "Set Login Status",
                      {Subject::Login})),
        entry(Command::ChangeDirectory, "ChangeDirectory", "Change &Directory...", "Change Directory",
              {Subject::Folder}),
        withShortcut(entry(Command::Help, "Help", "&Help", "Help", {Subject::Help}),
                     QKeySequence::HelpContents),
        entry(Command::About, "About", "&About Korvane...", "About", {Subject::About}),

        // The calendar toolbar: each step is there twice, so the title says which month it moves.
        entry(Command::FromPreviousYear, "FromPreviousYear", "Previous Year", "From: Previous Year",
              {Subject::JumpBack}),
        entry(Command::FromPreviousMonth, "FromPreviousMonth", "Previous Month", "From: Previous Month",
              {Subject::StepBack}),
        entry(Command::FromNextMonth, "FromNextMonth", "Next Month", "From: Next Month",
              {Subject::StepForward}),
        entry(Command::FromNextYear, "FromNextYear", "Next Year", "From: Next Year", {Subject::JumpForward}),
        entry(Command::ToPreviousYear, "ToPreviousYear", "Previous Year", "To: Previous Year",
              {Subject::JumpBack}),
        entry(Command::ToPreviousMonth, "ToPreviousMonth", "Previous Month", "To: Previous Month",
              {Subject::StepBack}),
        entry(Command::ToNextMonth, "ToNextMonth", "Next Month", "To: Next Month", {Subject::StepForward}),
        entry(Command::ToNextYear, "ToNextYear", "Next Year", "To: Next Year", {Subject::JumpForward}),
    };
}

MenuEntry item(Command command, const char* submenu = nullptr)
{
    return MenuEntry{submenu, command};
}

const MenuEntry separator{};

ToolbarSlot button(Command command)
{
    return ToolbarSlot{ToolbarSlot::Kind::Command, command};
}

const ToolbarSlot gap{ToolbarSlot::Kind::Separator};

bool below(const std::optional<TreePath>& selection, std::size_t depth)
{
    return selection && selection->size() >= depth;
}

MoneyCategory categoryOf(const std::optional<TreePath>& selection)
{
    return selection ? moneyCategoryOf(*selection) : MoneyCategory::None;
}

} // namespace

namespace CommandTable {

const std::vector<CommandInfo>& all()
{
    static const std::vector<CommandInfo> table = makeTable();
    return table;
}

const CommandInfo& info(Command command)
{
    for (const CommandInfo& row : all()) {
        if (row.command == command)
            return row;
    }
    // Every Command has a row; the table test walks them all.
    Q_UNREACHABLE();
}

QString objectName(Command command)
{
    return QStringLiteral("action") + QLatin1String(info(command).name);
}

bool isEnabled(Command command, const CommandContext& context)
{
    const bool money = context.tab == TreeKind::MoneyFlow;
    const MoneyCategory category = categoryOf(context.selection);
    switch (info(command).enabled) {
    case Rule::Always:
        return true;
    case Rule::ProjectSelected:
        return context.projectSelected;
    case Rule::TasksTab:
        return context.tab == TreeKind::Tasks;
    case Rule::MeetingsTab:
        return context.tab == TreeKind::Meetings;
    case Rule::MoneyFlowTab:
        return money;
    case Rule::TaskRow:
        return context.tab == TreeKind::Tasks && below(context.selection, 1);
    case Rule::MeetingRow:
        return context.tab == TreeKind::Meetings && below(context.selection, 1);
    case Rule::PaymentRow:
        return money && below(context.selection, 2) &&
               (category == MoneyCategory::Income || category == MoneyCategory::Expense);
    case Rule::InvoiceRow:
        return money && below(context.selection, 2) && category == MoneyCategory::Invoice;
    }
    return false;
}

const std::vector<MenuLayout>& menuBar()
{
    static const std::vector<MenuLayout> menus = {
        {"&Project",
         "menuProject",
         {item(Command::AddProject), item(Command::ModifyProject), item(Command::DeleteProject), separator,
          item(Command::PrintProject), item(Command::PrintInvoice), separator, item(Command::Exit)}},
        {"&Edit", "menuEdit", {item(Command::Undo), item(Command::Redo), separator, item(Command::Find)}},
        {"&View",
         "menuView",
         {item(Command::ViewMainToolbar, "&Toolbar"), item(Command::ViewCalendarToolbar, "&Toolbar"),
          item(Command::ViewStatusBar), item(Command::ViewDetailsBar, "&Control Bar"),
          item(Command::ViewSynopsisBar, "&Control Bar"), item(Command::ThemeWindowsXP, "T&hemes"),
          item(Command::ThemeWindows2003, "T&hemes"), item(Command::ThemeSystem, "T&hemes")}},
        {"&Task",
         "menuTask",
         {item(Command::AddTask), item(Command::AddSubTask), item(Command::ModifyTask),
          item(Command::DeleteTask), separator, item(Command::ImportTasks), item(Command::TasksPerResource)}},
        {"&Meeting",
         "menuMeeting",
         {item(Command::AddMeeting), item(Command::ModifyMeeting), item(Command::DeleteMeeting), separator,
          item(Command::ImportMeetings)}},
        {"M&oney Flow",
         "menuMoneyFlow",
         {item(Command::AddIncome, "&Income"), item(Command::ModifyIncome, "&Income"),
          item(Command::DeleteIncome, "&Income"), item(Command::AddExpense, "&Expense"),
          item(Command::ModifyExpense, "&Expense"), item(Command::DeleteExpense, "&Expense"),
          item(Command::AddInvoice, "In&voice"), item(Command::ModifyInvoice, "In&voice"),
          item(Command::DeleteInvoice, "In&voice")}},
        {"E&xport",
         "menuExport",
         {item(Command::ExportWord), item(Command::ExportExcel), item(Command::ExportHtml),
          item(Command::ExportPdf), item(Command::ExportCalendar), item(Command::ExportInvoiceWord, "&Invoice"),
          item(Command::ExportInvoiceHtml, "&Invoice"), item(Command::ExportInvoicePdf, "&Invoice")}},
        {"Too&ls",
         "menuTools",
         {item(Command::Refresh), item(Command::Synchronize), item(Command::PublishCalendar), separator,
          item(Command::History)}},
        {"Opt&ion",
         "menuOption",
         {item(Command::ChangeLogin), item(Command::SetLoginStatus), item(Command::ChangeDirectory)}},
        {"&Help", "menuHelp", {item(Command::Help), item(Command::About)}},
    };
    return menus;
}

const std::vector<ToolbarSlot>& mainToolbar()
{
    static const std::vector<ToolbarSlot> positions = {
        button(Command::AddProject),    button(Command::ModifyProject),
        button(Command::DeleteProject), gap,
        button(Command::AddTask),       button(Command::ModifyTask),
        button(Command::DeleteTask),    gap,
        button(Command::AddMeeting),    button(Command::ModifyMeeting),
        button(Command::DeleteMeeting), gap,
        button(Command::AddIncome),     button(Command::ModifyIncome),
        button(Command::DeleteIncome),  gap,
        button(Command::ChangeLogin),   button(Command::ChangeDirectory),
        button(Command::Synchronize),   button(Command::Refresh),
        button(Command::Help),          button(Command::About),
        gap,
        button(Command::Undo),          button(Command::Redo),
    };
    return positions;
}

const std::vector<ToolbarSlot>& calendarToolbar()
{
    static const std::vector<ToolbarSlot> positions = {
        button(Command::FromPreviousYear),
        button(Command::FromPreviousMonth),
        ToolbarSlot{ToolbarSlot::Kind::FromPicker},
        button(Command::FromNextMonth),
        button(Command::FromNextYear),
        gap,
        button(Command::ToPreviousYear),
        button(Command::ToPreviousMonth),
        ToolbarSlot{ToolbarSlot::Kind::ToPicker},
        button(Command::ToNextMonth),
        button(Command::ToNextYear),
    };
    return positions;
}

std::optional<Command> treeCommand(TreeKind tree, TreeVerb verb, MoneyCategory category)
{
    switch (tree) {
    case TreeKind::Tasks:
        switch (verb) {
        case TreeVerb::Import:
            return Command::ImportTasks;
        case TreeVerb::Add:
            return Command::AddTask;
        case TreeVerb::Modify:
            return Command::ModifyTask;
        case TreeVerb::Delete:
            return Command::DeleteTask;
        }
        break;
    case TreeKind::Meetings:
        switch (verb) {
        case TreeVerb::Import:
            return Command::ImportMeetings;
        case TreeVerb::Add:
            return Command::AddMeeting;
        case TreeVerb::Modify:
            return Command::ModifyMeeting;
        case TreeVerb::Delete:
            return Command::DeleteMeeting;
        }
        break;
    case TreeKind::MoneyFlow: {
        // An income and an expense entry are modified and deleted by the same ("Payment") commands.
        const bool invoice = category == MoneyCategory::Invoice;
        if (category == MoneyCategory::None)
            return std::nullopt;
        switch (verb) {
        case TreeVerb::Import:
            return std::nullopt;
        case TreeVerb::Add:
            return invoice ? Command::AddInvoice
                           : (category == MoneyCategory::Income ? Command::AddIncome : Command::AddExpense);
        case TreeVerb::Modify:
            return invoice ? Command::ModifyInvoice : Command::ModifyIncome;
        case TreeVerb::Delete:
            return invoice ? Command::DeleteInvoice : Command::DeleteIncome;
        }
        break;
    }
    }
    return std::nullopt;
}

std::optional<Command> treeAction(TreeKind tree, TreeVerb verb, const std::optional<TreePath>& selection)
{
    const std::optional<Command> command = treeCommand(tree, verb, categoryOf(selection));
    // A tree's icons act on its own tab and selection; none of their rules asks for the project list.
    if (!command || !isEnabled(*command, CommandContext{false, tree, selection}))
        return std::nullopt;
    return command;
}

std::vector<Command> treeContextMenu(TreeKind tree, std::span<const int> row)
{
    const bool money = tree == TreeKind::MoneyFlow;
    // The money tree's root and balance row belong to no category: nothing can be added there.
    const MoneyCategory category = money ? moneyCategoryOf(row) : MoneyCategory::None;
    if (money && category == MoneyCategory::None)
        return {};
    std::vector<TreeVerb> verbs;
    if (row.empty())
        verbs = {TreeVerb::Add, TreeVerb::Import};
    else if (money && row.size() == 1)
        verbs = {TreeVerb::Add};
    else
        verbs = {TreeVerb::Modify, TreeVerb::Delete};
    std::vector<Command> commands;
    for (TreeVerb verb : verbs) {
        if (const std::optional<Command> command = treeCommand(tree, verb, category))
            commands.push_back(*command);
    }
    return commands;
}

std::vector<Command> projectListContextMenu()
{
    return {Command::AddProject, Command::ModifyProject, Command::DeleteProject};
}

QAction* createAction(Command command, QObject* parent)
{
    const CommandInfo& row = info(command);
    auto* action = new QAction(toolbarIcon(row.icon), QString::fromUtf8(row.menuText), parent);
    action->setObjectName(objectName(command));
    const QString title = QString::fromUtf8(row.title);
    action->setIconText(title);
    action->setToolTip(title);
    action->setStatusTip(title);
    if (row.alternateShortcut.isEmpty())
        action->setShortcut(row.shortcut);
    else
        action->setShortcuts({row.shortcut, row.alternateShortcut});
    action->setCheckable(row.checkable);
    return action;
}

QMenu* createContextMenu(const std::vector<Command>& commands, const std::function<void(Command)>& run,
                         QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (Command command : commands) {
        const char* text = info(command).contextText;
        QAction* action = menu->addAction(QString::fromUtf8(text ? text : info(command).title));
        action->setObjectName(objectName(command));
        action->setData(int(command));
        QObject::connect(action, &QAction::triggered, menu, [run, command] { run(command); });
    }
    return menu;
}

} // namespace CommandTable

} // namespace korvane
