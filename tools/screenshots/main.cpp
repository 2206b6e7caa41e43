// Saves pictures of the main windows and dialogs, filled with the demo data, for the README and
// for looking at the program without a display:  korvane-screenshots OUTPUT_FOLDER
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "shell/LoginWindow.h"
#include "store/DemoData.h"
#include "store/ProgramFolder.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CGraphSheet.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/HistoryWindow.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>

using namespace korvane;

namespace {

void save(QWidget& widget, const QString& folder, const QString& name)
{
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

/** The listed project with the most tasks, so the pictures show full trees. */
int busiestRow(const CKorvaneView& list, const RecordStore& store)
{
    int best = list.rowCount() > 1 ? 1 : -1;
    std::size_t most = 0;
    for (int row = 1; row < list.rowCount(); ++row) {
        const std::size_t tasks = store.ofProject<TaskRecord>(list.projectAt(row)->identifier).size();
        if (tasks > most) {
            most = tasks;
            best = row;
        }
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    // The theme picked below is remembered: keep it out of the user's own settings.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvane-screenshots OUTPUT_FOLDER\n");
        return 1;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(output);
    UserDialogs::setTestMode(true);
    QTemporaryDir temp;
    setProgramFolderForTesting(temp.filePath(QStringLiteral("program")));
    QDir().mkpath(temp.filePath(QStringLiteral("program")));
    const QString data = temp.filePath(QStringLiteral("Korvane"));
    DemoOptions options;
    options.projects = 24;
    options.seed = 3;
    writeDemoFolder(data, options);

    RecordStore store(data);
    store.LoadAll();
    DataFolderLock lock;
    CMainFrame frame(store, lock);
    frame.resize(1400, 900);
    frame.show();
    // A year around today, so the list is full.
    frame.runCommand(Command::FromPreviousYear);
    frame.runCommand(Command::ToNextYear);
    const int row = busiestRow(*frame.projectList(), store);
    if (row >= 1) {
        frame.projectList()->setSelectedRow(row);
        emit frame.projectList()->projectChosen(frame.projectList()->projectAt(row)->identifier);
    }
    save(frame, output, QStringLiteral("main-window"));

    frame.detailsBar()->setCurrentTab(TreeKind::Meetings);
    frame.runCommand(Command::ThemeWindowsXP);
    save(frame, output, QStringLiteral("main-window-xp"));
    for (const bool dark : {false, true}) {
        Themes::setDarkOverride(dark);
        frame.runCommand(Command::ThemeSystem);
        save(frame, output, dark ? QStringLiteral("main-window-system-dark") : QStringLiteral("main-window-system"));
    }
    Themes::setDarkOverride(std::nullopt);
    frame.runCommand(Command::ThemeWindows2003);

    frame.graphSheet()->setCurrentIndex(1);
    frame.detailsBar()->setCurrentTab(TreeKind::Tasks);
    save(frame, output, QStringLiteral("graph"));
    frame.graphSheet()->setCurrentIndex(0);

    frame.detailsBar()->setCurrentTab(TreeKind::MoneyFlow);
    const auto invoices = store.ofProject<InvoiceRecord>(frame.selectedProjectId());
    if (!invoices.empty())
        frame.refreshRightPane(invoices.front()->identifier, CMainFrame::RightPane::Invoice);
    save(frame, output, QStringLiteral("invoice-letter"));

    // A project deleted and brought back: the History window shows both changes.
    frame.refreshRightPane(frame.selectedProjectId(), CMainFrame::RightPane::ProjectDetails);
    UserDialogs::setNextAnswer(true);
    frame.runCommand(Command::DeleteProject);
    frame.runCommand(Command::Undo);
    frame.runCommand(Command::History);
    if (auto* history = frame.findChild<HistoryWindow*>()) {
        history->changeList()->setCurrentItem(history->changeList()->topLevelItem(1));
        save(*history, output, QStringLiteral("history-window"));
        history->close();
    }

    LoginWindow login(data);
    login.show();
    save(login, output, QStringLiteral("login-window"));
    return 0;
}
