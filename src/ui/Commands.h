#pragma once

namespace korvane {

/**
 * The main window's commands, numbered as in the menu and toolbar resources, so that menus,
 * toolbars, context menus and the trees' action icons all reach one handler per command. What each
 * one is called, shows and needs is in ui/CommandTable.
 */
enum class Command : int
{
    AddProject = 32773,
    ModifyProject = 32774,
    DeleteProject = 32775,
    PrintProject = 32859,
    PrintInvoice = 32870,
    Exit = 57665,

    ViewMainToolbar = 32840,
    ViewCalendarToolbar = 32841,
    ViewStatusBar = 59393,
    ViewDetailsBar = 32838,
    ViewSynopsisBar = 32839,
    ThemeWindowsXP = 32771,
    ThemeWindows2003 = 32772,
    ThemeSystem = 32880,

    Undo = 57643,
    Redo = 57644,
    Find = 32890,
    History = 32891,

    AddTask = 32776,
    AddSubTask = 32863,
    ModifyTask = 32777,
    DeleteTask = 32778,
    ImportTasks = 32832,
    TasksPerResource = 32864,

    AddMeeting = 32779,
    ModifyMeeting = 32780,
    DeleteMeeting = 32781,
    ImportMeetings = 32857,

    AddIncome = 32821,
    ModifyIncome = 32822,
    DeleteIncome = 32823,
    AddExpense = 32824,
    ModifyExpense = 32825,
    DeleteExpense = 32826,
    AddInvoice = 32865,
    ModifyInvoice = 32867,
    DeleteInvoice = 32866,

    ExportWord = 32827,
    ExportExcel = 32828,
    ExportHtml = 32829,
    ExportInvoiceWord = 32868,
    ExportInvoiceHtml = 32869,
    ExportPdf = 32910,
    ExportInvoicePdf = 32911,
    ExportCalendar = 32912,

    Refresh = 32842,
    Synchronize = 32843,
    PublishCalendar = 32913,
    ChangeLogin = 32834,
    SetLoginStatus = 32862,
    ChangeDirectory = 32854,
    About = 57664,
    Help = 57670,

    // The calendar toolbar: the first five act on the "from" picker, the last five on the "to" picker.
    FromPreviousYear = 32808,
    FromPreviousMonth = 32809,
    FromNextMonth = 32811,
    FromNextYear = 32812,
    ToPreviousYear = 32813,
    ToPreviousMonth = 32814,
    ToNextMonth = 32816,
    ToNextYear = 32817
};

} // namespace korvane
