#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace korvane {

/**
 * The "Set Working Folder" dialog: shows the picked folder (the parent of the data folder) and lets
 * the user browse for another. "Set" accepts, unless the path field is empty.
 */
class SetWorkingFolderDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SetWorkingFolderDialog(const QString& initialPath, QWidget* parent = nullptr);

    /** The folder in the path field. */
    QString path() const;

    /**
     * The folder to take for a folder the user picked: the one above it when its last component is
     * exactly the data folder name "Korvane" (case-sensitive), otherwise the picked one.
     */
    static QString pickedFolderFor(const QString& chosen);

    /** The folder suggested in the empty path field and where Browse starts: Documents, else home. */
    static QString suggestedFolder();

private:
    void browse();
    void set();

    QLineEdit* m_pathEdit;
    QPushButton* m_browseButton;
    QPushButton* m_setButton;
    QPushButton* m_cancelButton;
};

} // namespace korvane
