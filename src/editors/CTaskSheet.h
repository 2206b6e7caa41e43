#pragma once

#include "editors/EditorOutcome.h"
#include "records/Records.h"

#include <QByteArray>
#include <QWizard>

namespace korvane {

class CResourcePg;
class CTaskDetailsPg;
class RecordStore;

/**
 * The two-page wizard in which a task or sub task is added or changed: its details, then the
 * resources that work on it. Finish stores it; a failed write is shown and keeps the sheet open.
 */
class CTaskSheet : public QWizard
{
    Q_OBJECT

public:
    /** The pages, in the order they are shown. */
    enum PageId
    {
        DetailsPage,
        ResourcePage
    };

    /** What Finish does with the task. */
    enum class Mode
    {
        AddTask,
        AddSubTask,
        ModifyTask
    };

    /** "Add Task": a top-level task ("NonSubTask") of the project; Finish stores it. */
    static EditorOutcome addTask(RecordStore& store, const QByteArray& projectId, QWidget* parent);

    /**
     * "Add Sub Task" under the top-level task `parentTaskId`: Finish stores the sub task ("SubTask"),
     * appends its identifier + "\n" to the parent's sub task list and saves the parent. When the
     * parent cannot be saved the sub task is taken back, so none is left that no tree shows.
     */
    static EditorOutcome addSubTask(RecordStore& store, const QByteArray& projectId, const QByteArray& parentTaskId,
                                    QWidget* parent);

    /**
     * "Modify Task" on a copy; Finish stores it. A top-level task moved to another project takes its
     * sub tasks along.
     */
    static EditorOutcome modifyTask(RecordStore& store, const QByteArray& taskId, QWidget* parent);

    /**
     * Builds the sheet on a working copy of the task, opened on its first page. `parentTaskId` names
     * the parent for AddSubTask and is ignored otherwise.
     */
    CTaskSheet(RecordStore& store, const TaskRecord& task, Mode mode, const QByteArray& parentTaskId = {},
               QWidget* parent = nullptr);

    /** The task as the pages show it, an empty name and task code given their defaults. */
    TaskRecord task() const;
    /** The identifier Finish stored the task under; empty until it has been stored. */
    const QByteArray& storedIdentifier() const { return m_storedId; }

    CTaskDetailsPg* detailsPage() const { return m_details; }
    CResourcePg* resourcePage() const { return m_resources; }

    /** Finish: stores the task; a failed write is shown and keeps the sheet open. */
    void accept() override;

private:
    bool store();
    bool failed(const QString& what, const QString& error);

    RecordStore& m_store;
    TaskRecord m_task;
    Mode m_mode;
    QByteArray m_parentId;
    QByteArray m_storedId;
    CTaskDetailsPg* m_details;
    CResourcePg* m_resources;
};

} // namespace korvane
