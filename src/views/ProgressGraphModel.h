#pragma once

#include "records/DateTime.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace korvane {

class RecordStore;

/** One row of the progress graph: the header, the legend, the project or one of its tasks. */
struct GraphRow
{
    enum Kind : std::int32_t
    {
        Header = 0,
        Legend = 1,
        Project = 2,
        Task = 3
    };
    static constexpr std::int32_t kNoPriority = 4;

    std::int32_t kind = Header;
    /** The project's or task's identifier; empty for the header and legend rows. */
    QByteArray id;
    /** Project: its client's contact person; task: the name of its first resource. */
    QString lead;
    QString name;
    /** Header: the project's dates; legend: null dates. */
    DateTime start;
    DateTime end;
    std::int32_t priority = kNoPriority;
    /** Percent complete; for the project the weighted average of its tasks. */
    std::int32_t completion = 0;
};

/** What the status column shows for a row; header and legend rows show none. */
enum class GraphStatus
{
    None,
    Behind,
    Ahead,
    Completed
};

/** The time axis of the graph: scale, part size in scale units, and the adjusted start and end. */
struct GraphAxis
{
    enum Mode : int
    {
        Days = 0,
        Months = 1,
        Years = 2,
        DaysAcrossMonths = 3,
        MonthsAcrossYears = 4
    };

    int mode = Days;
    /** Scale units between two label dates; 0 or less only when the project ends before it starts. */
    int part = 0;
    DateTime start;
    DateTime end;

    /** Chooses the scale for a project's dates and widens them to whole parts. */
    static GraphAxis forDates(const DateTime& start, const DateTime& end);

    /** The five dates under the time line, from the start on, one part apart. */
    std::array<DateTime, 5> labelDates() const;
    /** The label dates as drawn: "dd", "MMM", "yyyy", "dd MMM" or "MMM yy" by mode. */
    QStringList labelTexts(const QLocale& locale = QLocale::system()) const;
    /** The caption above the labels: a year, a month name or a range of two years. */
    QString caption(const QLocale& locale = QLocale::system()) const;

    /**
     * The x position of a moment on a time line drawn from x0 (the start) to x4 (the last label);
     * a time line of no length puts everything at x0.
     */
    int xFor(const DateTime& moment, int x0, int x4) const;
    /** True when the moment falls on the time line, from its start up to (not including) the last label. */
    bool covers(const DateTime& moment) const;
};

/** The rows and axis of a project's progress graph, as the "Graph" tab draws them. */
class ProgressGraphModel
{
public:
    /** Rebuilds the rows and the axis for a project; an unknown project leaves the graph empty. */
    void fill(const RecordStore& store, const QByteArray& projectId);
    void clear();

    /** Header row, project row, task rows by start date, legend row. */
    const std::vector<GraphRow>& rows() const { return m_rows; }
    const GraphAxis& axis() const { return m_axis; }

    /** BEHIND, AHEAD or COMPLETED for a project or task row at the given moment. */
    static GraphStatus status(const GraphRow& row, const DateTime& now);
    /** The word for a status ("BEHIND", "AHEAD", "COMPLETED"), empty for None. */
    static QString statusText(GraphStatus status);
    /** The name as column 1 shows it: over 20 characters it is cut to 15 followed by "...". */
    static QString shownName(const QString& name);
    /** The band above the graph for a selected task: name( start - end ), empty for an unknown task. */
    static QString taskCaption(const RecordStore& store, const QByteArray& taskId,
                               const QLocale& locale = QLocale::system());

private:
    std::vector<GraphRow> m_rows;
    GraphAxis m_axis;
};

} // namespace korvane
