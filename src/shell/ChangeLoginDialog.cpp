#include "shell/ChangeLoginDialog.h"

#include "records/Text.h"
#include "shell/DialogButtons.h"
#include "shell/LoginWindow.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

namespace {

QLineEdit* lineEdit(QWidget* parent, const QString& objectName, bool masked = false)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    if (masked)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

} // namespace

ChangeLoginDialog::ChangeLoginDialog(const QString& dataFolder, QWidget* parent)
    : QDialog(parent), m_dataFolder(dataFolder), m_oldNameEdit(lineEdit(this, QStringLiteral("oldNameEdit"))),
      m_oldPasswordEdit(lineEdit(this, QStringLiteral("oldPasswordEdit"), true)),
      m_newNameEdit(lineEdit(this, QStringLiteral("newNameEdit"))),
      m_newPasswordEdit(lineEdit(this, QStringLiteral("newPasswordEdit"), true)),
      m_passwordHintEdit(lineEdit(this, QStringLiteral("passwordHintEdit"))),
      m_hintQuestionCombo(new QComboBox(this)),
      m_hintAnswerEdit(lineEdit(this, QStringLiteral("hintAnswerEdit"))),
      m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Change Login"));
    setObjectName(QStringLiteral("ChangeLoginDialog"));

    m_hintQuestionCombo->setObjectName(QStringLiteral("hintQuestionCombo"));
    m_hintQuestionCombo->addItems(
        {QStringLiteral("What is your Pet name?"), QStringLiteral("What is your Partner Name?")});

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Old Login Name :"), m_oldNameEdit);
    form->addRow(QStringLiteral("Old Password :"), m_oldPasswordEdit);
    form->addRow(QStringLiteral("New Login  Name : "), m_newNameEdit);
    form->addRow(QStringLiteral("New Password : "), m_newPasswordEdit);
    form->addRow(QStringLiteral("Password Hint : "), m_passwordHintEdit);
    form->addRow(QStringLiteral("Hint Question : "), m_hintQuestionCombo);
    form->addRow(QStringLiteral("Hint Answer : "), m_hintAnswerEdit);
    QHBoxLayout* buttons = okCancelRow(m_okButton, m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    m_oldNameEdit->setMinimumWidth(220);

    m_newLoginWidgets = {m_newNameEdit,       m_newPasswordEdit, m_passwordHintEdit,
                         m_hintQuestionCombo, m_hintAnswerEdit,  m_okButton};
    connect(m_oldNameEdit, &QLineEdit::textChanged, this, &ChangeLoginDialog::checkOldLogin);
    connect(m_oldPasswordEdit, &QLineEdit::textChanged, this, &ChangeLoginDialog::checkOldLogin);
    connect(m_okButton, &QPushButton::clicked, this, &ChangeLoginDialog::store);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_details = LoginWindow::loadDetails(dataFolder, parent);
    for (QWidget* widget : std::as_const(m_newLoginWidgets))
        widget->setEnabled(false);
}

void ChangeLoginDialog::checkOldLogin()
{
    const bool match = LoginFiles::matches(m_details, storedText(m_oldNameEdit->text()),
                                           storedText(m_oldPasswordEdit->text()));
    for (QWidget* widget : std::as_const(m_newLoginWidgets))
        widget->setEnabled(match);
}

void ChangeLoginDialog::store()
{
    if (!m_okButton->isEnabled())
        return;
    const QString error =
        LoginFiles(m_dataFolder)
            .changeLogin(storedText(m_newNameEdit->text()), storedText(m_newPasswordEdit->text()),
                         storedText(m_passwordHintEdit->text()),
                         storedText(m_hintQuestionCombo->currentText()),
                         storedText(m_hintAnswerEdit->text()));
    if (!error.isEmpty()) {
        reportLoginFileError(this, error);
        return;
    }
    UserDialogs::message(this, QStringLiteral("Your Login Name and Password has been changed"));
    accept();
}

} // namespace korvane
