#include "shell/CMainFrame.h"

#include "editors/ChangedElsewhereQuestion.h"
#include "edits/ConflictEdits.h"
#include "edits/ProjectEdits.h"
#include "edits/RecordEdits.h"
#include "records/Records.h"
#include "records/Text.h"
#include "reports/PageLink.h"
#include "shell/CalendarExportDialog.h"
#include "shell/CalendarPublishDialog.h"
#include "shell/CalendarStep.h"
#include "shell/ChangeLoginDialog.h"
#include "shell/ConflictsWindow.h"
#include "shell/DataFolderLock.h"
#include "shell/HelpFile.h"
#include "shell/InvoiceActions.h"
#include "shell/LockKeyIndicators.h"
#include "shell/LoginStatusDialog.h"
#include "shell/PrintPreferenceDialog.h"
#include "shell/ProjectExports.h"
#include "shell/Startup.h"
#include "shell/ToolBarWrap.h"
#include "shell/WorkupBar.h"
#include "store/AppSettings.h"
#include "store/FolderFollower.h"
#include "store/ProgramFolder.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CGraphPage.h"
#include "views/widgets/CGraphSheet.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/ProjectDetailsBar.h"
#include "views/widgets/ProjectRangePicker.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace korvane {

namespace {

const QString kDeleteQuestion = QStringLiteral("Do you want to delete this?");

/** Where the user manual is: the program's folder first, then beside or below the installed program. */
QString helpFile()
{
    return findHelpFile(programFolder(), QCoreApplication::applicationDirPath());
}

} // namespace

CMainFrame::CMainFrame(RecordStore& store, DataFolderLock& lock, QWidget* parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_lock(lock)
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("Korvane"));
    setAccessibleName(windowTitle());
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);

    m_invoiceActions = new InvoiceActions(m_store, this);
    m_projectExports = new ProjectExports(m_store, this);

    createActions();
    createPanes();
    createMenus();
    createFindWindow();
    createToolBars();
    createStatusBar();
    setTheme(Themes::fromName(AppSettings::theme()));
    updateLoadProblemNotice();
    refreshProjectList({}, true);
    createFolderFollower();
}

CMainFrame::~CMainFrame() = default;

CDetailsView* CMainFrame::detailsView() const
{
    return m_graphSheet->detailsView();
}

QAction* CMainFrame::action(Command command) const
{
    return m_actions.value(command);
}

void CMainFrame::createActions()
{
    auto* themes = new QActionGroup(this);
    for (const CommandInfo& row : CommandTable::all()) {
        QAction* action = CommandTable::createAction(row.command, this);
        connect(action, &QAction::triggered, this, [this, command = row.command] { runCommand(command); });
        m_actions.insert(row.command, action);
        if (row.command == Command::ThemeWindowsXP || row.command == Command::ThemeWindows2003 ||
            row.command == Command::ThemeSystem)
            themes->addAction(action);
    }
}

void CMainFrame::createMenus()
{
    for (const MenuLayout& layout : CommandTable::menuBar()) {
        if (layout.entries.empty())
            continue;
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(layout.title));
        menu->setObjectName(QString::fromUtf8(layout.objectName));
        QMenu* submenu = nullptr;
        for (const MenuEntry& entry : layout.entries) {
            if (!entry.submenu)
                submenu = nullptr;
            else if (!submenu || submenu->title() != QString::fromUtf8(entry.submenu))
                submenu = menu->addMenu(QString::fromUtf8(entry.submenu));
            QMenu* target = submenu ? submenu : menu;
            if (entry.command)
                target->addAction(action(*entry.command));
            else
                target->addSeparator();
        }
    }
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, [this] {
            // The history may have grown behind the program (korvane-cli on the same folder).
            m_undoGeneration = ~quint64(0);
            updateCommandStates();
        });
    }
}

