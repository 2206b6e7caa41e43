#include "edits/HistoryEdits.h"

#include "edits/ApplyChange.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"

namespace korvane {

namespace {

RecordAction inverse(RecordAction action)
{
    return action == RecordAction::Add ? RecordAction::Delete
           : action == RecordAction::Delete ? RecordAction::Add
                                            : RecordAction::Modify;
}

/** The first file of the entry that no longer holds `expected` (before or after), or nullptr. */
const HistoryEntry::File* changedElsewhere(const RecordStore& store, const HistoryEntry& entry, bool expectAfter)
{
    for (const HistoryEntry::File& file : entry.files) {
        const FileStep now = currentState(store, file.file);
        if (now.bytes != (expectAfter ? file.after : file.before))
            return &file;
    }
    return nullptr;
}

/**
 * Applies a change of the history's with the store's own check of files changed elsewhere set
 * aside: the history has just compared every file with what it kept, which also covers changes
 * other programs made through it (korvane-cli) since this store read the folder.
 */
EditResult applyChecked(RecordStore& store, const Change& change)
{
    const bool overwrote = store.overwritesChanged();
    store.setOverwriteChanged(true);
    EditResult result = RecordEdits::apply(store, change);
    store.setOverwriteChanged(overwrote);
    return result;
}

/** The change that gives every file of the entry its bytes before (undo) or after (redo) it. */
Change turnBack(const HistoryEntry& entry, bool toBefore)
{
    Change change;
    if (toBefore) {
        for (auto file = entry.files.rbegin(); file != entry.files.rend(); ++file)
            change.putBytes(file->file, file->before);
        for (const TouchedRecord& record : entry.records)
            change.noteRecord({record.kind, record.identifier, record.project, inverse(record.action)});
    } else {
        for (const HistoryEntry::File& file : entry.files)
            change.putBytes(file.file, file.after);
        for (const TouchedRecord& record : entry.records)
            change.noteRecord(record);
    }
    return change;
}

EditResult turn(RecordStore& store, const QByteArray& id, bool undo)
{
    const History history(store.workingDirectory());
    const QString verb = undo ? QStringLiteral("undone") : QStringLiteral("redone");
    if (id.isEmpty())
        return {{}, QStringLiteral("There is nothing to be %1.").arg(verb), {}};
    const std::optional<HistoryEntry> entry = history.read(id);
    if (!entry)
        return {{}, QStringLiteral("The history entry %1 cannot be read.").arg(QString::fromLatin1(id)), {}};
    if (const HistoryEntry::File* file = changedElsewhere(store, *entry, undo))
        return {{},
                QStringLiteral("%1 was changed elsewhere since \"%2\", so nothing was %3.")
                    .arg(HistoryEdits::fileCaption(*file), entry->description, verb),
                entry->description,
                true};
    Change change = turnBack(*entry, undo);
    change.setDescription(QStringLiteral("%1 %2").arg(undo ? QStringLiteral("Undo") : QStringLiteral("Redo"),
                                                       entry->description));
    change.setKind(undo ? ChangeKind::Undo : ChangeKind::Redo, id);
    EditResult result = applyChecked(store, change);
    result.description = entry->description;
    if (!entry->records.isEmpty())
        result.identifier = entry->records.first().identifier;
    return result;
}

} // namespace

EditResult HistoryEdits::undo(RecordStore& store)
{
    return turn(store, History(store.workingDirectory()).undoTarget(), true);
}

EditResult HistoryEdits::redo(RecordStore& store)
{
    return turn(store, History(store.workingDirectory()).redoTarget(), false);
}

QString HistoryEdits::undoDescription(const RecordStore& store)
{
    const History history(store.workingDirectory());
    const auto entry = history.read(history.undoTarget());
    return entry ? entry->description : QString();
}

QString HistoryEdits::redoDescription(const RecordStore& store)
{
    const History history(store.workingDirectory());
    const auto entry = history.read(history.redoTarget());
    return entry ? entry->description : QString();
}

EditResult HistoryEdits::restore(RecordStore& store, const QByteArray& id, bool force, QStringList* later)
{
    const History history(store.workingDirectory());
    const std::optional<HistoryEntry> entry = history.read(id);
    if (!entry)
        return {{}, QStringLiteral("There is no change %1 in the history.").arg(QString::fromLatin1(id)), {}};

    QStringList touchedLater;
    const QList<QByteArray> ids = history.entryIds();
    for (qsizetype i = ids.indexOf(id) + 1; i > 0 && i < ids.size(); ++i) {
        const std::optional<HistoryEntry> next = history.read(ids[i]);
        if (!next)
            continue;
        const bool overlaps = std::any_of(next->files.begin(), next->files.end(), [&](const HistoryEntry::File& a) {
            return std::any_of(entry->files.begin(), entry->files.end(),
                               [&](const HistoryEntry::File& b) { return a.file == b.file; });
        });
        if (overlaps)
            touchedLater.append(QStringLiteral("%1 %2").arg(next->time.toString(Qt::ISODate), next->description));
    }
    const HistoryEntry::File* elsewhere = touchedLater.isEmpty() ? changedElsewhere(store, *entry, true) : nullptr;
    if (later)
        *later = touchedLater;
    if (!force && (!touchedLater.isEmpty() || elsewhere)) {
        const QString why = elsewhere ? QStringLiteral("%1 was changed elsewhere since.").arg(fileCaption(*elsewhere))
                                      : QStringLiteral("Later changes touched the same records:\n%1")
                                            .arg(touchedLater.join(QLatin1Char('\n')));
        return {{}, QStringLiteral("\"%1\" was not restored. %2").arg(entry->description, why), entry->description,
                true};
    }
    Change change = turnBack(*entry, true);
    change.setDescription(QStringLiteral("Restore \"%1\"").arg(entry->description));
    EditResult result = applyChecked(store, change);
    if (!entry->records.isEmpty())
        result.identifier = entry->records.first().identifier;
    return result;
}

QString HistoryEdits::fileCaption(const HistoryEntry::File& file)
{
    if (const auto* list = std::get_if<ListFile>(&file.file.type)) {
        switch (*list) {
        case ListFile::Agenda:
            return QStringLiteral("The agenda of a meeting");
        case ListFile::Action:
            return QStringLiteral("The actions of a meeting");
        case ListFile::Attendees:
            return QStringLiteral("The attendees file of a meeting");
        case ListFile::Currency:
            return QStringLiteral("The list of currency formats");
        case ListFile::ProjectDoc:
            break;
        }
        return QStringLiteral("The documents of a project");
    }
    const RecordKind kind = std::get<RecordKind>(file.file.type);
    const QByteArray& bytes = file.after ? *file.after : file.before ? *file.before : QByteArray();
    const QString name = visitKind(kind, [&](auto empty) {
        using R = decltype(empty);
        R record = emptyRecord<R>();
        return decodeRecord(bytes, record) ? RecordEdits::nameOf(record) : QString::fromLatin1(file.file.identifier);
    });
    return QStringLiteral("The %1 \"%2\"").arg(kindCaption(kind).toLower(), name);
}

} // namespace korvane
