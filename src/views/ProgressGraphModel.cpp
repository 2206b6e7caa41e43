#include "views/ProgressGraphModel.h"

#include "records/Text.h"
#include "records/TextList.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "views/Chronology.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace korvane {

namespace {

// Beyond this many days from 1899 no calendar date is formed (and no double is cast out of range).
constexpr double kFarthestDay = 1.0e8;

QDate calendarDate(const DateTime& value)
{
    const double days = continuousDays(value.days);
    if (!std::isfinite(days) || std::fabs(days) > kFarthestDay)
        return {};
    return QDate(1899, 12, 30).addDays(qint64(std::floor(days)));
}

DateTime midnightOf(const QDate& date)
{
    return DateTime{DateTime::Valid, double(QDate(1899, 12, 30).daysTo(date))};
}

DateTime addDays(const DateTime& value, double days)
{
    return DateTime{DateTime::Valid, storedDays(continuousDays(value.days) + days)};
}

/** The month 4K lands on, counted round the year: 1..12, with 12 for a multiple of 12. */
int monthOfParts(int part)
{
    const int month = ((4 * part) % 12 + 12) % 12;
    return month == 0 ? 12 : month;
}

/** The last day of a month, found by lowering 31 until the date is valid. */
QDate lastDayOf(int year, int month)
{
    for (int day = 31; day >= 28; --day) {
        if (QDate::isValid(year, month, day))
            return QDate(year, month, day);
    }
    return {};
}

std::int32_t weightOf(std::int32_t priority)
{
    switch (priority) {
    case 0:
        return 3;
    case 1:
        return 2;
    case 2:
        return 1;
    default:
        return 0;
    }
}

} // namespace

GraphAxis GraphAxis::forDates(const DateTime& startDate, const DateTime& endDate)
{
    GraphAxis axis;
    axis.start = DateTime{DateTime::Valid, startDate.days};
    axis.end = DateTime{DateTime::Valid, endDate.days};
    const QDate s = calendarDate(axis.start);
    const QDate e = calendarDate(axis.end);
    if (!s.isValid() || !e.isValid()) {
        axis.part = 1; // no calendar to lay out: one day per part from the start as stored
        return axis;
    }

    const int years = e.year() - s.year();
    const int months = e.month() - s.month();
    if (years == 0 && months == 0) {
        axis.mode = Days;
        axis.part = (e.day() - s.day()) / 4 + 1;
    } else if (years == 0 && std::abs(months) > 4) {
        axis.part = months / 4 + 1;
        axis.mode = (e.month() == 12 || s.month() + 4 * axis.part > 12) ? MonthsAcrossYears : Months;
        axis.start = midnightOf(QDate(s.year(), s.month(), 1));
        axis.end = midnightOf(lastDayOf(e.year(), monthOfParts(axis.part)));
    } else if (years == 0) {
        axis.mode = DaysAcrossMonths;
        const double span = continuousDays(axis.end.days) - continuousDays(axis.start.days);
        const int n = int(std::trunc(span));
        axis.part = n / 4 + 1;
        axis.end = addDays(axis.end, 4 * axis.part - n);
    } else if (std::abs(years) > 4) {
        axis.mode = Years;
        axis.part = years / 4 + 1;
        axis.start = midnightOf(QDate(s.year(), 1, 1));
        axis.end = midnightOf(QDate(s.year() + 4 * axis.part, 1, 31));
    } else {
        axis.mode = MonthsAcrossYears;
        axis.part = (12 * years + months) / 4 + 1;
        axis.start = midnightOf(QDate(s.year(), s.month(), 1));
        axis.end = midnightOf(lastDayOf(e.year(), monthOfParts(axis.part)));
    }
    return axis;
}

std::array<DateTime, 5> GraphAxis::labelDates() const
{
    std::array<DateTime, 5> labels;
    labels[0] = start;
    for (size_t i = 1; i < labels.size(); ++i) {
        const DateTime& previous = labels[i - 1];
        const QDate date = calendarDate(previous);
        switch (mode) {
        case Years:
            labels[i] = date.isValid() ? midnightOf(QDate(date.year() + part, 1, 1)) : previous;
            break;
        case Months:
        case MonthsAcrossYears:
            labels[i] =
                date.isValid() ? midnightOf(QDate(date.year(), date.month(), 1).addMonths(part)) : previous;
            break;
        default:
            labels[i] = addDays(previous, part);
            break;
        }
    }
    return labels;
}

QStringList GraphAxis::labelTexts(const QLocale& locale) const
{
    QString picture;
    switch (mode) {
    case Days:
        picture = QStringLiteral("dd");
        break;
    case DaysAcrossMonths:
        picture = QStringLiteral("dd MMM");
        break;
    case Months:
        picture = QStringLiteral("MMM");
        break;
    case MonthsAcrossYears:
        picture = QStringLiteral("MMM yy");
        break;
    case Years:
        picture = QStringLiteral("yyyy");
        break;
    }
    QStringList texts;
    for (const DateTime& label : labelDates()) {
        const QDate date = calendarDate(label);
        texts.append(date.isValid() ? locale.toString(date, picture) : QString());
    }
    return texts;
}

