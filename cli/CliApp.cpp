#include "CliApp.h"

#include "JsonRecords.h"
#include "edits/ChangeBatch.h"
#include "edits/History.h"
#include "edits/MeetingEdits.h"
#include "edits/RecordEdits.h"
#include "edits/TaskEdits.h"
#include "records/RecordCodec.h"
#include "records/TextList.h"
#include "store/AmountInWords.h"
#include "store/AppSettings.h"
#include "store/DemoData.h"
#include "store/LoginCipher.h"
#include "store/LoginFiles.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <new>

namespace korvane {

namespace {

// Larger input than this is refused rather than read into memory.
constexpr qsizetype kMaxInput = qsizetype(256) * 1024 * 1024;
constexpr int kMaxDemoProjects = 100000;
// From this many projects on, the records are written straight into the folder without syncing
// each file (a store-made set of that size would take minutes), and progress is shown.
constexpr int kLargeDemo = 200;

// The manual page (help2man) and the bash completion are made from this text: each usage line has
// its own description, after two blanks or on the next line at the description column.
const char* const kUsage = R"(Usage: korvane-cli [--data DIR] COMMAND [ARGS...]

Options:
  --data DIR                       the data folder (without it: the remembered working folder
                                   + "/Korvane")
  -h, --help                       prints this text
  --version                        prints the version

Commands:
  list KIND                        every record of the kind, one JSON object per line
  show KIND ID                     one record as a JSON object
  add KIND [--batch N]             adds the JSON object read from standard input, prints its identifier;
                                   given one object a line, adds each as a change of its own and prints
                                   the identifiers in order: a line that cannot be added is named on
                                   standard error and passed over, the others are added (exit 2)
  add task --parent TASK_ID        adds the task (or the tasks, one a line) read from standard input as
                                   sub tasks of TASK_ID
  modify KIND [--force]            stores the JSON object read from standard input under its identifier
                                   (a task moved to another project takes its sub tasks along); refused
                                   when the record's file was changed elsewhere since, unless --force
  delete KIND ID [--force]         deletes a record (a project with everything that hangs on it, a
                                   task with its sub tasks); refused as modify is, unless --force
  list agenda|actions MEETING_ID   the items of a meeting's agenda or action list
  write agenda|actions MEETING_ID  replaces the list with the JSON lines read from standard input
                                   (one change; with any line that is no item, every such line is
                                   named and the list is left as it was)
  show documents PROJECT_ID        the project's ten document rows
  words AMOUNT                     the amount in words as an invoice stores it
  encipher TEXT                    the text enciphered with the login cipher
  decipher HEX                     the text deciphered with the login cipher
  check                            lists the files of the data folder that cannot be read, and the
                                   conflicting copies of records
  conflicts                        the conflicting copies of records a sync program left, one a line:
                                   kind, identifier, the copy's path (tab-separated)
  resolve KIND ID --keep PATH      keeps the version in PATH (the record's file or a copy) as the
                                   record; the other copies are moved into the "Conflicts" folder
  demo [--projects N] [--seed S]   fills the data folder with a generated data set
  projects FROM TO                 the project list for a month range (YYYY-MM YYYY-MM)
  tree tasks|meetings|money PROJECT_ID
                                   one of the project's details trees
  graph PROJECT_ID                 the progress graph's rows and axis as JSON
  search TEXT [--kind KIND] [--project ID]
                                   the texts that contain TEXT, case and accents aside, one a line:
                                   kind, identifier, project, field, text (tab-separated)
  history [--project ID] [--limit N]
                                   the changes of the data folder, newest first, one JSON object a line
  show change CHANGE_ID            one change with each record before and after it
  undo                             undoes the newest change not yet undone, prints what it was
  restore CHANGE_ID [--force]      puts the records of a change back as they were before it
  report details|invoices|export PROJECT_ID
                                   a generated page of the project, as the program writes it
  report invoice INVOICE_ID [--links] [--print]
                                   the invoice letter, with links or as printed
  report print --modules LIST PROJECT_ID...
                                   the print page of the projects (LIST: some of
                                   leaders,task,meeting,payment)
  export html|docx|xlsx PROJECT_ID FILE
                                   writes the project's HTML, Word or Excel export to FILE
  export ics PROJECT_ID FILE       writes the project's tasks and meetings to an iCalendar file
  export ics --all FILE            writes the tasks and meetings of every project to an iCalendar file
  export invoice-html|invoice-docx INVOICE_ID FILE
                                   writes the invoice's HTML or Word export to FILE
  export pdf PROJECT_ID FILE [--modules LIST]
                                   writes the project's print page (all four modules unless LIST
                                   says) as PDF to FILE
  export invoice-pdf INVOICE_ID FILE
                                   writes the invoice letter, as printed, as PDF to FILE
  import contacts FILE [--dry-run]
                                   adds every contact of a vCard file, prints the new identifiers
  import tasks|meetings FILE --project PROJECT_ID [--dry-run]
                                   adds every task or meeting of an iCalendar file to the project,
                                   prints the new identifiers (--dry-run: the rows it would add)
  publish URL [--project ID]... [--user NAME] [--password-file FILE] [--force]
                                   sends the tasks and meetings of the projects (all without --project)
                                   to the CalDAV calendar at URL; items changed on the server since the
                                   last publish are listed and kept unless --force

KIND: project, client, resource, task, meeting, moneyflow, invoice.

Exit status:
  0  success
  1  bad usage
  2  unknown record, unreadable or invalid input (nothing is written)
  3  check found problems or conflicting copies
)";

QString word(RecordKind kind)
{
    return QLatin1String(kindNames(kind).word);
}

QString argText(const QByteArray& argument)
{
    return QString::fromLocal8Bit(argument);
}

/** A whole number from min to max, or std::nullopt. */
std::optional<qint64> wholeNumber(const QByteArray& text, qint64 min, qint64 max)
{
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || value > qulonglong(max) || qint64(value) < min)
        return std::nullopt;
    return qint64(value);
}

} // namespace

