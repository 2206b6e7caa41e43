#include "../support/ForeignEntries.h"
#include "../support/NoFileOverride.h"
#include "CliFixture.h"
#include "edits/ApplyChange.h"
#include "edits/History.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <random>
#include <set>
#include <sys/resource.h>

using namespace korvane;
using namespace korvane::test;

namespace {

/** Faults set up in the korvane-cli child before it starts, on records added through a store. */
class CliFaultsTest : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        m_store.setWorkingDirectory(m_data);
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
        prepare(shell, [] { setpgid(0, 0); });
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

    const CliRun check = cli({"check"});
    EXPECT_EQ(check.code, 0) << check.out.toStdString() << check.err.toStdString();
    const CliRun list = cli({"list", "task"});
    EXPECT_EQ(list.out.count('\n'), QDir(m_data).entryList({QStringLiteral("*.tsk")}, QDir::Files).size());
}

/** The record and list files of a folder with their bytes; pieces an interrupted save leaves are no files of it. */
std::map<QString, QByteArray> recordFiles(const QString& folder)
{
    std::map<QString, QByteArray> files = snapshot(folder);
    std::erase_if(files, [](const auto& file) { return file.first.count(QLatin1Char('.')) != 1; });
    return files;
}

void copyFolder(const QString& from, const QString& to)
{
    QDir(to).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(to));
    // Plain writes: the copies need not survive a power cut, and syncing each would take long.
    for (const auto& [name, bytes] : snapshot(from)) {
        QFile file(to + '/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
}

TEST_F(CliFaultsTest, PowerCutInAChangeOfManyFilesLeavesTheFolderAsBeforeOrAfterIt)
{
    // A project with enough tasks and meetings (with agendas and actions) that its delete takes a while.
    ProjectRecord project = emptyRecord<ProjectRecord>();
    project.name = "Harbour";
    const QByteArray projectId = m_store.AddProject(project).identifier;
    QByteArray parent;
    for (int i = 0; i < 150; ++i) {
        TaskRecord task = emptyRecord<TaskRecord>();
        task.projectIdentifier = projectId;
        task.kind = TaskRecord::kTopLevel;
        task.name = "Task " + QByteArray::number(i);
        parent = m_store.AddTask(task).identifier;
    }
    for (int i = 0; i < 15; ++i) {
        MeetingRecord meeting = emptyRecord<MeetingRecord>();
        meeting.projectIdentifier = projectId;
        const QByteArray id = m_store.AddMeeting(meeting).identifier;
        AgendaRecord item{"Item " + QByteArray::number(i), DateTime::now()};
        ASSERT_EQ(SafeFile::write(m_store.fileName(ListFile::Agenda, id), encodeList(QList<AgendaRecord>{item})), "");
        ActionRecord action = emptyRecord<ActionRecord>();
        action.todo = "Follow up";
        ASSERT_EQ(SafeFile::write(m_store.fileName(ListFile::Action, id), encodeList(QList<ActionRecord>{action})), "");
    }
    const QString start = m_root.filePath(QStringLiteral("start"));
    copyFolder(m_data, start);
    const QString ics = m_root.filePath(QStringLiteral("tasks.ics"));
    QByteArray calendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
    for (int i = 0; i < 60; ++i)
        calendar += "BEGIN:VTODO\r\nUID:t" + QByteArray::number(i) + "\r\nSUMMARY:Imported " + QByteArray::number(i) +
                    "\r\nDTSTART:20261201T090000\r\nDUE:20261205T170000\r\nEND:VTODO\r\n";
    ASSERT_EQ(SafeFile::write(ics, calendar + "END:VCALENDAR\r\n"), "");

    const struct
    {
        const char* what;
        QStringList args;
        QByteArray input;
    } changes[] = {
        {"delete project", {"delete", "project", QString::fromLatin1(projectId)}, {}},
        {"import batch", {"import", "tasks", ics, "--project", QString::fromLatin1(projectId)}, {}},
        {"sub task add", {"add", "task", "--parent", QString::fromLatin1(parent)}, R"({"name": "Under"})"},
    };
    std::mt19937 random(20261207);
    for (const auto& change : changes) {
        // The folder after the change made whole, to compare the interrupted ones with.
        copyFolder(start, m_data);
        QDir(m_data + "/History").removeRecursively();
        const auto before = recordFiles(m_data);
        QElapsedTimer clock;
        clock.start();
        const CliRun whole = cli(change.args, change.input);
        const int took = int(clock.elapsed());
        ASSERT_EQ(whole.code, 0) << change.what << ": " << whole.err.toStdString();
        const auto after = recordFiles(m_data);
        ASSERT_NE(before, after);

        int rolledBack = 0;
        int interrupted = 0;
        int finished = 0;
        constexpr int kRounds = 10;
        for (int round = 0; round < kRounds; ++round) {
            copyFolder(start, m_data);
            QDir(m_data + "/History").removeRecursively();
            QProcess process;
            prepare(process, [] { setpgid(0, 0); });
            process.start(QStringLiteral(KORVANE_CLI), QStringList{QStringLiteral("--data"), m_data} + change.args);
            ASSERT_TRUE(process.waitForStarted());
            process.write(change.input);
            process.closeWriteChannel();
            // Some rounds are let finish, most are cut short somewhere along the way.
            if (!process.waitForFinished(int(random() % std::max(took + took / 4, 20)))) {
                ::kill(-pid_t(process.processId()), SIGKILL);
                process.waitForFinished(60000);
            }
            // The next start puts an interrupted change back, and says so once.
            const CliRun next = cli({"list", "project"});
            ASSERT_EQ(next.code, 0) << next.err.toStdString();
            // New records get identifiers from the clock, so "after" is what this run's kept entry wrote.
            auto applied = before;
            const History history(m_data);
            const QList<QByteArray> ids = history.entryIds();
            if (const std::optional<HistoryEntry> last = ids.isEmpty() ? std::nullopt : history.read(ids.last())) {
                for (const HistoryEntry::File& file : last->files) {
                    const QString name = QFileInfo(filePath(m_store, file.file)).fileName();
                    if (file.after)
                        applied[name] = *file.after;
                    else
                        applied.erase(name);
                }
            }
            const auto now = recordFiles(m_data);
            EXPECT_TRUE(now == before || (now == applied && now.size() == after.size()))
                << change.what << ", round " << round;
            rolledBack += now == before;
            interrupted += !next.err.isEmpty();
            finished += now != before;
            EXPECT_EQ(cli({"list", "project"}).err, QByteArray()) << "told twice";
        }
        std::printf("%s (%d ms whole): %d of %d rounds back as before (%d of them put back at the next start), "
                    "%d as after\n",
                    change.what, took, rolledBack, kRounds, interrupted, finished);
    }
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
        const CliRun run = cli(c.args, c.input, limited);
        EXPECT_EQ(run.code, 2) << c.args.join(' ').toStdString();
        // The history entry, written before the record, is the first file the full disk refuses.
        EXPECT_TRUE(run.err.contains(QFile::encodeName(c.file)) || run.err.contains(QFile::encodeName(m_data + "/History/")))
            << run.err.toStdString();
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

    const CliRun check = cli({"check"}, {}, asUser);
    if (check.code == NoFileOverride::kChildRefused)
        GTEST_SKIP() << "the capabilities that pass over permission bits cannot be dropped here";
    EXPECT_EQ(check.code, 3);
    EXPECT_EQ(check.out, (folder + ": a folder stands where the file should be\n").toUtf8() +
                             unreadable.toUtf8() + ": Permission denied\n");

    const CliRun add = cli({"add", "task"}, R"({"name": "New"})", asUser);
    EXPECT_EQ(add.code, 0) << add.err.toStdString();
    EXPECT_EQ(cli({"list", "task"}, {}, asUser).out.count('\n'), 2);
    ASSERT_TRUE(QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner));

    ASSERT_TRUE(QFile::setPermissions(m_data, QFile::ReadOwner | QFile::ExeOwner));
    const auto before = snapshot(m_data);
    const QByteArray keptFile = QFile::encodeName(m_store.fileName(RecordKind::Task, kept)) + ": ";
    const QByteArray changed = R"({"identifier": ")" + kept + R"(", "name": "Changed"})";
    for (const CliRun& refused :
         {cli({"delete", "task", kept}, {}, asUser), cli({"modify", "task"}, changed, asUser)}) {
        EXPECT_EQ(refused.code, 2);
        EXPECT_TRUE(refused.err.contains(keptFile)) << refused.err.toStdString();
    }
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

    const CliRun show = cli({"show", "project", "P1"});
    ASSERT_EQ(show.code, 0) << show.err.toStdString();
    for (const char* text : {"\"Café Müller\"", "\"Résumé, naïve\"", "\"currency\": \"€\""})
        EXPECT_TRUE(show.out.contains(text)) << text;

    QByteArray json = show.out;
    json.replace(R"("project_code": "")", R"("project_code": "C-9")");
    const CliRun modify = cli({"modify", "project"}, json);
    ASSERT_EQ(modify.code, 0) << modify.err.toStdString();
    project.projectCode = "C-9";
    QByteArray bytes;
    ASSERT_TRUE(SafeFile::read(file, bytes));
    EXPECT_EQ(bytes, encodeRecord(project));
}

} // namespace

