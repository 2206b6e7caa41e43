#pragma once

#include <QByteArray>
#include <QDockWidget>

class QListWidget;
class QPlainTextEdit;

namespace korvane {

class RecordStore;
struct ProjectRecord;

/** The "Project Workup's" bar: the selected project's documents on the left, its synopsis on the right. */
class WorkupBar : public QDockWidget
{
    Q_OBJECT

public:
    explicit WorkupBar(const RecordStore& store, QWidget* parent = nullptr);

    /** Shows a project's synopsis and documents; nullptr empties both. */
    void showProject(const ProjectRecord* project);
    /** Reads the shown project's documents file again. */
    void refreshDocuments();
    /** The project whose synopsis is shown ("" when none). */
    QByteArray projectId() const { return m_projectId; }
    /** Tells whether the user changed the synopsis since it was shown or last committed. */
    bool isSynopsisChanged() const;
    /** The synopsis as it is to be stored. */
    QByteArray synopsis() const;
    /** Marks the shown synopsis as stored. */
    void markSynopsisCommitted();

    QPlainTextEdit* synopsisEdit() const { return m_synopsis; }
    QListWidget* documentsList() const { return m_documents; }

signals:
    /** The user asked to edit the project's documents (button or Insert key in the list). */
    void documentsEditRequested(const QByteArray& projectId);

private:
    void openDocument(int row);

    const RecordStore& m_store;
    QByteArray m_projectId;
    QListWidget* m_documents = nullptr;
    QPlainTextEdit* m_synopsis = nullptr;
};

} // namespace korvane