CliApp::CliApp(QIODevice& in, QIODevice& out, QIODevice& err) : m_in(in), m_out(out), m_err(err) {}

CliApp::~CliApp() = default;

void CliApp::fail(int code, const QString& message)
{
    throw Failure{code, message};
}

void CliApp::usageLine(const char* usage)
{
    throw Failure{BadUsage, QStringLiteral("usage: korvane-cli [--data DIR] %1").arg(QLatin1String(usage))};
}

void CliApp::expectCount(const QList<QByteArray>& args, qsizetype count, const char* usage)
{
    if (args.size() != count)
        usageLine(usage);
}

void CliApp::usageError(const QString& message)
{
    throw Failure{BadUsage, message + QStringLiteral("\n(korvane-cli --help lists the commands)")};
}

int CliApp::run(const QList<QByteArray>& arguments)
{
    try {
        qsizetype at = 0;
        while (at < arguments.size() && arguments[at].startsWith('-')) {
            const QByteArray& option = arguments[at];
            if (option == "--help" || option == "-h") {
                printUsage(m_out);
                return Success;
            }
            if (option == "--version") {
                print("Korvane " + QCoreApplication::applicationVersion().toUtf8());
                return Success;
            }
            if (option == "--data") {
                if (at + 1 >= arguments.size())
                    usageError(QStringLiteral("--data needs a folder"));
                m_dataOption = QFile::decodeName(arguments[at + 1]);
                at += 2;
            } else if (option.startsWith("--data=")) {
                m_dataOption = QFile::decodeName(option.mid(7));
                ++at;
            } else {
                usageError(QStringLiteral("unknown option %1").arg(argText(option)));
            }
        }
        if (at >= arguments.size()) {
            printUsage(m_err);
            return BadUsage;
        }
        return dispatch(arguments[at], arguments.mid(at + 1));
    } catch (const Failure& failure) {
        m_err.write("korvane-cli: " + failure.message.toUtf8() + '\n');
        return failure.code;
    } catch (const std::bad_alloc&) {
        m_err.write("korvane-cli: out of memory\n");
        return InvalidInput;
    }
}