void CMainFrame::createToolBars()
{
    m_mainToolBar = addToolBar(QStringLiteral("Main Toolbar"));
    m_mainToolBar->setObjectName(QStringLiteral("MainToolbar"));
    m_mainToolBar->setIconSize(QSize(28, 28));
    m_calendarToolBar = addToolBar(QStringLiteral("Calendar Toolbar"));
    m_calendarToolBar->setObjectName(QStringLiteral("CalendarToolbar"));
    m_calendarToolBar->setIconSize(QSize(20, 20));
    auto makePicker = [this](const QString& name, const QString& accessible) {
        auto* picker = new QDateEdit(QDate::currentDate());
        picker->setObjectName(name);
        picker->setAccessibleName(accessible);
        picker->setToolTip(accessible);
        picker->setDisplayFormat(QStringLiteral("MMM - yyyy"));
        picker->setCalendarPopup(true);
        picker->setMinimumWidth(80);
        connect(picker, &QDateEdit::dateChanged, this, &CMainFrame::pickerEdited);
        return picker;
    };
    m_fromPicker = makePicker(QStringLiteral("FromMonthPicker"), QStringLiteral("From month"));
    m_toPicker = makePicker(QStringLiteral("ToMonthPicker"), QStringLiteral("To month"));
    m_toPicker->setMinimumDate(m_fromPicker->date());
    const auto fill = [this](QToolBar* toolBar, const std::vector<ToolbarSlot>& positions) {
        for (const ToolbarSlot& place : positions) {
            switch (place.kind) {
            case ToolbarSlot::Kind::Command: toolBar->addAction(action(place.command)); break;
            case ToolbarSlot::Kind::Separator: toolBar->addSeparator(); break;
            case ToolbarSlot::Kind::FromPicker: toolBar->addWidget(m_fromPicker); break;
            case ToolbarSlot::Kind::ToPicker: toolBar->addWidget(m_toPicker); break;
            }
        }
    };
    fill(m_mainToolBar, CommandTable::mainToolbar());
    fill(m_calendarToolBar, CommandTable::calendarToolbar());
    new ToolBarWrap(this, m_mainToolBar, m_calendarToolBar);
}

void CMainFrame::createStatusBar()
{
    m_problemsButton = new QPushButton(this);
    m_problemsButton->setObjectName(QStringLiteral("LoadProblemsButton"));
    m_problemsButton->setFlat(true);
    m_problemsButton->setToolTip(QStringLiteral("Show the record files that could not be read"));
    connect(m_problemsButton, &QPushButton::clicked, this, &CMainFrame::showLoadProblems);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addPermanentWidget(m_problemsButton);
    m_conflictsButton = new QPushButton(this);
    m_conflictsButton->setObjectName(QStringLiteral("ConflictsButton"));
    m_conflictsButton->setFlat(true);
    m_conflictsButton->setToolTip(
        QStringLiteral("Show the versions of the records a sync program left copies of"));
    connect(m_conflictsButton, &QPushButton::clicked, this, &CMainFrame::showConflicts);
    statusBar()->addPermanentWidget(m_conflictsButton);
    statusBar()->addPermanentWidget(new LockKeyIndicators(this));
}

