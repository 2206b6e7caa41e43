#include "CliFixture.h"
#include "records/RecordCodec.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace korvane;
using namespace korvane::test;

namespace {

using CliTest = CliFixture;

// Each line is written as korvane-cli prints it, keys in table order; "@ID@" stands for the identifier.
const std::pair<const char*, const char*> kRecordLines[] = {
    {"project",
     R"({"identifier": "@ID@", "client_identifier": "C1", "name": "Bridge \"North\"", "project_code": "P-7", )"
     R"("synopsis": "line 1\nline 2\ttab \\ end", "end_user": "Zoë Ünal", "start_date": {"status": 0, "days": )"
     R"(39266.586909722224}, "end_date": {"status": 2, "days": 0}, "reserved_text_1": "r1", "file_link": )"
     R"("C:\\docs\\plan.txt", "currency": "€", "reserved_text_2": "r2", "reserved_text_3": "r3", )"
     R"("reserved_text_4": "r4", "income_link": "in", "expense_link": "out", "turn_over_link": "turn"})"},
    {"client",
     R"({"identifier": "@ID@", "client_name": "Acme", "contact_person": "Ann", "address": "1 Road\nTown", )"
     R"("website": "acme.example", "phone_1": "+1 555", "phone_2": "", "lead_by_list": "R1\nR2\n"})"},
    {"resource", R"({"identifier": "@ID@", "reserved_text_1": "a", "reserved_text_2": "b", "name": "Ann", )"
                 R"("designation": "Lead", "department": "Build", "phone_1": "1", "phone_2": "2"})"},
    {"task",
     R"({"identifier": "@ID@", "project_identifier": "P1", "sub_task_list": "", "kind": "SubTask", )"
     R"("reserved_text_1": "", "name": "Pour", "task_code": "T-1", "priority": 2, "start": {"status": 0, )"
     R"("days": -1.25}, "end": {"status": 1, "days": 0.5}, "reminder_time": {"status": 0, "days": 40000}, )"
     R"("reminder_on": 1, "reserved_text_2": "x", "file_link": "", "resources": "R1\n", )"
     R"("percent_complete": 55, "completed": 0})"},
    {"meeting",
     R"({"identifier": "@ID@", "project_identifier": "P1", "client_identifier": "C1", "subject": "Kick-off", )"
     R"("meeting_code": "###", "place": "Room 4", "lead": "UnKnown", "reserved_integer_1": -2147483648, )"
     R"("start": {"status": 0, "days": 39266.5}, "end": {"status": 0, "days": 39266.625}, )"
     R"("notes": "bell \u0007 and \u001f", "attendees": "Ann\nBo\n"})"},
    {"moneyflow",
     R"({"identifier": "@ID@", "project_identifier": "P1", "reserved_text_1": "", "name": "Deposit", )"
     R"("amount": 0.1, "tax_percentage": 17.5, "net_amount": 0.30000000000000004, "transaction_date": )"
     R"({"status": 0, "days": 39300}, "kind": 1, "reserved_text_2": "", "file_path": "/tmp/r.pdf"})"},
    {"invoice",
     R"({"identifier": "@ID@", "project_identifier": "P1", "task": "Pour", "invoice_number": "INV-1", )"
     R"("invoice_date": {"status": 0, "days": 39400.75}, "addressee": "Mr .Smith", "signatory": "Ann", )"
     R"("reserved_text_1": "", "signature_image": "sig.png", "subject": "Invoice", "to_address": "Acme\n1 Road", )"
     R"("from_address": "Ann\n2 Lane", "body": "Work done", "amount": 1000, "tax_percentage": 10, )"
     R"("net_amount": 900, "amount_in_words": " One  Thousand ", "currency_text": "$-US DOLLAR", )"
     R"("company": "Brisolt", "reserved_text_2": "", "reserved_text_3": "", "reserved_text_4": "", )"
     R"("reserved_date_time_1": {"status": 2, "days": 0}, "reserved_date_time_2": {"status": 1, "days": 0}, )"
     R"("reserved_date_time_3": {"status": 0, "days": 1e-05}, "reserved_integer_1": 7, "reserved_integer_2": 0, )"
     R"("reserved_integer_3": -1, "reserved_real_1": 1e+300, "reserved_real_2": null, "reserved_real_3": -2.5})"},
};