int CliApp::dispatch(const QByteArray& command, const QList<QByteArray>& args)
{
    if (command == "list")
        return list(args);
    if (command == "show")
        return show(args);
    if (command == "add")
        return add(args);
    if (command == "modify")
        return modify(args);
    if (command == "delete")
        return remove(args);
    if (command == "write")
        return write(args);
    if (command == "words")
        return words(args);
    if (command == "encipher")
        return encipher(args);
    if (command == "decipher")
        return decipher(args);
    if (command == "check")
        return check(args);
    if (command == "demo")
        return demo(args);
    if (command == "projects")
        return projects(args);
    if (command == "tree")
        return tree(args);
    if (command == "graph")
        return graph(args);
    if (command == "search")
        return search(args);
    if (command == "history")
        return history(args);
    if (command == "undo")
        return undo(args);
    if (command == "restore")
        return restore(args);
    if (command == "conflicts")
        return conflicts(args);
    if (command == "resolve")
        return resolve(args);
    if (command == "report")
        return report(args);
    if (command == "export")
        return exportTo(args);
    if (command == "import")
        return importFile(args);
    if (command == "publish")
        return publish(args);
    usageError(QStringLiteral("unknown command \"%1\"").arg(argText(command)));
}

// ---- data folder and input ----

QString CliApp::dataFolder() const
{
    if (m_dataOption) {
        if (m_dataOption->isEmpty())
            usageError(QStringLiteral("--data needs a folder"));
        return *m_dataOption;
    }
    const QString picked = AppSettings::workingFolder();
    if (picked.isEmpty())
        fail(BadUsage,
             QStringLiteral(
                 "no working folder is remembered in the settings; name the data folder with --data DIR"));
    return AppSettings::dataFolderOf(picked);
}

RecordStore& CliApp::openStore()
{
    if (!m_store) {
        const QString folder = dataFolder();
        const QFileInfo info(folder);
        if (!info.isDir())
            fail(InvalidInput, QStringLiteral("the data folder %1 %2")
                                   .arg(folder, info.exists() ? QStringLiteral("is not a folder")
                                                              : QStringLiteral("does not exist")));
        m_store = std::make_unique<RecordStore>(folder);
        m_store->setReadOnly(m_readOnly);
        History::setMaxBytes(qint64(AppSettings::historyMegabytes()) * 1024 * 1024);
        m_store->setOverwriteChanged(m_force);
        // A change a crash cut short is put back first, so every command sees a whole folder.
        if (!m_readOnly) {
            for (const QString& line : History(folder).recover(*m_store))
                m_err.write("korvane-cli: " + line.toUtf8() + '\n');
        }
    }
    return *m_store;
}

RecordStore& CliApp::store()
{
    RecordStore& records = openStore();
    if (!m_loadedWhole) {
        records.LoadAll();
        m_loadedWhole = true;
    }
    return records;
}

RecordStore& CliApp::storeWith(const QList<RecordKey>& wanted)
{
    RecordStore& records = openStore();
    if (!m_loadedWhole && !records.LoadRecords(wanted))
        return store();
    return records;
}

void CliApp::requireFileSafe(const QByteArray& identifier)
{
    // The identifier becomes part of a file name: nothing in it may lead out of the data folder.
    const bool safe = !identifier.isEmpty() && identifier.trimmed() == identifier &&
                      std::none_of(identifier.begin(), identifier.end(), [](char c) {
                          return uchar(c) < 0x20 || c == 0x7f || c == '/' || c == '\\';
                      });
    if (!safe)
        fail(InvalidInput, QStringLiteral("\"%1\" is not a usable identifier").arg(displayText(identifier)));
}

RecordKind CliApp::kindArgument(const QByteArray& word)
{
    const std::optional<RecordKind> kind = kindFromWord(argText(word));
    if (!kind)
        usageError(
            QStringLiteral("unknown record kind \"%1\" (project, client, resource, task, meeting, moneyflow "
                           "or invoice)")
                .arg(argText(word)));
    return *kind;
}

