// Two Syncthing instances on 127.0.0.1 share one data folder; a record changed on both sides while
// one is stopped comes back as Syncthing's conflict copy, which korvane-cli lists and resolves.
#include "CliFixture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utime.h>

using namespace korvane;
using namespace korvane::test;

namespace {

/** A TCP port of 127.0.0.1 that nothing listens on now. */
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

/** Polls `done` until it holds or `seconds` pass. */
bool waitFor(const std::function<bool()>& done, int seconds)
{
    for (QDeadlineTimer deadline(seconds * 1000); !deadline.hasExpired(); QThread::msleep(250)) {
        if (done())
            return true;
    }
    return done();
}

/** One Syncthing instance: its home, its data folder, its ports and its process. */
struct Instance
{
    QString home;
    QString folder;
    QString id;
    int listenPort = 0;
    int guiPort = 0;
    std::unique_ptr<QProcess> process;
};

class SyncthingTest : public CliFixture
{
protected:
    void TearDown() override
    {
        for (Instance& instance : m_instances)
            stop(instance);
    }

    /** Runs syncthing to the end with these arguments; its standard output, or nothing when it failed. */
    std::optional<QByteArray> runSyncthing(const QStringList& args)
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(m_program, args);
        if (!process.waitForStarted() || !process.waitForFinished(60000) || process.exitCode() != 0)
            return std::nullopt;
        return process.readAllStandardOutput();
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("STNODEFAULTFOLDER"), QStringLiteral("1"));
        env.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
        return env;
    }

    /** Makes both homes, or says why Syncthing cannot run here. */
    QString setUpInstances()
    {
        m_program = QStandardPaths::findExecutable(QStringLiteral("syncthing"));
        if (m_program.isEmpty())
            return QStringLiteral("syncthing is not installed");
        for (int i = 0; i < 2; ++i) {
            Instance& instance = m_instances[i];
            instance.home = m_root.filePath(QStringLiteral("syncthing-%1").arg(i));
            instance.folder = i == 0 ? m_data : m_root.filePath(QStringLiteral("Other"));
            QDir().mkpath(instance.folder + QStringLiteral("/.stfolder"));
            if (!runSyncthing({QStringLiteral("generate"), QStringLiteral("--home=") + instance.home}))
                return QStringLiteral("syncthing generate failed");
            const auto id =
                runSyncthing({QStringLiteral("--home"), instance.home, QStringLiteral("--device-id")});
            if (!id || id->trimmed().isEmpty())
                return QStringLiteral("syncthing gives no device ID");
            instance.id = QString::fromLatin1(id->trimmed());
            instance.listenPort = freePort();
            instance.guiPort = freePort();
        }
        for (int i = 0; i < 2; ++i)
            writeConfig(m_instances[i], m_instances[1 - i]);
        return {};
    }

    void writeConfig(const Instance& self, const Instance& other)
    {
        QFile file(self.home + QStringLiteral("/config.xml"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch version =
            QRegularExpression(QStringLiteral("<configuration version=\"(\\d+)\""))
                .match(QString::fromUtf8(file.readAll()));
        file.close();
        auto device = [](const Instance& instance) {
            return QStringLiteral(
                       "<device id=\"%1\" name=\"%1\" compression=\"metadata\" introducer=\"false\">"
                       "<address>tcp://127.0.0.1:%2</address></device>\n")
                .arg(instance.id)
                .arg(instance.listenPort);
        };
        const QString config =
            QStringLiteral(
                "<configuration version=\"%1\">\n"
                "<folder id=\"korvane\" label=\"korvane\" path=\"%2\" type=\"sendreceive\" "
                "rescanIntervalS=\"2\" "
                "fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\">\n"
                "<device id=\"%3\"></device><device id=\"%4\"></device>\n"
                "<maxConflicts>10</maxConflicts>\n"
                "</folder>\n%5%6"
                "<gui enabled=\"true\" "
                "tls=\"false\"><address>127.0.0.1:%7</address><apikey>korvane-test</apikey></gui>\n"
                "<options><listenAddress>tcp://127.0.0.1:%8</listenAddress>"
                "<globalAnnounceEnabled>false</globalAnnounceEnabled><localAnnounceEnabled>false</"
                "localAnnounceEnabled>"
                "<relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled>"
                "<crashReportingEnabled>false</crashReportingEnabled><urAccepted>-1</urAccepted>"
                "<startBrowser>false</startBrowser><autoUpgradeIntervalH>0</autoUpgradeIntervalH></options>\n"
                "</configuration>\n")
                .arg(version.hasMatch() ? version.captured(1) : QStringLiteral("37"), self.folder, self.id,
                     other.id, device(self), device(other))
                .arg(self.guiPort)
                .arg(self.listenPort);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(config.toUtf8());
    }

    bool start(Instance& instance)
    {
        instance.process = std::make_unique<QProcess>();
        instance.process->setProcessEnvironment(environment());
        instance.process->setProcessChannelMode(QProcess::MergedChannels);
        instance.process->setStandardOutputFile(instance.home + QStringLiteral("/log.txt"),
                                                QIODevice::Append);
        instance.process->start(m_program,
                                {QStringLiteral("serve"), QStringLiteral("--home=") + instance.home,
                                 QStringLiteral("--no-browser"), QStringLiteral("--no-restart")});
        return instance.process->waitForStarted();
    }

    void stop(Instance& instance)
    {
        if (!instance.process || instance.process->state() == QProcess::NotRunning)
            return;
        instance.process->terminate();
        if (!instance.process->waitForFinished(20000)) {
            instance.process->kill();
            instance.process->waitForFinished(5000);
        }
    }

    CliRun cliOn(const Instance& instance, const QStringList& args, const QByteArray& input = {})
    {
        return bare(QStringList{QStringLiteral("--data"), instance.folder} + args, input);
    }

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString m_program;
    Instance m_instances[2];
};

TEST_F(SyncthingTest, ConflictCopyOfARecordChangedOnTwoMachinesIsListedAndResolved)
{
    if (const QString reason = setUpInstances(); !reason.isEmpty())
        GTEST_SKIP() << reason.toStdString();
    Instance& desktop = m_instances[0];
    Instance& laptop = m_instances[1];
    if (!start(desktop) || !start(laptop))
        GTEST_SKIP() << "syncthing cannot start here";

    const CliRun added = cliOn(desktop, {"add", "task"}, R"({"name": "base", "project_identifier": "P1"})");
    ASSERT_EQ(added.code, 0) << added.err.toStdString();
    const QByteArray id = added.out.trimmed();
    const QString name = QStringLiteral("Task%1.tsk").arg(QString::fromLatin1(id));
    const QByteArray base = bytesOf(desktop.folder + '/' + name);
    ASSERT_TRUE(waitFor([&] { return bytesOf(laptop.folder + '/' + name) == base; }, 180))
        << "the record never reached the other instance; logs in " << desktop.home.toStdString();

    stop(laptop);
    const QByteArray edit = R"({"identifier": ")" + id + R"(", "name": ")";
    ASSERT_EQ(cliOn(laptop, {"modify", "task"}, edit + R"(laptop"})").code, 0);
    // The laptop's edit is the older one by its time, so it is the one Syncthing keeps as the copy.
    const QByteArray laptopFile = QFile::encodeName(laptop.folder + '/' + name);
    struct utimbuf older
    {
        ::time(nullptr) - 120, ::time(nullptr) - 120
    };
    ASSERT_EQ(::utime(laptopFile.constData(), &older), 0);
    const QByteArray laptopBytes = bytesOf(laptop.folder + '/' + name);
    ASSERT_EQ(cliOn(desktop, {"modify", "task"}, edit + R"(desktop"})").code, 0);
    const QByteArray desktopBytes = bytesOf(desktop.folder + '/' + name);
    ASSERT_TRUE(start(laptop));

    QString copy;
    ASSERT_TRUE(waitFor(
        [&] {
            const QStringList copies =
                QDir(desktop.folder).entryList({QStringLiteral("Task*.sync-conflict-*.tsk")});
            copy = copies.isEmpty() ? QString() : desktop.folder + '/' + copies.first();
            return !copy.isEmpty() && bytesOf(copy) == laptopBytes &&
                   bytesOf(desktop.folder + '/' + name) == desktopBytes;
        },
        240))
        << "no conflict copy came back; logs in " << laptop.home.toStdString();

    const CliRun listed = cliOn(desktop, {"conflicts"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out, "task\t" + id + '\t' + copy.toUtf8() + '\n');
    const CliRun resolved = cliOn(desktop, {"resolve", "task", id, "--keep", copy});
    ASSERT_EQ(resolved.code, 0) << resolved.err.toStdString();
    EXPECT_EQ(bytesOf(desktop.folder + '/' + name), laptopBytes);
    EXPECT_EQ(bytesOf(desktop.folder + QStringLiteral("/Conflicts/") + QFileInfo(copy).fileName()),
              laptopBytes);
    // The version given up is the one the history keeps from before the change.
    const QByteArray change = cliOn(desktop, {"history", "--limit", "1"}).out;
    const QRegularExpressionMatch changeId =
        QRegularExpression(QStringLiteral("\"change\":\\s*\"([^\"]+)\"")).match(QString::fromUtf8(change));
    ASSERT_TRUE(changeId.hasMatch()) << change.toStdString();
    EXPECT_TRUE(cliOn(desktop, {"show", "change", changeId.captured(1)}).out.contains("\"desktop\""));
    EXPECT_EQ(cliOn(desktop, {"conflicts"}).out, "");
}

} // namespace
