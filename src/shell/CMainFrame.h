#pragma once

#include "ui/CommandTable.h"
#include "ui/Theme.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <memory>

class QAction;
class QDateEdit;
class QLabel;
class QPushButton;
class QSocketNotifier;
class QSplitter;
class QTimer;
class QToolBar;

namespace korvane {

class CDetailsView;
class CGraphSheet;
class CKorvaneView;
class DataFolderLock;
class FindWindow;
class FolderFollower;
class HistoryWindow;
class InvoiceActions;
class ProjectDetailsBar;
class ProjectExports;
class RecordStore;
class WorkupBar;
struct PageLink;
struct EditResult;
struct SearchHit;

/**
 * The main window: menus, toolbars, the project list and details pane, the two docked bars, and the
 * commands that change records, followed by the refresh that keeps every pane in step.
 */
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    CMainFrame(RecordStore& store, DataFolderLock& lock, QWidget* parent = nullptr);
    ~CMainFrame() override;

    /**
     * Commits the synopsis when asked, refills the project list for the pickers' months, selects
     * the project with that identifier (the first one when empty) and rebuilds every pane for it.
     */
    void refreshProjectList(const QByteArray& selectProjectId, bool commitSynopsis);
    /** What the right-hand pane shows after a refresh. */
    enum class RightPane
    {
        /** The project's progress graph and details page. */
        ProjectDetails,
        /** The invoice letter. */
        Invoice
    };

    /** Rebuilds some or all of the trees, then the right pane with the project's details. */
    void rebuildTrees(const QByteArray& projectId, const QByteArray& revealId, WhichTrees which);
    /** Shows the project (identifier of a project) or the invoice (identifier of an invoice) on the right. */
    void refreshRightPane(const QByteArray& identifier, RightPane show);
    /** Shows the selected project's invoice list, or the details page again. */
    void showInvoiceList(bool show);
    /** Redraws the graph caption for the task tree's selection while the graph is shown. */
    void taskSelected();
    /** Moves a month picker by months and years, then refreshes the project list. */
    void moveMonth(int monthStep, int yearStep, bool toPicker);
    /**
     * Stores the synopsis shown in "Project Workup's" into its project when the user changed it.
     * Returns false when it could not be written (the user was told; the typed text stays).
     */
    bool commitSynopsis();

    /** Runs a command as its menu entry would (disabled commands included: they check for themselves). */
    void runCommand(Command command);
    /** The QAction of a command. */
    QAction* action(Command command) const;
    /** The selected project ("" when the list has no selected project row). */
    QByteArray selectedProjectId() const { return m_projectId; }
    Theme theme() const { return m_theme; }
    void setTheme(Theme theme);
    /** Switches to a theme the user picked and remembers it for the next start. */
    void chooseTheme(Theme theme);

    /** What decides when the panes follow changes made to the data folder elsewhere. */
    const FolderFollower& folderFollower() const { return *m_follower; }

