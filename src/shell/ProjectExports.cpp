#include "shell/ProjectExports.h"

#include "records/Text.h"
#include "reports/HtmlExport.h"
#include "reports/PrintReport.h"
#include "reports/WordProjectReport.h"
#include "reports/XlsxExport.h"
#include "reports/pdf/PdfExport.h"
#include "store/AppSettings.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/DetailsTrees.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace korvane {

namespace {

/** Shows the wait cursor for as long as it lives, so every early return puts the cursor back. */
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

ProjectExports::ProjectExports(const RecordStore& store, QWidget* window)
    : QObject(window), m_store(store), m_window(window)
{
}

void ProjectExports::exportHtml(const QByteArray& projectId)
{
    const QString path = askPath(projectId, QStringLiteral("Export To HTML"), QStringLiteral("html"),
                                 QStringLiteral("HTML Files (*.html)"));
    if (path.isEmpty())
        return;
    const HtmlExport::Result result = HtmlExport::exportProject(m_store, projectId, path);
    if (!result.ok()) {
        finish(path, QStringLiteral("There was a problem exporting the document to HTML format\n%1")
                         .arg(result.error));
        return;
    }
    finish(path, {});
    if (!result.skippedImages.isEmpty())
        UserDialogs::message(m_window,
                             QStringLiteral("The page was exported, but these pictures could not be placed "
                                            "beside it:\n%1")
                                 .arg(result.skippedImages.join(QLatin1Char('\n'))),
                             UserDialogs::Icon::Warning);
}

void ProjectExports::exportWord(const QByteArray& projectId, const TreeNode& taskTree,
                                const TreeNode& meetingTree, const TreeNode& moneyTree)
{
    const QString path = askPath(projectId, QStringLiteral("Export To Word"), QStringLiteral("docx"),
                                 QStringLiteral("Word Documents (*.docx)"));
    if (path.isEmpty())
        return;
    QString error;
    {
        const WaitCursor wait;
        error = WordProjectReport(m_store).document(projectId, taskTree, meetingTree, moneyTree).save(path);
    }
    if (!error.isEmpty())
        error = QStringLiteral("There was a problem exporting the document to Word format\n%1").arg(error);
    finish(path, error);
}

void ProjectExports::exportExcel(const QByteArray& projectId)
{
    const QString path = askPath(projectId, QStringLiteral("Export To Excel"), QStringLiteral("xlsx"),
                                 QStringLiteral("Excel Workbooks (*.xlsx)"));
    if (path.isEmpty())
        return;
    QString error;
    {
        const WaitCursor wait;
        error = XlsxExport::write(m_store, projectId, path);
    }
    finish(path, error);
}

void ProjectExports::exportPdf(const QByteArray& projectId)
{
    const QString path = askPath(projectId, QStringLiteral("Export To PDF"), QStringLiteral("pdf"),
                                 QStringLiteral("PDF Files (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    {
        const WaitCursor wait;
        error = PdfExport::projects(m_store, {projectId}, PrintReport::allModules(), path);
    }
    if (!error.isEmpty())
        error = QStringLiteral("There was a problem exporting the document to PDF\n%1").arg(error);
    finish(path, error);
}

QString ProjectExports::suggestedPath(const QString& baseName, const QString& extension)
{
    QString folder = AppSettings::lastExportFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(baseName + QLatin1Char('.') + extension);
}

QString ProjectExports::safeFileName(const QString& text, const QString& fallback)
{
    QString name;
    name.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'/' || c == u'\\')
            name += u'-';
        else if (c.category() == QChar::Other_Control)
            name += u' ';
        else
            name += c;
    }
    name = name.simplified();
    // Names of only dots would point at a folder, not a file.
    if (name.isEmpty() || name.count(u'.') == name.size())
        return fallback;
    return name;
}

QString ProjectExports::askSavePath(QWidget* window, const QString& caption, const QString& baseName,
                                    const QString& extension, const QString& filter)
{
    QString path = UserDialogs::saveFileName(window, caption, suggestedPath(baseName, extension), filter);
    if (path.isEmpty())
        return {};
    const QFileInfo chosen(path);
    AppSettings::setLastExportFolder(chosen.absolutePath());
    if (chosen.suffix().isEmpty()) {
        if (!path.endsWith(u'.'))
            path += u'.';
        path += extension;
        // The dialog asked about the name as typed; the file that will be replaced is this one.
        if (QFileInfo::exists(path) &&
            !UserDialogs::askYesNo(window, QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                               .arg(QDir::toNativeSeparators(path))))
            return {};
    }
    return path;
}

QString ProjectExports::askPath(const QByteArray& projectId, const QString& caption, const QString& extension,
                                const QString& filter) const
{
    // Without a selected project the commands do nothing.
    if (projectId.isEmpty() || !m_store.projects().contains(projectId))
        return {};
    const QString name =
        safeFileName(displayText(m_store.GetProject(projectId).name), QStringLiteral("Project"));
    return askSavePath(m_window, caption, name, extension, filter);
}

void ProjectExports::finish(const QString& path, const QString& error) const
{
    if (!error.isEmpty()) {
        UserDialogs::message(m_window, error, UserDialogs::Icon::Critical);
        return;
    }
    UserDialogs::openFile(m_window, path);
}

} // namespace korvane
