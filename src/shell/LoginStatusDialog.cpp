#include "shell/LoginStatusDialog.h"

#include "records/Text.h"
#include "shell/DialogButtons.h"
#include "shell/LoginWindow.h"
#include "ui/UserDialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvane {

LoginStatusDialog::LoginStatusDialog(const QString& dataFolder, QWidget* parent)
    : QDialog(parent), m_dataFolder(dataFolder), m_nameEdit(new QLineEdit(this)),
      m_passwordEdit(new QLineEdit(this)), m_disableButton(new QRadioButton(QStringLiteral("Disable Login"))),
      m_enableButton(new QRadioButton(QStringLiteral("Enable Login"))),
      m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Set Login Status"));
    setObjectName(QStringLiteral("LoginStatusDialog"));

    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_nameEdit->setMinimumWidth(200);
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_disableButton->setObjectName(QStringLiteral("disableLoginButton"));
    m_enableButton->setObjectName(QStringLiteral("enableLoginButton"));

    auto* option = new QGroupBox(QStringLiteral("Option"), this);
    option->setObjectName(QStringLiteral("optionGroup"));
    auto* optionLayout = new QVBoxLayout(option);
    optionLayout->addWidget(m_disableButton);
    optionLayout->addWidget(m_enableButton);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Current Login Name : "), m_nameEdit);
    form->addRow(QStringLiteral("Current Login Password : "), m_passwordEdit);
    QHBoxLayout* buttons = okCancelRow(m_okButton, m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(option);
    layout->addLayout(buttons);

    connect(m_nameEdit, &QLineEdit::textChanged, this, &LoginStatusDialog::checkLogin);
    connect(m_passwordEdit, &QLineEdit::textChanged, this, &LoginStatusDialog::checkLogin);
    connect(m_okButton, &QPushButton::clicked, this, &LoginStatusDialog::store);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_details = LoginWindow::loadDetails(dataFolder, parent);
    QString error;
    const std::int32_t status = LoginFiles(dataFolder).readStatus(&error);
    if (!error.isEmpty())
        reportLoginFileError(parent, error);
    (status != 0 ? m_disableButton : m_enableButton)->setChecked(true);
    checkLogin();
}

void LoginStatusDialog::checkLogin()
{
    m_okButton->setEnabled(
        LoginFiles::matches(m_details, storedText(m_nameEdit->text()), storedText(m_passwordEdit->text())));
}

void LoginStatusDialog::store()
{
    if (!m_okButton->isEnabled())
        return;
    const bool disable = m_disableButton->isChecked();
    const QString error = LoginFiles(m_dataFolder).writeStatus(disable ? 1 : 0);
    if (!error.isEmpty()) {
        reportLoginFileError(this, error);
        return;
    }
    UserDialogs::message(this, disable ? QStringLiteral("Login Window Disabled")
                                       : QStringLiteral("Login Window Enabled"));
    accept();
}

} // namespace korvane
