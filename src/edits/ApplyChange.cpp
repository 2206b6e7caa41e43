#include "edits/ApplyChange.h"

#include "edits/History.h"
#include "edits/HistoryEdits.h"
#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QFileInfo>
#include <QHash>

namespace korvane {

namespace {

QString applyStep(RecordStore& store, const FileStep& step)
{
    if (const auto* list = std::get_if<ListFile>(&step.file.type)) {
        const QString path = store.fileName(*list, step.file.identifier);
        const QString error = step.bytes ? SafeFile::write(path, *step.bytes) : SafeFile::remove(path);
        if (error.isEmpty())
            store.noteListContents(*list, step.file.identifier, step.bytes);
        return error;
    }
    const RecordKind kind = std::get<RecordKind>(step.file.type);
    return visitKind(kind, [&](auto empty) -> QString {
        using R = decltype(empty);
        if (!step.bytes)
            return store.eraseRecord<R>(step.file.identifier);
        if (step.record)
            return store.putRecord(std::get<R>(*step.record), *step.bytes);
        R record = emptyRecord<R>();
        if (decodeRecord(*step.bytes, record) && record.identifier == step.file.identifier)
            return store.putRecord(record, *step.bytes);
        // Bytes no record can be read from (a damaged file put back as it was) are not kept in the map.
        return SafeFile::write(store.fileName(kind, step.file.identifier), *step.bytes);
    });
}

/** Where each file stands in a list of states (a change of a large project touches a thousand). */
QHash<FileRef, std::size_t> positions(const std::vector<FileStep>& states)
{
    QHash<FileRef, std::size_t> at;
    at.reserve(qsizetype(states.size()));
    for (std::size_t i = 0; i < states.size(); ++i)
        at.insert(states[i].file, i);
    return at;
}

} // namespace

QString filePath(const RecordStore& store, const FileRef& file)
{
    if (const auto* list = std::get_if<ListFile>(&file.type))
        return store.fileName(*list, file.identifier);
    return store.fileName(std::get<RecordKind>(file.type), file.identifier);
}

FileStep currentState(const RecordStore& store, const FileRef& file)
{
    FileStep state{file, std::nullopt, std::nullopt};
    const QString path = filePath(store, file);
    QByteArray bytes;
    if (QFileInfo(path).isFile() && SafeFile::read(path, bytes))
        state.bytes = bytes;
    if (const auto* kind = std::get_if<RecordKind>(&file.type)) {
        visitKind(*kind, [&](auto empty) {
            using R = decltype(empty);
            if (const R* record = store.records<R>().find(file.identifier); record && state.bytes)
                state.record = AnyRecord(*record);
        });
    }
    return state;
}

QString beginChange(RecordStore& store, const Change& change, BegunChange& begun,
                    std::optional<FileRef>* changedElsewhere)
{
    // Every file as it is before the change, once each, in the order the change first touches them.
    begun.original.clear();
    // The last step of each file: the bytes the change leaves it with.
    QHash<FileRef, const FileStep*> last;
    for (const FileStep& step : change.steps()) {
        const auto at = last.find(step.file);
        if (at != last.end()) {
            *at = &step;
            continue;
        }
        last.insert(step.file, &step);
        begun.original.push_back(currentState(store, step.file));
    }
    // Checked for every file before the first is written, so that a refusal leaves all as it was.
    for (const FileStep& state : begun.original) {
        const auto* kind = std::get_if<RecordKind>(&state.file.type);
        const auto* list = std::get_if<ListFile>(&state.file.type);
        if (store.overwritesChanged() || (kind && store.isAsRead(*kind, state.file.identifier)) ||
            (list && store.isListAsRead(*list, state.file.identifier)))
            continue;
        // Removed here and there alike: nothing of the other program's is lost.
        if (!state.bytes && !last.value(state.file)->bytes)
            continue;
        if (changedElsewhere)
            *changedElsewhere = state.file;
        if (list)
            return QStringLiteral("%1 was changed elsewhere since it was read, so nothing was changed.")
                .arg(HistoryEdits::fileCaption({state.file, std::nullopt, std::nullopt}));
        // Named as it was read here, the version the user knows.
        const std::optional<QByteArray> known =
            visitKind(*kind, [&](auto empty) -> std::optional<QByteArray> {
                const auto* record = store.records<decltype(empty)>().find(state.file.identifier);
                return record ? std::optional<QByteArray>(encodeRecord(*record))
                              : last.value(state.file)->bytes;
            });
        return QStringLiteral("%1 was changed elsewhere since it was read, so nothing was changed.")
            .arg(HistoryEdits::fileCaption({state.file, std::nullopt, known}));
    }
    begun.kept = History::isKept() && !store.workingDirectory().isEmpty() && !change.isEmpty();
    if (!begun.kept)
        return {};
    HistoryEntry& entry = begun.entry;
    entry.description = change.description();
    entry.kind = change.kind();
    entry.target = change.target();
    entry.records = change.records();
    for (const FileStep& state : begun.original)
        entry.files.push_back({state.file, state.bytes, last.value(state.file)->bytes});
    // Written before the first record file changes, so a crash can always be undone.
    if (const QString error = History(store.workingDirectory()).begin(entry); !error.isEmpty()) {
        begun.kept = false;
        return QStringLiteral("%1 was not changed: the change could not be kept in the history first.\n%2")
            .arg(filePath(store, begun.original.front().file), error);
    }
    return {};
}

QString carryOutChange(RecordStore& store, const Change& change, const BegunChange& begun)
{
    std::vector<FileStep> current = begun.original;
    const QHash<FileRef, std::size_t> at = positions(current);
    std::vector<FileStep> previous;
    previous.reserve(change.steps().size());
    for (const FileStep& step : change.steps()) {
        FileStep& state = current[at.value(step.file)];
        const QString error = applyStep(store, step);
        if (error.isEmpty()) {
            previous.push_back(state);
            state = step;
            continue;
        }
        // Put back what was changed, newest first, so a file changed twice ends as it began.
        QString text = error;
        for (auto undo = previous.rbegin(); undo != previous.rend(); ++undo) {
            if (const QString undoError = applyStep(store, *undo); !undoError.isEmpty())
                text += QStringLiteral("\nIt could not be put back as it was: %1").arg(undoError);
        }
        if (begun.kept && text == error)
            History(store.workingDirectory()).abandon(begun.entry);
        return text;
    }
    return {};
}

void finishChange(const RecordStore& store, const BegunChange& begun)
{
    if (begun.kept)
        History(store.workingDirectory()).finish(begun.entry);
}

QString applyChange(RecordStore& store, const Change& change, std::vector<FileBefore>* before,
                    std::optional<FileRef>* changedElsewhere)
{
    if (change.isEmpty())
        return {};
    BegunChange begun;
    if (QString error = beginChange(store, change, begun, changedElsewhere); !error.isEmpty())
        return error;
    if (QString error = carryOutChange(store, change, begun); !error.isEmpty())
        return error;
    finishChange(store, begun);
    if (before)
        *before = std::move(begun.original);
    return {};
}

} // namespace korvane
