#pragma once

#include <QByteArray>
#include <QDialog>

class QTreeWidget;

namespace korvane {

class RecordStore;

/** The "Tasks Per Resource" window: each resource's tasks grouped under their projects, with progress. */
class TasksPerResourceWindow : public QDialog
{
    Q_OBJECT

public:
    /** "Tasks Per Resource": resource tree with dark-blue names, the task list with project rows, progress bars and percent. */
    static void showFor(const RecordStore& store, QWidget* parent);

    /** Builds the window on the store's resources and tasks. */
    explicit TasksPerResourceWindow(const RecordStore& store, QWidget* parent = nullptr);

    /** Fills the task list for one resource identifier ("" empties it). */
    void showResource(const QByteArray& resourceId);

    /** True when a task's resources list names the resource (whole entries, so one identifier never matches a longer one). */
    static bool assigned(const QByteArray& taskResources, const QByteArray& resourceId);

private:
    void fillTree();
    void selectionChanged();

    const RecordStore& m_store;
    QTreeWidget* m_tree = nullptr;
    QTreeWidget* m_list = nullptr;
};

} // namespace korvane