TEST_F(CliTest, AddThenShowPrintsEveryKindAsItWasGiven)
{
    for (const auto& [kind, line] : kRecordLines) {
        SCOPED_TRACE(kind);
        const QByteArray text(line);
        const QByteArray id = add(QLatin1String(kind), QByteArray(text).replace("@ID@", "ignored"));
        ASSERT_EQ(id.size(), 16);
        const QByteArray expected = QByteArray(text).replace("@ID@", id) + '\n';
        EXPECT_EQ(cli({QStringLiteral("show"), QLatin1String(kind), QString::fromLatin1(id)}).out, expected);
        EXPECT_EQ(cli({QStringLiteral("list"), QLatin1String(kind)}).out, expected);
    }
}

TEST_F(CliTest, RejectedInputWritesNothing)
{
    const QByteArray project = add("project", R"({"name": "Kept"})");
    const QByteArray meeting = add("meeting", R"({"subject": "M"})");
    const QString modifyPrefix = R"({"identifier": ")" + QString::fromLatin1(project) + R"(", )";
    ASSERT_EQ(cli({"write", "agenda", meeting}, R"({"name": "one"})").code, 0);
    const auto before = snapshot(m_data);

    struct Case
    {
        QStringList args;
        QByteArray input;
        int code;
        const char* named; // what the message must name
    };
    const Case cases[] = {
        {{"add", "project"}, "{", 2, ""},
        {{"add", "project"}, "", 2, ""},
        {{"add", "project"}, "[]", 2, ""},
        {{"add", "project"}, R"({"name": "a"} {"name": "b"})", 2, ""},
        {{"add", "project"}, R"({"name": 5})", 2, "name"},
        {{"add", "project"}, R"({"nmae": "typo"})", 2, "nmae"},
        {{"add", "resource"}, R"({"working_text": "x"})", 2, "working_text"},
        {{"add", "task"}, R"({"priority": "1"})", 2, "priority"},
        {{"add", "task"}, R"({"priority": 1.5})", 2, "priority"},
        {{"add", "task"}, R"({"percent_complete": 2147483648})", 2, "percent_complete"},
        {{"add", "task"}, R"({"completed": true})", 2, "completed"},
        {{"add", "task"}, R"({"start": "2007-07-03"})", 2, "start"},
        {{"add", "task"}, R"({"start": {"status": 0}})", 2, "start"},
        {{"add", "task"}, R"({"start": {"status": 3, "days": 1}})", 2, "start"},
        {{"add", "task"}, R"({"end": {"status": 0, "days": 1, "hours": 2}})", 2, "end"},
        {{"add", "moneyflow"}, R"({"amount": "12"})", 2, "amount"},
        {{"add", "widget"}, "{}", 1, "widget"},
        {{"add", "project", "--batch", "1"}, "{}", 1, "batch"},
        {{"add", "task", "--batch", "-1"}, "{}", 1, "batch"},
        {{"modify", "project"}, R"({"name": "no identifier"})", 2, "identifier"},
        {{"modify", "project"}, R"({"identifier": "../escape"})", 2, "escape"},
        {{"modify", "project"}, (modifyPrefix + R"("priority": 1})").toUtf8(), 2, "priority"},
        {{"modify", "project"},
         (modifyPrefix + R"("end_date": {"status": 0, "days": "x"}})").toUtf8(),
         2,
         "end_date"},
        {{"write", "agenda", meeting}, "{\"name\": \"ok\"}\n{\"name\": 1}\n", 2, "line 2"},
        {{"write", "actions", meeting}, "{\"todo\": \"x\", \"priority\": 0.5}\n", 2, "priority"},
        {{"write", "agenda", "nosuch"}, "", 2, "nosuch"},
        {{"show", "project", "nosuch"}, "", 2, "nosuch"},
        {{"delete", "task", "nosuch"}, "", 2, "nosuch"},
        {{"delete", "project", "../" + project}, "", 2, ""},
        {{"frobnicate"}, "", 1, "frobnicate"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.args.join(' ') + " < " + c.input).toStdString());
        const CliRun run = cli(c.args, c.input);
        EXPECT_EQ(run.code, c.code);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(c.named)) << run.err.toStdString();
        if (c.code == 2) {
            EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        }
    }
    EXPECT_EQ(snapshot(m_data), before);
}