QByteArray CliApp::readInput()
{
    QByteArray input;
    for (;;) {
        const QByteArray chunk = m_in.read(1 << 16);
        if (chunk.isEmpty())
            break;
        if (input.size() + chunk.size() > kMaxInput)
            fail(InvalidInput, QStringLiteral("the input is larger than %1 MiB").arg(kMaxInput >> 20));
        input += chunk;
    }
    return input;
}

QJsonObject CliApp::readObject()
{
    QString error;
    const std::optional<QJsonObject> object = JsonRecords::parseObject(readInput(), error);
    if (!object)
        fail(InvalidInput, QStringLiteral("standard input: %1").arg(error));
    return *object;
}

void CliApp::print(const QByteArray& line)
{
    m_out.write(line);
    m_out.write("\n", 1);
}

void CliApp::printUsage(QIODevice& device)
{
    device.write(kUsage);
}

// ---- records ----

template <class R> void CliApp::listRecords()
{
    for (const auto& entry : store().records<R>())
        print(JsonRecords::toJson(entry.record));
}

template <class R> void CliApp::showRecord(const QByteArray& identifier)
{
    const R* record = storeWith({{KindOf<R>::value, identifier}}).template records<R>().find(identifier);
    if (!record)
        fail(InvalidInput, QStringLiteral("no %1 with the identifier \"%2\"")
                               .arg(word(KindOf<R>::value), displayText(identifier)));
    print(JsonRecords::toJson(*record));
}

template <class R> void CliApp::addRecord(int batch, const QByteArray& parent)
{
    // New identifiers keep clear of every record of the kind, which its file names must tell.
    RecordStore& records = storeWith({{KindOf<R>::value, {}}, {RecordKind::Task, parent}});
    const QByteArray input = readInput();
    if constexpr (std::is_same_v<R, TaskRecord>) {
        if (!parent.isNull() && !records.tasks().contains(parent))
            fail(InvalidInput, QStringLiteral("no task with the identifier \"%1\"").arg(displayText(parent)));
    }
    const auto addOne = [&](const R& record) {
        if constexpr (std::is_same_v<R, TaskRecord>) {
            if (!parent.isNull())
                return TaskEdits::addSubTask(records, record, parent);
        }
        return RecordEdits::add(records, record, batch);
    };
    // One object, on one line or laid out over many, is added as it always was.
    QString error;
    const std::optional<QJsonObject> whole = JsonRecords::parseObject(input, error);
    if (whole || input.count('\n') <= 1) {
        if (!whole)
            fail(InvalidInput, QStringLiteral("standard input: %1").arg(error));
        R record = emptyRecord<R>();
        if (const QString reason = JsonRecords::fromJson(*whole, record); !reason.isEmpty())
            fail(InvalidInput, reason);
        const EditResult result = addOne(record);
        if (!result.ok())
            fail(InvalidInput, result.error);
        print(result.identifier);
        return;
    }

    // One object a line: each its own change; a line that cannot be added is named and passed over.
    qsizetype failed = 0;
    auto report = [&](qsizetype line, const QString& reason) {
        m_err.write(QStringLiteral("korvane-cli: line %1: %2\n").arg(line).arg(reason).toUtf8());
        ++failed;
    };
    ChangeBatch changes(records);
    const QList<QByteArray> lines = input.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype number = i + 1;
        if (lines[i].trimmed().isEmpty())
            continue;
        const std::optional<QJsonObject> object = JsonRecords::parseObject(lines[i], error);
        R record = emptyRecord<R>();
        const QString reason = object ? JsonRecords::fromJson(*object, record) : error;
        if (!reason.isEmpty()) {
            report(number, reason);
            continue;
        }
        const auto done = [this, report, number](const EditResult& result) {
            if (result.ok())
                print(result.identifier);
            else
                report(number, result.error);
        };
        if (!parent.isNull()) {
            // Each sub task changes its parent's list, so the one before must be in place.
            changes.flush();
            done(addOne(record));
            continue;
        }
        const Change change = RecordEdits::addChange(records, record, batch, changes.reserved());
        changes.add(change, record.identifier, done);
    }
    changes.flush();
    if (failed > 0)
        fail(InvalidInput, QStringLiteral("%1 line(s) could not be added; every other line was").arg(failed));
}

