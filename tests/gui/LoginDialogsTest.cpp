// The login window, login recovery, change login and login status dialogs.

#include "gui/GuiTestSupport.h"

#include "shell/ChangeLoginDialog.h"
#include "shell/LoginStatusDialog.h"
#include "shell/LoginWindow.h"
#include "store/LoginFiles.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

const QString kLost = QStringLiteral("Your Login Details may be corrupted or lost");
const QString kDefaults =
    QStringLiteral("Default Login Details are Loaded which is provied to you while purchase");
const QString kNoMatch = QStringLiteral("Name and Password don't match\ntry again");

QLineEdit* edit(QWidget& widget, const char* name)
{
    return widget.findChild<QLineEdit*>(QString::fromLatin1(name));
}

QAbstractButton* button(QWidget& widget, const char* name)
{
    return widget.findChild<QAbstractButton*>(QString::fromLatin1(name));
}

void type(QWidget& widget, const char* name, const QString& text)
{
    QLineEdit* field = edit(widget, name);
    QVERIFY2(field, name);
    field->setText(text);
}

/** Types the name and the password into a login window and presses `button`. */
void logIn(QDialog& dialog, const QString& name, const QString& password, const char* button = "okButton")
{
    type(dialog, "loginNameEdit", name);
    type(dialog, "passwordEdit", password);
    clickChild(dialog, button);
}

/** A data folder whose login files exist (quiet defaults), as every data folder made at start has. */
LoginFiles readyFiles(const GuiWorld& world)
{
    LoginFiles files(world.dataFolder());
    files.load(true);
    return files;
}

} // namespace

class LoginDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void loginOk_data();
    void loginOk();
    void loginCancelEnds();
    void unwritableDetailsFileIsReported();
    void hintShowsPasswordHint();
    void recovery_data();
    void recovery();
    void changeLoginEnablesOnlyOnMatch();
    void changeLoginWritesNewDetailsAndSwitchesLoginOn();
    void loginStatusOffAndOn();
};

void LoginDialogsTest::loginOk_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    dataRow("right", "anna", "Secret 1", true);
    dataRow("wrong password", "anna", "secret 1", false);
}

void LoginDialogsTest::loginOk()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, accepted);

    GuiWorld world;
    QCOMPARE(LoginFiles(world.dataFolder()).changeLogin("anna", "Secret 1", "hint", "q", "a"), QString());
    QStringList messagesAfterOk;
    QString nameKept;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        logIn(dialog, name, password);
        messagesAfterOk = UserDialogs::takeMessages();
        nameKept = edit(dialog, "loginNameEdit")->text();
    });

    QCOMPARE(LoginWindow::run(world.dataFolder()), accepted);
    QCOMPARE(messagesAfterOk, accepted ? QStringList() : QStringList{kNoMatch});
    // A refused login keeps what was typed.
    QCOMPARE(nameKept, name);
}

void LoginDialogsTest::loginCancelEnds()
{
    GuiWorld world;
    LoginFiles files = readyFiles(world);
    QVERIFY(!QFileInfo::exists(files.statusPath()));
    // The password is never shown, and Return presses OK.
    bool hidden = false;
    bool okIsDefault = false;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        hidden = edit(dialog, "passwordEdit")->echoMode() == QLineEdit::Password;
        okIsDefault = qobject_cast<QPushButton*>(button(dialog, "okButton"))->isDefault();
        logIn(dialog, QStringLiteral("naro"), QStringLiteral("naro"), "cancelButton");
    });
    // A missing status file means the window is shown; it is created (holding 0: LoginFilesTest).
    QVERIFY(!LoginWindow::run(world.dataFolder()));
    QVERIFY(hidden);
    QVERIFY(okIsDefault);
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QVERIFY(QFileInfo::exists(files.statusPath()));
}

