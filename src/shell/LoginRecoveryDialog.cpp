#include "shell/LoginRecoveryDialog.h"

#include "records/Text.h"
#include "shell/DialogButtons.h"
#include "shell/LoginWindow.h"
#include "store/LoginCipher.h"
#include "ui/UserDialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

namespace {

// A malformed stored text recovers as nothing, as an empty one does.
QString recovered(const QByteArray& stored)
{
    return displayText(decipherLoginText(stored).value_or(QByteArray()));
}

} // namespace

LoginRecoveryDialog::LoginRecoveryDialog(const QString& dataFolder, QWidget* parent)
    : QDialog(parent), m_questionEdit(new QLineEdit(this)), m_answerEdit(new QLineEdit(this)),
      m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Login Recovery"));
    setObjectName(QStringLiteral("LoginRecoveryDialog"));

    m_questionEdit->setObjectName(QStringLiteral("questionEdit"));
    m_questionEdit->setReadOnly(true);
    m_questionEdit->setMinimumWidth(240);
    m_answerEdit->setObjectName(QStringLiteral("answerEdit"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Hint Question : "), m_questionEdit);
    form->addRow(QStringLiteral("Type Your Answer :"), m_answerEdit);
    QHBoxLayout* buttons = okCancelRow(m_okButton, m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_okButton, &QPushButton::clicked, this, &LoginRecoveryDialog::checkAnswer);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    m_details = LoginWindow::loadDetails(dataFolder, parent);
    m_questionEdit->setText(displayText(m_details.hintQuestion));
}

void LoginRecoveryDialog::checkAnswer()
{
    if (storedText(m_answerEdit->text()) != m_details.hintAnswer) {
        UserDialogs::message(this, QStringLiteral("Answer Incorrect!!!"), UserDialogs::Icon::Warning);
        return;
    }
    UserDialogs::message(this, QStringLiteral("Your Login Name is     : ") + recovered(m_details.loginName) +
                                   QStringLiteral("\r\nYour Login Password is : ") +
                                   recovered(m_details.password));
    accept();
}

} // namespace korvane