template <class R> void CliApp::modifyRecord()
{
    openStore();
    const QJsonObject object = readObject();
    const QJsonValue identifier = object.value(QLatin1String("identifier"));
    if (!identifier.isString() || identifier.toString().isEmpty())
        fail(InvalidInput, QStringLiteral("field \"identifier\": the record to modify needs its identifier"));
    const QByteArray key = storedText(identifier.toString());
    requireFileSafe(key);
    RecordStore& records = storeWith({{KindOf<R>::value, key}});

    // Fields the object leaves out keep their stored values.
    const R* stored = records.records<R>().find(key);
    R record = stored ? *stored : emptyRecord<R>();
    const QString reason = JsonRecords::fromJson(object, record);
    if (!reason.isEmpty())
        fail(InvalidInput, reason);
    if constexpr (std::is_same_v<R, TaskRecord>) {
        // A task moved to another project takes the sub tasks its list names along.
        QList<RecordKey> subTasks;
        for (const QByteArray& sub : TextList::entries(record.subTaskList))
            subTasks.append({RecordKind::Task, sub});
        storeWith(subTasks);
    }
    failUnless(RecordEdits::modify(records, record));
}

int CliApp::list(const QList<QByteArray>& args)
{
    if (!args.isEmpty() && (args[0] == "agenda" || args[0] == "actions")) {
        expectCount(args, 2, "list agenda|actions MEETING_ID");
        if (args[0] == "agenda")
            listItems<AgendaRecord>(ListFile::Agenda, args[1]);
        else
            listItems<ActionRecord>(ListFile::Action, args[1]);
        return Success;
    }
    expectCount(args, 1, "list KIND");
    visitKind(kindArgument(args[0]), [&](auto empty) { listRecords<decltype(empty)>(); });
    return Success;
}

int CliApp::show(const QList<QByteArray>& args)
{
    expectCount(args, 2, "show KIND ID | show documents PROJECT_ID");
    if (args[0] == "documents") {
        showDocuments(args[1]);
        return Success;
    }
    if (args[0] == "change") {
        showChange(args[1]);
        return Success;
    }
    visitKind(kindArgument(args[0]), [&](auto empty) { showRecord<decltype(empty)>(args[1]); });
    return Success;
}

int CliApp::add(const QList<QByteArray>& args)
{
    const char* usage = "add KIND [--batch N] | add task --parent TASK_ID";
    if (args.size() != 1 && args.size() != 3)
        usageLine(usage);
    const RecordKind kind = kindArgument(args[0]);
    int batch = -1;
    QByteArray parent;
    if (args.size() == 3 && args[1] == "--parent") {
        if (kind != RecordKind::Task)
            usageError(QStringLiteral("--parent is only for tasks"));
        requireFileSafe(args[2]);
        parent = args[2];
    } else if (args.size() == 3) {
        if (args[1] != "--batch")
            usageLine(usage);
        if (kind != RecordKind::Resource && kind != RecordKind::Task && kind != RecordKind::Meeting)
            usageError(QStringLiteral("--batch is only for resources, tasks and meetings"));
        const std::optional<qint64> number = wholeNumber(args[2], 0, std::numeric_limits<int>::max());
        if (!number)
            usageError(QStringLiteral("--batch needs a whole number from 0 on"));
        batch = int(*number);
    }
    visitKind(kind, [&](auto empty) { addRecord<decltype(empty)>(batch, parent); });
    return Success;
}

