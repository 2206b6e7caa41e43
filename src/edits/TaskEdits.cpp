#include "edits/TaskEdits.h"

#include "records/TextList.h"
#include "store/RecordStore.h"

namespace korvane {

EditResult TaskEdits::addSubTask(RecordStore& store, TaskRecord task, const QByteArray& parentIdentifier)
{
    const TaskRecord* found = store.tasks().find(parentIdentifier);
    if (!found)
        return {{}, QStringLiteral("Its parent task no longer exists.")};
    TaskRecord parent = *found;
    if (parent.isSubTask())
        return {{},
                QStringLiteral("The task \"%1\" is itself a sub task; sub tasks have none of their own.")
                    .arg(RecordEdits::nameOf(parent))};
    task.kind = TaskRecord::kSubTask;
    task.projectIdentifier = parent.projectIdentifier;
    Change change = RecordEdits::addChange(store, task);
    change.setDescription(QStringLiteral("Add Sub Task \"%1\"").arg(RecordEdits::nameOf(task)));
    parent.subTaskList = withEntry(parent.subTaskList, task.identifier);
    change.put(parent, RecordAction::Modify);
    return RecordEdits::apply(store, change, task.identifier);
}

Change TaskEdits::modifyChange(const RecordStore& store, const TaskRecord& task)
{
    Change change(RecordEdits::describe("Modify", task));
    change.put(task, RecordAction::Modify);
    const TaskRecord* before = store.tasks().find(task.identifier);
    if (!before || task.kind != TaskRecord::kTopLevel || task.projectIdentifier == before->projectIdentifier)
        return change;
    for (const QByteArray& identifier : TextList::entries(task.subTaskList)) {
        const TaskRecord* sub = store.tasks().find(identifier);
        if (!sub || !sub->isSubTask() || sub->projectIdentifier != before->projectIdentifier)
            continue;
        TaskRecord moved = *sub;
        moved.projectIdentifier = task.projectIdentifier;
        change.put(moved, RecordAction::Modify);
    }
    return change;
}

Change TaskEdits::removeChange(const RecordStore& store, const QByteArray& identifier)
{
    const TaskRecord* found = store.tasks().find(identifier);
    if (!found)
        return Change();
    const TaskRecord task = *found;
    Change change(RecordEdits::describe("Delete", task));
    change.erase(task);
    if (task.isSubTask()) {
        for (const TaskRecord* parent : store.ofProject<TaskRecord>(task.projectIdentifier)) {
            if (!TextList::contains(parent->subTaskList, identifier))
                continue;
            TaskRecord changed = *parent;
            changed.subTaskList = TextList::remove(changed.subTaskList, identifier);
            change.put(changed, RecordAction::Modify);
            break;
        }
        return change;
    }
    for (const QByteArray& subIdentifier : TextList::entries(task.subTaskList)) {
        const TaskRecord* sub = store.tasks().find(subIdentifier);
        if (sub && sub->isSubTask() && sub->identifier != identifier)
            change.erase(*sub);
    }
    return change;
}

QByteArray TaskEdits::topLevelTaskOf(const RecordStore& store, const QByteArray& taskIdentifier)
{
    const TaskRecord* task = store.tasks().find(taskIdentifier);
    if (!task || !task->isSubTask())
        return task ? task->identifier : QByteArray();
    for (const TaskRecord* candidate : store.ofProject<TaskRecord>(task->projectIdentifier)) {
        if (!candidate->isSubTask() && TextList::contains(candidate->subTaskList, taskIdentifier))
            return candidate->identifier;
    }
    return {};
}

QByteArray TaskEdits::withEntry(const QByteArray& list, const QByteArray& entry)
{
    const qsizetype tail = list.lastIndexOf('\n') + 1;
    return TextList::append(list.left(tail), entry) + list.mid(tail);
}

} // namespace korvane
