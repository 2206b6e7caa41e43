// Measures the record store on a data folder of about 100,000 records and prints the figures
// with the goal each one is held against. It asserts nothing: the figures go into
// docs/performance.md, and a missed goal is a reason to look, not a failed build.
//
//   korvane_bench [--folder DIR] [--rounds N]
//
// Without --folder the data set is generated in a temporary folder that is removed at the end;
// with --folder it is generated there unless the folder already holds record files.

#include "BenchSupport.h"
#include "records/RecordCodec.h"
#include "store/DemoData.h"
#include "store/InOrderWorkers.h"
#include "store/RecordKind.h"
#include "store/RecordStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

using namespace korvane;
using namespace korvane::bench;

namespace {

const char* const kPeakFlag = "--load-and-report-peak";


/** A data set of about 1,000 records, to hold lookups in a large store against a small one. */
DemoOptions smallSet()
{
    DemoOptions options;
    options.projects = 20;
    options.seed = 2;
    options.resources = 10;
    options.tasksPerProject = 30;
    options.meetingsPerProject = 5;
    options.moneyFlowsPerProject = 10;
    options.invoicesPerProject = -1;
    return options;
}

double seconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e9;
}

/** The bytes of every file in the folder, and of the record files alone. */
std::pair<qint64, qint64> folderBytes(const QString& folder)
{
    qint64 all = 0;
    qint64 records = 0;
    const QStringList patterns = recordFilePatterns();
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const qint64 size = it.fileInfo().size();
        all += size;
        if (QDir::match(patterns, it.fileName()))
            records += size;
    }
    return {all, records};
}

/** Opens, reads and closes every record file of the folder, over a sorted listing: the floor for a load. */
qint64 readAllFiles(const QString& folder, qint64& bytes, int& files)
{
    QElapsedTimer timer;
    timer.start();
    const QDir dir(folder);
    const QStringList names = dir.entryList(recordFilePatterns(), QDir::Files, QDir::Name);
    bytes = 0;
    files = 0;
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        bytes += file.readAll().size();
        file.close();
        ++files;
    }
    return timer.nsecsElapsed();
}

struct LookupTimes
{
    double byCopy = 0;     // GetTask: the lookup and the copy handed out
    double byPointer = 0;  // records<TaskRecord>().find, then one field of the record read
    double indexOnly = 0;  // records<TaskRecord>().contains: the map's index alone, no record touched
    double hotPointer = 0; // find of the same few tasks over and over, so they stay in the CPU caches
    double bareHash = 0;   // a plain QHash<QByteArray, pointer> over the same keys, for reference
};

/** A query key kept inline in one array, so that reading the queries costs no cache misses of its own. */
struct QueryKey
{
    std::array<char, 32> bytes{};
    int size = 0;

    QByteArray view() const { return QByteArray::fromRawData(bytes.data(), size); }
};

/** Average nanoseconds of one lookup of a random existing task, in several ways. */
LookupTimes lookupNanoseconds(const RecordStore& store)
{
    constexpr int kQueries = 1 << 21;
    constexpr std::size_t kHotTasks = 500;
    std::vector<QueryKey> ids;
    QHash<QByteArray, const TaskRecord*> bare;
    for (const auto& entry : store.tasks()) {
        QueryKey key;
        key.size = int(std::min<qsizetype>(entry.key.size(), key.bytes.size()));
        std::copy_n(entry.key.constData(), key.size, key.bytes.begin());
        ids.push_back(key);
        bare.insert(entry.key, &entry.record);
    }
    std::mt19937 rng(7);
    std::vector<QueryKey> queries(kQueries), hotQueries(kQueries);
    for (auto& query : queries)
        query = ids[rng() % ids.size()];
    const std::size_t hot = std::min(kHotTasks, ids.size());
    for (auto& query : hotQueries)
        query = ids[rng() % hot];

    qint64 sink = 0;
    LookupTimes times;
    auto average = [](const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / kQueries; };
    QElapsedTimer timer;
    timer.start();
    for (const QueryKey& id : queries)
        sink += store.GetTask(id.view()).percentComplete;
    times.byCopy = average(timer);

    timer.restart();
    for (const QueryKey& id : queries)
        sink += store.records<TaskRecord>().find(id.view())->percentComplete;
    times.byPointer = average(timer);

    timer.restart();
    for (const QueryKey& id : queries)
        sink += store.records<TaskRecord>().contains(id.view());
    times.indexOnly = average(timer);

    timer.restart();
    for (const QueryKey& id : hotQueries)
        sink += store.records<TaskRecord>().find(id.view())->percentComplete;
    times.hotPointer = average(timer);

    timer.restart();
    for (const QueryKey& id : queries)
        sink += bare.value(id.view())->percentComplete;
    times.bareHash = average(timer);

    if (sink == -1) // keeps the loops from being optimised away
        std::puts("");
    return times;
}

