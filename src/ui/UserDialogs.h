#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class QDialog;
class QWidget;

namespace korvane {

/**
 * Every message box, file dialog, modal dialog run and desktop "open" of the program goes through
 * here, so widget tests can answer them in advance instead of blocking in a modal loop.
 */
namespace UserDialogs {

enum class Icon
{
    Information,
    Warning,
    Critical
};

/** Shows a message with an OK button. */
void message(QWidget* parent, const QString& text, Icon icon = Icon::Information,
             const QString& title = QStringLiteral("Korvane"));

/** Asks a Yes/No question; true for Yes. */
bool askYesNo(QWidget* parent, const QString& text, const QString& title = QStringLiteral("Korvane"));

/** The folder picker; "" when cancelled. */
QString existingDirectory(QWidget* parent, const QString& caption, const QString& startFolder);

/** The save-file dialog ("HTML Files (*.html)" style filter); "" when cancelled. */
QString saveFileName(QWidget* parent, const QString& caption, const QString& startPath, const QString& filter);

/** The open-file dialog; "" when cancelled. */
QString openFileName(QWidget* parent, const QString& caption, const QString& startPath, const QString& filter);

/** Runs a modal dialog and returns its result (QDialog::Accepted or Rejected). */
int exec(QDialog& dialog);

/** True while a dialog runs through `exec` (in test mode too, while its handler answers it). */
bool isDialogOpen();

/** Opens a URL with the desktop's default program; false when it could not be handed over. */
bool openUrl(const QUrl& url);

/**
 * Opens a file with the desktop's default program; a missing file or a failed open shows
 * "Error: File not found\nMay be file moved or deleted". A program, script or desktop entry is
 * opened only when the user agrees to the question that names it; a file the user cannot read, or
 * that is no file, is reported and not opened. Returns whether it was opened.
 */
bool openFile(QWidget* parent, const QString& path);

/** Starts a program with arguments without waiting for it; false when it could not start. */
bool startDetached(const QString& program, const QStringList& arguments);

// Test seams. In test mode nothing is shown or started: messages, opened URLs and started programs
// are recorded, questions and file dialogs take the answers queued in advance (No and Cancel when
// none is queued), and modal dialogs go to the dialog handler (rejected when there is none).

/** Switches test mode on or off and forgets queued answers and records. */
void setTestMode(bool on);
bool isTestMode();
/** Queues the answer of the next question. */
void setNextAnswer(bool yes);
/** Queues the result of the next file or folder dialog ("" cancels it). */
void setNextFileName(const QString& path);
/** Lets a test look at and answer each modal dialog; it returns the dialog's result. */
void setDialogHandler(std::function<int(QDialog&)> handler);
/** Makes the next desktop opens fail (as when no program is registered for the file type). */
void setOpenFails(bool fails);
/** The messages shown since the last call, oldest first. */
QStringList takeMessages();
/** The URLs opened since the last call, oldest first. */
QList<QUrl> takeOpenedUrls();
/** The programs started since the last call, each as the program followed by its arguments. */
QList<QStringList> takeStartedPrograms();

} // namespace UserDialogs

} // namespace korvane
