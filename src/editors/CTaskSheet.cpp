#include "editors/CTaskSheet.h"

#include "editors/CResourcePg.h"
#include "editors/CTaskDetailsPg.h"
#include "editors/WizardPictures.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "shell/UserDialogs.h"
#include "store/RecordStore.h"

#include <QAbstractButton>
#include <QStringList>

namespace korvane {

namespace {

QString caption(CTaskSheet::Mode mode)
{
    switch (mode) {
    case CTaskSheet::Mode::AddTask:
        return CTaskSheet::tr("Add Task");
    case CTaskSheet::Mode::AddSubTask:
        return CTaskSheet::tr("Add Sub Task");
    case CTaskSheet::Mode::ModifyTask:
        break;
    }
    return CTaskSheet::tr("Modify Task");
}

/**
 * The list with the entry added as its last entry. Text after the last line feed is no entry; the
 * new entry goes in front of it, so that it counts and the tail keeps its bytes.
 */
QByteArray withEntry(const QByteArray& list, const QByteArray& entry)
{
    const qsizetype tail = list.lastIndexOf('\n') + 1;
    return TextList::append(list.left(tail), entry) + list.mid(tail);
}

EditorOutcome run(CTaskSheet& sheet)
{
    if (UserDialogs::exec(sheet) == QDialog::Accepted && !sheet.storedIdentifier().isEmpty())
        return {true, sheet.storedIdentifier()};
    return {};
}

} // namespace

EditorOutcome CTaskSheet::addTask(RecordStore& store, const QByteArray& projectId, QWidget* parent)
{
    if (!store.projects().contains(projectId))
        return {};
    TaskRecord task = emptyRecord<TaskRecord>();
    task.projectIdentifier = projectId;
    task.kind = TaskRecord::kTopLevel;
    CTaskSheet sheet(store, task, Mode::AddTask, {}, parent);
    return run(sheet);
}

EditorOutcome CTaskSheet::addSubTask(RecordStore& store, const QByteArray& projectId,
                                     const QByteArray& parentTaskId, QWidget* parent)
{
    if (!store.projects().contains(projectId) || !store.tasks().contains(parentTaskId))
        return {};
    TaskRecord task = emptyRecord<TaskRecord>();
    task.projectIdentifier = projectId;
    task.kind = TaskRecord::kSubTask;
    CTaskSheet sheet(store, task, Mode::AddSubTask, parentTaskId, parent);
    return run(sheet);
}

EditorOutcome CTaskSheet::modifyTask(RecordStore& store, const QByteArray& taskId, QWidget* parent)
{
    const TaskRecord* found = store.tasks().find(taskId);
    if (!found)
        return {};
    CTaskSheet sheet(store, *found, Mode::ModifyTask, {}, parent);
    return run(sheet);
}

CTaskSheet::CTaskSheet(RecordStore& store, const TaskRecord& task, Mode mode, const QByteArray& parentTaskId,
                       QWidget* parent)
    : QWizard(parent)
    , m_store(store)
    , m_task(task)
    , m_mode(mode)
    , m_parentId(parentTaskId)
    , m_details(new CTaskDetailsPg(store, this))
    , m_resources(new CResourcePg(store, this))
{
    setObjectName(QStringLiteral("taskSheet"));
    setWindowTitle(caption(mode));
    WizardPictures::apply(*this);

    m_resources->setTitle(tr("Assign Resources"));
    m_resources->setSubTitle(tr("List Of Resources Avaliable .... "));
    m_resources->setAccessibleName(tr("Resources"));

    setPage(DetailsPage, m_details);
    setPage(ResourcePage, m_resources);
    setStartId(DetailsPage);

    m_details->setTask(task, mode != Mode::ModifyTask);
    m_resources->setResourceList(task.resources);

    // Opened at once, so the sheet can be driven before it is shown; showing it keeps this page.
    restart();
}

TaskRecord CTaskSheet::task() const
{
    TaskRecord task = m_details->task();
    task.resources = m_resources->resourceList();
    if (task.name.isEmpty())
        task.name = "Unknown";
    if (task.taskCode.isEmpty())
        task.taskCode = "***";
    return task;
}

void CTaskSheet::accept()
{
    if (validateCurrentPage() && store())
        QDialog::accept();
}

void CTaskSheet::reject()
{
    if (!m_strayId.isEmpty()) {
        if (const QString error = m_store.DeleteTask(m_strayId); !error.isEmpty())
            UserDialogs::message(this,
                                 tr("The sub task saved without its parent could not be removed; no task "
                                    "lists it.\n%1")
                                     .arg(error),
                                 UserDialogs::Icon::Critical);
        m_strayId.clear();
    }
    QWizard::reject();
}

bool CTaskSheet::failed(const QString& what, const QString& error)
{
    UserDialogs::message(this, what + QLatin1Char('\n') + error, UserDialogs::Icon::Critical);
    return false;
}

bool CTaskSheet::store()
{
    const TaskRecord task = this->task();
    switch (m_mode) {
    case Mode::AddTask: {
        const AddResult added = m_store.AddTask(task);
        if (!added.ok())
            return failed(tr("The task \"%1\" could not be saved.").arg(displayText(task.name)), added.error);
        m_storedId = added.identifier;
        return true;
    }
    case Mode::AddSubTask:
        return storeSubTask(task);
    case Mode::ModifyTask:
        break;
    }
    if (const QString error = m_store.ModifyTask(task); !error.isEmpty())
        return failed(tr("The task \"%1\" could not be saved.").arg(displayText(task.name)), error);
    m_storedId = task.identifier;
    if (task.kind == TaskRecord::kTopLevel && task.projectIdentifier != m_task.projectIdentifier)
        moveSubTasks(task, m_task.projectIdentifier);
    return true;
}

bool CTaskSheet::storeSubTask(TaskRecord task)
{
    const TaskRecord* found = m_store.tasks().find(m_parentId);
    if (!found)
        return failed(tr("The sub task \"%1\" could not be added.").arg(displayText(task.name)),
                      tr("Its parent task no longer exists."));
    TaskRecord parent = *found;

    // A sub task left by an earlier failed Finish is reused, so a retry never stores a second one.
    QByteArray identifier = m_strayId;
    if (identifier.isEmpty()) {
        const AddResult added = m_store.AddTask(task);
        if (!added.ok())
            return failed(tr("The sub task \"%1\" could not be saved.").arg(displayText(task.name)), added.error);
        identifier = added.identifier;
    } else {
        task.identifier = identifier;
        if (const QString error = m_store.ModifyTask(task); !error.isEmpty())
            return failed(tr("The sub task \"%1\" could not be saved.").arg(displayText(task.name)), error);
    }

    parent.subTaskList = withEntry(parent.subTaskList, identifier);
    const QString parentError = m_store.ModifyTask(parent);
    if (parentError.isEmpty()) {
        m_strayId.clear();
        m_storedId = identifier;
        return true;
    }

    // Only the parent's list shows a sub task: take it back rather than keep one that no tree shows.
    const QString removeError = m_store.DeleteTask(identifier);
    m_strayId = removeError.isEmpty() ? QByteArray() : identifier;
    QString text = tr("The sub task \"%1\" could not be added, because its parent task \"%2\" could not be "
                      "saved.\n%3")
                       .arg(displayText(task.name), displayText(parent.name), parentError);
    if (!removeError.isEmpty())
        text += tr("\nThe sub task is saved but could not be removed again; finish or cancel once more to "
                   "retry.\n%1")
                    .arg(removeError);
    UserDialogs::message(this, text, UserDialogs::Icon::Critical);
    return false;
}

bool CTaskSheet::moveSubTasks(const TaskRecord& task, const QByteArray& fromProject)
{
    QStringList failures;
    for (const QByteArray& identifier : TextList::entries(task.subTaskList)) {
        const TaskRecord* sub = m_store.tasks().find(identifier);
        if (!sub || !sub->isSubTask() || sub->projectIdentifier != fromProject)
            continue;
        TaskRecord moved = *sub;
        moved.projectIdentifier = task.projectIdentifier;
        if (const QString error = m_store.ModifyTask(moved); !error.isEmpty())
            failures << tr("The sub task \"%1\" could not be moved to the task's new project.\n%2")
                            .arg(displayText(moved.name), error);
    }
    if (failures.isEmpty())
        return true;
    UserDialogs::message(this, failures.join(QLatin1Char('\n')), UserDialogs::Icon::Critical);
    return false;
}

} // namespace korvane
