#pragma once

#include "store/LoginFiles.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace korvane {

/**
 * The "Korvane Login" window shown at start: the program goes on only when the typed login name
 * and password equal the stored ones. Its two icons show the password hint and open the login
 * recovery.
 */
class LoginWindow : public QDialog
{
    Q_OBJECT

public:
    /** Reads the login details of the data folder (the defaults, announced, when they are missing). */
    explicit LoginWindow(const QString& dataFolder, QWidget* parent = nullptr);

    /**
     * Runs the login at start: accepted at once, without the window, when the status file says the
     * login is off; otherwise the window's result. A missing status file is created holding 0.
     */
    static bool run(const QString& dataFolder, QWidget* parent = nullptr);

    /**
     * Loads a data folder's login details for a login dialog: a missing file is replaced by the
     * defaults with the two notices, and a file that cannot be written is reported with its reason.
     */
    static LoginDetails loadDetails(const QString& dataFolder, QWidget* parent);

private:
    void tryLogin();
    void showHint();
    void openRecovery();

    QString m_dataFolder;
    LoginDetails m_details;
    QLineEdit* m_nameEdit;
    QLineEdit* m_passwordEdit;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QToolButton* m_hintButton;
    QToolButton* m_recoveryButton;
};

/** Shows a login file's write failure: which file, and why. */
void reportLoginFileError(QWidget* parent, const QString& error);

} // namespace korvane
