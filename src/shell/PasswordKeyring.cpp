#include "shell/PasswordKeyring.h"

#include "ui/UserDialogs.h"

#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace korvane {

namespace {

const QString kService = QStringLiteral("Korvane calendar publishing");
// A keyring that is there answers at once; one that hangs must not hold the dialog up for long.
constexpr int kMostWait = 5000;

/** Runs the job and waits for it, for a bounded time; true when it ended without error. */
bool finish(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    bool done = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(kMostWait, &loop, &QEventLoop::quit);
    job.start();
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done && job.error() == QKeychain::NoError;
}

} // namespace

std::optional<QString> PasswordKeyring::read(const QString& key)
{
    if (UserDialogs::isTestMode())
        return std::nullopt;
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key);
    if (!finish(job))
        return std::nullopt;
    return job.textData();
}

bool PasswordKeyring::write(const QString& key, const QString& password)
{
    if (UserDialogs::isTestMode())
        return false;
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key);
    job.setTextData(password);
    return finish(job);
}

} // namespace korvane
