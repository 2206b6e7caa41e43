#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QWidget;

namespace korvane {

class RecordStore;
struct TreeNode;

/** "Export To HTML", "Export To MS Word" and "Export To MS Excel" of a project: save dialog, write, open. */
class ProjectExports : public QObject
{
    Q_OBJECT

public:
    /** Dialogs and messages appear over `window`. */
    ProjectExports(const RecordStore& store, QWidget* window);

    /** Writes the project as an HTML page, its pictures in an "Images" folder beside it, and opens it. */
    void exportHtml(const QByteArray& projectId);

    /** The Word report is typed from the trees the details bar shows; the .docx is then opened. */
    void exportWord(const QByteArray& projectId, const TreeNode& taskTree, const TreeNode& meetingTree,
                    const TreeNode& moneyTree);

    /** Writes the project's workbook (.xlsx) with the wait cursor shown, then opens it. */
    void exportExcel(const QByteArray& projectId);

    /** Writes the project's print page with all four modules as a PDF file of the user's choice, then opens
     * it. */
    void exportPdf(const QByteArray& projectId);

    /** The path the save dialog offers: the safe file name in the last export folder (home when unset). */
    static QString suggestedPath(const QString& baseName, const QString& extension);

    /** A record text fit for a file name: no "/", "\" or control characters; `fallback` when empty. */
    static QString safeFileName(const QString& text, const QString& fallback);

    /**
     * Asks where to save: the save dialog with `filter`, the extension added when the user typed
     * none (asking before replacing a file the dialog did not see), the folder remembered for next
     * time. Returns "" when the user cancelled.
     */
    static QString askSavePath(QWidget* window, const QString& caption, const QString& baseName,
                               const QString& extension, const QString& filter);

private:
    QString askPath(const QByteArray& projectId, const QString& caption, const QString& extension,
                    const QString& filter) const;
    void finish(const QString& path, const QString& error) const;

    const RecordStore& m_store;
    QWidget* m_window;
};

} // namespace korvane