void CliApp::failUnless(const EditResult& result)
{
    if (!result.ok())
        fail(InvalidInput, result.changedElsewhere ? result.error + QStringLiteral(" --force overwrites it.")
                                                   : result.error);
}

QList<QByteArray> CliApp::takeForce(QList<QByteArray> args)
{
    if (!args.isEmpty() && args.last() == "--force") {
        m_force = true;
        args.removeLast();
    }
    return args;
}

int CliApp::modify(const QList<QByteArray>& given)
{
    const QList<QByteArray> args = takeForce(given);
    expectCount(args, 1, "modify KIND [--force]");
    visitKind(kindArgument(args[0]), [&](auto empty) { modifyRecord<decltype(empty)>(); });
    return Success;
}

int CliApp::remove(const QList<QByteArray>& given)
{
    const QList<QByteArray> args = takeForce(given);
    expectCount(args, 2, "delete KIND ID [--force]");
    const RecordKind kind = kindArgument(args[0]);
    const QByteArray& identifier = args[1];
    RecordStore& records = kind == RecordKind::Project ? store() : storeWith({{kind, identifier}});
    if (kind == RecordKind::Task) {
        // A top-level task takes the sub tasks its list names; a sub task leaves the list of its
        // parent, which only the whole project's tasks tell.
        const TaskRecord* task = records.tasks().find(identifier);
        if (task && task->isSubTask()) {
            store();
        } else if (task) {
            QList<RecordKey> subTasks;
            for (const QByteArray& sub : TextList::entries(task->subTaskList))
                subTasks.append({RecordKind::Task, sub});
            storeWith(subTasks);
        }
    }
    const bool known =
        visitKind(kind, [&](auto empty) { return records.records<decltype(empty)>().contains(identifier); });
    if (!known)
        fail(InvalidInput,
             QStringLiteral("no %1 with the identifier \"%2\"").arg(word(kind), displayText(identifier)));
    requireFileSafe(identifier);
    failUnless(RecordEdits::remove(records, kind, identifier));
    return Success;
}

// ---- meeting lists and project documents ----

template <class Item> void CliApp::listItems(ListFile file, const QByteArray& meeting)
{
    requireFileSafe(meeting);
    RecordStore& records = storeWith({{RecordKind::Meeting, meeting}});
    if (!records.meetings().contains(meeting))
        fail(InvalidInput, QStringLiteral("no meeting with the identifier \"%1\"").arg(displayText(meeting)));
    const QString path = records.fileName(file, meeting);
    if (!QFileInfo::exists(path))
        return; // a meeting whose list was never written has no items
    QByteArray bytes;
    QString error;
    if (!SafeFile::read(path, bytes, &error))
        fail(InvalidInput, error);
    QList<Item> items;
    if (!decodeList(bytes, items, &error))
        fail(InvalidInput, QStringLiteral("%1: %2").arg(path, error));
    for (const Item& item : items)
        print(JsonRecords::toJson(item));
}

template <class Item> void CliApp::writeItems(ListFile file, const QByteArray& meeting)
{
    requireFileSafe(meeting);
    RecordStore& records = storeWith({{RecordKind::Meeting, meeting}});
    if (!records.meetings().contains(meeting))
        fail(InvalidInput, QStringLiteral("no meeting with the identifier \"%1\"").arg(displayText(meeting)));

    const QByteArray input = readInput();
    const DateTime now = DateTime::now();
    QList<Item> items;
    QStringList bad;
    const QList<QByteArray> lines = input.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        QString reason;
        const std::optional<QJsonObject> object = JsonRecords::parseObject(lines[i], reason);
        Item item = emptyRecord<Item>(now);
        if (object)
            reason = JsonRecords::fromJson(*object, item);
        if (!reason.isEmpty())
            bad.append(QStringLiteral("line %1: %2").arg(i + 1).arg(reason));
        items.append(item);
    }
    // The list is one file: with any line that is no item, it is left as it was.
    if (bad.size() == 1)
        fail(InvalidInput, bad.front());
    if (!bad.isEmpty()) {
        for (const QString& line : bad)
            m_err.write("korvane-cli: " + line.toUtf8() + '\n');
        fail(InvalidInput, QStringLiteral("%1 lines are no items; the list was not written").arg(bad.size()));
    }
    if (items.size() > std::numeric_limits<std::int32_t>::max())
        fail(InvalidInput, QStringLiteral("too many items"));
    const QString error = MeetingEdits::writeList(records, file, meeting, encodeList(items)).error;
    if (!error.isEmpty())
        fail(InvalidInput, error);
}