    CKorvaneView* projectList() const { return m_projectList; }
    ProjectDetailsBar* detailsBar() const { return m_detailsBar; }
    WorkupBar* workupBar() const { return m_workupBar; }
    CGraphSheet* graphSheet() const { return m_graphSheet; }
    CDetailsView* detailsView() const;
    QDateEdit* fromPicker() const { return m_fromPicker; }
    QDateEdit* toPicker() const { return m_toPicker; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    /** The Edit menu with Find (Ctrl+F); the menu bar places it after the menus made before it. */
    void createFindWindow();
    void createToolBars();
    void createStatusBar();
    void createPanes();
    void updateCommandStates();
    void showLoadProblems();
    /** Shows in the status bar how many files were skipped and how many records have conflicting copies. */
    void updateLoadProblemNotice();
    void showConflicts();
    /** Shows a store error ("path: reason") to the user; returns true when there was none. */
    bool reportStoreError(const QString& error, const QString& what = {});
    /**
     * True when the data folder is still there; otherwise tells the user it is gone, with
     * `consequence` (what was not done), and how to pick it again.
     */
    bool dataFolderPresent(const QString& consequence);
    void onProjectChosen(const QByteArray& projectId);
    void onLinkCommand(const PageLink& link);
    void pickerEdited();

    // Commands that work on what is selected.
    /** Deletes a record with what hangs on it; one changed elsewhere only when the user says so. */
    void deleteRecord(RecordKind kind, const QByteArray& id, const QString& failure);
    void deleteProject();
    void deleteTask();
    void deleteMeeting();
    void deleteMoneyFlow();
    void deleteInvoice();
    void refreshAll();
    void changeDirectory();
    void synchronize();
    void showHelp();
    void showAbout();
    void printProject();
    void exportProject(Command command);
    /** Export > To Calendar File: the selected project checked, others chosen by start month. */
    void exportCalendar();
    /** Tools > Publish To Calendar Server, with the same choice of projects. */
    void publishCalendar();

    // The record editors; they live in their own source file, filled by the editors.
    void addProject();
    void modifyProject();
    void addTask(bool subTask);
    void modifyTask();
    void addMeeting();
    void modifyMeeting();
    void addMoneyFlow(MoneyFlowRecord::Kind kind);
    void modifyMoneyFlow();
    void addInvoice();
    void modifyInvoice();
    void importTasks();
    void importMeetings();
    void showTasksPerResource();
    void editDocuments(const QByteArray& projectId);
    void changeLogin();
    void setLoginStatus();

    // Find: the window, and going to what it found; in their own source file.
    void showFindWindow();
    void goToSearchHit(const SearchHit& hit);

    // Following changes made elsewhere; in their own source file.
    void createFolderFollower();
    /** Follows the data folder anew after the store read it whole (Refresh, Change Directory). */
    void followFolder();
    /** Listens to the follower's watch (anew when it changed descriptor). */
    void watchFollowerHandle();
    /** Starts the settling timer for changes waiting, or the poll of a folder that is not watched. */
    void scheduleFollow();
    /** Reads the changes made elsewhere once no editor is open, keeping what the panes show. */
    void followChanges();
    /**
     * Refills the panes that show records the last load changed (every pane after a whole read) for
     * the selected project, keeping selections, branches and scroll positions.
     */
    void refreshKeepingView();

    // Undo, Redo and the History window; in their own source file.
    void undoChange(bool redo);
    void showHistoryWindow();
    void restoreChange(const QByteArray& changeId);
    /** After an undo, redo or restore: every pane refreshed, the record that came back selected. */
    void showChangedRecord(const EditResult& result);
    /** Names the change Undo and Redo act on in their menu texts, reading the history when it may have changed. */
    void updateUndoRedo();

    RecordStore& m_store;
    DataFolderLock& m_lock;
    QHash<Command, QAction*> m_actions;
    QByteArray m_projectId;
    Theme m_theme = Theme::Windows2003;
    /** One per editor command: while its editor is open a second call does nothing. */
    QHash<Command, int> m_busy;
    bool m_settingPickers = false;

    CKorvaneView* m_projectList = nullptr;
    CGraphSheet* m_graphSheet = nullptr;
    ProjectDetailsBar* m_detailsBar = nullptr;
    WorkupBar* m_workupBar = nullptr;
    QSplitter* m_splitter = nullptr;
    QToolBar* m_mainToolBar = nullptr;
    QToolBar* m_calendarToolBar = nullptr;
    QDateEdit* m_fromPicker = nullptr;
    QDateEdit* m_toPicker = nullptr;
    QPushButton* m_problemsButton = nullptr;
    QPushButton* m_conflictsButton = nullptr;
    InvoiceActions* m_invoiceActions = nullptr;
    ProjectExports* m_projectExports = nullptr;
    FindWindow* m_findWindow = nullptr;
    HistoryWindow* m_historyWindow = nullptr;
    std::unique_ptr<FolderFollower> m_follower;
    QSocketNotifier* m_watchNotifier = nullptr;
    /** Runs when changes made elsewhere have settled, or to look again after an editor closed. */
    QTimer* m_settleTimer = nullptr;
    /** Compares the folder's stamps while the window is active, where the folder is not watched. */
    QTimer* m_pollTimer = nullptr;
    QElapsedTimer m_followClock;
    /** The store's generation when Undo and Redo last read the history; a stale value reads it again. */
    quint64 m_undoGeneration = ~quint64(0);
    QString m_undoDescription;
    QString m_redoDescription;
};

} // namespace korvane
