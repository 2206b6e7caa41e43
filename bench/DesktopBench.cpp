// Measures the desktop program end to end in its own classes: start-up to the main window shown,
// then what a user does in it (select the largest project, Refresh, a month move over the whole
// range, Modify Task finished), on data folders of about 10,000 and 100,000 records, and a project
// with 5,000 tasks and a 1 MB synopsis. Every interaction ends with the whole window painted into a
// pixmap, so work the widgets leave for painting is counted. Each figure is printed beside its
// goal; nothing is asserted.
//
//   korvane_desktop_bench [--rounds N] [--folder DIR]
//
// It runs without a display (QT_QPA_PLATFORM=offscreen unless set), with its settings and
// generated pages in a temporary folder. With --folder the data sets are kept in DIR and reused.

#include "BenchSupport.h"
#include "editors/CTaskSheet.h"
#include "records/TextList.h"
#include "shell/CMainFrame.h"
#include "shell/DataFolderLock.h"
#include "shell/Startup.h"
#include "shell/WorkupBar.h"
#include "store/DemoData.h"
#include "store/FolderFollower.h"
#include "store/ProgramFolder.h"
#include "store/RecordKind.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "ui/UserDialogs.h"
#include "views/widgets/CDetailsView.h"
#include "views/widgets/CKorvaneView.h"
#include "views/widgets/ProjectDetailsBar.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace korvane;
using namespace korvane::bench;
using namespace Qt::Literals::StringLiterals;

namespace {

const char* const kPeakFlag = "--start-and-report-peak";
const char* const kStayFlag = "--start-and-stay";
constexpr int kLargeProjectTasks = 5000;
constexpr qsizetype kLargeSynopsisBytes = qsizetype(1) << 20;

/** The mix of the other benchmarks: 30 tasks, 5 meetings, 10 money flow entries per project. */
DemoOptions dataSet(int projects)
{
    DemoOptions options;
    options.projects = projects;
    options.seed = 1;
    options.resources = std::max(10, projects / 4);
    options.tasksPerProject = 30;
    options.meetingsPerProject = 5;
    options.moneyFlowsPerProject = 10;
    return options;
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

/** Times `work` over `rounds` rounds, running `prepare` untimed before each; the median in ms. */
double medianMs(int rounds, const std::function<void()>& work, const std::function<void()>& prepare = {})
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(msSince(timer));
    }
    return median(times);
}

qint64 folderBytes(const QString& folder)
{
    qint64 all = 0;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        all += it.fileInfo().size();
    }
    return all;
}

