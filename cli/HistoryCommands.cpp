// korvane-cli's history commands: the changes as the data folder's history keeps them, undo and restore.
#include "CliApp.h"

#include "JsonRecords.h"
#include "edits/History.h"
#include "edits/HistoryEdits.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"

#include <limits>

namespace korvane {

namespace {

const char* actionWord(RecordAction action)
{
    return action == RecordAction::Add ? "add" : action == RecordAction::Delete ? "delete" : "modify";
}

/** A record file's bytes as the JSON object `show` prints, or null when there is no record. */
QByteArray recordJson(RecordKind kind, const std::optional<QByteArray>& bytes)
{
    if (!bytes)
        return "null";
    return visitKind(kind, [&](auto empty) -> QByteArray {
        using R = decltype(empty);
        R record = emptyRecord<R>();
        if (!decodeRecord(*bytes, record))
            return "null";
        return JsonRecords::toJson(record);
    });
}

/**
 * One change as a JSON object, keys in the order they are documented in; with `whole`, each record
 * with its version before and after.
 */
QByteArray changeJson(const HistoryEntry& entry, bool whole)
{
    QByteArrayList records;
    for (const TouchedRecord& record : entry.records) {
        QByteArray object = "{\"kind\": " + JsonRecords::quoted(QLatin1String(kindNames(record.kind).word)) +
                            ", \"identifier\": " + JsonRecords::quoted(QString::fromUtf8(record.identifier)) +
                            ", \"action\": \"" + actionWord(record.action) + '"';
        if (whole) {
            QByteArray before = "null";
            QByteArray after = "null";
            for (const HistoryEntry::File& file : entry.files) {
                const auto* kind = std::get_if<RecordKind>(&file.file.type);
                if (kind && *kind == record.kind && file.file.identifier == record.identifier) {
                    before = recordJson(*kind, file.before);
                    after = recordJson(*kind, file.after);
                }
            }
            object += ", \"before\": " + before + ", \"after\": " + after;
        }
        records.append(object + '}');
    }
    return "{\"change\": " + JsonRecords::quoted(QString::fromLatin1(entry.id)) +
           ", \"time\": " + JsonRecords::quoted(entry.time.toString(Qt::ISODate)) +
           ", \"description\": " + JsonRecords::quoted(entry.description) + ", \"records\": [" +
           records.join(", ") + "]}";
}

} // namespace

int CliApp::history(const QList<QByteArray>& args)
{
    const char* usage = "history [--project ID] [--limit N]";
    QByteArray project;
    qint64 limit = std::numeric_limits<qint64>::max();
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            usageLine(usage);
        if (args[i] == "--project") {
            project = args[i + 1];
        } else if (args[i] == "--limit") {
            bool ok = false;
            limit = args[i + 1].toLongLong(&ok);
            if (!ok || limit < 0)
                usageError(QStringLiteral("--limit needs a whole number from 0 on"));
        } else {
            usageLine(usage);
        }
    }
    const History history(store().workingDirectory());
    const QList<QByteArray> ids = history.entryIds();
    qint64 printed = 0;
    for (auto id = ids.crbegin(); id != ids.crend() && printed < limit; ++id) {
        const std::optional<HistoryEntry> entry = history.read(*id);
        if (!entry)
            continue;
        if (!project.isNull() && std::none_of(entry->records.begin(), entry->records.end(),
                                              [&](const TouchedRecord& r) { return r.project == project; }))
            continue;
        print(changeJson(*entry, false));
        ++printed;
    }
    return Success;
}

void CliApp::showChange(const QByteArray& id)
{
    const std::optional<HistoryEntry> entry = History(store().workingDirectory()).read(id);
    if (!entry)
        fail(InvalidInput, QStringLiteral("no change \"%1\" in the history").arg(QString::fromLatin1(id)));
    print(changeJson(*entry, true));
}

int CliApp::undo(const QList<QByteArray>& args)
{
    expectCount(args, 0, "undo");
    const EditResult result = HistoryEdits::undo(store());
    if (!result.ok())
        fail(InvalidInput, result.error);
    print(result.description.toUtf8());
    return Success;
}

int CliApp::restore(const QList<QByteArray>& args)
{
    const char* usage = "restore CHANGE_ID [--force]";
    if (args.isEmpty() || args.size() > 2 || (args.size() == 2 && args[1] != "--force"))
        usageLine(usage);
    const EditResult result = HistoryEdits::restore(store(), args[0], args.size() == 2);
    if (!result.ok())
        fail(InvalidInput, result.error);
    print(result.description.toUtf8());
    return Success;
}

} // namespace korvane
