#include "../support/NoFileOverride.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sys/resource.h>

using namespace korvane;
using korvane::test::NoFileOverride;

namespace {

struct Outcome
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        QByteArray bytes;
        EXPECT_TRUE(SafeFile::read(folder + '/' + name, bytes)) << name.toStdString();
        files[name] = bytes;
    }
    return files;
}

/** korvane-cli on a data folder of its own, with faults set up in the child before it starts. */
class CliFaultsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        m_data = m_root.filePath(QStringLiteral("Korvane"));
        ASSERT_TRUE(QDir().mkpath(m_data));
        m_store.setWorkingDirectory(m_data);
    }

    void prepare(QProcess& process, QStringList& args, const std::function<void()>& inChild)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("KORVANE_PROGRAM_FOLDER"), m_root.filePath(QStringLiteral("program")));
        process.setProcessEnvironment(env);
        if (inChild)
            process.setChildProcessModifier(inChild);
        args = QStringList{QStringLiteral("--data"), m_data} + args;
    }

    Outcome cli(QStringList args, const QByteArray& input = {}, const std::function<void()>& inChild = {})
    {
        QProcess process;
        prepare(process, args, inChild);
        process.start(QStringLiteral(KORVANE_CLI), args);
        EXPECT_TRUE(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(60000)) << args.join(' ').toStdString();
        return Outcome{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QByteArray addTask(const QByteArray& name)
    {
        TaskRecord task = emptyRecord<TaskRecord>();
        task.projectIdentifier = "P1";
        task.kind = TaskRecord::kTopLevel;
        task.name = name;
        const AddResult added = m_store.AddTask(task);
        EXPECT_TRUE(added.ok()) << added.error.toStdString();
        return added.identifier;
    }

    QTemporaryDir m_root;
    QString m_data;
    RecordStore m_store;
};

TEST_F(CliFaultsTest, PowerCutLeavesEveryRecordWholeWithAnOldOrANewText)
{
    constexpr int kRounds = 30;
    constexpr int kCommands = 30;
    std::mt19937 random(20240611);
    QList<QByteArray> tasks;
    std::map<QByteArray, std::set<QByteArray>> written; // every name each task file may hold
    for (int i = 0; i < 3; ++i) {
        tasks.append(addTask("first " + QByteArray::number(i)));
        written[tasks.last()].insert("first " + QByteArray::number(i));
    }
    std::set<QByteArray> added;
    const QByteArray padding(3000, '.');
    QDir(m_root.path()).mkdir(QStringLiteral("input"));
    int killedMidway = 0;
    int leftovers = 0;

    for (int round = 0; round < kRounds; ++round) {
        QByteArray script;
        for (int k = 0; k < kCommands; ++k) {
            const QByteArray name = "r" + QByteArray::number(round) + "c" + QByteArray::number(k) + padding;
            const QString input = m_root.filePath(QStringLiteral("input/%1-%2.json").arg(round).arg(k));
            QByteArray json;
            if (k % 4 == 3) {
                added.insert(name);
                json = R"({"project_identifier": "P1", "kind": "NonSubTask", "name": ")" + name + "\"}";
                script += "\"$0\" --data \"$1\" add task < '" + QFile::encodeName(input) + "' > /dev/null\n";
            } else {
                const QByteArray& id = tasks[int(random() % tasks.size())];
                written[id].insert(name);
                json = R"({"identifier": ")" + id + R"(", "name": ")" + name + "\"}";
                script += "\"$0\" --data \"$1\" modify task < '" + QFile::encodeName(input) + "'\n";
            }
            ASSERT_EQ(SafeFile::write(input, json), "");
        }
        QProcess shell;
        QStringList args;
        prepare(shell, args, [] { setpgid(0, 0); });
        shell.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QString::fromUtf8(script), QStringLiteral(KORVANE_CLI), m_data});
        ASSERT_TRUE(shell.waitForStarted());
        if (!shell.waitForFinished(int(random() % 300))) {
            ++killedMidway;
            ::kill(-pid_t(shell.processId()), SIGKILL);
            shell.waitForFinished(60000);
        }

        for (const QString& name : QDir(m_data).entryList(QDir::Files | QDir::Hidden)) {
            if (!name.endsWith(QLatin1String(".tsk"))) {
                ++leftovers;
                continue;
            }
            QByteArray bytes;
            ASSERT_TRUE(SafeFile::read(m_data + '/' + name, bytes));
            TaskRecord task = emptyRecord<TaskRecord>();
            QString error;
            ASSERT_TRUE(decodeRecord(bytes, task, &error))
                << name.toStdString() << ": " << error.toStdString();
            const auto own = written.find(task.identifier);
            const bool known =
                own != written.end() ? own->second.count(task.name) > 0 : added.count(task.name) > 0;
            EXPECT_TRUE(known) << name.toStdString() << " holds a name never written to it";
        }
    }
    std::printf("%d of %d rounds killed midway, %d leftover pieces seen\n", killedMidway, kRounds, leftovers);

    // A piece an interrupted save can leave behind is no record and no problem.
    ASSERT_EQ(SafeFile::write(m_store.fileName(RecordKind::Task, tasks[0]) + ".Zz9Yy8", "half"), "");
    const Outcome check = cli({QStringLiteral("check")});
    EXPECT_EQ(check.code, 0) << check.out.toStdString() << check.err.toStdString();
    const Outcome list = cli({QStringLiteral("list"), QStringLiteral("task")});
    EXPECT_EQ(list.out.count('\n'), QDir(m_data).entryList({QStringLiteral("*.tsk")}, QDir::Files).size());
}