/** Opens, reads and closes every record file over a sorted listing: the floor for any start-up. */
double rawReadMs(const QString& folder)
{
    QElapsedTimer timer;
    timer.start();
    const QDir dir(folder);
    for (const QString& name : dir.entryList(recordFilePatterns(), QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            file.readAll();
    }
    return msSince(timer);
}

/** Lets the window do its pending layouts and paints all of it, as showing it on screen would. */
void settle(QWidget& window)
{
    QApplication::processEvents();
    const QPixmap painted = window.grab();
    if (painted.isNull())
        std::abort();
}

/** Waits until the details view has the page it was last asked for on screen, then paints the view. */
void waitForPage(CDetailsView& view)
{
    while (view.isPreparing())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle(view);
}

/** Has the whole of a long page read and laid out, as going to its end does, and waits for it. */
void waitForWholePage(CDetailsView& view)
{
    view.showWholePage();
    waitForPage(view);
}

/** The data set's records and the project with the most tasks. */
struct Shape
{
    qsizetype records = 0;
    QByteArray largest;
    QByteArray other;
    QDate first, last;
};

Shape shapeOf(const RecordStore& store)
{
    Shape shape;
    shape.records = store.projects().size() + store.clients().size() + store.resources().size() +
                    store.tasks().size() + store.meetings().size() + store.moneyFlows().size() +
                    store.invoices().size();
    std::size_t most = 0;
    shape.first = QDate(9999, 12, 31);
    shape.last = QDate(1, 1, 1);
    for (const auto& entry : store.projects()) {
        const std::size_t tasks = store.ofProject<TaskRecord>(entry.key).size();
        if (tasks >= most) {
            most = tasks;
            if (!shape.largest.isEmpty())
                shape.other = shape.largest;
            shape.largest = entry.key;
        } else if (shape.other.isEmpty()) {
            shape.other = entry.key;
        }
        const QDate start = entry.record.startDate.date();
        if (start.isValid()) {
            shape.first = std::min(shape.first, start);
            shape.last = std::max(shape.last, start);
        }
    }
    return shape;
}

/** Everything of a start-up: the store loaded as the program loads it, the main window shown and painted. */
struct Desktop
{
    std::unique_ptr<RecordStore> store;
    std::unique_ptr<DataFolderLock> lock;
    std::unique_ptr<CMainFrame> frame;
    double loadMs = 0;
    double windowMs = 0;
};

Desktop startUp(const QString& folder, bool paint = true)
{
    Desktop desktop;
    QElapsedTimer timer;
    timer.start();
    desktop.store = std::make_unique<RecordStore>(folder);
    Startup::loadWithProgress(*desktop.store, nullptr);
    desktop.loadMs = msSince(timer);
    timer.restart();
    desktop.lock = std::make_unique<DataFolderLock>();
    desktop.frame = std::make_unique<CMainFrame>(*desktop.store, *desktop.lock);
    desktop.frame->resize(1400, 900);
    desktop.frame->show();
    if (paint)
        settle(*desktop.frame);
    desktop.windowMs = msSince(timer);
    return desktop;
}

/** Runs the event loop for a second: the window paints itself as on screen, and nothing else is made. */
void runAWhile()
{
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
}

/** Selects a project in the list as a click on its row does, and lets the window paint. */
void selectProject(CMainFrame& frame, const QByteArray& projectId, bool grab = true)
{
    CKorvaneView* list = frame.projectList();
    const int row = list->rowOfProject(projectId);
    if (row < 1)
        std::abort(); // the pickers must show the project
    list->setSelectedRow(row);
    emit list->projectChosen(projectId);
    grab ? settle(frame) : runAWhile();
}

/** Sets the pickers to the months from the first project's start to the last one's, untimed. */
void showWholeRange(CMainFrame& frame, const Shape& shape, bool grab = true)
{
    frame.toPicker()->setMinimumDate(QDate(1753, 1, 1));
    frame.toPicker()->setDate(QDate(shape.last.year(), shape.last.month(), 1));
    frame.fromPicker()->setDate(QDate(shape.first.year(), shape.first.month(), 1));
    grab ? settle(frame) : runAWhile();
}

/** Selects the first task of the task tree, so that Modify Task has something to modify. */
void selectFirstTask(CMainFrame& frame)
{
    frame.detailsBar()->setCurrentTab(TreeKind::Tasks);
    QTreeView* tree = frame.detailsBar()->taskTreeView();
    tree->setCurrentIndex(tree->model()->index(0, 0, tree->model()->index(0, 0)));
    if (frame.detailsBar()->selectedTaskId().isEmpty())
        std::abort();
}

/** Answers the task sheet as a user who changes nothing: Next, then Finish. */
void finishTaskSheets(int& finished)
{
    UserDialogs::setDialogHandler([&finished](QDialog& dialog) {
        auto* sheet = qobject_cast<CTaskSheet*>(&dialog);
        if (!sheet)
            return int(QDialog::Rejected);
        sheet->next();
        sheet->accept();
        if (sheet->result() == QDialog::Accepted)
            ++finished;
        return sheet->result();
    });
}

struct Figures
{
    qsizetype records = 0;
    double read = 0, load = 0, window = 0, startup = 0;
    double select = 0, refresh = 0, refreshChanged = 0, refreshAdded = 0, month = 0, modifyTask = 0;
    /**
     * The update that follows three task files changed by another program, of the project shown and
     * of another one, and one stamp comparison.
     */
    double followUpdate = 0, followUpdateOther = 0, stampComparison = 0;
};

/**
 * Times the update the main window makes by itself after another program changed three task files
 * of the project: from the moment the changes have settled to the panes painted (the settling wait
 * not counted).
 */
double measureFollowing(CMainFrame& frame, RecordStore& store, const QByteArray& projectId, int rounds)
{
    QList<RecordKey> keys;
    for (const TaskRecord* task : store.ofProject<TaskRecord>(projectId)) {
        if (keys.size() < 3)
            keys.append({RecordKind::Task, task->identifier});
    }
    RecordStore other(store.workingDirectory());
    if (keys.isEmpty())
        std::exit(2);
    if (!other.LoadRecords(keys))
        std::exit(2);
    QList<TaskRecord> originals;
    for (const RecordKey& key : keys)
        originals.append(other.GetTask(key.identifier));
    auto* settleTimer = frame.findChild<QTimer*>(QStringLiteral("FollowSettleTimer"));
    int round = 0;
    const double ms = medianMs(
        rounds,
        [&] {
            settleTimer->start(0);
            while (frame.statusBar()->currentMessage().isEmpty())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            settle(frame);
        },
        [&] {
            ++round;
            for (const RecordKey& key : keys) {
                TaskRecord task = other.GetTask(key.identifier);
                task.name = QByteArray("changed elsewhere ") + QByteArray::number(round);
                if (!other.ModifyTask(task).isEmpty())
                    std::exit(2);
            }
            frame.statusBar()->clearMessage();
            while (frame.folderFollower().pending() < keys.size())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            // The changes settle without the window looking: the timed part starts the update itself.
            settleTimer->stop();
            QThread::msleep(FolderFollower::kSettleMs + 50);
        });
    // The data set stays as it was for the next run; the window takes that in untimed.
    for (const TaskRecord& task : originals) {
        if (!other.ModifyTask(task).isEmpty())
            std::exit(2);
    }
    frame.statusBar()->clearMessage();
    while (frame.folderFollower().pending() < keys.size())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settleTimer->start(0);
    while (frame.statusBar()->currentMessage().isEmpty())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return ms;
}

void measureFollowing(Figures& figures, Desktop& desktop, const Shape& shape, int rounds)
{
    CMainFrame& frame = *desktop.frame;
    selectProject(frame, shape.largest);
    figures.followUpdate = measureFollowing(frame, *desktop.store, shape.largest, rounds);
    figures.followUpdateOther = measureFollowing(frame, *desktop.store, shape.other, rounds);
    figures.stampComparison = medianMs(rounds, [&] {
        if (!desktop.store->filesChangedElsewhere())
            std::exit(2);
    });
    frame.runCommand(Command::Refresh);
    settle(frame);
}

Figures measure(const QString& folder, int rounds)
{
    Figures figures;
    std::vector<double> reads, loads, windows, startups;
    Desktop desktop;
    // Alternated, so that the raw read and the start-up see the same file cache.
    for (int round = 0; round < rounds; ++round) {
        reads.push_back(rawReadMs(folder));
        // The previous window and store go outside the timing, the window before the store it shows.
        desktop.frame.reset();
        desktop.store.reset();
        QElapsedTimer timer;
        timer.start();
        desktop = startUp(folder);
        startups.push_back(msSince(timer));
        loads.push_back(desktop.loadMs);
        windows.push_back(desktop.windowMs);
    }
    figures.read = median(reads);
    figures.load = median(loads);
    figures.window = median(windows);
    figures.startup = median(startups);

    CMainFrame& frame = *desktop.frame;
    const Shape shape = shapeOf(*desktop.store);
    figures.records = shape.records;
    showWholeRange(frame, shape);

    figures.select = medianMs(
        rounds, [&] { selectProject(frame, shape.largest); }, [&] { selectProject(frame, shape.other); });
    figures.refresh = medianMs(std::max(3, rounds / 2), [&] {
        frame.runCommand(Command::Refresh);
        settle(frame);
    });
    // Another program (korvane-cli, a copy from a backup) changed one record file: only that file is read
    // again.
    const QString taskFile = desktop.store->fileName(RecordKind::Task, desktop.store->tasks().begin()->key);
    figures.refreshChanged = medianMs(
        std::max(3, rounds / 2),
        [&] {
            frame.runCommand(Command::Refresh);
            settle(frame);
        },
        [&] {
            QByteArray bytes;
            if (!SafeFile::read(taskFile, bytes) || !SafeFile::write(taskFile, bytes).isEmpty())
                std::exit(2);
        });
    // The program itself added a task: the next Refresh moves it to where a load would put it. The
    // tasks are deleted again afterwards, so that the data set stays as it was for the next run.
    QList<QByteArray> added;
    figures.refreshAdded = medianMs(
        std::max(3, rounds / 2),
        [&] {
            frame.runCommand(Command::Refresh);
            settle(frame);
        },
        [&] {
            TaskRecord task = *desktop.store->ofProject<TaskRecord>(shape.largest).front();
            task.subTaskList.clear();
            const AddResult result = desktop.store->AddTask(task);
            if (!result.ok())
                std::exit(2);
            added.append(result.identifier);
        });
    for (const QByteArray& identifier : added) {
        if (!desktop.store->DeleteTask(identifier).isEmpty())
            std::exit(2);
    }
    frame.runCommand(Command::Refresh);
    settle(frame);
    measureFollowing(figures, desktop, shape, rounds);
    bool forward = true;
    figures.month = medianMs(rounds, [&] {
        frame.runCommand(forward ? Command::ToNextMonth : Command::ToPreviousMonth);
        forward = !forward;
        settle(frame);
    });

    int finished = 0;
    finishTaskSheets(finished);
    figures.modifyTask = medianMs(
        rounds,
        [&] {
            frame.runCommand(Command::ModifyTask);
            settle(frame);
        },
        [&] {
            selectProject(frame, shape.largest);
            selectFirstTask(frame);
        });
    UserDialogs::setDialogHandler({});
    if (finished != rounds) {
        std::fprintf(stderr, "Modify Task finished %d times out of %d\n", finished, rounds);
        std::exit(2);
    }
    return figures;
}

struct LargeProject
{
    double select = 0, selectShown = 0, taskTree = 0, report = 0, reportShown = 0, synopsis = 0;
    int tasks = 0;
};

/** A project of 5,000 tasks with a 1 MB synopsis, in a folder with a few ordinary projects. */
QByteArray makeLargeProject(const QString& folder)
{
    if (!hasRecordFiles(folder)) {
        DemoOptions options = dataSet(20);
        options.seed = 5;
        if (!writeDemoFolder(folder, options).ok())
            return {};
        options.projects = 1;
        options.seed = 6;
        options.tasksPerProject = kLargeProjectTasks;
        if (!writeDemoFolder(folder, options).ok())
            return {};
    }
    RecordStore store(folder);
    store.LoadAll();
    QByteArray largest;
    std::size_t most = 0;
    for (const auto& entry : store.projects()) {
        const std::size_t tasks = store.ofProject<TaskRecord>(entry.key).size();
        if (tasks > most) {
            most = tasks;
            largest = entry.key;
        }
    }
    ProjectRecord project = store.GetProject(largest);
    if (project.synopsis.size() < kLargeSynopsisBytes) {
        QByteArray synopsis;
        for (int line = 0; synopsis.size() < kLargeSynopsisBytes; ++line)
            synopsis +=
                "Line " + QByteArray::number(line) + " of the project's synopsis, as a user writes it.\r\n";
        project.synopsis = synopsis;
        if (!store.ModifyProject(project).isEmpty())
            return {};
    }
    return largest;
}

LargeProject measureLargeProject(const QString& folder, int rounds)
{
    const QByteArray projectId = makeLargeProject(folder);
    if (projectId.isEmpty()) {
        std::fprintf(stderr, "could not make the large project\n");
        std::exit(2);
    }
    Desktop desktop = startUp(folder);
    CMainFrame& frame = *desktop.frame;
    const Shape shape = shapeOf(*desktop.store);
    showWholeRange(frame, shape);
    const QByteArray other = shape.largest == projectId ? shape.other : shape.largest;

    LargeProject figures;
    figures.tasks = int(desktop.store->ofProject<TaskRecord>(projectId).size());
    // The details page of this project is prepared in the background: the window is usable again
    // when the selection returns, and the page follows. Each round starts with no page in the works.
    CDetailsView& details = *frame.detailsView();
    const auto otherSelected = [&] {
        waitForPage(details);
        selectProject(frame, other);
        waitForPage(details);
    };
    figures.select = medianMs(
        rounds, [&] { selectProject(frame, projectId); }, otherSelected);
    figures.selectShown = medianMs(
        rounds,
        [&] {
            selectProject(frame, projectId);
            waitForWholePage(details);
        },
        otherSelected);
    waitForPage(details);
    figures.taskTree = medianMs(rounds, [&] {
        frame.detailsBar()->rebuild(projectId, {}, WhichTrees::Tasks);
        settle(*frame.detailsBar());
    });
    figures.report = medianMs(
        rounds,
        [&] {
            details.showProjectDetails(projectId);
            settle(details);
        },
        [&] { waitForPage(details); });
    figures.reportShown = medianMs(rounds, [&] {
        details.showProjectDetails(projectId);
        waitForWholePage(details);
    });
    const ProjectRecord* project = desktop.store->projects().find(projectId);
    figures.synopsis = medianMs(rounds, [&] {
        frame.workupBar()->showProject(project);
        settle(*frame.workupBar());
    });
    return figures;
}

/** The child process: starts the program on the folder, selects the largest project, prints peak memory in
 * kB. */
int reportPeak(const QString& folder)
{
    // As the program runs: the window paints itself, and no picture of it is taken (that would add
    // one the size of the window to the peak).
    Desktop desktop = startUp(folder, false);
    runAWhile();
    const Shape shape = shapeOf(*desktop.store);
    showWholeRange(*desktop.frame, shape, false);
    selectProject(*desktop.frame, shape.largest, false);
    std::printf("%lld %lld\n", statusKb("VmHWM"), statusKb("VmRSS"));
    return 0;
}

/** One project of 5,000 tasks (about half of them sub tasks) and 50 resources, starting two years
 * back, so that the month range the window starts with does not show it. */
QByteArray makePeerProject(const QString& folder)
{
    if (!hasRecordFiles(folder)) {
        DemoOptions options;
        options.projects = 1;
        options.seed = 6;
        options.resources = 50;
        options.tasksPerProject = kLargeProjectTasks;
        options.meetingsPerProject = 5;
        options.moneyFlowsPerProject = 10;
        options.invoicesPerProject = 0;
        if (!writeDemoFolder(folder, options).ok())
            return {};
    }
    RecordStore store(folder);
    store.LoadAll();
    if (store.projects().size() != 1)
        return {};
    ProjectRecord project = store.projects().begin()->record;
    const QDate twoYearsBack = QDate::currentDate().addYears(-2);
    if (project.startDate.date() > twoYearsBack) {
        project.startDate = DateTime::fromDate(twoYearsBack);
        project.endDate = DateTime::fromDate(twoYearsBack.addMonths(6));
        if (!store.ModifyProject(project).isEmpty())
            return {};
    }
    return project.identifier;
}

QString xmlText(const QByteArray& text)
{
    return QString::fromUtf8(text).toHtmlEscaped();
}

QString plannerTime(const DateTime& value)
{
    const QDateTime time = value.toQDateTime();
    return (time.isValid() ? time : QDateTime(QDate(2026, 1, 1), QTime(8, 0)))
        .toString(u"yyyyMMdd'T'hhmmss'Z'");
}

/** Writes the project as GNOME Planner's project file: tasks with their sub tasks nested, resources and
 * their allocations. */
bool writePlannerFile(const QString& dataFolder, const QString& path)
{
    RecordStore store(dataFolder);
    store.LoadAll();
    const ProjectRecord& project = store.projects().begin()->record;
    QHash<QByteArray, int> resourceIds;
    QString resources;
    for (const auto& entry : store.resources()) {
        const int id = int(resourceIds.size()) + 1;
        resourceIds.insert(entry.key, id);
        resources += u"    <resource id=\"%1\" name=\"%2\" short-name=\"\" type=\"1\" units=\"0\" email=\"\" "
                     u"note=\"\" std-rate=\"0\"/>\n"_s.arg(id)
                         .arg(xmlText(entry.record.name));
    }
    QHash<QByteArray, int> taskIds;
    for (const TaskRecord* task : store.ofProject<TaskRecord>(project.identifier))
        taskIds.insert(task->identifier, int(taskIds.size()) + 1);
    QString tasks, allocations;
    std::function<void(const TaskRecord&, int)> writeTask = [&](const TaskRecord& task, int depth) {
        const QString indent(2 * depth + 4, u' ');
        const int id = taskIds.value(task.identifier);
        tasks += indent + u"<task id=\"%1\" name=\"%2\" note=\"\" work=\"28800\" start=\"%3\" end=\"%4\" "
                          u"work-start=\"%3\" percent-complete=\"%5\" priority=\"0\" type=\"normal\" "
                          u"scheduling=\"fixed-work\""_s.arg(id)
                              .arg(xmlText(task.name), plannerTime(task.start), plannerTime(task.end))
                              .arg(task.percentComplete);
        for (const QByteArray& resource : TextList::entries(task.resources)) {
            if (resourceIds.contains(resource))
                allocations +=
                    u"    <allocation task-id=\"%1\" resource-id=\"%2\" units=\"100\"/>\n"_s.arg(id).arg(
                        resourceIds.value(resource));
        }
        const QList<QByteArray> subTasks = TextList::entries(task.subTaskList);
        if (subTasks.isEmpty()) {
            tasks += u"/>\n"_s;
            return;
        }
        tasks += u">\n"_s;
        for (const QByteArray& subTask : subTasks) {
            if (const TaskRecord* child = store.tasks().find(subTask))
                writeTask(*child, depth + 1);
        }
        tasks += indent + u"</task>\n"_s;
    };
    for (const TaskRecord* task : store.ofProject<TaskRecord>(project.identifier)) {
        if (!task->isSubTask())
            writeTask(*task, 0);
    }
    const QString text =
        u"<?xml version=\"1.0\"?>\n<project name=\"%1\" company=\"\" manager=\"\" phase=\"\" "
        u"project-start=\"%2\" "
        u"mrproject-version=\"2\" calendar=\"1\">\n  <properties/>\n  <phases/>\n  <calendars>\n    "
        u"<day-types>\n"
        u"      <day-type id=\"0\" name=\"Working\" description=\"A default working day\"/>\n"
        u"      <day-type id=\"1\" name=\"Nonworking\" description=\"A default non working day\"/>\n"
        u"      <day-type id=\"2\" name=\"Use base\" description=\"Use day from base calendar\"/>\n    "
        u"</day-types>\n"
        u"    <calendar id=\"1\" name=\"Default\">\n"
        u"      <default-week mon=\"0\" tue=\"0\" wed=\"0\" thu=\"0\" fri=\"0\" sat=\"1\" sun=\"1\"/>\n"
        u"      <overridden-day-types>\n        <overridden-day-type id=\"0\">\n"
        u"          <interval start=\"0800\" end=\"1200\"/>\n          <interval start=\"1300\" "
        u"end=\"1700\"/>\n"
        u"        </overridden-day-type>\n      </overridden-day-types>\n      <days/>\n    </calendar>\n"
        u"  </calendars>\n  <tasks>\n%3  </tasks>\n  <resource-groups/>\n  <resources>\n%4  </resources>\n"
        u"  <allocations>\n%5  </allocations>\n</project>\n"_s.arg(
            xmlText(project.name), plannerTime(project.startDate), tasks, resources, allocations);
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) > 0;
}