TEST_F(CliTest, ModifyKeepsTheFieldsItIsNotGiven)
{
    const QByteArray id = add("task", R"({"name": "Pour", "kind": "NonSubTask", "percent_complete": 10})");
    ASSERT_EQ(cli({"modify", "task"}, R"({"identifier": ")" + id + R"(", "percent_complete": 80})").code, 0);
    const QByteArray shown = cli({"show", "task", id}).out;
    EXPECT_TRUE(shown.contains(R"("name": "Pour")")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(R"("percent_complete": 80)")) << shown.toStdString();

    // An identifier the store does not know yet is stored all the same.
    ASSERT_EQ(cli({"modify", "client"}, R"({"identifier": "C9", "client_name": "New"})").code, 0);
    EXPECT_TRUE(QFile::exists(path("ClientC9.cli")));
}

// Where a sub task belongs and what it may hold are RecordEditsTest's; here the command's wiring.
TEST_F(CliTest, SubTasksAreAddedUnderTheirParent)
{
    const QByteArray project = add("project", "{}");
    const QByteArray parent = add("task", R"({"project_identifier": ")" + project + R"("})");
    const CliRun sub =
        cli({"add", "task", "--parent", parent}, R"({"name": "Child", "project_identifier": "x"})");
    ASSERT_EQ(sub.code, 0) << sub.err.toStdString();
    const QByteArray child = sub.out.trimmed();
    EXPECT_TRUE(cli({"show", "task", child}).out.contains(R"("project_identifier": ")" + project + '"'));
    EXPECT_TRUE(cli({"show", "task", parent}).out.contains(R"("sub_task_list": ")" + child + R"(\n")"));
    EXPECT_TRUE(cli({"tree", "tasks", project}).out.contains("Child"));

    // A sub task holds none; an unknown parent or a parent for another kind is refused, nothing written.
    const auto before = snapshot(m_data);
    EXPECT_EQ(cli({"add", "task", "--parent", child}, "{}").code, 2);
    EXPECT_EQ(cli({"add", "task", "--parent", "nope"}, "{}").code, 2);
    EXPECT_EQ(cli({"add", "meeting", "--parent", parent}, "{}").code, 1);
    EXPECT_EQ(snapshot(m_data), before);
}

TEST_F(CliTest, HistoryUndoAndRestoreWorkOnTheSameFolderAsTheDesktop)
{
    const QByteArray project = add("project", R"({"name": "Cedar Hill"})");
    // A kind of its own, so that no load repairs the task's file between the commands.
    const QByteArray task =
        add("task", R"({"name": "Pour", "kind": "NonSubTask", "project_identifier": ")" + project + R"("})");
    const auto withTask = snapshot(m_data);
    ASSERT_EQ(cli({"delete", "project", project}).code, 0);
    EXPECT_FALSE(QFile::exists(path("Task" + task + ".tsk")));

    const QList<QByteArray> lines = cli({"history"}).out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    // Keys in the documented order.
    EXPECT_TRUE(lines[0].startsWith(R"({"change": ")")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(R"(", "description": "Delete Project \"Cedar Hill\"", "records": [)"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(R"({"kind": "task", "identifier": ")" + task + R"(", "action": "delete"})"))
        << lines[0].toStdString();
    EXPECT_EQ(cli({"history", "--limit", "1"}).out.trimmed(), lines[0]);
    const QByteArray change =
        QJsonDocument::fromJson(lines[0]).object().value("change").toString().toLatin1();
    const QByteArray shown = cli({"show", "change", change}).out;
    EXPECT_TRUE(shown.contains(R"("after": null)") && shown.contains(R"("name": "Pour")")) << shown.toStdString();

    const CliRun undone = cli({"undo"});
    ASSERT_EQ(undone.code, 0) << undone.err.toStdString();
    EXPECT_EQ(undone.out.trimmed(), R"(Delete Project "Cedar Hill")");
    EXPECT_EQ(snapshot(m_data), withTask) << "every file back, byte for byte";

    // Restoring the task's add, which later changes touched, needs --force.
    const QByteArray addTask =
        QJsonDocument::fromJson(lines[1]).object().value("change").toString().toLatin1();
    const CliRun refused = cli({"restore", addTask});
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(refused.err.contains("Later changes")) << refused.err.toStdString();
    EXPECT_EQ(snapshot(m_data), withTask);
    ASSERT_EQ(cli({"restore", addTask, "--force"}).code, 0);
    EXPECT_FALSE(QFile::exists(path("Task" + task + ".tsk")));
    EXPECT_EQ(cli({"show", "change", "nope"}).code, 2);
}

TEST_F(CliTest, AgendaAndActionsAreWrittenWholeAndListedInOrder)
{
    const QByteArray meeting = add("meeting", "{}");
    const QByteArray agenda = "{\"name\": \"Welcome\", \"time\": {\"status\": 0, \"days\": 39266.375}}\n"
                              "{\"name\": \"Budget\", \"time\": {\"status\": 2, \"days\": 0}}\n"
                              "{\"name\": \"Close\", \"time\": {\"status\": 0, \"days\": 39266.5}}\n";
    ASSERT_EQ(cli({"write", "agenda", meeting}, agenda).code, 0);
    EXPECT_EQ(cli({"list", "agenda", meeting}).out, agenda);

    const QList<AgendaRecord> items{{"Welcome", {DateTime::Valid, 39266.375}},
                                    {"Budget", {DateTime::Null, 0}},
                                    {"Close", {DateTime::Valid, 39266.5}}};
    EXPECT_EQ(fileBytes(path("Agenda" + meeting + ".agd")), encodeList(items));

    const QByteArray shorter = "{\"name\": \"Only\", \"time\": {\"status\": 0, \"days\": 1}}\n";
    ASSERT_EQ(cli({"write", "agenda", meeting}, "\n" + shorter + "\n").code, 0);
    EXPECT_EQ(cli({"list", "agenda", meeting}).out, shorter);

    const QByteArray actions = "{\"todo\": \"Order steel\", \"due_date\": {\"status\": 0, \"days\": 39270}, "
                               "\"who\": \"Ann\", \"priority\": 2}\n";
    ASSERT_EQ(cli({"write", "actions", meeting}, actions).code, 0);
    EXPECT_EQ(cli({"list", "actions", meeting}).out, actions);

    // An empty list is a file with the count 0, not a missing file.
    ASSERT_EQ(cli({"write", "actions", meeting}, "").code, 0);
    EXPECT_EQ(fileBytes(path("Action" + meeting + ".act")), QByteArray(4, '\0'));
    EXPECT_EQ(cli({"list", "actions", meeting}).out, "");
}

TEST_F(CliTest, DemoFillsANewFolderWithTheAskedNumberOfProjects)
{
    // A folder made beforehand gets the login files too, and large sets show their progress.
    m_data = m_root.filePath(QStringLiteral("made/Korvane"));
    ASSERT_TRUE(QDir().mkpath(m_data));
    const CliRun large = cli({"demo", "--projects", "200", "--seed", "7"});
    ASSERT_EQ(large.code, 0) << large.err.toStdString();
    EXPECT_TRUE(QFile::exists(path("Korvane.pws")));
    EXPECT_TRUE(QFile::exists(path("Korvane.dis")));
    EXPECT_TRUE(large.err.endsWith("demo: 200 of 200 projects\n")) << large.err.toStdString();
    EXPECT_EQ(cli({"list", "project"}).out.count('\n'), 200);
    EXPECT_EQ(cli({"check"}).code, 0);
    EXPECT_EQ(cli({"demo", "--projects", "100001"}).code, 1);
}

TEST_F(CliTest, DataFolderComesFromOptionOrSettings)
{
    EXPECT_EQ(bare({"list", "project"}).code, 1); // nothing remembered

    const QString config = m_root.filePath(QStringLiteral("config/Brisolt"));
    ASSERT_TRUE(QDir().mkpath(config));
    ASSERT_EQ(SafeFile::write(config + "/Korvane.conf", "[Directory]\nPath=" + m_root.path().toUtf8() + "\n"),
              "");
    const QByteArray id = add("client", "{}");
    EXPECT_TRUE(bare({"list", "client"}).out.contains(id));

    m_data = m_root.filePath(QStringLiteral("missing"));
    EXPECT_EQ(cli({"list", "client"}).code, 2);
}

TEST_F(CliTest, SmallTools)
{
    const CliRun words = bare({"words", "1234.99"});
    EXPECT_EQ(words.out, " One  Thousand  Two  Hundred  and  Thirty  Four \n");
    EXPECT_EQ(bare({"words", "twelve"}).code, 2);

    const QByteArray hex = bare({"encipher", "naro"}).out.trimmed();
    EXPECT_EQ(hex.size(), 16);
    EXPECT_EQ(bare({"decipher", hex}).out, "naro\n");
    EXPECT_EQ(bare({"decipher", hex.left(15)}).code, 2);
    EXPECT_EQ(bare({"report", "details", "P1"}).code, 1);
}

TEST_F(CliTest, ImportRefusesBrokenFilesAndUnknownProjects)
{
    const QByteArray project = add("project", "{}");
    const QString broken = m_root.filePath(QStringLiteral("broken.ics"));
    ASSERT_EQ(SafeFile::write(broken, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Fine\r\nEND:VEVENT\r\n"
                                      "BEGIN:VEVENT\r\nSUMMARY:Open\r\nEND:VCALENDAR\r\n"),
              "");
    const QString empty = m_root.filePath(QStringLiteral("empty.ics"));
    ASSERT_EQ(SafeFile::write(empty, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"), "");
    const auto before = snapshot(m_data);

    const CliRun run = cli({"import", "meetings", broken, "--project", project});
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.err.contains(broken.toUtf8() + ": line 7")) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_EQ(cli({"import", "meetings", broken, "--project", "nosuch"}).code, 2);
    EXPECT_EQ(cli({"import", "meetings", broken}).code, 1);
    EXPECT_EQ(cli({"import", "contacts", broken, "--project", project}).code, 1);
    const CliRun none = cli({"import", "meetings", empty, "--project", project});
    EXPECT_EQ(none.code, 0);
    EXPECT_EQ(none.err, "No Meetings was Found in " + empty.toUtf8() + '\n');
    EXPECT_EQ(snapshot(m_data), before);
}

TEST_F(CliTest, ExportIcsWritesOneProjectOrAllAndADryRunImportReadsItBack)
{
    const QByteArray bridge = add("project", R"({"name": "Bridge"})");
    const QByteArray quay = add("project", R"({"name": "Quay"})");
    add("task", R"({"project_identifier": ")" + bridge + R"(", "name": "Survey", "kind": "NonSubTask"})");
    add("meeting", R"({"project_identifier": ")" + quay + R"(", "subject": "Kick-off", "place": "Pier"})");
    const QString one = m_root.filePath(QStringLiteral("one.ics"));
    const QString all = m_root.filePath(QStringLiteral("all.ics"));
    const auto before = snapshot(m_data);

    ASSERT_EQ(cli({"export", "ics", bridge, one}).code, 0);
    const QByteArray oneText = fileBytes(one);
    EXPECT_EQ(oneText.count("BEGIN:VTODO"), 1);
    EXPECT_EQ(oneText.count("BEGIN:VEVENT"), 0);
    ASSERT_EQ(cli({"export", "ics", "--all", all}).code, 0);
    const QByteArray allText = fileBytes(all);
    EXPECT_EQ(allText.count("BEGIN:VTODO"), 1);
    EXPECT_EQ(allText.count("BEGIN:VEVENT"), 1);
    EXPECT_EQ(cli({"export", "ics", "nosuch", one}).code, 2);
    EXPECT_EQ(cli({"export", "ics", bridge}).code, 1);

    // A dry run prints the rows and adds nothing.
    const CliRun back = cli({"import", "meetings", all, "--project", bridge, "--dry-run"});
    EXPECT_EQ(back.out, "Kick-off - Pier\n");
    EXPECT_EQ(snapshot(m_data), before);
}

} // namespace

TEST_F(CliTest, SearchPrintsOneTabSeparatedLinePerMatchingText)
{
    const QByteArray client = add("client", R"({"client_name": "ZOE & Co"})");
    const QByteArray project =
        add("project", R"({"name": "Zoë bridge", "client_identifier": ")" + client + R"("})");
    const QByteArray resource = add("resource", R"({"name": "Ann", "department": "zoe team"})");
    const QByteArray meeting =
        add("meeting", R"({"project_identifier": ")" + project + R"(", "attendees": "Ann\nZoe\n"})");
    ASSERT_EQ(
        cli({"write", "agenda", meeting}, R"({"name": "Meet Zoé", "time": {"status": 2, "days": 0}})").code,
        0);

    const CliRun all = cli({"search", "zoe"});
    ASSERT_EQ(all.code, 0) << all.err.toStdString();
    EXPECT_EQ(all.out, "project\t" + project + '\t' + project + "\tname\tZoë bridge\n" + "client\t" + client +
                           "\t\tclient_name\tZOE & Co\n" + "resource\t" + resource +
                           "\t\tdepartment\tzoe team\n" + "meeting\t" + meeting + '\t' + project +
                           "\tattendees\tAnn\\nZoe\\n\n" + "meeting\t" + meeting + '\t' + project +
                           "\tagenda\tMeet Zoé\n");
    EXPECT_EQ(cli({"search", "ZOÉ", "--kind", "meeting", "--project", project}).out.count('\n'), 2);
    EXPECT_EQ(cli({"search", "zoe", "--project", project, "--kind", "client"}).out.count('\n'), 1);
    EXPECT_EQ(cli({"search", "nobody"}).out, "");

    EXPECT_EQ(cli({"search"}).code, 1);
    EXPECT_EQ(cli({"search", ""}).code, 1);
    EXPECT_EQ(cli({"search", "zoe", "--kind"}).code, 1);
    EXPECT_EQ(cli({"search", "zoe", "--kind", "thing"}).code, 1);
    EXPECT_EQ(cli({"search", "zoe", "--colour", "red"}).code, 1);
}

namespace {

TEST_F(CliTest, ManyLinesAreAddedEachAsAChangeOfItsOwn)
{
    const QByteArray project = add("project", "{}");
    const CliRun run = cli({"add", "task"}, "{\"name\": \"a\"}\n{\"name\": \n\n{\"name\": \"c\"}\n"
                                            "{\"priority\": \"high\"}\n{\"name\": \"e\"}\n");
    EXPECT_EQ(run.code, 2);
    EXPECT_TRUE(run.err.contains("line 2: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("line 5: ")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("line 1:") || run.err.contains("line 4:") || run.err.contains("line 6:"));
    const QList<QByteArray> ids = run.out.trimmed().split('\n');
    ASSERT_EQ(ids.size(), 3);
    const char* names[] = {"a", "c", "e"};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(cli({"show", "task", ids[i]}).out.contains(QByteArray("\"name\": \"") + names[i] + '"'));
    EXPECT_EQ(cli({"history"}).out.count("\"Add Task"), 3);

    // Sub tasks join their parent's list in the order of the lines.
    const QByteArray parent = add("task", R"({"project_identifier": ")" + project + R"("})");
    const CliRun subs = cli({"add", "task", "--parent", parent}, "{\"name\": \"x\"}\n{\"name\": \"y\"}\n");
    ASSERT_EQ(subs.code, 0) << subs.err.toStdString();
    const QList<QByteArray> children = subs.out.trimmed().split('\n');
    ASSERT_EQ(children.size(), 2);
    EXPECT_TRUE(cli({"show", "task", parent})
                    .out.contains(R"("sub_task_list": ")" + children[0] + R"(\n)" + children[1] + R"(\n")"));
}

TEST_F(CliTest, OneRecordCommandsGiveWhatAWholeLoadGives)
{
    // Two files carry one task (the later name wins), one is damaged, one is a folder.
    const QByteArray twice = add("task", R"({"name": "own file"})");
    const QByteArray damaged = add("task", R"({"name": "damaged"})");
    const QByteArray folder = add("task", R"({"name": "folder"})");
    ASSERT_EQ(SafeFile::write(path("Task" + twice + ".TSK"), fileBytes(path("Task" + twice + ".tsk"))), "");
    ASSERT_EQ(cli({"modify", "task"}, R"({"identifier": ")" + twice + R"(", "name": "new file"})").code, 0);
    ASSERT_EQ(SafeFile::write(path("Task" + damaged + ".tsk"), "broken"), "");
    ASSERT_TRUE(QFile::remove(path("Task" + folder + ".tsk")));
    ASSERT_TRUE(QDir().mkpath(path("Task" + folder + ".tsk")));

    auto expectAsListed = [&] {
        const QList<QByteArray> listed = cli({"list", "task"}).out.trimmed().split('\n');
        for (const QByteArray& line : listed) {
            const QByteArray id =
                QJsonDocument::fromJson(line).object().value("identifier").toString().toUtf8();
            EXPECT_EQ(cli({"show", "task", id}).out.trimmed(), line);
        }
        EXPECT_TRUE(cli({"show", "task", twice}).out.contains("new file"));
        for (const QByteArray& id : {damaged, folder}) {
            const CliRun shown = cli({"show", "task", id});
            EXPECT_EQ(shown.code, 2);
            EXPECT_EQ(shown.err, "korvane-cli: no task with the identifier \"" + id + "\"\n");
            EXPECT_EQ(cli({"delete", "task", id}).err, shown.err);
        }
    };
    expectAsListed();
    // A file named as no identifier names its file sends the commands to the whole folder.
    ASSERT_EQ(SafeFile::write(path("task-copy.tsk"), "broken"), "");
    expectAsListed();
}

} // namespace
