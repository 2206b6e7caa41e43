#include "editors/CProjectSheet.h"

#include "editors/CClientDetailsPg.h"
#include "editors/CProjectDetailsPg.h"
#include "editors/CResourcePg.h"
#include "editors/CSynopsisPg.h"
#include "editors/ChangedElsewhereQuestion.h"
#include "editors/WizardPictures.h"
#include "edits/ProjectEdits.h"
#include "edits/RecordDefaults.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "ui/UserDialogs.h"

#include <QPushButton>

#include <QFileInfo>

namespace korvane {

EditorOutcome CProjectSheet::addProject(RecordStore& store, QWidget* parent)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    ClientRecord client = emptyRecord<ClientRecord>();
    CProjectSheet sheet(store, project, client, true, parent);
    return run(sheet, parent);
}

EditorOutcome CProjectSheet::modifyProject(RecordStore& store, const QByteArray& projectId, QWidget* parent)
{
    if (projectId.isEmpty() || !store.projects().contains(projectId))
        return {};
    const ProjectRecord project = store.GetProject(projectId);
    ClientRecord client;
    if (store.clients().contains(project.clientIdentifier)) {
        client = store.GetClient(project.clientIdentifier);
    } else {
        // The client page starts empty; keeping the project's client identifier lets Finish write the
        // client again under it instead of leaving the typed details nowhere.
        client = emptyRecord<ClientRecord>();
        client.identifier = project.clientIdentifier;
    }
    CProjectSheet sheet(store, project, client, false, parent);
    return run(sheet, parent);
}

EditorOutcome CProjectSheet::run(CProjectSheet& sheet, QWidget* parent)
{
    // A failed save reopens the sheet where it was, so nothing the user typed is lost; Cancel ends it.
    for (;;) {
        if (UserDialogs::exec(sheet) != QDialog::Accepted)
            return {};
        QByteArray projectId;
        const QString failure = sheet.storeRecords(projectId);
        if (failure.isEmpty())
            return {true, projectId};
        // A refusal already answered leaves the sheet open without another message.
        if (!sheet.m_refusalAnswered)
            UserDialogs::message(parent, failure, UserDialogs::Icon::Critical);
        if (projectId.isEmpty())
            continue;
        // The records are stored and only the documents failed: the project exists, so report it.
        return {true, projectId};
    }
}

CProjectSheet::CProjectSheet(RecordStore& store, const ProjectRecord& project, const ClientRecord& client,
                             bool adding, QWidget* parent)
    : QWizard(parent)
    , m_store(store)
    , m_adding(adding)
    , m_project(project)
    , m_projectPage(new CProjectDetailsPg(&store))
    , m_clientPage(new CClientDetailsPg)
    , m_resourcePage(new CResourcePg(store))
    , m_synopsisPage(new CSynopsisPg)
{
    setObjectName(QStringLiteral("projectSheet"));
    setWindowTitle(adding ? tr("Add Project") : tr("Modify Project"));
    WizardPictures::apply(*this);
    setMinimumWidth(640);

    m_resourcePage->setTitle(tr("Assign Resources"));
    m_resourcePage->setSubTitle(tr("List Of Resources Avaliable .... "));
    m_resourcePage->setAccessibleName(tr("Lead By"));
    m_synopsisPage->setTitle(tr("Synopsis"));
    m_synopsisPage->setSubTitle(tr("Your Synopsis go here ...."));

    setPage(ProjectPage, m_projectPage);
    setPage(ClientPage, m_clientPage);
    setPage(ResourcePage, m_resourcePage);
    setPage(SynopsisPage, m_synopsisPage);

    if (m_project.currency.isEmpty())
        m_project.currency = "$";
    m_projectPage->setProject(m_project);
    m_clientPage->setClient(client);
    m_resourcePage->setResourceList(client.leadByList);
    m_synopsisPage->setText(m_project.synopsis);
    openDocuments();
}

void CProjectSheet::openDocuments()
{
    const QString scratch = ProjectDocuments::scratchPath();
    QString error = ProjectDocuments::resetScratch(scratch);
    if (error.isEmpty() && !m_adding) {
        error = ProjectDocuments::copyFile(m_store.fileName(ListFile::ProjectDoc, m_project.identifier), scratch);
        m_store.noteListRead(ListFile::ProjectDoc, m_project.identifier);
    }
    // With a scratch file left from another project, Finish would write that project's documents
    // over this one's, so an unprepared scratch file switches the documents off instead.
    m_documentsReady = error.isEmpty();
    m_projectPage->setDocumentsEnabled(m_documentsReady);
    if (m_documentsReady) {
        m_projectPage->showDocumentCount(ProjectDocuments::readCount(scratch));
    } else {
        m_projectPage->documentsText()->setText(tr("Project documents cannot be opened"));
        m_projectPage->documentsText()->setToolTip(error);
    }
}

ProjectRecord CProjectSheet::project() const
{
    ProjectRecord record = m_projectPage->project();
    record.synopsis = m_synopsisPage->text();
    RecordDefaults::fill(record);
    return record;
}

ClientRecord CProjectSheet::client() const
{
    ClientRecord record = m_clientPage->client();
    record.leadByList = m_resourcePage->resourceList();
    RecordDefaults::fill(record);
    return record;
}

QString CProjectSheet::storeRecords(QByteArray& projectId)
{
    projectId.clear();
    const ProjectRecord project = this->project();
    const ClientRecord client = this->client();
    std::optional<QByteArray> documents;
    if (m_documentsReady) {
        // A scratch file that has gone since the sheet opened leaves the project's documents as they are.
        QByteArray bytes;
        const QString scratch = ProjectDocuments::scratchPath();
        QString readError;
        if (QFileInfo::exists(scratch) && !SafeFile::read(scratch, bytes, &readError))
            return tr("The documents of project \"%1\" could not be saved.\n%2")
                .arg(displayText(project.name), readError);
        if (QFileInfo::exists(scratch))
            documents = bytes;
    }
    const auto save = [&] {
        return m_adding ? ProjectEdits::addProject(m_store, project, client, documents)
                        : ProjectEdits::modifyProject(m_store, project, client, documents);
    };
    EditResult result = save();
    ChangedElsewhereQuestion::ask(this, m_store, result, save);
    m_refusalAnswered = result.changedElsewhere.has_value();
    if (m_refusalAnswered)
        return result.error;
    if (!result.ok())
        return tr("The project \"%1\" could not be saved.\n%2").arg(displayText(project.name), result.error);
    projectId = result.identifier;
    return {};
}

} // namespace korvane