TEST_F(CliFaultsTest, FullDiskFailsNamingTheFileAndChangesNothing)
{
    const QByteArray task = addTask("Pour");
    MeetingRecord meeting = emptyRecord<MeetingRecord>();
    meeting.projectIdentifier = "P1";
    const QByteArray meetingId = m_store.AddMeeting(meeting).identifier;
    const auto before = snapshot(m_data);
    const auto limited = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 1024;
        setrlimit(RLIMIT_FSIZE, &limit);
    };
    const QByteArray big(4096, 'x');
    const struct
    {
        QStringList args;
        QByteArray input;
        QString file;
    } cases[] = {
        {{"modify", "task"},
         R"({"identifier": ")" + task + R"(", "name": ")" + big + "\"}",
         m_store.fileName(RecordKind::Task, task)},
        {{"add", "task"}, R"({"name": ")" + big + "\"}", m_data + "/Task"},
        {{"write", "agenda", QString::fromLatin1(meetingId)},
         R"({"name": ")" + big + "\"}",
         m_store.fileName(ListFile::Agenda, meetingId)},
    };
    for (const auto& c : cases) {
        const Outcome run = cli(c.args, c.input, limited);
        EXPECT_EQ(run.code, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QFile::encodeName(c.file))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("too large")) << run.err.toStdString();
        EXPECT_EQ(snapshot(m_data), before) << c.args.join(' ').toStdString();
    }
}

TEST_F(CliFaultsTest, UnreadableFileFolderInItsPlaceAndReadOnlyFolder)
{
    const QByteArray hidden = addTask("Hidden");
    const QByteArray kept = addTask("Kept");
    const QString unreadable = m_store.fileName(RecordKind::Task, hidden);
    const QString folder = m_store.fileName(RecordKind::Project, "P-folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(unreadable, QFile::WriteOwner));
    const auto asUser = [] { NoFileOverride::dropForChild(); };

    const Outcome check = cli({QStringLiteral("check")}, {}, asUser);
    if (check.code == NoFileOverride::kChildRefused)
        GTEST_SKIP() << "the capabilities that pass over permission bits cannot be dropped here";
    EXPECT_EQ(check.code, 3);
    EXPECT_EQ(check.out, (folder + ": a folder stands where the file should be\n").toUtf8() +
                             unreadable.toUtf8() + ": Permission denied\n");

    const Outcome add = cli({QStringLiteral("add"), QStringLiteral("task")}, R"({"name": "New"})", asUser);
    EXPECT_EQ(add.code, 0) << add.err.toStdString();
    EXPECT_EQ(cli({QStringLiteral("list"), QStringLiteral("task")}, {}, asUser).out.count('\n'), 2);
    ASSERT_TRUE(QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner));

    ASSERT_TRUE(QFile::setPermissions(m_data, QFile::ReadOwner | QFile::ExeOwner));
    const auto before = snapshot(m_data);
    const Outcome removed =
        cli({QStringLiteral("delete"), QStringLiteral("task"), QString::fromLatin1(kept)}, {}, asUser);
    EXPECT_EQ(removed.code, 2);
    EXPECT_TRUE(removed.err.contains(QFile::encodeName(m_store.fileName(RecordKind::Task, kept)) + ": "))
        << removed.err.toStdString();
    const Outcome modified = cli({QStringLiteral("modify"), QStringLiteral("task")},
                                 R"({"identifier": ")" + kept + R"(", "name": "Changed"})", asUser);
    EXPECT_EQ(modified.code, 2);
    EXPECT_TRUE(modified.err.contains(QFile::encodeName(m_store.fileName(RecordKind::Task, kept)) + ": "))
        << modified.err.toStdString();
    QFile::setPermissions(m_data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(snapshot(m_data), before);
}

TEST_F(CliFaultsTest, WindowsTextsShowAccentedAndSurviveAShowModifyRoundTrip)
{
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.identifier = "P1";
    project.name = "Caf\xe9 M\xfcller";
    project.synopsis = "R\xe9sum\xe9, na\xefve";
    project.currency = "\x80";
    const QString file = m_store.fileName(RecordKind::Project, "P1");
    ASSERT_EQ(SafeFile::write(file, encodeRecord(project)), "");

    const Outcome show = cli({QStringLiteral("show"), QStringLiteral("project"), QStringLiteral("P1")});
    ASSERT_EQ(show.code, 0) << show.err.toStdString();
    for (const char* text : {"\"Café Müller\"", "\"Résumé, naïve\"", "\"currency\": \"€\""})
        EXPECT_TRUE(show.out.contains(text)) << text;

    QByteArray json = show.out;
    json.replace(R"("project_code": "")", R"("project_code": "C-9")");
    const Outcome modify = cli({QStringLiteral("modify"), QStringLiteral("project")}, json);
    ASSERT_EQ(modify.code, 0) << modify.err.toStdString();
    project.projectCode = "C-9";
    QByteArray bytes;
    ASSERT_TRUE(SafeFile::read(file, bytes));
    EXPECT_EQ(bytes, encodeRecord(project));
}

} // namespace
