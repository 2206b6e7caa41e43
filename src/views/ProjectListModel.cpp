#include "views/ProjectListModel.h"

#include "records/Text.h"
#include "store/RecordStore.h"
#include "views/Chronology.h"

#include <algorithm>

namespace korvane {

bool ProjectListModel::inMonthRange(const QDate& start, const QDate& from, const QDate& to)
{
    if (!start.isValid() || !from.isValid() || !to.isValid())
        return false;
    if (start.year() < from.year() || start.year() > to.year())
        return false;
    if (start.year() == from.year() && start.month() < from.month())
        return false;
    if (start.year() == to.year() && start.month() > to.month())
        return false;
    return true;
}

void ProjectListModel::fill(const RecordStore& store, const QDate& from, const QDate& to, bool withoutCaption)
{
    m_rows.clear();
    if (!withoutCaption)
        m_rows.push_back(ProjectListRow{});
    for (const auto& entry : store.projects()) {
        const ProjectRecord& project = entry.record;
        if (!project.startDate.isValid() || !inMonthRange(project.startDate.date(), from, to))
            continue;
        m_rows.push_back(
            ProjectListRow{project, displayText(project.name), store.weightedProgress(project.identifier)});
    }
}

void ProjectListModel::sort()
{
    // The caption row has no date: it is kept out of the comparison and stays in front.
    const auto begin = m_rows.begin() + (!m_rows.empty() && m_rows.front().isCaption() ? 1 : 0);
    std::stable_sort(begin, m_rows.end(), [](const ProjectListRow& a, const ProjectListRow& b) {
        return earlier(a.project->startDate, b.project->startDate);
    });
}

const ProjectRecord* ProjectListModel::projectAt(int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size() || m_rows[size_t(row)].isCaption())
        return nullptr;
    return &*m_rows[size_t(row)].project;
}

} // namespace korvane
