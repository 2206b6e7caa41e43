#pragma once

#include "editors/EditorOutcome.h"
#include "records/Records.h"

#include <QWizard>

namespace korvane {

class CClientDetailsPg;
class CProjectDetailsPg;
class CResourcePg;
class CSynopsisPg;
class RecordStore;

/**
 * The four-page wizard in which a project and its client are added or changed: project details,
 * client details, the resources that lead it, and its synopsis.
 */
class CProjectSheet : public QWizard
{
    Q_OBJECT

public:
    enum PageId
    {
        ProjectPage,
        ClientPage,
        ResourcePage,
        SynopsisPage
    };

    /** "Add Project": on Finish stores client and project (defaults for empty fields); returns the new project's id. */
    static EditorOutcome addProject(RecordStore& store, QWidget* parent);
    /** "Modify Project" on a copy of the project and its client; on Finish stores both. */
    static EditorOutcome modifyProject(RecordStore& store, const QByteArray& projectId, QWidget* parent);

    /**
     * A sheet on copies of the project and its client; `adding` picks the title and how Finish stores.
     * Opening resets the scratch documents file and, for an existing project, copies its documents in.
     */
    CProjectSheet(RecordStore& store, const ProjectRecord& project, const ClientRecord& client, bool adding,
                  QWidget* parent = nullptr);

    CProjectDetailsPg* projectPage() const { return m_projectPage; }
    CResourcePg* resourcePage() const { return m_resourcePage; }
    CSynopsisPg* synopsisPage() const { return m_synopsisPage; }

    /** The project as the pages show it, empty name, code and end user given their defaults. */
    ProjectRecord project() const;
    /** The client as the pages show it, empty name and contact person given their defaults. */
    ClientRecord client() const;

    /**
     * Stores the client, the project and the documents as Finish does; returns what could not be
     * saved ("" when all went well) and sets `projectId` to the project's identifier.
     */
    QString storeRecords(QByteArray& projectId);

private:
    static EditorOutcome run(CProjectSheet& sheet, QWidget* parent);
    void openDocuments();

    RecordStore& m_store;
    bool m_adding;
    /** True when the last save was refused for a record changed elsewhere and the user was asked. */
    bool m_refusalAnswered = false;
    /** False when the scratch documents file could not be prepared: then Finish leaves the documents alone. */
    bool m_documentsReady = false;
    ProjectRecord m_project;
    CProjectDetailsPg* m_projectPage;
    CClientDetailsPg* m_clientPage;
    CResourcePg* m_resourcePage;
    CSynopsisPg* m_synopsisPage;
};

} // namespace korvane
