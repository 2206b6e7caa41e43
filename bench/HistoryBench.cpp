// Measures what keeping the history costs: single changes and a large project's delete with the
// history kept against the same without it, on a folder of about 100,000 records; start-up with a
// history of many entries against none; and the history's size after that many changes. It
// asserts nothing: the figures go into docs/performance.md.
//
//   korvane_history_bench [--folder DIR] [--rounds N] [--changes N]

#include "BenchSupport.h"
#include "edits/History.h"
#include "edits/HistoryEdits.h"
#include "edits/MeetingEdits.h"
#include "edits/RecordEdits.h"
#include "records/RecordCodec.h"
#include "store/DemoData.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <random>
#include <unistd.h>

using namespace korvane;
using namespace korvane::bench;

namespace {

double millis(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

/** A project of `tasks` tasks and `meetings` meetings, each meeting with an agenda and actions; its id. */
QByteArray addLargeProject(RecordStore& store, int tasks, int meetings)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = "Bench project";
    project.startDate = project.endDate = DateTime::now();
    const QByteArray id = RecordEdits::add(store, project).identifier;
    std::vector<TaskRecord> taskRecords;
    for (int i = 0; i < tasks; ++i) {
        TaskRecord task = emptyRecord<TaskRecord>();
        task.projectIdentifier = id;
        task.kind = TaskRecord::kTopLevel;
        task.name = "Task " + QByteArray::number(i);
        store.AddTask(task, 1);
    }
    for (int i = 0; i < meetings; ++i) {
        MeetingRecord meeting = emptyRecord<MeetingRecord>();
        meeting.projectIdentifier = id;
        const QByteArray meetingId = store.AddMeeting(meeting, 2).identifier;
        // Through the edit layer: files written behind the store's back would make it refuse the delete.
        MeetingEdits::writeList(store, ListFile::Agenda, meetingId,
                                encodeList(QList<AgendaRecord>{{"Item", DateTime::now()}}));
        ActionRecord action = emptyRecord<ActionRecord>();
        action.todo = "Follow up";
        MeetingEdits::writeList(store, ListFile::Action, meetingId, encodeList(QList<ActionRecord>{action}));
    }
    return id;
}

/** Bytes and files of a folder and everything below it. */
std::pair<qint64, int> treeSize(const QString& folder)
{
    qint64 bytes = 0;
    int files = 0;
    for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        it.next();
        bytes += it.fileInfo().size();
        ++files;
    }
    return {bytes, files};
}

struct Pair
{
    std::vector<double> with;
    std::vector<double> without;
};

