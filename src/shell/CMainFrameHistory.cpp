// The main window's Undo, Redo and History window, and showing what they brought back.
#include "shell/CMainFrame.h"

#include "edits/HistoryEdits.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/RecordSearch.h"
#include "views/widgets/FindWindow.h"
#include "views/widgets/HistoryWindow.h"

#include <QAction>
#include <QStatusBar>

namespace korvane {

namespace {

/** A menu text that shows `text` as it is: "&" is the access key marker otherwise. */
QString escapedForMenu(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

/** Where a record is found now: its kind, name and project, as Find's results give them. */
std::optional<SearchHit> findRecord(const RecordStore& store, const QByteArray& identifier)
{
    for (RecordKind kind : {RecordKind::Project, RecordKind::Task, RecordKind::Meeting, RecordKind::MoneyFlow,
                            RecordKind::Invoice, RecordKind::Client, RecordKind::Resource}) {
        std::optional<SearchHit> hit = visitKind(kind, [&](auto empty) -> std::optional<SearchHit> {
            using R = decltype(empty);
            const R* record = store.records<R>().find(identifier);
            if (!record)
                return std::nullopt;
            SearchHit found;
            found.kind = kind;
            found.identifier = identifier;
            found.projectIdentifier = Change::projectOf(*record);
            found.name = RecordEdits::nameOf(*record);
            if constexpr (std::is_same_v<R, ClientRecord>) {
                for (const auto& project : store.projects()) {
                    if (project.record.clientIdentifier == identifier)
                        found.projectIdentifier = project.record.identifier;
                }
            }
            return found;
        });
        if (hit)
            return hit;
    }
    return std::nullopt;
}

} // namespace

void CMainFrame::updateUndoRedo()
{
    if (m_undoGeneration != m_store.generation()) {
        m_undoGeneration = m_store.generation();
        m_undoDescription = HistoryEdits::undoDescription(m_store);
        m_redoDescription = HistoryEdits::redoDescription(m_store);
    }
    const QString& undo = m_undoDescription;
    const QString& redo = m_redoDescription;
    QAction* undoAction = action(Command::Undo);
    QAction* redoAction = action(Command::Redo);
    undoAction->setText(undo.isEmpty() ? tr("&Undo") : tr("&Undo %1").arg(escapedForMenu(undo)));
    redoAction->setText(redo.isEmpty() ? tr("&Redo") : tr("&Redo %1").arg(escapedForMenu(redo)));
    undoAction->setToolTip(undo.isEmpty() ? tr("Undo") : tr("Undo %1").arg(undo));
    redoAction->setToolTip(redo.isEmpty() ? tr("Redo") : tr("Redo %1").arg(redo));
    undoAction->setStatusTip(undoAction->toolTip());
    redoAction->setStatusTip(redoAction->toolTip());
    undoAction->setEnabled(!undo.isEmpty());
    redoAction->setEnabled(!redo.isEmpty());
}

void CMainFrame::undoChange(bool redo)
{
    // A synopsis being typed is a change of its own: kept first, so that it is what Undo takes back.
    if (!commitSynopsis())
        return;
    const EditResult result = redo ? HistoryEdits::redo(m_store) : HistoryEdits::undo(m_store);
    if (!result.ok()) {
        UserDialogs::message(this, result.error, UserDialogs::Icon::Warning);
        return;
    }
    showChangedRecord(result);
    statusBar()->showMessage((redo ? tr("Redone: %1") : tr("Undone: %1")).arg(result.description), 8000);
}

void CMainFrame::showHistoryWindow()
{
    if (!m_historyWindow) {
        m_historyWindow = new HistoryWindow(m_store, this);
        connect(m_historyWindow, &HistoryWindow::restoreRequested, this, &CMainFrame::restoreChange);
    } else {
        m_historyWindow->reload();
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
    m_historyWindow->setFocus();
}

void CMainFrame::restoreChange(const QByteArray& changeId)
{
    if (!dataFolderPresent(tr("Nothing was restored.")) || !commitSynopsis())
        return;
    QStringList later;
    EditResult result = HistoryEdits::restore(m_store, changeId, false, &later);
    if (result.conflict) {
        // Refused because of later changes or a change made elsewhere: the user decides.
        if (!UserDialogs::askYesNo(m_historyWindow, result.error + tr("\n\nRestore it anyway?")))
            return;
        result = HistoryEdits::restore(m_store, changeId, true);
    }
    if (!result.ok()) {
        UserDialogs::message(m_historyWindow, result.error, UserDialogs::Icon::Warning);
        return;
    }
    m_undoGeneration = ~quint64(0);
    showChangedRecord(result);
    m_historyWindow->reload();
    updateCommandStates();
}

void CMainFrame::showChangedRecord(const EditResult& result)
{
    m_findWindow->invalidate();
    // The project shown may be one the change took away: then the list's first project is shown.
    refreshProjectList(m_store.projects().contains(m_projectId) ? m_projectId : QByteArray(), false);
    if (const std::optional<SearchHit> hit = findRecord(m_store, result.identifier))
        goToSearchHit(*hit);
}

} // namespace korvane
