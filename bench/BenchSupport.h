#pragma once

#include "store/DemoData.h"
#include "store/RecordKind.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

/** Small helpers the benchmarks share. */
namespace korvane::bench {

/** The middle value of a run of measurements; 0 for none. */
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

/** A value read from /proc/self/status, in kB ("VmHWM", "VmRSS"); 0 when unknown. */
inline qint64 statusKb(const char* key)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

/** Name patterns of the files that hold records, one per kind. */
inline QStringList recordFilePatterns()
{
    QStringList patterns;
    for (RecordKind kind : {RecordKind::Project, RecordKind::Client, RecordKind::Resource, RecordKind::Task,
                            RecordKind::Meeting, RecordKind::MoneyFlow, RecordKind::Invoice})
        patterns << QStringLiteral("*") + QLatin1String(kindNames(kind).extension);
    return patterns;
}

/** The data set of about 100,000 records: 2,000 projects with their clients, 500 resources, 60,000 tasks, ... */
inline DemoOptions largeSet()
{
    DemoOptions options;
    options.projects = 2000;
    options.seed = 1;
    options.resources = 500;
    options.tasksPerProject = 30;
    options.meetingsPerProject = 5;
    options.moneyFlowsPerProject = 10;
    options.invoicesPerProject = -1; // 0 to 5 per project, about 5,000 in all
    return options;
}

/** True when the folder already holds a data set to measure. */
inline bool hasRecordFiles(const QString& folder)
{
    return !QDir(folder).entryList(recordFilePatterns(), QDir::Files).isEmpty();
}

} // namespace korvane::bench
