#include "editors/CTaskSheet.h"

#include "editors/CResourcePg.h"
#include "editors/CTaskDetailsPg.h"
#include "editors/ChangedElsewhereQuestion.h"
#include "editors/WizardPictures.h"
#include "edits/RecordDefaults.h"
#include "edits/RecordEdits.h"
#include "edits/TaskEdits.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

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
    RecordDefaults::fill(task);
    return task;
}

void CTaskSheet::accept()
{
    if (validateCurrentPage() && store())
        QDialog::accept();
}

bool CTaskSheet::failed(const QString& what, const QString& error)
{
    UserDialogs::message(this, what + QLatin1Char('\n') + error, UserDialogs::Icon::Critical);
    return false;
}

bool CTaskSheet::store()
{
    const TaskRecord task = this->task();
    const auto save = [&] {
        switch (m_mode) {
        case Mode::AddTask:
            return RecordEdits::add(m_store, task);
        case Mode::AddSubTask:
            return TaskEdits::addSubTask(m_store, task, m_parentId);
        case Mode::ModifyTask:
            break;
        }
        return RecordEdits::modify(m_store, task);
    };
    EditResult result = save();
    ChangedElsewhereQuestion::ask(this, m_store, result, save);
    if (result.changedElsewhere)
        return false;
    if (!result.ok())
        return failed(m_mode == Mode::AddSubTask
                          ? tr("The sub task \"%1\" could not be added.").arg(displayText(task.name))
                          : tr("The task \"%1\" could not be saved.").arg(displayText(task.name)),
                      result.error);
    m_storedId = result.identifier;
    return true;
}

} // namespace korvane