int CliApp::write(const QList<QByteArray>& args)
{
    expectCount(args, 2, "write agenda|actions MEETING_ID");
    if (args[0] == "agenda")
        writeItems<AgendaRecord>(ListFile::Agenda, args[1]);
    else if (args[0] == "actions")
        writeItems<ActionRecord>(ListFile::Action, args[1]);
    else
        usageError(QStringLiteral("write takes agenda or actions, not \"%1\"").arg(argText(args[0])));
    return Success;
}

void CliApp::showDocuments(const QByteArray& project)
{
    requireFileSafe(project);
    RecordStore& records = storeWith({{RecordKind::Project, project}});
    if (!records.projects().contains(project))
        fail(InvalidInput, QStringLiteral("no project with the identifier \"%1\"").arg(displayText(project)));
    const QString path = records.fileName(ListFile::ProjectDoc, project);
    ProjectDocuments documents;
    std::int32_t count = 0;
    if (QFileInfo::exists(path)) {
        bool ok = false;
        documents = ProjectDocuments::read(path, &ok);
        if (!ok)
            fail(InvalidInput,
                 QStringLiteral("%1: the documents file is malformed or cannot be read").arg(path));
        // The number the file starts with, as the project sheet shows it.
        count = ProjectDocuments::readCount(path);
    }
    QByteArray line = "{\"count\": " + JsonRecords::integer(count) + ", \"rows\": [";
    bool first = true;
    for (const DocumentRow& row : documents.rows()) {
        if (!first)
            line += ", ";
        first = false;
        line += "{\"name\": " + JsonRecords::text(row.name) +
                ", \"second_text\": " + JsonRecords::text(row.secondText) +
                ", \"path\": " + JsonRecords::text(row.path) + '}';
    }
    line += "]}";
    print(line);
}

// ---- small tools ----

int CliApp::words(const QList<QByteArray>& args)
{
    expectCount(args, 1, "words AMOUNT");
    bool ok = false;
    const double amount = args[0].toDouble(&ok);
    if (!ok)
        fail(InvalidInput, QStringLiteral("\"%1\" is not an amount").arg(argText(args[0])));
    print(amountInWords(amount));
    return Success;
}

int CliApp::encipher(const QList<QByteArray>& args)
{
    expectCount(args, 1, "encipher TEXT");
    print(encipherLoginText(args[0]));
    return Success;
}

int CliApp::decipher(const QList<QByteArray>& args)
{
    expectCount(args, 1, "decipher HEX");
    const std::optional<QByteArray> text = decipherLoginText(args[0]);
    if (!text)
        fail(InvalidInput,
             QStringLiteral("not an enciphered text: it must be a positive multiple of 16 hexadecimal "
                            "digits"));
    print(*text);
    return Success;
}

// ---- check and demo ----

void CliApp::checkListFiles(QStringList& problems) const
{
    // The store reads only the record files; the lists that hang on meetings and projects are
    // read by their editors, so they are checked here the same way.
    const QDir dir(m_store->workingDirectory());
    const QStringList names = dir.entryList(
        {QStringLiteral("Agenda*.agd"), QStringLiteral("Action*.act"), QStringLiteral("ProjectDoc*.doc")},
        QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        QByteArray bytes;
        QString error;
        if (!SafeFile::read(path, bytes, &error)) {
            problems.append(error);
            continue;
        }
        bool ok = true;
        if (name.endsWith(QLatin1String(".agd"))) {
            QList<AgendaRecord> items;
            ok = decodeList(bytes, items, &error);
        } else if (name.endsWith(QLatin1String(".act"))) {
            QList<ActionRecord> items;
            ok = decodeList(bytes, items, &error);
        } else {
            ProjectDocuments::fromBytes(bytes, &ok);
            error = QStringLiteral("ends before its ten document rows");
        }
        if (!ok)
            problems.append(QStringLiteral("%1: %2").arg(path, error));
    }
}