void CMainFrame::createPanes()
{
    m_projectList = new CKorvaneView(m_store);
    connect(m_projectList, &CKorvaneView::commandRequested, this, &CMainFrame::runCommand);
    connect(m_projectList, &CKorvaneView::aboutToChangeProject, this, &CMainFrame::commitSynopsis);
    connect(m_projectList, &CKorvaneView::projectChosen, this, &CMainFrame::onProjectChosen);
    connect(m_projectList, &CKorvaneView::documentsRequested, this, &CMainFrame::editDocuments);
    connect(m_projectList, &CKorvaneView::modifyRequested, this, [this] {
        commitSynopsis();
        runCommand(Command::ModifyProject);
    });

    m_graphSheet = new CGraphSheet(m_store);
    connect(m_graphSheet, &CGraphSheet::graphShownChanged, this, [this] {
        m_graphSheet->graphPage()->showTask(m_detailsBar->currentTab() == TreeKind::Tasks
                                                ? m_detailsBar->selectedTaskId()
                                                : QByteArray());
    });
    connect(m_graphSheet->detailsView(), &CDetailsView::linkCommand, this, &CMainFrame::onLinkCommand);

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setObjectName(QStringLiteral("MainSplitter"));
    m_splitter->addWidget(m_projectList);
    m_splitter->addWidget(m_graphSheet);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({m_projectList->sizeHint().width(), 700});
    m_splitter->setMinimumHeight(300);
    setCentralWidget(m_splitter);

    m_detailsBar = new ProjectDetailsBar(m_store, this);
    addDockWidget(Qt::RightDockWidgetArea, m_detailsBar);
    connect(m_detailsBar, &ProjectDetailsBar::commandRequested, this, &CMainFrame::runCommand);
    connect(m_detailsBar, &ProjectDetailsBar::invoiceListRequested, this, [this] { showInvoiceList(true); });
    connect(m_detailsBar, &ProjectDetailsBar::invoiceRequested, this,
            [this](const QByteArray& id) { refreshRightPane(id, RightPane::Invoice); });
    connect(m_detailsBar, &ProjectDetailsBar::detailsAgainRequested, this, [this] { showInvoiceList(false); });
    connect(m_detailsBar, &ProjectDetailsBar::taskSelectionChanged, this, &CMainFrame::taskSelected);
    connect(m_detailsBar, &ProjectDetailsBar::selectionChanged, this, &CMainFrame::updateCommandStates);
    connect(m_detailsBar, &ProjectDetailsBar::currentTabChanged, this, &CMainFrame::updateCommandStates);

    m_workupBar = new WorkupBar(m_store, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_workupBar);
    connect(m_workupBar, &WorkupBar::documentsEditRequested, this, &CMainFrame::editDocuments);
    resizeDocks({m_detailsBar}, {320}, Qt::Horizontal);
    resizeDocks({m_workupBar}, {170}, Qt::Vertical);
}

void CMainFrame::setTheme(Theme theme)
{
    m_theme = theme;
    Themes::apply(*this, theme);
    action(Command::ThemeWindowsXP)->setChecked(theme == Theme::WindowsXP);
    action(Command::ThemeWindows2003)->setChecked(theme == Theme::Windows2003);
    action(Command::ThemeSystem)->setChecked(theme == Theme::System);
}

void CMainFrame::chooseTheme(Theme theme)
{
    setTheme(theme);
    AppSettings::setTheme(Themes::name(theme));
}

static QByteArray listProjectIdOf(const CKorvaneView* list)
{
    const ProjectRecord* project = list->projectAt(list->selectedRow());
    return project ? project->identifier : QByteArray();
}

void CMainFrame::updateCommandStates()
{
    const CommandContext context{!listProjectIdOf(m_projectList).isEmpty(), m_detailsBar->currentTab(),
                                 m_detailsBar->currentSelection()};
    for (const CommandInfo& row : CommandTable::all())
        action(row.command)->setEnabled(CommandTable::isEnabled(row.command, context));

    action(Command::ViewMainToolbar)->setChecked(m_mainToolBar && m_mainToolBar->isVisibleTo(this));
    action(Command::ViewCalendarToolbar)->setChecked(m_calendarToolBar && m_calendarToolBar->isVisibleTo(this));
    action(Command::ViewStatusBar)->setChecked(statusBar()->isVisibleTo(this));
    action(Command::ViewDetailsBar)->setChecked(m_detailsBar->isVisibleTo(this));
    action(Command::ViewSynopsisBar)->setChecked(m_workupBar->isVisibleTo(this));
    updateUndoRedo();
}

