#include "shell/LoginWindow.h"

#include "records/Text.h"
#include "shell/LoginRecoveryDialog.h"
#include "ui/UserDialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kIconSize = 24;

QPixmap blankIcon()
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A question mark in a yellow bubble: the password hint.
QIcon hintIcon()
{
    QPixmap pixmap = blankIcon();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x8a, 0x6d, 0x00), 1.5));
    painter.setBrush(QColor(0xff, 0xe0, 0x6a));
    painter.drawEllipse(QRectF(2, 2, 20, 20));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(QColor(0x40, 0x30, 0x00));
    painter.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(pixmap);
}

// A key: the login recovery.
QIcon recoveryIcon()
{
    QPixmap pixmap = blankIcon();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor gold(0xd4, 0xa0, 0x17);
    painter.setPen(QPen(QColor(0x7a, 0x5a, 0x05), 1.5));
    painter.setBrush(gold);
    QPainterPath key;
    key.addEllipse(QRectF(2, 7, 10, 10));
    key.addRect(QRectF(11, 10.5, 11, 3));
    key.addRect(QRectF(16, 13, 2.5, 4));
    key.addRect(QRectF(19.5, 13, 2.5, 3));
    painter.drawPath(key.simplified());
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(4.5, 10, 4, 4));
    return QIcon(pixmap);
}

QToolButton* iconButton(QWidget* parent, const QString& name, const QString& objectName, const QIcon& icon)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setIcon(icon);
    button->setIconSize(QSize(kIconSize, kIconSize));
    button->setAutoRaise(true);
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setText(name);
    return button;
}

} // namespace

void reportLoginFileError(QWidget* parent, const QString& error)
{
    UserDialogs::message(parent, QStringLiteral("A login file could not be written:\n") + error,
                         UserDialogs::Icon::Warning);
}

LoginDetails LoginWindow::loadDetails(const QString& dataFolder, QWidget* parent)
{
    const LoginFiles::LoadResult loaded = LoginFiles(dataFolder).load(false);
    // Not quiet: when anything is said, the first two texts are the "details lost" notices, and a
    // third one is the reason the defaults could not be written.
    constexpr qsizetype noticeCount = 2;
    for (qsizetype i = 0; i < loaded.messages.size(); ++i) {
        if (i < noticeCount)
            UserDialogs::message(parent, loaded.messages[i]);
        else
            reportLoginFileError(parent, loaded.messages[i]);
    }
    return loaded.details;
}

LoginWindow::LoginWindow(const QString& dataFolder, QWidget* parent)
    : QDialog(parent), m_dataFolder(dataFolder), m_nameEdit(new QLineEdit(this)),
      m_passwordEdit(new QLineEdit(this)),
      m_okButton(
          new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                     QStringLiteral("Cancel"), this)),
      m_hintButton(
          iconButton(this, QStringLiteral("Password Hint"), QStringLiteral("hintButton"), hintIcon())),
      m_recoveryButton(iconButton(this, QStringLiteral("Login Recovery"), QStringLiteral("recoveryButton"),
                                  recoveryIcon()))
{
    setWindowTitle(QStringLiteral("Korvane Login"));
    setObjectName(QStringLiteral("LoginWindow"));

    m_nameEdit->setObjectName(QStringLiteral("loginNameEdit"));
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setAccessibleName(QStringLiteral("OK"));
    m_okButton->setDefault(true);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setAccessibleName(QStringLiteral("Cancel"));
    m_cancelButton->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Login Name :"), m_nameEdit);
    form->addRow(QStringLiteral("Password :"), m_passwordEdit);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_hintButton);
    buttons->addWidget(m_recoveryButton);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    m_nameEdit->setMinimumWidth(200);

    connect(m_okButton, &QPushButton::clicked, this, &LoginWindow::tryLogin);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_hintButton, &QToolButton::clicked, this, &LoginWindow::showHint);
    connect(m_recoveryButton, &QToolButton::clicked, this, &LoginWindow::openRecovery);

    m_details = loadDetails(dataFolder, parent);
}

bool LoginWindow::run(const QString& dataFolder, QWidget* parent)
{
    QString error;
    const bool enabled = LoginFiles(dataFolder).isLoginEnabled(&error);
    if (!error.isEmpty())
        reportLoginFileError(parent, error);
    if (!enabled)
        return true;
    LoginWindow window(dataFolder, parent);
    return UserDialogs::exec(window) == QDialog::Accepted;
}

void LoginWindow::tryLogin()
{
    if (LoginFiles::matches(m_details, storedText(m_nameEdit->text()), storedText(m_passwordEdit->text()))) {
        accept();
        return;
    }
    UserDialogs::message(this, QStringLiteral("Name and Password don't match\ntry again"),
                         UserDialogs::Icon::Warning);
}

void LoginWindow::showHint()
{
    UserDialogs::message(this, QStringLiteral("Password Hint : ") + displayText(m_details.passwordHint));
}

void LoginWindow::openRecovery()
{
    LoginRecoveryDialog dialog(m_dataFolder, this);
    UserDialogs::exec(dialog);
}

} // namespace korvane
