#include "shell/CMainFrame.h"

#include "shell/WorkupBar.h"
#include "store/FolderFollower.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>

namespace korvane {

namespace {

// How often a held update looks whether the editor has closed.
constexpr int kHeldRecheckMs = 250;

} // namespace

void CMainFrame::createFolderFollower()
{
    m_followClock.start();
    m_follower = std::make_unique<FolderFollower>(m_store);
    m_settleTimer = new QTimer(this);
    m_settleTimer->setObjectName(QStringLiteral("FollowSettleTimer"));
    m_settleTimer->setSingleShot(true);
    connect(m_settleTimer, &QTimer::timeout, this, &CMainFrame::followChanges);
    m_pollTimer = new QTimer(this);
    m_pollTimer->setObjectName(QStringLiteral("FollowPollTimer"));
    m_pollTimer->setSingleShot(true);
    // Stamping a large folder takes a while: it runs on another thread, and the window stays responsive.
    connect(m_pollTimer, &QTimer::timeout, this, [this] {
        m_follower->startPoll([this] { return m_followClock.elapsed(); }, [this] { scheduleFollow(); });
    });
    followFolder();
}

void CMainFrame::followFolder()
{
    m_follower->restart();
    watchFollowerHandle();
    scheduleFollow();
}

void CMainFrame::watchFollowerHandle()
{
    if (m_watchNotifier && m_watchNotifier->socket() == m_follower->watchHandle())
        return;
    if (m_watchNotifier) {
        m_watchNotifier->setEnabled(false);
        m_watchNotifier->deleteLater();
        m_watchNotifier = nullptr;
    }
    if (!m_follower->watched())
        return;
    m_watchNotifier = new QSocketNotifier(m_follower->watchHandle(), QSocketNotifier::Read, this);
    connect(m_watchNotifier, &QSocketNotifier::activated, this, [this] {
        m_follower->takeWatchEvents(m_followClock.elapsed());
        // A watch that lost changes starts anew on another descriptor, or gives way to comparing stamps.
        watchFollowerHandle();
        scheduleFollow();
    });
}

void CMainFrame::scheduleFollow()
{
    if (const std::optional<qint64> due = m_follower->dueIn(m_followClock.elapsed()))
        m_settleTimer->start(int(*due));
    else if (m_follower->isHeld())
        m_settleTimer->start(kHeldRecheckMs);
    // A folder that is not watched is compared only while the user looks at the window.
    if (!m_follower->watched() && isActiveWindow() && !m_pollTimer->isActive() && !m_follower->isPolling())
        m_pollTimer->start(int(m_follower->pollInterval()));
    else if (!isActiveWindow())
        m_pollTimer->stop();
}

void CMainFrame::followChanges()
{
    // An editor works on records as they were read, and a menu on rows as they are shown.
    const bool busy =
        UserDialogs::isDialogOpen() || QApplication::activeModalWidget() || QApplication::activePopupWidget();
    m_follower->setHeld(busy);
    if (busy) {
        scheduleFollow();
        return;
    }
    const std::optional<qint64> due = m_follower->dueIn(m_followClock.elapsed());
    if (!due)
        return;
    if (*due > 0) {
        m_settleTimer->start(int(*due));
        return;
    }
    const std::optional<qsizetype> count = m_follower->update();
    if (!count)
        return;
    updateLoadProblemNotice();
    refreshKeepingView();
    if (*count > 0)
        statusBar()->showMessage(*count == 1
                                     ? QStringLiteral("Updated: 1 record changed elsewhere")
                                     : QStringLiteral("Updated: %1 records changed elsewhere").arg(*count),
                                 15000);
}

void CMainFrame::refreshKeepingView()
{
    // After a load that read only a few files again, a pane that shows none of their records is
    // already what a refill would make of it.
    bool listCurrent = false;
    bool panesCurrent = false;
    if (const std::optional<LoadChanges>& changes = m_store.lastLoadChanges()) {
        const auto changed = [&](RecordKind kind) {
            return std::any_of(changes->records.begin(), changes->records.end(),
                               [kind](const RecordKey& key) { return key.kind == kind; });
        };
        listCurrent = !changed(RecordKind::Project) && m_projectList->showsProgressOf(changes->projects);
        // Clients and resources are shown by name in the details of any project.
        panesCurrent = listCurrent && !changed(RecordKind::Client) && !changed(RecordKind::Resource) &&
                       !changes->projects.contains(m_projectId);
    }
    if (panesCurrent) {
        updateCommandStates();
        return;
    }
    const int listScroll = m_projectList->verticalScrollBar()->value();
    const int detailsScroll = detailsView()->verticalScrollBar()->value();
    const ProjectDetailsBar::ViewState trees = m_detailsBar->viewState();
    const TreeKind tab = m_detailsBar->currentTab();
    const bool invoiceShown = m_detailsBar->isReportReplaced();
    // A project removed elsewhere leaves the first project selected, as after Refresh.
    const QByteArray projectId = m_store.projects().contains(m_projectId) ? m_projectId : QByteArray();
    if (listCurrent)
        rebuildTrees(m_projectId, {}, WhichTrees::All);
    else
        refreshProjectList(projectId, false);
    if (m_projectId == projectId) {
        m_detailsBar->restoreViewState(trees);
        m_detailsBar->setCurrentTab(tab);
        m_projectList->verticalScrollBar()->setValue(listScroll);
        // The details pane goes on showing the invoice, or the invoice list, it showed.
        if (invoiceShown && !m_detailsBar->selectedInvoiceId().isEmpty())
            refreshRightPane(m_detailsBar->selectedInvoiceId(), RightPane::Invoice);
        else if (invoiceShown)
            showInvoiceList(true);
        detailsView()->verticalScrollBar()->setValue(detailsScroll);
    }
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && m_follower)
        scheduleFollow();
}

} // namespace korvane