void CMainFrame::runCommand(Command command)
{
    // Without this check an editor would open, take the user's typing, and only then fail.
    if (CommandTable::info(command).writesData && !dataFolderPresent(QStringLiteral("Nothing was changed."))) {
        updateCommandStates();
        return;
    }
    switch (command) {
    case Command::AddProject: addProject(); break;
    case Command::ModifyProject: modifyProject(); break;
    case Command::DeleteProject: deleteProject(); break;
    case Command::PrintProject: printProject(); break;
    case Command::PrintInvoice: m_invoiceActions->print(m_detailsBar->selectedInvoiceId()); break;
    case Command::Exit: close(); break;
    case Command::ViewMainToolbar: m_mainToolBar->setVisible(!m_mainToolBar->isVisibleTo(this)); break;
    case Command::ViewCalendarToolbar: m_calendarToolBar->setVisible(!m_calendarToolBar->isVisibleTo(this)); break;
    case Command::ViewStatusBar: statusBar()->setVisible(!statusBar()->isVisibleTo(this)); break;
    case Command::ViewDetailsBar: m_detailsBar->setVisible(!m_detailsBar->isVisibleTo(this)); break;
    case Command::ViewSynopsisBar: m_workupBar->setVisible(!m_workupBar->isVisibleTo(this)); break;
    case Command::ThemeWindowsXP: chooseTheme(Theme::WindowsXP); break;
    case Command::ThemeWindows2003: chooseTheme(Theme::Windows2003); break;
    case Command::ThemeSystem: chooseTheme(Theme::System); break;
    case Command::AddTask: addTask(false); break;
    case Command::AddSubTask: addTask(true); break;
    case Command::ModifyTask: modifyTask(); break;
    case Command::DeleteTask: deleteTask(); break;
    case Command::ImportTasks: importTasks(); break;
    case Command::TasksPerResource: showTasksPerResource(); break;
    case Command::AddMeeting: addMeeting(); break;
    case Command::ModifyMeeting: modifyMeeting(); break;
    case Command::DeleteMeeting: deleteMeeting(); break;
    case Command::ImportMeetings: importMeetings(); break;
    case Command::AddIncome: addMoneyFlow(MoneyFlowRecord::Income); break;
    case Command::AddExpense: addMoneyFlow(MoneyFlowRecord::Expense); break;
    case Command::ModifyIncome:
    case Command::ModifyExpense: modifyMoneyFlow(); break;
    case Command::DeleteIncome:
    case Command::DeleteExpense: deleteMoneyFlow(); break;
    case Command::AddInvoice: addInvoice(); break;
    case Command::ModifyInvoice: modifyInvoice(); break;
    case Command::DeleteInvoice: deleteInvoice(); break;
    case Command::ExportWord:
    case Command::ExportExcel:
    case Command::ExportHtml:
    case Command::ExportPdf: exportProject(command); break;
    case Command::ExportCalendar: exportCalendar(); break;
    case Command::ExportInvoiceWord: m_invoiceActions->exportWord(m_detailsBar->selectedInvoiceId()); break;
    case Command::ExportInvoiceHtml: m_invoiceActions->exportHtml(m_detailsBar->selectedInvoiceId()); break;
    case Command::ExportInvoicePdf: m_invoiceActions->exportPdf(m_detailsBar->selectedInvoiceId()); break;
    case Command::Refresh: refreshAll(); break;
    case Command::Synchronize: synchronize(); break;
    case Command::PublishCalendar: publishCalendar(); break;
    case Command::ChangeLogin: changeLogin(); break;
    case Command::SetLoginStatus: setLoginStatus(); break;
    case Command::ChangeDirectory: changeDirectory(); break;
    case Command::About: showAbout(); break;
    case Command::Help: showHelp(); break;
    case Command::Find: showFindWindow(); break;
    case Command::Undo: undoChange(false); break;
    case Command::Redo: undoChange(true); break;
    case Command::History: showHistoryWindow(); break;
    case Command::FromPreviousYear: moveMonth(0, -1, false); break;
    case Command::FromPreviousMonth: moveMonth(-1, 0, false); break;
    case Command::FromNextMonth: moveMonth(1, 0, false); break;
    case Command::FromNextYear: moveMonth(0, 1, false); break;
    case Command::ToPreviousYear: moveMonth(0, -1, true); break;
    case Command::ToPreviousMonth: moveMonth(-1, 0, true); break;
    case Command::ToNextMonth: moveMonth(1, 0, true); break;
    case Command::ToNextYear: moveMonth(0, 1, true); break;
    }
    // Any command may have made a change, and so a new entry in the history.
    m_undoGeneration = ~quint64(0);
    updateCommandStates();
}

