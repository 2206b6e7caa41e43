#pragma once

#include "store/LoginFiles.h"

#include <QDialog>
#include <QList>
#include <QString>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace korvane {

/**
 * The "Change Login" dialog: once the old login name and password are typed right, the new name,
 * password, hint, hint question and answer can be entered; OK stores them and switches the login
 * window on again.
 */
class ChangeLoginDialog : public QDialog
{
    Q_OBJECT

public:
    /** Reads the login details of the data folder (the defaults, announced, when they are missing). */
    explicit ChangeLoginDialog(const QString& dataFolder, QWidget* parent = nullptr);

private:
    void checkOldLogin();
    void store();

    QString m_dataFolder;
    LoginDetails m_details;
    QLineEdit* m_oldNameEdit;
    QLineEdit* m_oldPasswordEdit;
    QLineEdit* m_newNameEdit;
    QLineEdit* m_newPasswordEdit;
    QLineEdit* m_passwordHintEdit;
    QComboBox* m_hintQuestionCombo;
    QLineEdit* m_hintAnswerEdit;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    /** The five new-login fields and OK, enabled together. */
    QList<QWidget*> m_newLoginWidgets;
};

} // namespace korvane