QString GraphAxis::caption(const QLocale& locale) const
{
    const QDate s = calendarDate(start);
    const QDate e = calendarDate(end);
    if (!s.isValid() || !e.isValid())
        return {};
    if (s.year() != e.year())
        return QStringLiteral("%1 - %2").arg(s.year()).arg(e.year());
    // Only a month scale can run past December of a single year; a day scale within one month
    // must keep its month name.
    if ((mode == Months || mode == MonthsAcrossYears) && (e.month() == 12 || s.month() + 4 * part > 12))
        return QStringLiteral("%1 - %2").arg(s.year()).arg(s.year() + 1);
    if (s.month() == e.month())
        return locale.toString(s, QStringLiteral("MMMM"));
    return locale.toString(s, QStringLiteral("yyyy"));
}

int GraphAxis::xFor(const DateTime& moment, int x0, int x4) const
{
    const double from = continuousDays(start.days);
    const double span = continuousDays(labelDates()[4].days) - from;
    if (span == 0 || !std::isfinite(span))
        return x0;
    const double x = x0 + (continuousDays(moment.days) - from) * double(x4 - x0) / span;
    if (!std::isfinite(x))
        return x0;
    return int(std::clamp(x, double(INT_MIN / 2), double(INT_MAX / 2)));
}

bool GraphAxis::covers(const DateTime& moment) const
{
    const double at = continuousDays(moment.days);
    return continuousDays(start.days) <= at && at < continuousDays(labelDates()[4].days);
}

void ProgressGraphModel::clear()
{
    m_rows.clear();
    m_axis = GraphAxis{};
}

void ProgressGraphModel::fill(const RecordStore& store, const QByteArray& projectId)
{
    clear();
    const ProjectRecord* project = store.projects().find(projectId);
    if (!project)
        return;

    GraphRow projectRow;
    projectRow.kind = GraphRow::Project;
    projectRow.id = project->identifier;
    if (const ClientRecord* client = store.clients().find(project->clientIdentifier))
        projectRow.lead = displayText(client->contactPerson);
    projectRow.name = displayText(project->name);
    projectRow.start = project->startDate;
    projectRow.end = project->endDate;

    const std::vector<const TaskRecord*> projectTasks = store.ofProject<TaskRecord>(projectId);
    // The task rows go straight after the header and the project's row, sorted there.
    m_rows.reserve(projectTasks.size() + 3);
    m_rows.resize(2);
    qint64 weightedSum = 0;
    qint64 totalWeight = 0;
    for (const TaskRecord* task : projectTasks) {
        GraphRow row;
        row.kind = GraphRow::Task;
        row.id = task->identifier;
        const QList<QByteArray> resources = TextList::entries(task->resources);
        if (!resources.isEmpty()) {
            if (const ResourceRecord* resource = store.resources().find(resources.front()))
                row.lead = displayText(resource->name);
        }
        row.name = displayText(task->name);
        row.start = task->start;
        row.end = task->end;
        row.priority = task->priority;
        row.completion = task->percentComplete;
        const std::int32_t weight = weightOf(task->priority);
        weightedSum += qint64(weight) * task->percentComplete;
        totalWeight += weight;
        m_rows.push_back(std::move(row));
    }
    projectRow.completion = std::int32_t(weightedSum / (totalWeight == 0 ? 1 : totalWeight));

    GraphRow header;
    header.kind = GraphRow::Header;
    header.start = project->startDate;
    header.end = project->endDate;
    GraphRow legend;
    legend.kind = GraphRow::Legend;
    legend.start = DateTime::null(); // the legend stands for no moment
    legend.end = DateTime::null();

    m_axis = GraphAxis::forDates(project->startDate, project->endDate);

    std::stable_sort(m_rows.begin() + 2, m_rows.end(),
                     [](const GraphRow& a, const GraphRow& b) { return earlier(a.start, b.start); });
    m_rows[0] = std::move(header);
    m_rows[1] = std::move(projectRow);
    m_rows.push_back(std::move(legend));
}

GraphStatus ProgressGraphModel::status(const GraphRow& row, const DateTime& now)
{
    if (row.kind != GraphRow::Project && row.kind != GraphRow::Task)
        return GraphStatus::None;
    const bool endsLater = continuousDays(row.end.days) > continuousDays(now.days);
    if (row.completion == 100)
        return row.kind == GraphRow::Project && endsLater ? GraphStatus::Ahead : GraphStatus::Completed;
    return endsLater ? GraphStatus::Ahead : GraphStatus::Behind;
}

QString ProgressGraphModel::statusText(GraphStatus status)
{
    switch (status) {
    case GraphStatus::Behind:
        return QStringLiteral("BEHIND");
    case GraphStatus::Ahead:
        return QStringLiteral("AHEAD");
    case GraphStatus::Completed:
        return QStringLiteral("COMPLETED");
    case GraphStatus::None:
        break;
    }
    return {};
}

QString ProgressGraphModel::shownName(const QString& name)
{
    if (name.size() <= 20)
        return name;
    qsizetype cut = 15;
    if (name.at(cut - 1).isHighSurrogate())
        --cut; // never split a character in two
    return name.left(cut) + QStringLiteral("...");
}

QString ProgressGraphModel::taskCaption(const RecordStore& store, const QByteArray& taskId,
                                        const QLocale& locale)
{
    if (taskId.isEmpty())
        return {};
    const TaskRecord* task = store.tasks().find(taskId);
    if (!task)
        return {};
    return displayText(task->name) + QStringLiteral("( ") + DisplayFormat::shortDate(task->start, locale) +
           QStringLiteral(" - ") + DisplayFormat::shortDate(task->end, locale) + QStringLiteral(" )");
}

} // namespace korvane