bool CMainFrame::commitSynopsis()
{
    if (!m_workupBar || !m_workupBar->isSynopsisChanged())
        return true;
    if (!m_store.projects().contains(m_workupBar->projectId()))
        return true; // deleted meanwhile: nothing to keep it in
    // Stored whole: a synopsis written in the project sheet may well be longer than one line of text.
    if (!reportStoreError(
            ProjectEdits::commitSynopsis(m_store, m_workupBar->projectId(), m_workupBar->synopsis()).error,
            QStringLiteral("The synopsis could not be saved. It stays in the synopsis pane; it "
                           "is saved with the next change once the data folder can be written.")))
        return false;
    m_workupBar->markSynopsisCommitted();
    return true;
}

void CMainFrame::refreshProjectList(const QByteArray& selectProjectId, bool commitSynopsisFirst)
{
    if (commitSynopsisFirst)
        commitSynopsis();
    m_projectList->fill(m_fromPicker->date(), m_toPicker->date());
    int row = -1;
    QByteArray projectId = selectProjectId;
    // A synopsis that could not be saved keeps its project in front, so the typed text is not lost.
    const bool synopsisUnsaved = m_workupBar->isSynopsisChanged() &&
                                 m_projectList->rowOfProject(m_workupBar->projectId()) >= 1;
    if (synopsisUnsaved)
        projectId = m_workupBar->projectId();
    if (m_projectList->rowCount() > 1) {
        row = projectId.isEmpty() ? 1 : m_projectList->rowOfProject(projectId);
        if (row >= 1) {
            m_projectList->setSelectedRow(row);
            projectId = m_projectList->projectAt(row)->identifier;
        }
    }
    m_projectId = projectId;
    // The store's copy, not the list's: a synopsis committed since the list was filled must show.
    const ProjectRecord project = m_store.GetProject(projectId);
    if (synopsisUnsaved && row >= 1 && !project.identifier.isEmpty())
        m_workupBar->refreshDocuments();
    else
        m_workupBar->showProject(row >= 1 && !project.identifier.isEmpty() ? &project : nullptr);
    rebuildTrees(m_projectId, {}, WhichTrees::All);
}

void CMainFrame::onProjectChosen(const QByteArray& projectId)
{
    // The synopsis commit before the change failed: the typed text goes only when the user says so.
    if (m_workupBar->isSynopsisChanged() && projectId != m_workupBar->projectId()) {
        const int row = m_projectList->rowOfProject(m_workupBar->projectId());
        if (row >= 1 && !UserDialogs::askYesNo(this, QStringLiteral("The synopsis typed for the project shown "
                                                                    "could not be saved. Drop it and show the "
                                                                    "other project?"))) {
            m_projectList->setSelectedRow(row);
            return;
        }
    }
    const ProjectRecord project = m_store.GetProject(projectId);
    m_workupBar->showProject(project.identifier.isEmpty() ? nullptr : &project);
    m_projectId = projectId;
    rebuildTrees(projectId, {}, WhichTrees::All);
    updateCommandStates();
}

void CMainFrame::rebuildTrees(const QByteArray& projectId, const QByteArray& revealId, WhichTrees which)
{
    m_detailsBar->rebuild(projectId, revealId, which);
    refreshRightPane(projectId, RightPane::ProjectDetails);
    updateCommandStates();
}