/** The child process: loads the folder and prints its peak memory before and after, in kB. */
int reportPeak(const QString& folder)
{
    const qint64 before = statusKb("VmHWM");
    RecordStore store(folder);
    store.LoadAll();
    const qint64 records = store.projects().size() + store.clients().size() + store.resources().size() +
                           store.tasks().size() + store.meetings().size() + store.moneyFlows().size() +
                           store.invoices().size();
    std::printf("%lld %lld %lld %lld\n", qint64(before), statusKb("VmHWM"), statusKb("VmRSS"), records);
    return 0;
}

DemoSummary generate(const QString& folder, const DemoOptions& options, const char* what)
{
    QElapsedTimer timer;
    timer.start();
    const DemoSummary summary = writeDemoFolder(folder, options);
    if (!summary.ok()) {
        std::fprintf(stderr, "generating the %s data set failed: %s\n", what, qPrintable(summary.error));
        return summary;
    }
    std::printf(
        "generated the %s data set in %.1f s: %d projects, %d clients, %d resources, %d tasks "
        "(%d sub tasks), %d meetings (%d agenda, %d action files), %d money flow entries, %d invoices, "
        "%d documents files; %d records\n",
        what, seconds(timer.nsecsElapsed()), summary.projects, summary.clients, summary.resources,
        summary.tasks, summary.subTasks, summary.meetings, summary.agendaFiles, summary.actionFiles,
        summary.moneyFlows, summary.invoices, summary.documentFiles, summary.records());
    return summary;
}

/** Runs korvane-cli on the folder with the input; the seconds it took, its exit status and output. */
struct CliTiming
{
    double seconds = 0;
    int code = -1;
    QByteArray out;
};

CliTiming runCli(const QString& folder, const QStringList& args, const QByteArray& input = {})
{
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(KORVANE_CLI), QStringList{QStringLiteral("--data"), folder} + args);
    process.waitForStarted(-1);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    CliTiming timing{seconds(timer.nsecsElapsed()), process.exitCode(), process.readAllStandardOutput()};
    if (timing.code != 0)
        std::fprintf(stderr, "korvane-cli %s: %s\n", qPrintable(args.join(QLatin1Char(' '))),
                     process.readAllStandardError().constData());
    return timing;
}

/**
 * korvane-cli on the large folder: one-record commands and 5,000 tasks added in one call, against
 * a command that loads the folder whole. What the commands add is removed again afterwards.
 */