void LoginDialogsTest::unwritableDetailsFileIsReported()
{
    GuiWorld world;
    LoginFiles files(world.dataFolder());
    // A folder in the way of the details file: it can be neither read nor replaced, even by root.
    QVERIFY(QDir().mkpath(files.detailsPath()));
    QVERIFY(QDir().mkpath(files.statusPath()));

    LoginWindow window(world.dataFolder());
    const QStringList messages = UserDialogs::takeMessages();
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages[0], kLost);
    QCOMPARE(messages[1], kDefaults);
    QVERIFY2(messages[2].startsWith(QStringLiteral("A login file could not be written:\n") +
                                    files.detailsPath() + QStringLiteral(": ")),
             qPrintable(messages[2]));

    // The defaults still let the user in; the status file that cannot be made is reported too.
    answerDialogs(nullptr,
                  [](QDialog& dialog) { logIn(dialog, QStringLiteral("naro"), QStringLiteral("naro")); });
    QVERIFY(LoginWindow::run(world.dataFolder()));
    const QStringList runMessages = UserDialogs::takeMessages();
    QVERIFY(!runMessages.isEmpty());
    QVERIFY2(runMessages[0].contains(files.statusPath()), qPrintable(runMessages.join('|')));
}

void LoginDialogsTest::hintShowsPasswordHint()
{
    GuiWorld world;
    QCOMPARE(LoginFiles(world.dataFolder()).changeLogin("anna", "pw", "my cat's name", "q", "a"), QString());
    LoginWindow window(world.dataFolder());
    button(window, "hintButton")->click();
    QCOMPARE(UserDialogs::takeMessages(), QStringList{QStringLiteral("Password Hint : my cat's name")});
    QCOMPARE(window.result(), int(QDialog::Rejected));
}

void LoginDialogsTest::recovery_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right") << "Rex the dog" << true;
    QTest::newRow("other case") << "rex the dog" << false;
    QTest::newRow("extra blank") << "Rex the dog " << false;
}

void LoginDialogsTest::recovery()
{
    QFETCH(QString, answer);
    QFETCH(bool, accepted);

    GuiWorld world;
    QCOMPARE(LoginFiles(world.dataFolder())
                 .changeLogin("anna", "Secret 1", "hint", "What is your Pet name?", "Rex the dog"),
             QString());
    LoginWindow window(world.dataFolder());
    QString question;
    bool questionReadOnly = false;
    int result = -1;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        question = edit(dialog, "questionEdit")->text();
        questionReadOnly = edit(dialog, "questionEdit")->isReadOnly();
        type(dialog, "answerEdit", answer);
        button(dialog, "okButton")->click();
        result = dialog.result();
    });
    button(window, "recoveryButton")->click();
    QCOMPARE(question, QStringLiteral("What is your Pet name?"));
    QVERIFY(questionReadOnly);
    QCOMPARE(result, int(accepted ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(UserDialogs::takeMessages(),
             QStringList{accepted ? QStringLiteral(
                                        "Your Login Name is     : anna\r\nYour Login Password is : Secret 1")
                                  : QStringLiteral("Answer Incorrect!!!")});
    // The login window is still waiting.
    QCOMPARE(window.result(), int(QDialog::Rejected));
}

void LoginDialogsTest::changeLoginEnablesOnlyOnMatch()
{
    GuiWorld world;
    readyFiles(world);
    ChangeLoginDialog dialog(world.dataFolder());
    QCOMPARE(edit(dialog, "oldPasswordEdit")->echoMode(), QLineEdit::Password);
    QCOMPARE(edit(dialog, "newPasswordEdit")->echoMode(), QLineEdit::Password);
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("hintQuestionCombo"));
    QVERIFY(combo);

    const QList<QWidget*> newLogin{edit(dialog, "newNameEdit"),      edit(dialog, "newPasswordEdit"),
                                   edit(dialog, "passwordHintEdit"), combo,
                                   edit(dialog, "hintAnswerEdit"),   button(dialog, "okButton")};
    const auto enabledCount = [&] {
        return int(
            std::count_if(newLogin.begin(), newLogin.end(), [](QWidget* w) { return w->isEnabled(); }));
    };
    QCOMPARE(enabledCount(), 0);
    type(dialog, "oldNameEdit", QStringLiteral("naro"));
    QCOMPARE(enabledCount(), 0);
    type(dialog, "oldPasswordEdit", QStringLiteral("naro"));
    QCOMPARE(enabledCount(), 6);
    type(dialog, "oldPasswordEdit", QStringLiteral("naro2"));
    QCOMPARE(enabledCount(), 0);
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
}

