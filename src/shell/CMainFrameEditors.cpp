// The main window's editor commands: which record each works on, the busy guard against a second
// editor, and what is refreshed afterwards.
#include "editors/CMeetingSheet.h"
#include "editors/CProjectSheet.h"
#include "editors/CTaskSheet.h"
#include "editors/ImportDialog.h"
#include "editors/InvoiceDialog.h"
#include "editors/MoneyFlowDialog.h"
#include "editors/ProjectDocumentsDialog.h"
#include "editors/TasksPerResourceWindow.h"
#include "edits/TaskEdits.h"
#include "records/Records.h"
#include "shell/CMainFrame.h"
#include "shell/WorkupBar.h"
#include "store/RecordStore.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/FindWindow.h"
#include "views/widgets/ProjectDetailsBar.h"

namespace korvane {

namespace {

/** Holds a command's busy counter while its editor is open; a second call finds it taken. */
class BusyGuard
{
public:
    BusyGuard(QHash<Command, int>& counters, Command command)
        : m_counters(counters)
        , m_command(command)
        , m_taken(counters.value(command) == 0)
    {
        if (m_taken)
            ++m_counters[m_command];
    }
    ~BusyGuard()
    {
        if (m_taken)
            --m_counters[m_command];
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    explicit operator bool() const { return m_taken; }

private:
    QHash<Command, int>& m_counters;
    Command m_command;
    bool m_taken;
};

QByteArray selectedListProject(const CKorvaneView* list)
{
    const ProjectRecord* project = list->projectAt(list->selectedRow());
    return project ? project->identifier : QByteArray();
}

} // namespace

void CMainFrame::addProject()
{
    BusyGuard busy(m_busy, Command::AddProject);
    if (!busy)
        return;
    commitSynopsis();
    const EditorOutcome outcome = CProjectSheet::addProject(m_store, this);
    if (outcome.finished)
        refreshProjectList(outcome.identifier, false);
}

void CMainFrame::modifyProject()
{
    BusyGuard busy(m_busy, Command::ModifyProject);
    const QByteArray projectId = selectedListProject(m_projectList);
    if (!busy || projectId.isEmpty())
        return;
    // The sheet edits the synopsis too: it must start from what the user typed in the bar.
    commitSynopsis();
    const EditorOutcome outcome = CProjectSheet::modifyProject(m_store, projectId, this);
    if (outcome.finished)
        refreshProjectList(projectId, false);
}

void CMainFrame::addTask(bool subTask)
{
    BusyGuard busy(m_busy, subTask ? Command::AddSubTask : Command::AddTask);
    const QByteArray projectId = selectedListProject(m_projectList);
    if (!busy || projectId.isEmpty())
        return;
    EditorOutcome outcome;
    if (subTask) {
        const QByteArray parentId = TaskEdits::topLevelTaskOf(m_store, m_detailsBar->selectedTaskId());
        if (parentId.isEmpty())
            return;
        outcome = CTaskSheet::addSubTask(m_store, projectId, parentId, this);
    } else {
        outcome = CTaskSheet::addTask(m_store, projectId, this);
    }
    if (outcome.finished)
        refreshProjectList(projectId, true);
    m_detailsBar->setCurrentTab(TreeKind::Tasks);
}

void CMainFrame::modifyTask()
{
    BusyGuard busy(m_busy, Command::ModifyTask);
    const QByteArray taskId = m_detailsBar->selectedTaskId();
    if (!busy || taskId.isEmpty())
        return;
    if (CTaskSheet::modifyTask(m_store, taskId, this).finished)
        refreshProjectList(m_projectId, true);
}

void CMainFrame::addMeeting()
{
    BusyGuard busy(m_busy, Command::AddMeeting);
    const QByteArray projectId = selectedListProject(m_projectList);
    if (!busy || projectId.isEmpty())
        return;
    CMeetingSheet::addMeeting(m_store, projectId, this);
    // Also after Cancel: a meeting whose removal failed must not hide from the trees.
    rebuildTrees(projectId, {}, WhichTrees::All);
    m_detailsBar->setCurrentTab(TreeKind::Meetings);
}

void CMainFrame::modifyMeeting()
{
    BusyGuard busy(m_busy, Command::ModifyMeeting);
    const QByteArray meetingId = m_detailsBar->selectedMeetingId();
    if (!busy || meetingId.isEmpty())
        return;
    if (CMeetingSheet::modifyMeeting(m_store, meetingId, selectedListProject(m_projectList), this).finished)
        rebuildTrees(m_projectId, {}, WhichTrees::All);
}

void CMainFrame::addMoneyFlow(MoneyFlowRecord::Kind kind)
{
    BusyGuard busy(m_busy, Command::AddIncome); // one editor for income and expense
    const QByteArray projectId = selectedListProject(m_projectList);
    if (!busy || projectId.isEmpty())
        return;
    const EditorOutcome outcome = MoneyFlowDialog::addMoneyFlow(m_store, projectId, kind, this);
    if (outcome.finished)
        rebuildTrees(projectId, outcome.identifier, WhichTrees::MoneyFlow);
    m_detailsBar->setCurrentTab(TreeKind::MoneyFlow);
}

void CMainFrame::modifyMoneyFlow()
{
    BusyGuard busy(m_busy, Command::ModifyIncome);
    const QByteArray entryId = m_detailsBar->selectedMoneyFlowId();
    if (!busy || entryId.isEmpty())
        return;
    if (MoneyFlowDialog::modifyMoneyFlow(m_store, entryId, this).finished)
        rebuildTrees(m_projectId, entryId, WhichTrees::MoneyFlow);
}

void CMainFrame::addInvoice()
{
    BusyGuard busy(m_busy, Command::AddInvoice);
    const QByteArray projectId = selectedListProject(m_projectList);
    if (!busy || projectId.isEmpty())
        return;
    const EditorOutcome outcome = InvoiceDialog::addInvoice(m_store, projectId, this);
    if (outcome.finished)
        rebuildTrees(projectId, outcome.identifier, WhichTrees::MoneyFlow);
    m_detailsBar->setCurrentTab(TreeKind::MoneyFlow);
}

void CMainFrame::modifyInvoice()
{
    BusyGuard busy(m_busy, Command::ModifyInvoice);
    const QByteArray invoiceId = m_detailsBar->selectedInvoiceId();
    if (!busy || invoiceId.isEmpty())
        return;
    if (InvoiceDialog::modifyInvoice(m_store, invoiceId, this).finished)
        rebuildTrees(m_projectId, invoiceId, WhichTrees::MoneyFlow);
}

void CMainFrame::importTasks()
{
    const QByteArray projectId = selectedListProject(m_projectList);
    if (projectId.isEmpty())
        return;
    ImportDialog::run(m_store, ImportKind::Tasks, projectId, this);
    rebuildTrees(m_projectId, {}, WhichTrees::All);
    m_projectList->viewport()->update();
}

void CMainFrame::importMeetings()
{
    const QByteArray projectId = selectedListProject(m_projectList);
    if (projectId.isEmpty())
        return;
    ImportDialog::run(m_store, ImportKind::Meetings, projectId, this);
    rebuildTrees(m_projectId, {}, WhichTrees::Meetings);
}

void CMainFrame::showTasksPerResource()
{
    TasksPerResourceWindow::showFor(m_store, this);
}

void CMainFrame::editDocuments(const QByteArray& projectId)
{
    if (projectId.isEmpty() || !dataFolderPresent(QStringLiteral("Nothing was changed.")))
        return;
    ProjectDocumentsDialog::editProjectDocuments(m_store, projectId, this);
    if (m_findWindow)
        m_findWindow->invalidate(); // documents are no records: the store does not count their changes
    m_workupBar->refreshDocuments();
}

} // namespace korvane