int CliApp::check(const QList<QByteArray>& args)
{
    expectCount(args, 0, "check");
    // A check only looks: even a repair a load would write stays in memory.
    m_readOnly = true;
    const RecordStore& records = store();
    QStringList problems;
    for (const LoadProblem& problem : records.loadProblems())
        problems.append(QStringLiteral("%1: %2").arg(problem.path, problem.reason));
    for (const ConflictCopy& copy : records.conflicts())
        problems.append(QStringLiteral("%1: a conflicting copy of the %2 %3")
                            .arg(copy.path, word(copy.kind), displayText(copy.identifier)));
    checkListFiles(problems);
    for (QString problem : problems) {
        // One line per file, even when a damaged file's name or contents hold line breaks.
        for (QChar& c : problem) {
            if (c.unicode() < 0x20)
                c = QLatin1Char('?');
        }
        print(problem.toUtf8());
    }
    return problems.isEmpty() ? Success : ProblemsFound;
}

int CliApp::demo(const QList<QByteArray>& args)
{
    DemoOptions options;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            usageLine("demo [--projects N] [--seed S]");
        if (args[i] == "--projects") {
            const std::optional<qint64> projects = wholeNumber(args[i + 1], 0, kMaxDemoProjects);
            if (!projects)
                usageError(
                    QStringLiteral("--projects needs a whole number from 0 to %1").arg(kMaxDemoProjects));
            options.projects = int(*projects);
        } else if (args[i] == "--seed") {
            const std::optional<qint64> seed =
                wholeNumber(args[i + 1], 0, std::numeric_limits<quint32>::max());
            if (!seed)
                usageError(QStringLiteral("--seed needs a whole number from 0 to %1")
                               .arg(std::numeric_limits<quint32>::max()));
            options.seed = quint32(*seed);
        } else {
            usageLine("demo [--projects N] [--seed S]");
        }
    }

    const QString folder = dataFolder();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        fail(InvalidInput, QStringLiteral("%1: the data folder cannot be created").arg(folder));
    // A demo folder is a complete data folder: it gets the default login details as the desktop
    // program gives a new data folder, quietly, when it has none yet.
    LoginFiles login(folder);
    if (!QFileInfo::exists(login.detailsPath())) {
        const QStringList messages = login.load(true).messages;
        if (!messages.isEmpty())
            fail(InvalidInput, messages.join(QLatin1Char('\n')));
    }
    if (!QFileInfo::exists(login.statusPath())) {
        const QString error = login.writeStatus(0);
        if (!error.isEmpty())
            fail(InvalidInput, error);
    }

    DemoSummary made;
    if (options.projects >= kLargeDemo) {
        const int total = options.projects;
        const int step = std::max(1, total / 20);
        options.progress = [this, total, step](int done) {
            if (done % step == 0 || done == total)
                m_err.write(QStringLiteral("demo: %1 of %2 projects\n").arg(done).arg(total).toUtf8());
        };
        made = writeDemoFolder(folder, options);
    } else {
        made = generateDemoData(store(), options);
    }
    if (!made.ok())
        fail(InvalidInput, made.error);
    print(QStringLiteral("%1 projects, %2 clients, %3 resources, %4 tasks (%5 sub tasks), %6 meetings, "
                         "%7 money flow entries, %8 invoices")
              .arg(made.projects)
              .arg(made.clients)
              .arg(made.resources)
              .arg(made.tasks)
              .arg(made.subTasks)
              .arg(made.meetings)
              .arg(made.moneyFlows)
              .arg(made.invoices)
              .toUtf8());
    return Success;
}

} // namespace korvane