void CMainFrame::refreshRightPane(const QByteArray& identifier, RightPane show)
{
    if (show == RightPane::ProjectDetails) {
        m_graphSheet->graphPage()->fill(identifier);
        m_graphSheet->detailsView()->showProjectDetails(identifier);
    } else {
        m_graphSheet->detailsView()->showInvoice(identifier);
    }
}

void CMainFrame::showInvoiceList(bool show)
{
    if (show)
        m_graphSheet->detailsView()->showInvoiceList(m_projectId);
    else
        m_graphSheet->detailsView()->showDetailsAgain();
}

void CMainFrame::taskSelected()
{
    if (m_detailsBar->currentTab() == TreeKind::Tasks && m_graphSheet->isGraphShown())
        m_graphSheet->graphPage()->showTask(m_detailsBar->selectedTaskId());
}

void CMainFrame::moveMonth(int monthStep, int yearStep, bool toPicker)
{
    QDateEdit* picker = toPicker ? m_toPicker : m_fromPicker;
    m_settingPickers = true;
    picker->setDate(stepMonth(picker->date(), monthStep, yearStep));
    m_toPicker->setMinimumDate(m_fromPicker->date());
    m_settingPickers = false;
    refreshProjectList({}, true);
}

void CMainFrame::pickerEdited()
{
    if (m_settingPickers || !m_toPicker)
        return;
    // A month typed or picked from the calendar counts like a toolbar step.
    m_settingPickers = true;
    m_toPicker->setMinimumDate(m_fromPicker->date());
    m_settingPickers = false;
    refreshProjectList({}, true);
}

bool CMainFrame::reportStoreError(const QString& error, const QString& what)
{
    if (error.isEmpty())
        return true;
    const QString lead = what.isEmpty() ? QStringLiteral("The change could not be saved.") : what;
    QString text = lead + QStringLiteral("\n\n") + error;
    if (!QFileInfo(m_store.workingDirectory()).isDir())
        text += QStringLiteral("\n\nThe data folder %1 is gone: it was moved, renamed or deleted while Korvane "
                               "was running. Choose Option > Change Directory to pick it again.")
                    .arg(QDir::toNativeSeparators(m_store.workingDirectory()));
    UserDialogs::message(this, text, UserDialogs::Icon::Critical);
    return false;
}

bool CMainFrame::dataFolderPresent(const QString& consequence)
{
    const QString folder = m_store.workingDirectory();
    if (QFileInfo(folder).isDir())
        return true;
    UserDialogs::message(this,
                         QStringLiteral("The data folder %1 is gone: it was moved, renamed or deleted while "
                                        "Korvane was running.\n\n%2\n\nPut the folder back and choose Refresh, "
                                        "or choose Option > Change Directory to pick the data folder again.")
                             .arg(QDir::toNativeSeparators(folder), consequence),
                         UserDialogs::Icon::Warning);
    return false;
}

void CMainFrame::deleteRecord(RecordKind kind, const QByteArray& id, const QString& failure)
{
    const auto remove = [&] { return RecordEdits::remove(m_store, kind, id); };
    EditResult result = remove();
    ChangedElsewhereQuestion::ask(
        this, m_store, result, remove,
        QStringLiteral("Delete it all the same (Overwrite), or reload it to see the "
                       "other version?"));
    // A refusal still there was answered with Reload or Keep Editing: nothing more to say.
    if (!result.changedElsewhere)
        reportStoreError(result.error, failure);
}

void CMainFrame::deleteProject()
{
    const QByteArray id = listProjectIdOf(m_projectList);
    if (id.isEmpty() || !UserDialogs::askYesNo(this, kDeleteQuestion))
        return;
    deleteRecord(RecordKind::Project, id, QStringLiteral("The project could not be deleted."));
    refreshProjectList({}, false);
}