void printPair(const char* what, const Pair& pair)
{
    const double with = median(pair.with);
    const double without = median(pair.without);
    std::printf("    %-44s %9.2f ms %9.2f ms %6.2f\n", what, with, without, with / without);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString folder;
    int rounds = 7;
    int changes = 10000;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder") && i + 1 < args.size())
            folder = args[++i];
        else if (args[i] == QLatin1String("--rounds") && i + 1 < args.size())
            rounds = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--changes") && i + 1 < args.size())
            changes = std::max(1, args[++i].toInt());
        else {
            std::fprintf(stderr, "usage: korvane_history_bench [--folder DIR] [--rounds N] [--changes N]\n");
            return 1;
        }
    }
    QTemporaryDir temporary;
    if (folder.isEmpty())
        folder = temporary.path();
    const QString data = folder + QStringLiteral("/history-large");
    QDir(data + QStringLiteral("/History")).removeRecursively();
    if (!hasRecordFiles(data)) {
        QElapsedTimer timer;
        timer.start();
        const DemoSummary made = writeDemoFolder(data, largeSet());
        if (!made.ok()) {
            std::fprintf(stderr, "generating the data set failed: %s\n", qPrintable(made.error));
            return 2;
        }
        std::printf("generated %d records in %.1f s\n", made.records(), millis(timer.nsecsElapsed()) / 1e3);
    }
    ::sync();
    RecordStore store(data);
    store.LoadAll();
    std::printf("data folder: %lld tasks, %lld projects\n", qint64(store.tasks().size()),
                qint64(store.projects().size()));

    // (1) Single changes and a large delete, with the history kept and without, alternated.
    std::vector<QByteArray> taskIds;
    for (const auto& entry : store.tasks())
        taskIds.push_back(entry.key);
    std::mt19937 random(7);
    Pair modify, add, remove, undo;
    // One-record changes take a millisecond or two, mostly the flushes to disk: many of them, each
    // after a sync so that none pays for the writes of the one before.
    for (int round = 0; round < rounds * 8; ++round) {
        for (const bool kept : {true, false}) {
            History::setKept(kept);
            TaskRecord task = *store.tasks().find(taskIds[random() % taskIds.size()]);
            task.name = "Renamed " + QByteArray::number(round);
            ::sync();
            QElapsedTimer timer;
            timer.start();
            RecordEdits::modify(store, task);
            (kept ? modify.with : modify.without).push_back(millis(timer.nsecsElapsed()));

            TaskRecord fresh = emptyRecord<TaskRecord>();
            fresh.projectIdentifier = task.projectIdentifier;
            fresh.kind = TaskRecord::kTopLevel;
            fresh.name = "Added";
            ::sync();
            timer.restart();
            RecordEdits::add(store, fresh);
            (kept ? add.with : add.without).push_back(millis(timer.nsecsElapsed()));
        }
    }
    for (int round = 0; round < rounds; ++round) {
        for (const bool kept : {true, false}) {
            History::setKept(kept);
            QElapsedTimer timer;
            const QByteArray project = addLargeProject(store, 500, 50);
            ::sync();
            timer.restart();
            const EditResult removed = RecordEdits::remove(store, RecordKind::Project, project);
            (kept ? remove.with : remove.without).push_back(millis(timer.nsecsElapsed()));
            if (!removed.ok()) {
                std::fprintf(stderr, "the project delete failed: %s\n", qPrintable(removed.error));
                return 2;
            }
            if (kept) {
                timer.restart();
                const EditResult undone = HistoryEdits::undo(store);
                undo.with.push_back(millis(timer.nsecsElapsed()));
                if (!undone.ok())
                    std::fprintf(stderr, "undo failed: %s\n", qPrintable(undone.error));
                RecordEdits::remove(store, RecordKind::Project, project);
            }
        }
    }
    std::printf(
        "\n(1) changes at %lld records (median of %d rounds, one-record changes of 8 x as many)\n"
        "                                                 with history   without  ratio (goal <= 2)\n",
        qint64(store.tasks().size() + store.meetings().size() + store.moneyFlows().size()), rounds);
    printPair("Modify Task", modify);
    printPair("Add Task", add);
    printPair("Delete Project (500 tasks, 50 meetings)", remove);
    std::printf("    %-44s %9.2f ms\n", "Undo of that delete", median(undo.with));

    // (2) Many changes of every size, to see the history grow.
    History::setKept(true);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < changes; ++i) {
        const int dice = int(random() % 10);
        if (dice < 7) {
            TaskRecord task = *store.tasks().find(taskIds[random() % taskIds.size()]);
            task.percentComplete = int(random() % 101);
            RecordEdits::modify(store, task);
        } else {
            TaskRecord fresh = emptyRecord<TaskRecord>();
            fresh.projectIdentifier =
                store.tasks().find(taskIds[random() % taskIds.size()])->projectIdentifier;
            fresh.kind = TaskRecord::kTopLevel;
            fresh.name = "Added " + QByteArray::number(i);
            const QByteArray id = RecordEdits::add(store, fresh).identifier;
            if (dice == 9)
                RecordEdits::remove(store, RecordKind::Task, id);
        }
    }
    const double changeMs = millis(timer.nsecsElapsed());
    const QString historyFolder = History(data).folder();
    const auto [historyBytes, entries] = treeSize(historyFolder);
    std::printf("\n(2) %d changes (7 of 10 task modifies, 2 adds, 1 add and delete): %.1f s, %.2f ms each\n",
                changes, changeMs / 1e3, changeMs / changes);
    std::printf("    history: %d entries, %.1f MB (%.0f bytes per entry)\n", entries, historyBytes / 1e6,
                entries ? double(historyBytes) / entries : 0.0);

    // (3) Start-up (putting back interrupted changes, then the load) with that history and without.
    const QString aside = folder + QStringLiteral("/history-aside");
    Pair startup;
    for (int round = 0; round < rounds; ++round) {
        for (const bool withHistory : {true, false}) {
            if (!withHistory)
                QDir().rename(historyFolder, aside);
            RecordStore fresh(data);
            QElapsedTimer clock;
            clock.start();
            History(data).recover(fresh);
            fresh.LoadAll();
            (withHistory ? startup.with : startup.without).push_back(millis(clock.nsecsElapsed()));
            if (!withHistory)
                QDir().rename(aside, historyFolder);
        }
    }
    std::printf("\n(3) start-up (%d rounds, median)                    with history   without  ratio (goal: "
                "about 1)\n",
                rounds);
    printPair(qPrintable(QStringLiteral("recover + LoadAll, %1 history entries").arg(entries)), startup);
    return 0;
}
