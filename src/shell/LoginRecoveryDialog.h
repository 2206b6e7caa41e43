#pragma once

#include "store/LoginFiles.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace korvane {

/**
 * The "Login Recovery" dialog: shows the stored hint question and, for the right answer, tells
 * the login name and password.
 */
class LoginRecoveryDialog : public QDialog
{
    Q_OBJECT

public:
    /** Reads the login details of the data folder (the defaults, announced, when they are missing). */
    explicit LoginRecoveryDialog(const QString& dataFolder, QWidget* parent = nullptr);

private:
    void checkAnswer();

    LoginDetails m_details;
    QLineEdit* m_questionEdit;
    QLineEdit* m_answerEdit;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace korvane