void CMainFrame::deleteTask()
{
    const QByteArray id = m_detailsBar->selectedTaskId();
    if (id.isEmpty() || !UserDialogs::askYesNo(this, kDeleteQuestion))
        return;
    // A sub task also leaves its parent's list; a top-level task takes its sub tasks along.
    deleteRecord(RecordKind::Task, id, QStringLiteral("The task could not be deleted."));
    rebuildTrees(m_projectId, {}, WhichTrees::All);
    m_projectList->viewport()->update();
}

void CMainFrame::deleteMeeting()
{
    const QByteArray id = m_detailsBar->selectedMeetingId();
    if (id.isEmpty() || !UserDialogs::askYesNo(this, kDeleteQuestion))
        return;
    deleteRecord(RecordKind::Meeting, id, QStringLiteral("The meeting could not be deleted."));
    rebuildTrees(m_projectId, {}, WhichTrees::All);
}

void CMainFrame::deleteMoneyFlow()
{
    const QByteArray id = m_detailsBar->selectedMoneyFlowId();
    if (id.isEmpty() || !UserDialogs::askYesNo(this, kDeleteQuestion))
        return;
    deleteRecord(RecordKind::MoneyFlow, id, QStringLiteral("The entry could not be deleted."));
    rebuildTrees(m_projectId, {}, WhichTrees::MoneyFlow);
}

void CMainFrame::deleteInvoice()
{
    const QByteArray id = m_detailsBar->selectedInvoiceId();
    if (id.isEmpty() || !UserDialogs::askYesNo(this, kDeleteQuestion))
        return;
    deleteRecord(RecordKind::Invoice, id, QStringLiteral("The invoice could not be deleted."));
    rebuildTrees(m_projectId, {}, WhichTrees::MoneyFlow);
}

void CMainFrame::refreshAll()
{
    // Reading a folder that is gone would empty every list without a word.
    if (!dataFolderPresent(QStringLiteral("Nothing was reloaded: the lists still show the records as they "
                                          "were read before, and nothing typed was lost.")))
        return;
    commitSynopsis();
    Startup::loadWithProgress(m_store, this);
    updateLoadProblemNotice();
    refreshProjectList({}, false);
}

void CMainFrame::changeDirectory()
{
    commitSynopsis();
    if (!Startup::changeDirectory(m_store, m_lock, this))
        return;
    followFolder();
    updateLoadProblemNotice();
    refreshProjectList({}, false);
}

void CMainFrame::synchronize()
{
    const QString manager = AppSettings::deviceManager();
    if (manager.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("No device manager is set up (Device/Manager in Korvane.conf)."),
                                 8000);
        return;
    }
    if (!UserDialogs::startDetached(manager, {QStringLiteral("/show"), QStringLiteral("/syncnow")}))
        statusBar()->showMessage(QStringLiteral("The device manager %1 could not be started.").arg(manager), 8000);
}

void CMainFrame::showHelp()
{
    UserDialogs::openFile(this, helpFile());
}

void CMainFrame::showAbout()
{
    UserDialogs::message(this,
                         QStringLiteral("Korvane %1\n\nKeeps track of small projects: clients, people, tasks, "
                                        "meetings, money flow and invoices.\n\nThe login window keeps casual "
                                        "eyes out of the program. The data files themselves are not "
                                        "encrypted: the cipher's key is fixed by the file format. For real "
                                        "protection, keep the data folder on an encrypted disk.\n\nData "
                                        "folder: %2")
                             .arg(QCoreApplication::applicationVersion(), m_store.workingDirectory()),
                         UserDialogs::Icon::Information, QStringLiteral("About Korvane"));
}

void CMainFrame::printProject()
{
    PrintPreferenceDialog dialog(m_store, this);
    dialog.setDateRange(m_fromPicker->date(), m_toPicker->date());
    UserDialogs::exec(dialog);
}

void CMainFrame::exportProject(Command command)
{
    const QByteArray id = listProjectIdOf(m_projectList);
    if (id.isEmpty())
        return;
    commitSynopsis();
    if (command == Command::ExportHtml)
        m_projectExports->exportHtml(id);
    else if (command == Command::ExportPdf)
        m_projectExports->exportPdf(id);
    else if (command == Command::ExportExcel)
        m_projectExports->exportExcel(id);
    else
        m_projectExports->exportWord(id, m_detailsBar->taskTree(), m_detailsBar->meetingTree(),
                                     m_detailsBar->moneyTree());
}