// A folder from elsewhere: each thing that is no regular file of its own, list files too, is listed
// within a small address space, and the check writes nothing.
TEST_F(CliFaultsTest, CheckListsWhatIsNoRecordFileAndChangesNothing)
{
    namespace F = ForeignEntries;
    const QByteArray kept = addTask("Kept");
    QTemporaryDir outside;
    const QString outsideFile = outside.filePath(QStringLiteral("Task77.tsk"));
    TaskRecord stranger = emptyRecord<TaskRecord>();
    stranger.identifier = "77";
    ASSERT_EQ(SafeFile::write(outsideFile, encodeRecord(stranger)), "");
    ASSERT_TRUE(F::makeFifo(path("Task2026120799999990.tsk")));
    ASSERT_TRUE(F::makeLink("/dev/zero", path("Task2026120799999991.tsk")));
    ASSERT_TRUE(F::makeSparse(path("Task2026120799999992.tsk"), qint64(3) << 30));
    ASSERT_TRUE(SafeFile::write(path("Task2026120799999993.tsk"), QByteArray(1 << 20, '\0')).isEmpty());
    ASSERT_TRUE(F::makeLink(outsideFile, path("Task77.tsk")));
    ASSERT_TRUE(F::makeFifo(path("Agenda2026120799999990.agd")));
    ASSERT_TRUE(F::makeLink("/dev/urandom", path("Action2026120799999990.act")));
    const QStringList before = QDir(m_data).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);

    // Far less room than the 3 GB file, or the unending devices, would need.
    // (AddressSanitizer reserves terabytes of address space up front, so it goes without.)
    const auto smallAddressSpace = [] {
#if !defined(__SANITIZE_ADDRESS__) && !(defined(__has_feature) && __has_feature(address_sanitizer))
        const rlimit limit{rlim_t(768) << 20, rlim_t(768) << 20};
        setrlimit(RLIMIT_AS, &limit);
#endif
    };
    const CliRun check = cli({"check"}, {}, smallAddressSpace);
    EXPECT_EQ(check.code, 3) << check.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(check.out),
              path("Task2026120799999990.tsk: not a regular file (a named pipe)\n") +
                  path("Task2026120799999991.tsk: not a regular file (a link to a device)\n") +
                  path("Task2026120799999992.tsk: its identifier is empty\n") +
                  path("Task2026120799999993.tsk: its identifier is empty\n") +
                  path("Task77.tsk: a link to a file outside the data folder\n") +
                  path("Action2026120799999990.act: not a regular file (a link to a device)\n") +
                  path("Agenda2026120799999990.agd: not a regular file (a named pipe)\n"));
    EXPECT_EQ(QDir(m_data).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
    EXPECT_TRUE(cli({"list", "task"}).out.contains(kept));
}
