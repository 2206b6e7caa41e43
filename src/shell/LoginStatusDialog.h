#pragma once

#include "store/LoginFiles.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvane {

/**
 * The "Set Login Status" dialog: with the current login name and password typed right, switches
 * the login window at start off ("Disable Login") or on ("Enable Login").
 */
class LoginStatusDialog : public QDialog
{
    Q_OBJECT

public:
    /** Reads the login details and the status of the data folder (creating a missing status as 0). */
    explicit LoginStatusDialog(const QString& dataFolder, QWidget* parent = nullptr);

private:
    void checkLogin();
    void store();

    QString m_dataFolder;
    LoginDetails m_details;
    QLineEdit* m_nameEdit;
    QLineEdit* m_passwordEdit;
    QRadioButton* m_disableButton;
    QRadioButton* m_enableButton;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace korvane
