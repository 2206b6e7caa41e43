#include "edits/ProjectEdits.h"

#include "edits/MeetingEdits.h"
#include "store/CurrencyList.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

namespace korvane {

EditResult ProjectEdits::addProject(RecordStore& store, ProjectRecord project, ClientRecord client,
                                    const std::optional<QByteArray>& documents)
{
    Change change = RecordEdits::addChange(store, client);
    project.clientIdentifier = client.identifier;
    change.append(RecordEdits::addChange(store, project));
    change.setDescription(RecordEdits::describe("Add", project));
    if (documents)
        change.putList(ListFile::ProjectDoc, project.identifier, *documents);
    return RecordEdits::apply(store, change, project.identifier);
}

EditResult ProjectEdits::modifyProject(RecordStore& store, ProjectRecord project, ClientRecord client,
                                       const std::optional<QByteArray>& documents)
{
    Change change;
    if (client.identifier.isEmpty() || !RecordStore::isUsableIdentifier(client.identifier)) {
        change = RecordEdits::addChange(store, client);
        project.clientIdentifier = client.identifier;
    } else {
        change.put(client,
                   store.clients().contains(client.identifier) ? RecordAction::Modify : RecordAction::Add);
    }
    change.put(project, RecordAction::Modify);
    change.setDescription(RecordEdits::describe("Modify", project));
    if (documents)
        change.putList(ListFile::ProjectDoc, project.identifier, *documents);
    return RecordEdits::apply(store, change, project.identifier);
}

EditResult ProjectEdits::commitSynopsis(RecordStore& store, const QByteArray& projectIdentifier,
                                        const QByteArray& synopsis)
{
    const ProjectRecord* found = store.projects().find(projectIdentifier);
    if (!found)
        return {{}, QStringLiteral("The project is no longer in the data folder.")};
    if (found->synopsis == synopsis)
        return {projectIdentifier, {}};
    ProjectRecord project = *found;
    project.synopsis = synopsis;
    Change change(QStringLiteral("Change Synopsis of \"%1\"").arg(RecordEdits::nameOf(project)));
    change.put(project, RecordAction::Modify);
    return RecordEdits::apply(store, change, projectIdentifier);
}

EditResult ProjectEdits::writeDocuments(RecordStore& store, const QByteArray& projectIdentifier,
                                        const QByteArray& bytes)
{
    const ProjectRecord* project = store.projects().find(projectIdentifier);
    Change change(QStringLiteral("Change Documents of \"%1\"")
                      .arg(project ? RecordEdits::nameOf(*project) : QString::fromLatin1(projectIdentifier)));
    change.putList(ListFile::ProjectDoc, projectIdentifier, bytes);
    return RecordEdits::apply(store, change, projectIdentifier);
}

EditResult ProjectEdits::saveCurrencyList(RecordStore& store, const CurrencyList& list)
{
    const QByteArray bytes = list.fileBytes();
    // Another list (a test's own file) is no file of the history's.
    if (list.path() != store.fileName(ListFile::Currency, {}))
        return {{}, SafeFile::write(list.path(), bytes), {}};
    QByteArray current;
    if (SafeFile::read(list.path(), current) && current == bytes)
        return {};
    Change change(QStringLiteral("Change Currency Formats"));
    change.putList(ListFile::Currency, {}, bytes);
    return RecordEdits::apply(store, change);
}

Change ProjectEdits::removeChange(const RecordStore& store, const QByteArray& identifier)
{
    const ProjectRecord* found = store.projects().find(identifier);
    if (!found)
        return Change();
    const ProjectRecord project = *found;
    Change change(RecordEdits::describe("Delete", project));
    change.erase(project);
    if (const ClientRecord* client = store.clients().find(project.clientIdentifier))
        change.erase(*client);
    change.eraseList(ListFile::ProjectDoc, identifier);
    for (const TaskRecord* task : store.ofProject<TaskRecord>(identifier))
        change.erase(*task);
    for (const MeetingRecord* meeting : store.ofProject<MeetingRecord>(identifier))
        change.append(MeetingEdits::removeChange(store, meeting->identifier));
    for (const MoneyFlowRecord* entry : store.ofProject<MoneyFlowRecord>(identifier))
        change.erase(*entry);
    return change;
}

} // namespace korvane