void LoginDialogsTest::changeLoginWritesNewDetailsAndSwitchesLoginOn()
{
    GuiWorld world;
    LoginFiles files = readyFiles(world);
    {
        ChangeLoginDialog cancelled(world.dataFolder());
        type(cancelled, "oldNameEdit", QStringLiteral("naro"));
        type(cancelled, "oldPasswordEdit", QStringLiteral("naro"));
        type(cancelled, "newNameEdit", QStringLiteral("Ben"));
        button(cancelled, "cancelButton")->click();
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QVERIFY(files.matches("naro", "naro"));
    }

    ChangeLoginDialog dialog(world.dataFolder());
    type(dialog, "oldNameEdit", QStringLiteral("naro"));
    type(dialog, "oldPasswordEdit", QStringLiteral("naro"));
    type(dialog, "newNameEdit", QStringLiteral("Ben"));
    type(dialog, "newPasswordEdit", QStringLiteral("h0rse Battery"));
    type(dialog, "passwordHintEdit", QStringLiteral("stable"));
    dialog.findChild<QComboBox*>(QStringLiteral("hintQuestionCombo"))->setCurrentIndex(1);
    type(dialog, "hintAnswerEdit", QStringLiteral("Ada"));
    button(dialog, "okButton")->click();

    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(UserDialogs::takeMessages(),
             QStringList{QStringLiteral("Your Login Name and Password has been changed")});
    QVERIFY(files.matches("Ben", "h0rse Battery"));
    QVERIFY(!files.matches("naro", "naro"));
    const LoginDetails details = files.load(true).details;
    QCOMPARE(details.passwordHint, QByteArray("stable"));
    QCOMPARE(details.hintQuestion, QByteArray("What is your Partner Name?"));
    QCOMPARE(details.hintAnswer, QByteArray("Ada"));
}

void LoginDialogsTest::loginStatusOffAndOn()
{
    GuiWorld world;
    LoginFiles files = readyFiles(world);
    {
        LoginStatusDialog dialog(world.dataFolder());
        // The missing status file is created holding 0 when the dialog opens.
        QCOMPARE(files.readStatus(), 0);
        QCOMPARE(edit(dialog, "passwordEdit")->echoMode(), QLineEdit::Password);
        QVERIFY(button(dialog, "enableLoginButton")->isChecked());
        // OK waits for the login's name and password.
        QAbstractButton* ok = button(dialog, "okButton");
        type(dialog, "nameEdit", QStringLiteral("naro"));
        QVERIFY(!ok->isEnabled());
        type(dialog, "passwordEdit", QStringLiteral("naro"));
        QVERIFY(ok->isEnabled());
        button(dialog, "disableLoginButton")->click();
        button(dialog, "okButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(UserDialogs::takeMessages(), QStringList{QStringLiteral("Login Window Disabled")});
        QCOMPARE(files.readStatus(), 1);
    }
    QVERIFY(LoginWindow::run(world.dataFolder()));
    {
        LoginStatusDialog dialog(world.dataFolder());
        QVERIFY(button(dialog, "disableLoginButton")->isChecked());
        type(dialog, "nameEdit", QStringLiteral("naro"));
        type(dialog, "passwordEdit", QStringLiteral("naro"));
        button(dialog, "enableLoginButton")->click();
        button(dialog, "okButton")->click();
        QCOMPARE(UserDialogs::takeMessages(), QStringList{QStringLiteral("Login Window Enabled")});
        QCOMPARE(files.readStatus(), 0);
    }
    int shown = 0;
    UserDialogs::setDialogHandler([&](QDialog&) {
        ++shown;
        return int(QDialog::Rejected);
    });
    QVERIFY(!LoginWindow::run(world.dataFolder()));
    QCOMPARE(shown, 1);
}

QTEST_MAIN(LoginDialogsTest)
#include "LoginDialogsTest.moc"
