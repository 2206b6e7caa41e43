#include "CliApp.h"

#include "publish/CalendarPublisher.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QFile>
#include <QUrl>

namespace korvane {

int CliApp::publish(const QList<QByteArray>& args)
{
    static const char* const usage =
        "publish URL [--project ID]... [--user NAME] [--password-file FILE] [--force]";
    if (args.isEmpty())
        usageLine(usage);
    const QUrl url(QString::fromUtf8(args[0]), QUrl::StrictMode);
    QList<QByteArray> projects;
    std::optional<QString> user;
    std::optional<QString> passwordFile;
    bool force = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == "--project" && i + 1 < args.size())
            projects.append(args[++i]);
        else if (args[i] == "--user" && !user && i + 1 < args.size())
            user = QString::fromUtf8(args[++i]);
        else if (args[i] == "--password-file" && !passwordFile && i + 1 < args.size())
            passwordFile = QFile::decodeName(args[++i]);
        else if (args[i] == "--force" && !force)
            force = true;
        else
            usageLine(usage);
    }

    QString password;
    if (passwordFile) {
        QByteArray bytes;
        QString error;
        if (!SafeFile::read(*passwordFile, bytes, &error))
            fail(InvalidInput, error);
        // The first line, so a file written by echo works as one written without a line feed.
        password = QString::fromUtf8(bytes.split('\n').first()).remove(QLatin1Char('\r'));
    }

    const RecordStore& records = store();
    if (projects.isEmpty()) {
        for (const auto& entry : records.projects())
            projects.append(entry.key);
    }
    for (const QByteArray& project : std::as_const(projects)) {
        if (!records.projects().contains(project))
            fail(InvalidInput,
                 QStringLiteral("no project with the identifier \"%1\"").arg(displayText(project)));
    }

    CalendarPublisher publisher(records, url, user.value_or(QString()), password);
    const PublishSummary summary = publisher.publish(projects, force);
    if (!summary.ok())
        fail(InvalidInput, summary.error);
    print(summary.countsLine().toUtf8());
    for (const ServerChange& change : summary.changedOnServer)
        print(change.uid + '\t' + change.summary.toUtf8());
    return Success;
}

} // namespace korvane
