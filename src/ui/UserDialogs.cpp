#include "ui/UserDialogs.h"

#include "store/OpenableFile.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QQueue>
#include <QScopeGuard>

namespace korvane::UserDialogs {

namespace {

struct TestState
{
    bool on = false;
    bool openFails = false;
    QQueue<bool> answers;
    QQueue<QString> fileNames;
    std::function<int(QDialog&)> dialogHandler;
    QStringList messages;
    QList<QUrl> openedUrls;
    QList<QStringList> startedPrograms;
};

TestState& state()
{
    static TestState s;
    return s;
}

QString nextFileName()
{
    return state().fileNames.isEmpty() ? QString() : state().fileNames.dequeue();
}

} // namespace

void message(QWidget* parent, const QString& text, Icon icon, const QString& title)
{
    if (state().on) {
        state().messages.append(text);
        return;
    }
    switch (icon) {
    case Icon::Information:
        QMessageBox::information(parent, title, text);
        break;
    case Icon::Warning:
        QMessageBox::warning(parent, title, text);
        break;
    case Icon::Critical:
        QMessageBox::critical(parent, title, text);
        break;
    }
}

bool askYesNo(QWidget* parent, const QString& text, const QString& title)
{
    if (state().on) {
        state().messages.append(text);
        return !state().answers.isEmpty() && state().answers.dequeue();
    }
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

QString existingDirectory(QWidget* parent, const QString& caption, const QString& startFolder)
{
    if (state().on)
        return nextFileName();
    return QFileDialog::getExistingDirectory(parent, caption, startFolder);
}

QString saveFileName(QWidget* parent, const QString& caption, const QString& startPath, const QString& filter)
{
    if (state().on)
        return nextFileName();
    return QFileDialog::getSaveFileName(parent, caption, startPath, filter);
}

QString openFileName(QWidget* parent, const QString& caption, const QString& startPath, const QString& filter)
{
    if (state().on)
        return nextFileName();
    return QFileDialog::getOpenFileName(parent, caption, startPath, filter);
}

namespace {

int g_openDialogs = 0;

} // namespace

int exec(QDialog& dialog)
{
    ++g_openDialogs;
    const auto closed = qScopeGuard([] { --g_openDialogs; });
    if (state().on)
        return state().dialogHandler ? state().dialogHandler(dialog) : int(QDialog::Rejected);
    return dialog.exec();
}

bool isDialogOpen()
{
    return g_openDialogs > 0;
}

bool openUrl(const QUrl& url)
{
    if (state().on) {
        if (state().openFails)
            return false;
        state().openedUrls.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

bool openFile(QWidget* parent, const QString& path)
{
    const QFileInfo info(path);
    const OpenableFile file(path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    switch (file.verdict()) {
    case OpenableFile::Verdict::Missing:
        break;
    case OpenableFile::Verdict::Refuse:
        message(parent, QStringLiteral("%1\nis not opened: %2.").arg(shown, file.description()),
                Icon::Warning);
        return false;
    case OpenableFile::Verdict::Ask:
        if (!askYesNo(parent, QStringLiteral("%1\nis %2. Opening it may run it.\n\nOpen it anyway?")
                                  .arg(shown, file.description())))
            return false;
        [[fallthrough]];
    case OpenableFile::Verdict::Open:
        if (openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
            return true;
        break;
    }
    message(parent, QStringLiteral("Error: File not found\nMay be file moved or deleted"), Icon::Warning);
    return false;
}

bool startDetached(const QString& program, const QStringList& arguments)
{
    if (state().on) {
        state().startedPrograms.append(QStringList{program} + arguments);
        return !state().openFails;
    }
    return QProcess::startDetached(program, arguments);
}

void setTestMode(bool on)
{
    state() = TestState{};
    state().on = on;
}

bool isTestMode()
{
    return state().on;
}

void setNextAnswer(bool yes)
{
    state().answers.enqueue(yes);
}

void setNextFileName(const QString& path)
{
    state().fileNames.enqueue(path);
}

void setDialogHandler(std::function<int(QDialog&)> handler)
{
    state().dialogHandler = std::move(handler);
}

void setOpenFails(bool fails)
{
    state().openFails = fails;
}

QStringList takeMessages()
{
    return std::exchange(state().messages, {});
}

QList<QUrl> takeOpenedUrls()
{
    return std::exchange(state().openedUrls, {});
}

QList<QStringList> takeStartedPrograms()
{
    return std::exchange(state().startedPrograms, {});
}

} // namespace korvane::UserDialogs