void measureCli(const QString& folder, const RecordStore& store)
{
    std::printf("\n(5) korvane-cli on the large folder (one run each, warm file cache)\n");
    ::sync();
    const double whole = runCli(folder, {QStringLiteral("list"), QStringLiteral("client")}).seconds;
    std::printf("    list client (loads the folder whole):  %8.3f s\n", whole);

    QByteArray lines;
    for (int i = 0; i < 5000; ++i)
        lines += R"({"project_identifier": "bench", "name": "added )" + QByteArray::number(i) + "\"}\n";
    ::sync();
    const CliTiming added = runCli(folder, {QStringLiteral("add"), QStringLiteral("task")}, lines);
    const QList<QByteArray> ids = added.out.trimmed().split('\n');
    std::printf("    add task, 5,000 lines in one call:     %8.3f s   %lld added   (goal <= load + 1 s: "
                "%.3f s)\n",
                added.seconds, qint64(ids.size()), whole + 1.0);

    const TaskRecord* top = nullptr;
    const TaskRecord* sub = nullptr;
    for (const auto& entry : store.tasks()) {
        if (!top && !entry.record.isSubTask() && !entry.record.subTaskList.isEmpty())
            top = &entry.record;
        if (!sub && entry.record.isSubTask())
            sub = &entry.record;
    }
    struct Command
    {
        const char* what;
        QStringList args;
        QByteArray input;
        bool held = true; // held against the goal
    };
    const QString task = QString::fromLatin1(top->identifier);
    const QString meeting = QString::fromLatin1(store.meetings().begin()->key);
    std::vector<Command> commands = {
        {"show task", {"show", "task", task}, {}},
        {"show meeting", {"show", "meeting", meeting}, {}},
        {"show moneyflow", {"show", "moneyflow", QString::fromLatin1(store.moneyFlows().begin()->key)}, {}},
        {"show invoice", {"show", "invoice", QString::fromLatin1(store.invoices().begin()->key)}, {}},
        {"show resource", {"show", "resource", QString::fromLatin1(store.resources().begin()->key)}, {}},
        {"show client", {"show", "client", QString::fromLatin1(store.clients().begin()->key)}, {}},
        {"add task (one)", {"add", "task"}, R"({"project_identifier": "bench", "name": "one"})"},
        {"add meeting (one)", {"add", "meeting"}, R"({"project_identifier": "bench"})"},
        {"modify task", {"modify", "task"}, R"({"identifier": ")" + top->identifier + R"(", "priority": 1})"},
        {"modify meeting", {"modify", "meeting"}, R"({"identifier": ")" + meeting.toLatin1() + R"("})"},
        {"delete task (of the 5,000)", {"delete", "task", QString::fromLatin1(ids.value(0))}, {}},
        {"delete sub task (whole load)", {"delete", "task", QString::fromLatin1(sub->identifier)}, {}, false},
    };
    QList<QByteArray> extra;
    for (const Command& command : commands) {
        // Each command after a sync, so that none waits for the disk to take the writes of the one before.
        ::sync();
        const CliTiming timing = runCli(folder, command.args, command.input);
        if (command.args[0] == QLatin1String("add"))
            extra.append(timing.out.trimmed());
        std::printf("    %-30s %8.3f s   %5.3f of the load%s\n", command.what, timing.seconds,
                    timing.seconds / whole, command.held ? "   (goal <= 0.1)" : "");
    }
    // The folder is left as it was generated, apart from the two records changed and the one deleted.
    const QDir dir(folder);
    for (const QByteArray& id : ids + extra) {
        QFile::remove(dir.filePath(QStringLiteral("Task%1.tsk").arg(QString::fromLatin1(id))));
        QFile::remove(dir.filePath(QStringLiteral("Meeting%1.met").arg(QString::fromLatin1(id))));
    }
    QDir(dir.filePath(QStringLiteral("History"))).removeRecursively();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String(kPeakFlag))
        return reportPeak(args[2]);

    QString folder;
    int rounds = 7;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder") && i + 1 < args.size()) {
            folder = args[++i];
        } else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size()) {
            rounds = std::max(1, args[++i].toInt());
        } else {
            std::fprintf(stderr, "usage: korvane_bench [--folder DIR] [--rounds N]\n");
            return 1;
        }
    }
    QTemporaryDir temporary;
    if (folder.isEmpty())
        folder = temporary.path();
    const QString largeFolder = folder + QStringLiteral("/large");
    const QString smallFolder = folder + QStringLiteral("/small");

    if (hasRecordFiles(largeFolder)) {
        std::printf("using the data set already in %s\n", qPrintable(largeFolder));
    } else if (!generate(largeFolder, largeSet(), "large").ok()) {
        return 2;
    }
    if (!hasRecordFiles(smallFolder) && !generate(smallFolder, smallSet(), "small").ok())
        return 2;
    // Written pages still on their way to disk would slow down whatever runs next.
    ::sync();

    // (1) Loading against merely reading the same files, alternated so both see the same cache.
    std::vector<double> loadTimes, readTimes, serialTimes;
    std::unique_ptr<RecordStore> large;
    qint64 readBytes = 0;
    int readFiles = 0;
    for (int round = 0; round < rounds; ++round) {
        readTimes.push_back(seconds(readAllFiles(largeFolder, readBytes, readFiles)));
        large.reset(); // the previous store is freed outside the timing
        large = std::make_unique<RecordStore>(largeFolder);
        QElapsedTimer timer;
        timer.start();
        large->LoadAll();
        loadTimes.push_back(seconds(timer.nsecsElapsed()));
        large.reset();
        // The same load on one thread, as on a machine with one processor.
        large = std::make_unique<RecordStore>(largeFolder);
        large->setLoadThreads(1);
        timer.start();
        large->LoadAll();
        serialTimes.push_back(seconds(timer.nsecsElapsed()));
    }
    const qint64 loaded = large->projects().size() + large->clients().size() + large->resources().size() +
                          large->tasks().size() + large->meetings().size() + large->moneyFlows().size() +
                          large->invoices().size();
    // On a busy machine the fastest round is the one least disturbed, so both figures are shown.
    const double load = median(loadTimes);
    const double read = median(readTimes);
    const double fastestLoad = *std::min_element(loadTimes.begin(), loadTimes.end());
    const double fastestRead = *std::min_element(readTimes.begin(), readTimes.end());
    std::printf("\n(1) load (%d rounds, warm file cache)            median    fastest\n", rounds);
    std::printf("    LoadAll of %lld records                  %7.3f s  %7.3f s\n", loaded, load, fastestLoad);
    std::printf("    open/read/close of %d files (%.1f MB)  %7.3f s  %7.3f s\n", readFiles, readBytes / 1e6,
                read, fastestRead);
    std::printf("    ratio load / read                        %7.2f    %7.2f     (goal <= 1.5)\n",
                load / read, fastestLoad / fastestRead);
    const double serial = median(serialTimes);
    const double fastestSerial = *std::min_element(serialTimes.begin(), serialTimes.end());
    std::printf("    LoadAll on one thread                    %7.3f s  %7.3f s\n", serial, fastestSerial);
    std::printf("    ratio load / load on one thread          %7.2f    %7.2f     (%d threads)\n", load / serial,
                fastestLoad / fastestSerial, InOrderWorkers::threadsHere());
    if (!large->loadProblems().isEmpty())
        std::printf("    %lld files could not be loaded\n", qint64(large->loadProblems().size()));

    // (2) One lookup in a store of about 1,000 records against one of about 100,000.
    RecordStore small(smallFolder);
    small.LoadAll();
    const qint64 smallRecords = small.projects().size() + small.clients().size() + small.resources().size() +
                                small.tasks().size() + small.meetings().size() + small.moneyFlows().size() +
                                small.invoices().size();
    const LookupTimes smallTimes = lookupNanoseconds(small);
    const LookupTimes largeTimes = lookupNanoseconds(*large);
    std::printf("\n(2) lookup of an existing task (average of %d lookups)\n", 1 << 21);
    std::printf("                                   %8lld records  %8lld records  ratio\n", smallRecords,
                loaded);
    auto row = [](const char* what, double small, double large, const char* note) {
        std::printf("    %-30s %11.1f ns  %11.1f ns  %5.2f%s\n", what, small, large, large / small, note);
    };
    row("find, any task", smallTimes.byPointer, largeTimes.byPointer, "   (goal: about 1)");
    row("contains (the index alone)", smallTimes.indexOnly, largeTimes.indexOnly, "");
    row("find, 500 tasks over and over", smallTimes.hotPointer, largeTimes.hotPointer, "");
    row("GetTask (a copy), any task", smallTimes.byCopy, largeTimes.byCopy, "");
    row("plain QHash, any task", smallTimes.bareHash, largeTimes.bareHash, "   (reference)");

    // (3) Weighted progress of every project against one walk over all tasks.
    std::vector<QByteArray> projectIds;
    for (const auto& entry : large->projects())
        projectIds.push_back(entry.key);
    std::vector<double> progressTimes, walkTimes;
    qint64 sink = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const QByteArray& id : projectIds)
            sink += large->weightedProgress(id);
        progressTimes.push_back(seconds(timer.nsecsElapsed()));
        timer.restart();
        for (const auto& entry : large->tasks())
            sink += (3 - entry.record.priority) * entry.record.percentComplete;
        walkTimes.push_back(seconds(timer.nsecsElapsed()));
    }
    const double progress = median(progressTimes);
    const double walk = median(walkTimes);
    std::printf("\n(3) weighted progress (%d rounds, median)\n", rounds);
    std::printf("    all %lld projects:                   %8.2f ms\n", qint64(projectIds.size()),
                progress * 1e3);
    std::printf("    one walk over all %lld tasks:       %8.2f ms\n", qint64(large->tasks().size()),
                walk * 1e3);
    std::printf("    ratio:                                 %8.2f   (goal: one linear pass, about 1)%s\n",
                progress / walk, sink == -1 ? " " : "");

    // (4) Peak memory of a load in a fresh process, so that generating does not count.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kPeakFlag), largeFolder});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "the load in a child process failed\n");
        return 2;
    }
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    const qint64 beforeKb = figures.value(0).toLongLong();
    const qint64 peakKb = figures.value(1).toLongLong();
    const qint64 afterKb = figures.value(2).toLongLong();
    const auto [allBytes, recordBytes] = folderBytes(largeFolder);
    const double limitMb = 3.0 * allBytes / 1e6 + 40.0;
    std::printf("\n(4) memory of LoadAll in a fresh process\n");
    std::printf("    folder: %.1f MB in all, %.1f MB of record files\n", allBytes / 1e6, recordBytes / 1e6);
    std::printf("    peak (VmHWM) before loading:           %8.1f MB\n", beforeKb * 1024 / 1e6);
    std::printf("    peak (VmHWM) after loading:            %8.1f MB\n", peakKb * 1024 / 1e6);
    std::printf("    resident (VmRSS) after loading:        %8.1f MB\n", afterKb * 1024 / 1e6);
    std::printf("    limit 3 x folder + 40 MB:              %8.1f MB   (peak / limit %.2f)\n", limitMb,
                peakKb * 1024 / 1e6 / limitMb);

    measureCli(largeFolder, *large);
    return 0;
}
