// The main window's Find: the Edit menu entry, the window, and going to what it found.
#include "shell/CMainFrame.h"

#include "records/Text.h"
#include "store/RecordStore.h"
#include "views/ProjectListModel.h"
#include "views/RecordSearch.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/FindWindow.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QAction>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace korvane {

void CMainFrame::createFindWindow()
{
    m_findWindow = new FindWindow(m_store, this);
    connect(m_findWindow, &FindWindow::recordChosen, this, &CMainFrame::goToSearchHit);
}

void CMainFrame::showFindWindow()
{
    m_findWindow->show();
    m_findWindow->raise();
    m_findWindow->activateWindow();
    m_findWindow->textEdit()->selectAll();
    m_findWindow->textEdit()->setFocus();
}

void CMainFrame::goToSearchHit(const SearchHit& hit)
{
    const ProjectRecord* project = m_store.projects().find(hit.projectIdentifier);
    if (!project || !project->startDate.isValid()) {
        statusBar()->showMessage(
            hit.kind == RecordKind::Resource
                ? tr("A resource belongs to no one project; the task tree shows it under "
                     "its tasks.")
                : tr("\"%1\" belongs to no project the project list can show.").arg(hit.name),
            8000);
        return;
    }
    // Widen the months just enough for the project's start to fall in them.
    const QDate start = project->startDate.date();
    if (!ProjectListModel::inMonthRange(start, m_fromPicker->date(), m_toPicker->date())) {
        m_settingPickers = true;
        if (start < m_fromPicker->date())
            m_fromPicker->setDate(start);
        m_toPicker->setMinimumDate(m_fromPicker->date());
        if (start > m_toPicker->date())
            m_toPicker->setDate(start);
        m_settingPickers = false;
        refreshProjectList(hit.projectIdentifier, true);
    } else if (m_projectId != hit.projectIdentifier) {
        refreshProjectList(hit.projectIdentifier, true);
    }
    if (m_projectId != hit.projectIdentifier)
        return; // a synopsis that could not be saved keeps its project shown

    activateWindow();
    raise();
    switch (hit.kind) {
    case RecordKind::Project:
    case RecordKind::Client:
    case RecordKind::Resource:
        m_projectList->setFocus();
        break;
    case RecordKind::Task:
    case RecordKind::Meeting:
    case RecordKind::MoneyFlow:
    case RecordKind::Invoice:
        m_detailsBar->show();
        if (!m_detailsBar->selectRecord(hit.kind, hit.identifier)) {
            statusBar()->showMessage(tr("\"%1\" is not shown in the project's trees.").arg(hit.name), 8000);
            break;
        }
        if (hit.kind == RecordKind::Invoice) {
            m_detailsBar->setReportReplaced(true);
            refreshRightPane(hit.identifier, RightPane::Invoice);
        }
        m_detailsBar->setFocus();
        break;
    }
    updateCommandStates();
}

} // namespace korvane
