// Measures what the main window rebuilds on every change of selection or record: the three
// details trees, the details report, the project list over the whole range and the progress
// graph, on data folders of about 10,000 and 100,000 records. Each figure is printed beside the
// load time of its folder and beside the same figure for the other folder; nothing is asserted.
//
//   korvane_views_bench [--rounds N]

#include "reports/DetailsReport.h"
#include "store/DemoData.h"
#include "store/RecordStore.h"
#include "views/DetailsTrees.h"
#include "views/ProgressGraphModel.h"
#include "views/ProjectListModel.h"
#include "views/RecordSearch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace korvane;

namespace {

DemoOptions dataSet(int projects)
{
    // The same proportions as the store benchmark: 30 tasks, 5 meetings, 10 money flow entries per project.
    DemoOptions options;
    options.projects = projects;
    options.resources = std::max(10, projects / 4);
    options.tasksPerProject = 30;
    options.meetingsPerProject = 5;
    options.moneyFlowsPerProject = 10;
    return options;
}

/**
 * Evicts the processor caches, so that the small data set, which would otherwise stay in them,
 * is measured under the same conditions as the large one; the ratio then shows the growth of the
 * work itself, as a user who switches between windows meets it.
 */
void evictCaches()
{
    static std::vector<char> sweep(std::size_t(64) << 20);
    for (std::size_t i = 0; i < sweep.size(); i += 64)
        sweep[i] = char(sweep[i] + 1);
}

double medianMs(int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        evictCaches();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures
{
    qsizetype records = 0;
    double load = 0, trees = 0, details = 0, list = 0, graph = 0;
    // Find: building the folded index, the first screenful for a common and a rarer text, and a text
    // found nowhere, for which the whole index is scanned before the list can say so.
    double searchCollect = 0, searchIndex = 0, searchCommon = 0, searchRare = 0, searchAbsent = 0;
};

/** The first screenful of a search, as the Find window shows it at each keystroke. */
double firstResultsMs(RecordSearch& search, const QString& text, int rounds)
{
    return medianMs(rounds, [&] {
        RecordSearch::Cursor cursor;
        const auto hits = search.find(text, {}, cursor, 100);
        if (hits.empty() && text != QLatin1String("zqxj"))
            std::abort();
    });
}

Figures measure(int projects, int rounds)
{
    QTemporaryDir dir;
    const DemoSummary made = writeDemoFolder(dir.path(), dataSet(projects));
    if (!made.ok()) {
        std::fprintf(stderr, "could not generate the data set: %s\n", qPrintable(made.error));
        std::exit(2);
    }
    Figures figures;
    // A fresh store per round: a store keeps its maps when the folder has not changed since its last load.
    std::vector<std::unique_ptr<RecordStore>> loads;
    figures.load = medianMs(3, [&] {
        loads.push_back(std::make_unique<RecordStore>(dir.path()));
        loads.back()->LoadAll();
    });
    loads.clear();
    RecordStore store(dir.path());
    store.LoadAll();
    figures.records = store.projects().size() + store.clients().size() + store.resources().size() +
                      store.tasks().size() + store.meetings().size() + store.moneyFlows().size() +
                      store.invoices().size();

    // The largest project, and the month range that holds every project.
    QByteArray largest;
    std::size_t most = 0;
    QDate first = QDate(9999, 12, 31), last = QDate(1, 1, 1);
    for (const auto& entry : store.projects()) {
        const std::size_t tasks = store.ofProject<TaskRecord>(entry.key).size();
        if (tasks >= most) {
            most = tasks;
            largest = entry.key;
        }
        const QDate start = entry.record.startDate.date();
        if (start.isValid()) {
            first = std::min(first, start);
            last = std::max(last, start);
        }
    }

    figures.trees = medianMs(rounds, [&] {
        const TreeNode tasks = buildTaskTree(store, largest);
        const TreeNode meetings = buildMeetingTree(store, largest);
        const TreeNode money = buildMoneyFlowTree(store, largest);
        if (tasks.children.empty() && meetings.children.empty() && money.children.empty())
            std::abort();
    });
    figures.details = medianMs(rounds, [&] {
        if (DetailsReport::generate(store, largest).isEmpty())
            std::abort();
    });
    figures.list = medianMs(rounds, [&] {
        ProjectListModel list;
        list.fill(store, first, last);
        list.sort();
        if (list.rows().size() != std::size_t(store.projects().size()) + 1)
            std::abort();
    });
    figures.graph = medianMs(rounds, [&] {
        ProgressGraphModel graph;
        graph.fill(store, largest);
        if (graph.rows().empty())
            std::abort();
    });
    figures.searchCollect = medianMs(rounds, [&] {
        if (!RecordSearch(store).collect())
            std::abort();
    });
    figures.searchIndex = medianMs(std::min(rounds, 3), [&] {
        RecordSearch search(store);
        search.refresh();
    });
    RecordSearch search(store);
    search.refresh();
    figures.searchCommon = firstResultsMs(search, QStringLiteral("meeting"), rounds);
    figures.searchRare = firstResultsMs(search, QStringLiteral("BUDGET STÄTUS"), rounds);
    figures.searchAbsent = firstResultsMs(search, QStringLiteral("zqxj"), rounds);
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int rounds = 9;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--rounds"));
    if (at >= 0 && at + 1 < args.size())
        rounds = std::max(1, args[at + 1].toInt());

    const Figures small = measure(200, rounds);
    const Figures large = measure(2000, rounds);

    std::printf("views and details report (median of %d rounds, warm file cache, processor caches evicted)\n",
                rounds);
    std::printf("                                   %7lld records   %7lld records   ratio (goal <= 11)\n",
                static_cast<long long>(small.records), static_cast<long long>(large.records));
    std::printf("  LoadAll                          %10.2f ms      %10.2f ms      %6.2f\n", small.load,
                large.load, large.load / small.load);
    auto row = [&](const char* what, double a, double b) {
        std::printf("  %-32s %10.2f ms      %10.2f ms      %6.2f   of load: %.4f (goal <= 0.1)\n", what, a, b,
                    b / a, b / large.load);
    };
    row("three trees, largest project", small.trees, large.trees);
    row("details report, largest project", small.details, large.details);
    row("project list, every project", small.list, large.list);
    row("progress graph, largest project", small.graph, large.graph);
    row("find: texts taken from the store", small.searchCollect, large.searchCollect);
    row("find: whole index (worker thread)", small.searchIndex, large.searchIndex);
    row("find: first 100, \"meeting\"", small.searchCommon, large.searchCommon);
    row("find: first 100, \"BUDGET STÄTUS\"", small.searchRare, large.searchRare);
    row("find: text found nowhere", small.searchAbsent, large.searchAbsent);
    return 0;
}
