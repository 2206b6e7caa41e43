#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace korvane {

class RecordStore;

/** How much sample data to make; a count of -1 picks a varied, realistic number per project. */
struct DemoOptions
{
    int projects = 12;
    quint32 seed = 1;
    /** -1: about one per four projects, at least 6. */
    int resources = -1;
    /** Every task of a project, sub tasks included; -1: varied from 4 to 20. */
    int tasksPerProject = -1;
    /** -1: varied from 1 to 5. */
    int meetingsPerProject = -1;
    /** Income and expense entries together; -1: varied from 2 to 8. */
    int moneyFlowsPerProject = -1;
    /** -1: varied from 0 to 5. */
    int invoicesPerProject = -1;
    /** Called after each project with the number of projects made so far; may be empty. */
    std::function<void(int)> progress = nullptr;
};

/** What a generation made, per kind and per list file; `error` holds the failure that stopped it. */
struct DemoSummary
{
    int projects = 0;
    int clients = 0;
    int resources = 0;
    /** Every task record, sub tasks included. */
    int tasks = 0;
    /** The part of `tasks` that are sub tasks. */
    int subTasks = 0;
    int meetings = 0;
    int moneyFlows = 0;
    int invoices = 0;
    int documentFiles = 0;
    int agendaFiles = 0;
    int actionFiles = 0;
    QString error;

    bool ok() const { return error.isEmpty(); }
    /** The number of keyed record files written. */
    int records() const { return projects + clients + resources + tasks + meetings + moneyFlows + invoices; }
};

/**
 * Fills a store with a realistic data set of every kind through its add and modify operations,
 * with agenda, action and documents files beside the records. The same seed gives the same
 * records apart from identifiers within a month: dates count from the first of the current month,
 * and every third project starts in it. Stops at the first failure and returns it in `error`.
 */
DemoSummary generateDemoData(RecordStore& store, const DemoOptions& options);

/**
 * Writes the same data set as `generateDemoData` straight into the files of a folder, without a
 * store and without syncing each file to disk, so that large folders for benchmarks take seconds.
 * Identifiers count up second by second from now, passing over those whose files exist.
 */
DemoSummary writeDemoFolder(const QString& folder, const DemoOptions& options);

} // namespace korvane
