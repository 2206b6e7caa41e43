#pragma once

#include "store/ProjectDocuments.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace korvane {

class RecordStore;

/** The "Project Documents" dialog: names, attaches, opens and removes the ten documents of a project. */
class ProjectDocumentsDialog : public QDialog
{
    Q_OBJECT

public:
    /** Runs the dialog on the scratch documents file (ProjectDocuments::scratchPath()); writes it only on OK; true on OK. */
    static bool editScratch(QWidget* parent);

    /** The project-list flow: reset the scratch file, copy the project's documents file over it, run the dialog, and on OK copy it back over the project's file. True on OK (false, after a message, when a file could not be written). */
    static bool editProjectDocuments(RecordStore& store, const QByteArray& projectId, QWidget* parent);

    /** Builds the dialog on the rows of a documents file (missing or damaged: ten empty rows). */
    explicit ProjectDocumentsDialog(const QString& path, QWidget* parent = nullptr);

    /** The rows as they stand, each empty name given as "Untitled". */
    ProjectDocuments documents() const;

    /** Picks a file for a row through the file-open dialog. */
    void attachFile(int row);

    /** Opens a row's attached file with the desktop's program for it. */
    void openDocument(int row);

    /** Starts editing the marked row's name in place. */
    void editMarkedName();

    /** Asks, then empties the marked row's name and path (its second text stays). */
    void deleteMarkedRow();

    /** Writes the rows to the scratch file and closes; a failed write is shown and the dialog stays open. */
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool write();
    void nameEdited(QListWidgetItem* item);
    int markedRow() const;

    QString m_path;
    bool m_written = false;
    QListWidget* m_view = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_attachButton = nullptr;
    QPushButton* m_openButton = nullptr;
};

} // namespace korvane
