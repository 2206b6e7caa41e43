#include "shell/Commands.h"

namespace korvane {

QString commandObjectName(Command command)
{
    switch (command) {
    case Command::AddProject: return QStringLiteral("actionAddProject");
    case Command::ModifyProject: return QStringLiteral("actionModifyProject");
    case Command::DeleteProject: return QStringLiteral("actionDeleteProject");
    case Command::PrintProject: return QStringLiteral("actionPrintProject");
    case Command::PrintInvoice: return QStringLiteral("actionPrintInvoice");
    case Command::Exit: return QStringLiteral("actionExit");
    case Command::ViewMainToolbar: return QStringLiteral("actionViewMainToolbar");
    case Command::ViewCalendarToolbar: return QStringLiteral("actionViewCalendarToolbar");
    case Command::ViewStatusBar: return QStringLiteral("actionViewStatusBar");
    case Command::ViewDetailsBar: return QStringLiteral("actionViewDetailsBar");
    case Command::ViewSynopsisBar: return QStringLiteral("actionViewSynopsisBar");
    case Command::ThemeWindowsXP: return QStringLiteral("actionThemeWindowsXP");
    case Command::ThemeWindows2003: return QStringLiteral("actionThemeWindows2003");
    case Command::ThemeSystem: return QStringLiteral("actionThemeSystem");
    case Command::AddTask: return QStringLiteral("actionAddTask");
    case Command::AddSubTask: return QStringLiteral("actionAddSubTask");
    case Command::ModifyTask: return QStringLiteral("actionModifyTask");
    case Command::DeleteTask: return QStringLiteral("actionDeleteTask");
    case Command::ImportTasks: return QStringLiteral("actionImportTasks");
    case Command::TasksPerResource: return QStringLiteral("actionTasksPerResource");
    case Command::AddMeeting: return QStringLiteral("actionAddMeeting");
    case Command::ModifyMeeting: return QStringLiteral("actionModifyMeeting");
    case Command::DeleteMeeting: return QStringLiteral("actionDeleteMeeting");
    case Command::ImportMeetings: return QStringLiteral("actionImportMeetings");
    case Command::AddIncome: return QStringLiteral("actionAddIncome");
    case Command::ModifyIncome: return QStringLiteral("actionModifyIncome");
    case Command::DeleteIncome: return QStringLiteral("actionDeleteIncome");
    case Command::AddExpense: return QStringLiteral("actionAddExpense");
    case Command::ModifyExpense: return QStringLiteral("actionModifyExpense");
    case Command::DeleteExpense: return QStringLiteral("actionDeleteExpense");
    case Command::AddInvoice: return QStringLiteral("actionAddInvoice");
    case Command::ModifyInvoice: return QStringLiteral("actionModifyInvoice");
    case Command::DeleteInvoice: return QStringLiteral("actionDeleteInvoice");
    case Command::ExportWord: return QStringLiteral("actionExportWord");
    case Command::ExportExcel: return QStringLiteral("actionExportExcel");
    case Command::ExportHtml: return QStringLiteral("actionExportHtml");
    case Command::ExportInvoiceWord: return QStringLiteral("actionExportInvoiceWord");
    case Command::ExportInvoiceHtml: return QStringLiteral("actionExportInvoiceHtml");
    case Command::Refresh: return QStringLiteral("actionRefresh");
    case Command::Synchronize: return QStringLiteral("actionSynchronize");
    case Command::ChangeLogin: return QStringLiteral("actionChangeLogin");
    case Command::SetLoginStatus: return QStringLiteral("actionSetLoginStatus");
    case Command::ChangeDirectory: return QStringLiteral("actionChangeDirectory");
    case Command::About: return QStringLiteral("actionAbout");
    case Command::Help: return QStringLiteral("actionHelp");
    case Command::FromPreviousYear: return QStringLiteral("actionFromPreviousYear");
    case Command::FromPreviousMonth: return QStringLiteral("actionFromPreviousMonth");
    case Command::FromNextMonth: return QStringLiteral("actionFromNextMonth");
    case Command::FromNextYear: return QStringLiteral("actionFromNextYear");
    case Command::ToPreviousYear: return QStringLiteral("actionToPreviousYear");
    case Command::ToPreviousMonth: return QStringLiteral("actionToPreviousMonth");
    case Command::ToNextMonth: return QStringLiteral("actionToNextMonth");
    case Command::ToNextYear: return QStringLiteral("actionToNextYear");
    }
    return QStringLiteral("action%1").arg(int(command));
}

} // namespace korvane