void CMainFrame::exportCalendar()
{
    CalendarExportDialog dialog(m_store, this);
    dialog.picker()->setDateRange(m_fromPicker->date(), m_toPicker->date());
    dialog.picker()->checkProject(listProjectIdOf(m_projectList));
    UserDialogs::exec(dialog);
}

void CMainFrame::publishCalendar()
{
    CalendarPublishDialog dialog(m_store, this);
    dialog.picker()->setDateRange(m_fromPicker->date(), m_toPicker->date());
    dialog.picker()->checkProject(listProjectIdOf(m_projectList));
    UserDialogs::exec(dialog);
}

void CMainFrame::onLinkCommand(const PageLink& link)
{
    const QByteArray shown = m_graphSheet->detailsView()->shownInvoiceId();
    switch (link.action) {
    case PageLink::Action::PrintShownInvoice: m_invoiceActions->print(shown); break;
    case PageLink::Action::MailShownInvoice: m_invoiceActions->mail(shown); break;
    case PageLink::Action::WordExportShownInvoice: m_invoiceActions->exportWord(shown); break;
    case PageLink::Action::HtmlExportShownInvoice: m_invoiceActions->exportHtml(shown); break;
    case PageLink::Action::PrintListedInvoice: m_invoiceActions->print(link.invoiceIdentifier.toUtf8()); break;
    case PageLink::Action::Navigate: break;
    }
}

void CMainFrame::changeLogin()
{
    ChangeLoginDialog dialog(m_store.workingDirectory(), this);
    UserDialogs::exec(dialog);
}

void CMainFrame::setLoginStatus()
{
    LoginStatusDialog dialog(m_store.workingDirectory(), this);
    UserDialogs::exec(dialog);
}

void CMainFrame::updateLoadProblemNotice()
{
    const auto count = m_store.loadProblems().size();
    m_problemsButton->setVisible(count > 0);
    m_problemsButton->setText(count == 1 ? QStringLiteral("1 record file was skipped")
                                         : QStringLiteral("%1 record files were skipped").arg(count));
    m_problemsButton->setAccessibleName(m_problemsButton->text());
    const auto conflicts = ConflictEdits::records(m_store).size();
    m_conflictsButton->setVisible(conflicts > 0);
    m_conflictsButton->setText(conflicts == 1
                                   ? QStringLiteral("1 record has conflicting copies")
                                   : QStringLiteral("%1 records have conflicting copies").arg(conflicts));
    m_conflictsButton->setAccessibleName(m_conflictsButton->text());
}

void CMainFrame::showConflicts()
{
    commitSynopsis();
    ConflictsWindow window(m_store, this);
    UserDialogs::exec(window);
    updateLoadProblemNotice();
    if (window.changedRecords())
        refreshProjectList(m_projectId, false);
}

void CMainFrame::showLoadProblems()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("LoadProblemsDialog"));
    dialog.setWindowTitle(QStringLiteral("Skipped Record Files"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QStringLiteral("These files in %1 could not be read and were left out. They are "
                                            "still on disk, unchanged.")
                                 .arg(QDir::toNativeSeparators(m_store.workingDirectory())));
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* text = new QPlainTextEdit;
    text->setObjectName(QStringLiteral("LoadProblemsText"));
    text->setAccessibleName(QStringLiteral("Skipped files"));
    text->setReadOnly(true);
    QStringList lines;
    for (const LoadProblem& problem : m_store.loadProblems())
        lines.append(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(problem.path), problem.reason));
    text->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 320);
    UserDialogs::exec(dialog);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    Startup::saveWorkingFolder(m_store);
    commitSynopsis();
    event->accept();
}

} // namespace korvane
