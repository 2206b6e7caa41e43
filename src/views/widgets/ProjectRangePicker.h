#pragma once

#include "views/ProjectListModel.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QWidget>

class QDateEdit;
class QTreeWidget;

namespace korvane {

class RecordStore;

/** The projects that start in a month range, each with a check box, for commands that act on several. */
class ProjectRangePicker : public QWidget
{
    Q_OBJECT

public:
    /** Both month pickers start on today's month; see setDateRange. */
    explicit ProjectRangePicker(const RecordStore& store, QWidget* parent = nullptr);

    /** Lists the projects that start from the month of `from` to the month of `to`. */
    void setDateRange(const QDate& from, const QDate& to);
    /** Checks the listed project with the identifier, if it is listed. */
    void checkProject(const QByteArray& identifier);
    /** The identifiers of the checked projects, in list order. */
    QList<QByteArray> checkedProjects() const;

    QDateEdit* fromEdit() const { return m_from; }
    QDateEdit* toEdit() const { return m_to; }
    QTreeWidget* projectList() const { return m_projects; }

private:
    void fromChanged(const QDate& date);
    void refill();

    const RecordStore& m_store;
    ProjectListModel m_model;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QTreeWidget* m_projects = nullptr;
};

} // namespace korvane
