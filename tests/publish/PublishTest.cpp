#include "integration/CalendarWriter.h"
#include "publish/CalendarPublisher.h"
#include "records/RecordCodec.h"
#include "store/ProgramFolder.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace korvane;

namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kHelper = QStringLiteral(KORVANE_TEST_SOURCE "/publish/caldav_client.py");

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

std::map<QString, QByteArray> folderBytes(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QFile file(folder + '/' + name);
        file.open(QIODevice::ReadOnly);
        files[name] = file.readAll();
    }
    return files;
}

/** A Radicale server of the test's own on 127.0.0.1, with one user and one calendar, and a project to
 * publish. */
class PublishTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.isValid() && m_data.isValid() && m_program.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("radicale")).isEmpty())
            GTEST_SKIP() << "radicale is not installed (Debian package radicale)";
        if (QProcess::execute(kPython, {QStringLiteral("-c"), QStringLiteral("import caldav, icalendar")}) !=
            0)
            GTEST_SKIP() << "python3-caldav or python3-icalendar is not installed";
        m_port = freePort();
        SafeFile::write(m_server.filePath(QStringLiteral("users")), "ann:secret\n");
        SafeFile::write(m_server.filePath(QStringLiteral("config")),
                        QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\n"
                                       "htpasswd_filename = %2\nhtpasswd_encryption = plain\n[storage]\n"
                                       "filesystem_folder = %3\n[rights]\ntype = owner_only\n")
                            .arg(m_port)
                            .arg(m_server.filePath(QStringLiteral("users")),
                                 m_server.filePath(QStringLiteral("collections")))
                            .toUtf8());
        m_radicale.setProcessChannelMode(QProcess::MergedChannels);
        m_radicale.start(QStringLiteral("radicale"),
                         {QStringLiteral("--config"), m_server.filePath(QStringLiteral("config"))});
        if (!waitForPort())
            GTEST_SKIP() << "radicale did not start: " << m_radicale.readAll().toStdString();
        const QByteArray url = helper({QStringLiteral("make"), base(), QStringLiteral("ann"),
                                       QStringLiteral("secret"), QStringLiteral("work")})
                                   .trimmed();
        ASSERT_TRUE(url.startsWith("http://")) << url.toStdString();
        m_calendar = QUrl(QString::fromUtf8(url));

        setProgramFolderForTesting(m_program.path());
        m_store.setWorkingDirectory(m_data.path());
        ProjectRecord project = emptyRecord<ProjectRecord>();
        project.identifier = "P1";
        project.name = "Quay";
        ASSERT_EQ(m_store.ModifyProject(project), "");
        for (const char* id : {"T1", "T2"}) {
            TaskRecord task = emptyRecord<TaskRecord>();
            task.identifier = id;
            task.projectIdentifier = "P1";
            task.kind = TaskRecord::kTopLevel;
            task.name = QByteArray("Task ") + id;
            ASSERT_EQ(m_store.ModifyTask(task), "");
        }
        MeetingRecord meeting = emptyRecord<MeetingRecord>();
        meeting.identifier = "M1";
        meeting.projectIdentifier = "P1";
        meeting.subject = "Kick-off";
        ASSERT_EQ(m_store.ModifyMeeting(meeting), "");
    }

    void TearDown() override
    {
        setProgramFolderForTesting({});
        if (m_radicale.state() != QProcess::NotRunning) {
            m_radicale.terminate();
            if (!m_radicale.waitForFinished(10000))
                m_radicale.kill();
            m_radicale.waitForFinished(5000);
        }
    }

    bool waitForPort()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000 && m_radicale.state() != QProcess::NotRunning) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(500))
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }

    QByteArray helper(const QStringList& args)
    {
        QProcess process;
        process.start(kPython, QStringList{kHelper} + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput();
    }

    /** What the second client sees: UID, a tab and SUMMARY per item, sorted. */
    QByteArrayList serverItems()
    {
        QByteArrayList lines = helper({QStringLiteral("list"), m_calendar.toString(), QStringLiteral("ann"),
                                       QStringLiteral("secret")})
                                   .split('\n');
        lines.removeAll(QByteArray());
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    PublishSummary publish(bool overwrite = false, const QString& password = QStringLiteral("secret"))
    {
        CalendarPublisher publisher(m_store, m_calendar, QStringLiteral("ann"), password);
        publisher.setTimeout(20000);
        return publisher.publish({"P1"}, overwrite);
    }

    QTemporaryDir m_server;
    QTemporaryDir m_data;
    QTemporaryDir m_program;
    QProcess m_radicale;
    quint16 m_port = 0;
    QUrl m_calendar;
    RecordStore m_store;
};

TEST_F(PublishTest, ServerFollowsKorvaneAndKeepsItemsChangedThere)
{
    const auto dataBefore = folderBytes(m_data.path());
    PublishSummary summary = publish();
    ASSERT_TRUE(summary.ok()) << summary.error.toStdString();
    EXPECT_EQ(summary.countsLine().toStdString(),
              "put 3, updated 0, deleted 0, unchanged 0, changed on the server 0");
    const QByteArrayList expected{"korvane-meeting-M1\tKick-off", "korvane-task-T1\tTask T1",
                                  "korvane-task-T2\tTask T2"};
    EXPECT_EQ(serverItems(), expected);
    EXPECT_EQ(folderBytes(m_data.path()), dataBefore); // the state lies in the program's folder
    EXPECT_TRUE(QFile::exists(m_program.filePath(QStringLiteral("CalendarPublish.json"))));

    summary = publish();
    EXPECT_EQ(summary.countsLine().toStdString(),
              "put 0, updated 0, deleted 0, unchanged 3, changed on the server 0");

    TaskRecord task = m_store.GetTask("T1");
    task.name = "Task T1 revised";
    ASSERT_EQ(m_store.ModifyTask(task), "");
    ASSERT_EQ(m_store.DeleteTask("T2"), "");
    summary = publish();
    EXPECT_EQ(summary.countsLine().toStdString(),
              "put 0, updated 1, deleted 1, unchanged 1, changed on the server 0");
    EXPECT_EQ(serverItems(),
              QByteArrayList({"korvane-meeting-M1\tKick-off", "korvane-task-T1\tTask T1 revised"}));

    // Edited on the phone, then in Korvane: the phone's edit is reported and kept until asked for.
    helper({QStringLiteral("edit"), m_calendar.toString(), QStringLiteral("ann"), QStringLiteral("secret"),
            QStringLiteral("korvane-meeting-M1"), QStringLiteral("Kick-off (moved)")});
    MeetingRecord meeting = m_store.GetMeeting("M1");
    meeting.place = "Pier 4";
    ASSERT_EQ(m_store.ModifyMeeting(meeting), "");
    summary = publish();
    EXPECT_EQ(summary.countsLine().toStdString(),
              "put 0, updated 0, deleted 0, unchanged 1, changed on the server 1");
    ASSERT_EQ(summary.changedOnServer.size(), 1);
    EXPECT_EQ(summary.changedOnServer[0].uid, "korvane-meeting-M1");
    EXPECT_TRUE(serverItems().contains("korvane-meeting-M1\tKick-off (moved)"));
    summary = publish(true);
    EXPECT_EQ(summary.countsLine().toStdString(),
              "put 0, updated 1, deleted 0, unchanged 1, changed on the server 0");
    EXPECT_TRUE(serverItems().contains("korvane-meeting-M1\tKick-off"));
}

TEST_F(PublishTest, FailuresAreNamedAndChangeNothing)
{
    PublishSummary summary = publish(false, QStringLiteral("wrong"));
    EXPECT_EQ(summary.error, "The calendar server refused the login: check the user name and password.");
    EXPECT_TRUE(serverItems().isEmpty());
    EXPECT_FALSE(QFile::exists(m_program.filePath(QStringLiteral("CalendarPublish.json"))));

    QUrl elsewhere = m_calendar;
    elsewhere.setPath(QStringLiteral("/ann/nosuch/"));
    summary = CalendarPublisher(m_store, elsewhere, QStringLiteral("ann"), QStringLiteral("secret"))
                  .publish({"P1"}, false);
    EXPECT_TRUE(
        summary.error.endsWith("/ann/nosuch/ is not a calendar collection on the server: check the address."))
        << summary.error.toStdString();

    // A server that takes the connection and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    CalendarPublisher stalled(m_store,
                              QUrl(QStringLiteral("http://127.0.0.1:%1/cal/").arg(silent.serverPort())),
                              QStringLiteral("ann"), QStringLiteral("secret"));
    stalled.setTimeout(1000);
    EXPECT_EQ(stalled.publish({"P1"}, false).error,
              QStringLiteral("The calendar server at 127.0.0.1:%1 did not answer within 1 seconds.")
                  .arg(silent.serverPort()));

    m_radicale.terminate();
    ASSERT_TRUE(m_radicale.waitForFinished(10000));
    summary = publish();
    EXPECT_EQ(summary.error,
              QStringLiteral("The calendar server at 127.0.0.1:%1 refused the connection: it is "
                             "not running, or the address or port is wrong.")
                  .arg(m_port));
    EXPECT_FALSE(QFile::exists(m_program.filePath(QStringLiteral("CalendarPublish.json"))));
}

