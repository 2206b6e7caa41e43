#include "shell/CalendarPublishDialog.h"

#include "publish/CalendarPublisher.h"
#include "publish/PublishState.h"
#include "shell/PasswordKeyring.h"
#include "ui/UserDialogs.h"
#include "views/widgets/ProjectRangePicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace korvane {

namespace {

QLineEdit* lineEdit(const QString& name, const QString& accessibleName, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    return edit;
}

QString changedItems(const PublishSummary& summary)
{
    QStringList lines;
    for (const ServerChange& change : summary.changedOnServer)
        lines.append(QStringLiteral("- %1").arg(change.summary.isEmpty() ? QString::fromUtf8(change.uid)
                                                                         : change.summary));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

CalendarPublishDialog::CalendarPublishDialog(const RecordStore& store, QWidget* parent)
    : QDialog(parent), m_store(store)
{
    setObjectName(QStringLiteral("calendarPublishDialog"));
    setWindowTitle(QStringLiteral("Publish To Calendar Server"));
    setAccessibleName(windowTitle());

    m_url = lineEdit(QStringLiteral("urlEdit"), QStringLiteral("Calendar address"), this);
    m_url->setPlaceholderText(QStringLiteral("https://server.example/calendars/me/work/"));
    m_user = lineEdit(QStringLiteral("userEdit"), QStringLiteral("User name"), this);
    m_password = lineEdit(QStringLiteral("passwordEdit"), QStringLiteral("Password"), this);
    m_password->setEchoMode(QLineEdit::Password);
    m_remember = new QCheckBox(QStringLiteral("&Keep the password in the desktop's keyring"), this);
    m_remember->setObjectName(QStringLiteral("rememberCheck"));
    m_remember->setAccessibleName(QStringLiteral("Keep the password in the desktop's keyring"));
    m_remember->setChecked(true);
    auto* form = new QFormLayout;
    const std::pair<const char*, QLineEdit*> rows[] = {
        {"Calendar &address :", m_url}, {"&User name :", m_user}, {"Pass&word :", m_password}};
    for (const auto& [text, edit] : rows) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setBuddy(edit);
        form->addRow(label, edit);
    }
    form->addRow(QString(), m_remember);

    m_picker = new ProjectRangePicker(store, this);

    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    m_publish = buttons->addButton(QStringLiteral("&Publish"), QDialogButtonBox::AcceptRole);
    m_publish->setObjectName(QStringLiteral("publishButton"));
    m_publish->setAccessibleName(QStringLiteral("Publish"));
    m_publish->setDefault(true);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAccessibleName(QStringLiteral("Close"));
    connect(m_publish, &QPushButton::clicked, this, &CalendarPublishDialog::publishChecked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_picker, 1);
    layout->addWidget(buttons);
    setTabOrder(m_url, m_user);
    setTabOrder(m_user, m_password);
    setTabOrder(m_password, m_remember);
    setTabOrder(m_remember, m_picker->fromEdit());
    resize(560, 560);

    const QString last = PublishState::lastUrl();
    if (!last.isEmpty()) {
        m_url->setText(last);
        m_user->setText(PublishState::load(last).user());
    }
}

QString CalendarPublishDialog::keyringKey() const
{
    return m_user->text().trimmed() + QLatin1Char('@') +
           CalendarPublisher::stateKey(QUrl(m_url->text().trimmed()));
}

PublishSummary CalendarPublishDialog::run(const QList<QByteArray>& projects, const QString& password,
                                          bool overwrite)
{
    QProgressDialog progress(QStringLiteral("Publishing tasks and meetings..."), QStringLiteral("Stop"), 0, 0,
                             this);
    progress.setObjectName(QStringLiteral("publishProgress"));
    progress.setAccessibleName(QStringLiteral("Publishing"));
    progress.setWindowModality(Qt::WindowModal);
    CalendarPublisher publisher(m_store, QUrl(m_url->text().trimmed()), m_user->text().trimmed(), password);
    publisher.setTimeout(m_timeout);
    return publisher.publish(projects, overwrite, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    });
}

void CalendarPublishDialog::publishChecked()
{
    const QList<QByteArray> projects = m_picker->checkedProjects();
    if (m_url->text().trimmed().isEmpty()) {
        UserDialogs::message(this, QStringLiteral("Type the address of the calendar to publish to."),
                             UserDialogs::Icon::Warning);
        return;
    }
    if (projects.isEmpty()) {
        UserDialogs::message(this, QStringLiteral("Check at least one project to publish."),
                             UserDialogs::Icon::Warning);
        return;
    }
    QString password = m_password->text();
    if (password.isEmpty() && !m_user->text().trimmed().isEmpty())
        password = PasswordKeyring::read(keyringKey()).value_or(QString());

    PublishSummary summary = run(projects, password, false);
    if (!summary.ok()) {
        UserDialogs::message(this, QStringLiteral("The calendar was not published.\n%1").arg(summary.error),
                             UserDialogs::Icon::Critical);
        return;
    }
    if (m_remember->isChecked() && !m_password->text().isEmpty())
        PasswordKeyring::write(keyringKey(), m_password->text());
    QString report = summary.countsLine();
    if (!summary.changedOnServer.isEmpty()) {
        const bool replace = UserDialogs::askYesNo(
            this, QStringLiteral("These items were changed on the calendar server since the last publish and "
                                 "were left as they are there:\n%1\n\nReplace them with Korvane's version?")
                      .arg(changedItems(summary)));
        if (replace) {
            summary = run(projects, password, true);
            if (!summary.ok()) {
                UserDialogs::message(this,
                                     QStringLiteral("The calendar was not published.\n%1").arg(summary.error),
                                     UserDialogs::Icon::Critical);
                return;
            }
            report = summary.countsLine();
        }
    }
    UserDialogs::message(this, QStringLiteral("Published: %1.").arg(report));
}

} // namespace korvane