/** Processor time (user and system) the process has used so far, in clock ticks; -1 when it is gone. */
qint64 cpuTicks(qint64 pid)
{
    QFile file(u"/proc/%1/stat"_s.arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    // The fields after the command name, which may hold blanks, start behind its closing parenthesis.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

qint64 peakKb(qint64 pid)
{
    QFile file(u"/proc/%1/status"_s.arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

/** A program started until it is usable: the time until it last used the processor before a quiet
 * second, and its peak memory then. */
struct Usable
{
    double seconds = 0;
    double peakMb = 0;
    bool ok = false;
};

/** Starts the program and waits until it has used no processor time for a second (at most a minute). */
Usable untilIdle(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    constexpr qint64 kQuietMs = 1000;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    Usable usable;
    if (!process.waitForStarted())
        return usable;
    qint64 ticks = -1;
    qint64 lastBusy = 0;
    while (timer.elapsed() - lastBusy < kQuietMs && timer.elapsed() < 60000) {
        const qint64 now = cpuTicks(process.processId());
        if (now < 0)
            break;
        if (now != ticks) {
            ticks = now;
            lastBusy = timer.elapsed();
            usable.peakMb = double(peakKb(process.processId())) * 1024 / 1e6;
        }
        QThread::msleep(10);
    }
    usable.ok = process.state() == QProcess::Running;
    usable.seconds = double(lastBusy) / 1000;
    usable.peakMb = std::max(usable.peakMb, double(peakKb(process.processId())) * 1024 / 1e6);
    // Our own child ends when its input closes, and removes its temporary folder; others are asked to.
    process.closeWriteChannel();
    if (!process.waitForFinished(3000))
        process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
    process.waitForFinished();
    return usable;
}

/** A display of its own for programs that need one (Planner is a GTK program); stopped with the object. */
class VirtualDisplay
{
public:
    bool start()
    {
        m_server.setProcessChannelMode(QProcess::SeparateChannels);
        m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1400x900x24"_s});
        if (!m_server.waitForStarted() || !m_server.waitForReadyRead(10000))
            return false;
        m_display = u":"_s + QString::fromLatin1(m_server.readLine().trimmed());
        return m_display.size() > 1;
    }
    QString name() const { return m_display; }
    ~VirtualDisplay()
    {
        m_server.terminate();
        m_server.waitForFinished();
    }

private:
    QProcess m_server;
    QString m_display;
};

struct PeerFigures
{
    Usable hidden, shown, planner;
    bool plannerInstalled = false;
    int tasks = 0, subTasks = 0;
};

/** The same project opened by Korvane (not shown, then shown) and by GNOME Planner, each a fresh process. */
PeerFigures measurePeers(const QString& folder, int rounds)
{
    PeerFigures figures;
    const QByteArray projectId = makePeerProject(folder);
    if (projectId.isEmpty()) {
        std::fprintf(stderr, "could not make the project to compare\n");
        std::exit(2);
    }
    {
        RecordStore store(folder);
        store.LoadAll();
        for (const TaskRecord* task : store.ofProject<TaskRecord>(projectId)) {
            ++figures.tasks;
            figures.subTasks += task->isSubTask();
        }
    }
    const QString plannerFile = folder + u"/../korvane-peer.planner"_s;
    const QString planner = QStandardPaths::findExecutable(u"planner"_s);
    figures.plannerInstalled = !planner.isEmpty() && writePlannerFile(folder, plannerFile);
    VirtualDisplay display;
    if (figures.plannerInstalled && !display.start()) {
        std::fprintf(stderr, "Xvfb could not be started: Planner is not measured\n");
        figures.plannerInstalled = false;
    }
    QProcessEnvironment korvane = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment gtk = korvane;
    gtk.insert(u"DISPLAY"_s, display.name());
    gtk.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s); // no settings daemon on the display of its own
    if (figures.plannerInstalled) {
        // Both programs draw on the same display server.
        korvane.insert(u"DISPLAY"_s, display.name());
        korvane.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    }
    gtk.insert(u"GDK_BACKEND"_s, u"x11"_s);
    gtk.remove(u"WAYLAND_DISPLAY"_s);
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<Usable> hidden, shown, peer;
    for (int round = 0; round < rounds; ++round) {
        hidden.push_back(untilIdle(self, {QLatin1String(kStayFlag), folder, u"none"_s}, korvane));
        shown.push_back(
            untilIdle(self, {QLatin1String(kStayFlag), folder, QString::fromLatin1(projectId)}, korvane));
        if (figures.plannerInstalled)
            peer.push_back(untilIdle(planner, {plannerFile}, gtk));
    }
    const auto middle = [](std::vector<Usable> runs) {
        Usable result;
        std::vector<double> seconds, peaks;
        for (const Usable& run : runs) {
            if (!run.ok)
                return result;
            seconds.push_back(run.seconds);
            peaks.push_back(run.peakMb);
        }
        result.ok = !runs.empty();
        result.seconds = median(seconds);
        result.peakMb = median(peaks);
        return result;
    };
    figures.hidden = middle(hidden);
    figures.shown = middle(shown);
    figures.planner = middle(peer);
    return figures;
}

/** The child process of the comparison: starts the program on the folder, selects the project (unless
 * "none") with its month shown, and stays until it is ended. */
int startAndStay(const QString& folder, const QString& projectId)
{
    // As the program runs: nothing is grabbed, the window paints when the event loop lets it.
    Desktop desktop = startUp(folder, false);
    if (projectId != u"none"_s) {
        CMainFrame& frame = *desktop.frame;
        const QDate start = desktop.store->projects().find(projectId.toLatin1())->startDate.date();
        // Widening the range to the project's month shows it, as the only project in the list.
        frame.fromPicker()->setMinimumDate(QDate(1753, 1, 1));
        frame.fromPicker()->setDate(QDate(start.year(), start.month(), 1));
        if (frame.selectedProjectId() != projectId.toLatin1()) {
            std::fprintf(stderr, "the project to compare is not shown\n");
            return 2;
        }
    } else if (desktop.frame->projectList()->rowCount() > 1) {
        std::fprintf(stderr, "the project to compare is shown at start-up\n");
        return 2;
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&input] {
        char byte = 0;
        if (::read(STDIN_FILENO, &byte, 1) <= 0) {
            input.setEnabled(false);
            QApplication::quit();
        }
    });
    return QApplication::exec();
}

bool generate(const QString& folder, int projects)
{
    if (hasRecordFiles(folder))
        return true;
    const DemoSummary made = writeDemoFolder(folder, dataSet(projects));
    if (!made.ok())
        std::fprintf(stderr, "could not generate the data set: %s\n", qPrintable(made.error));
    return made.ok();
}

void printPeers(const PeerFigures& peers, int rounds)
{
    std::printf("one project of %d tasks (%d of them sub tasks), 50 resources, each program started afresh\n"
                "until it has used no processor time for a second (median of %d rounds)\n",
                peers.tasks, peers.subTasks, rounds);
    std::printf("                                       usable      peak (VmHWM)\n");
    const auto line = [](const char* what, const Usable& usable) {
        if (usable.ok)
            std::printf("  %-34s %6.2f s   %8.1f MB\n", what, usable.seconds, usable.peakMb);
        else
            std::printf("  %-34s did not start or ended early\n", what);
    };
    line("Korvane, project not shown", peers.hidden);
    line("Korvane, project shown", peers.shown);
    if (!peers.plannerInstalled) {
        std::printf("  GNOME Planner is not installed (Debian: apt-get install planner); Korvane alone\n");
    } else {
        line("GNOME Planner, project open", peers.planner);
        if (peers.planner.ok && peers.shown.ok)
            std::printf("  Korvane / Planner, time           %6.2f     (goal <= 0.33)\n",
                        peers.shown.seconds / peers.planner.seconds);
    }
    if (peers.hidden.ok && peers.shown.ok)
        std::printf("  Korvane peak shown / not shown     %6.2f     (goal <= 1.2)\n\n",
                    peers.shown.peakMb / peers.hidden.peakMb);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and generated pages go to a folder of the run's own, never to the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brisolt"));
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    QDir().mkpath(home.filePath(QStringLiteral("program")));
    setProgramFolderForTesting(home.filePath(QStringLiteral("program")));
    UserDialogs::setTestMode(true);

    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String(kPeakFlag))
        return reportPeak(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String(kStayFlag))
        return startAndStay(args[2], args[3]);

    int rounds = 5;
    QString folder;
    bool peersOnly = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--peers-only")) {
            peersOnly = true;
        } else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size()) {
            rounds = std::max(1, args[++i].toInt());
        } else if (args[i] == QLatin1String("--folder") && i + 1 < args.size()) {
            folder = args[++i];
        } else {
            std::fprintf(stderr, "usage: korvane_desktop_bench [--rounds N] [--folder DIR] [--peers-only]\n");
            return 1;
        }
    }
    QTemporaryDir temporary;
    if (folder.isEmpty())
        folder = temporary.path();
    const QString smallFolder = folder + QStringLiteral("/desktop-small");
    const QString largeFolder = folder + QStringLiteral("/desktop-large");
    const QString projectFolder = folder + QStringLiteral("/desktop-large-project");
    const PeerFigures peers = measurePeers(folder + QStringLiteral("/desktop-peer-project"), rounds);
    printPeers(peers, rounds);
    if (peersOnly)
        return 0;
    if (!generate(smallFolder, 200) || !generate(largeFolder, 2000))
        return 2;
    ::sync();

    const Figures small = measure(smallFolder, rounds);
    const Figures large = measure(largeFolder, rounds);
    const LargeProject project = measureLargeProject(projectFolder, rounds);

    std::printf("desktop program, offscreen (median of %d rounds, warm file cache)\n", rounds);
    std::printf("                                  %7lld records  %7lld records  ratio (goal <= 11)\n",
                static_cast<long long>(small.records), static_cast<long long>(large.records));
    auto row = [&](const char* what, double a, double b, const char* goal) {
        std::printf("  %-30s %10.1f ms    %10.1f ms    %6.2f   %s\n", what, a, b, b / a, goal);
    };
    row("raw open/read/close", small.read, large.read, "");
    row("load (as at start-up)", small.load, large.load, "");
    row("main window built and shown", small.window, large.window, "");
    row("start-up in all", small.startup, large.startup, "");
    std::printf("  start-up / raw read             %10.2f       %10.2f             (goal <= 1.5)\n",
                small.startup / small.read, large.startup / large.read);
    auto interaction = [&](const char* what, double a, double b) {
        std::printf("  %-30s %10.1f ms    %10.1f ms    %6.2f   of load: %.3f (goal <= 0.1)\n", what, a, b,
                    b / a, b / large.load);
    };
    interaction("select largest project", small.select, large.select);
    interaction("Refresh", small.refresh, large.refresh);
    interaction("Refresh, a file changed outside", small.refreshChanged, large.refreshChanged);
    interaction("Refresh, the program added one", small.refreshAdded, large.refreshAdded);
    interaction("update, 3 changed elsewhere", small.followUpdate, large.followUpdate);
    interaction("  ... of a project not shown", small.followUpdateOther, large.followUpdateOther);
    interaction("stamp comparison (no watch)", small.stampComparison, large.stampComparison);
    interaction("month move, whole range", small.month, large.month);
    interaction("Modify Task, finished", small.modifyTask, large.modifyTask);

    std::printf("\nproject of %d tasks with a %lld-byte synopsis (against the load of %lld records)\n",
                project.tasks, static_cast<long long>(kLargeSynopsisBytes),
                static_cast<long long>(large.records));
    auto part = [&](const char* what, double ms) {
        std::printf("  %-30s %10.1f ms    of load: %.3f (goal <= 0.1)\n", what, ms, ms / large.load);
    };
    part("select it (everything)", project.select);
    part("  ... its whole page read", project.selectShown);
    part("task tree rebuilt, painted", project.taskTree);
    part("details report, painted", project.report);
    part("  ... the whole page read", project.reportShown);
    part("synopsis shown, painted", project.synopsis);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kPeakFlag), largeFolder});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "the start-up in a child process failed\n");
        return 2;
    }
    const QList<QByteArray> peak = child.readAllStandardOutput().trimmed().split(' ');
    const double peakMb = double(peak.value(0).toLongLong()) * 1024 / 1e6;
    const double residentMb = double(peak.value(1).toLongLong()) * 1024 / 1e6;
    const double bytesMb = double(folderBytes(largeFolder)) / 1e6;
    const double limitMb = 2.5 * bytesMb + 80.0;
    std::printf("\nmemory of a fresh start-up on %lld records, largest project selected\n",
                static_cast<long long>(large.records));
    std::printf("  folder                         %10.1f MB\n", bytesMb);
    std::printf("  peak (VmHWM)                   %10.1f MB    limit 2.5 x folder + 80 MB: %.1f MB (peak / "
                "limit %.2f)\n",
                peakMb, limitMb, peakMb / limitMb);
    std::printf("  resident (VmRSS)               %10.1f MB\n", residentMb);
    return 0;
}
