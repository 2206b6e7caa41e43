#pragma once

#include "records/Records.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace korvane {

class RecordStore;

/** One row of the project list: the caption row (no project) or a project with its weighted progress. */
struct ProjectListRow
{
    /** Empty for the caption row "Projects". */
    std::optional<ProjectRecord> project;
    /** The row's text: the project name, empty for the caption row. */
    QString text;
    /** The weighted percent complete of the project's tasks, 0 for the caption row. */
    int progress = 0;

    bool isCaption() const { return !project.has_value(); }
};

/** The rows of the project list: the projects that start in a month range, by start date. */
class ProjectListModel
{
public:
    /**
     * True when the start date's month lies between the "from" and "to" months, both ends included;
     * only years and months count.
     */
    static bool inMonthRange(const QDate& start, const QDate& from, const QDate& to);

    /** Refills the rows: the caption row unless left out, then every project of the range in map order. */
    void fill(const RecordStore& store, const QDate& from, const QDate& to, bool withoutCaption = false);
    /** Orders the project rows by start date, earlier first; the caption row stays first, equal dates keep
     * their order. */
    void sort();
    /** Removes every row. */
    void clear() { m_rows.clear(); }

    const std::vector<ProjectListRow>& rows() const { return m_rows; }
    /** The project of a row, or nullptr for the caption row and rows out of range. */
    const ProjectRecord* projectAt(int row) const;

private:
    std::vector<ProjectListRow> m_rows;
};

} // namespace korvane