TEST_F(PublishTest, CommandLinePrintsTheCountsAndRefusesAWrongLogin)
{
    ASSERT_EQ(m_store.DeleteMeeting("M1"), "");
    QTemporaryDir other;
    SafeFile::write(other.filePath(QStringLiteral("pw")), "secret\n");
    SafeFile::write(other.filePath(QStringLiteral("bad")), "nope\n");
    auto run = [&](const QString& file, QByteArray& out, QByteArray& err) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVANE_PROGRAM_FOLDER"), m_program.path());
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(KORVANE_CLI),
                  {QStringLiteral("--data"), m_data.path(), QStringLiteral("publish"), m_calendar.toString(),
                   QStringLiteral("--user"), QStringLiteral("ann"), QStringLiteral("--password-file"), file});
        EXPECT_TRUE(cli.waitForFinished(60000));
        out = cli.readAllStandardOutput();
        err = cli.readAllStandardError();
        return cli.exitCode();
    };
    QByteArray out, err;
    EXPECT_EQ(run(other.filePath(QStringLiteral("bad")), out, err), 2);
    EXPECT_TRUE(err.contains("refused the login")) << err.toStdString();
    EXPECT_EQ(run(other.filePath(QStringLiteral("pw")), out, err), 0) << err.toStdString();
    EXPECT_EQ(out, "put 2, updated 0, deleted 0, unchanged 0, changed on the server 0\n");
}

} // namespace
