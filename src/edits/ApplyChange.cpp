#include "edits/ApplyChange.h"

#include "records/RecordCodec.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QFileInfo>

namespace korvane {

namespace {

QString applyStep(RecordStore& store, const FileStep& step)
{
    if (const auto* list = std::get_if<ListFile>(&step.file.type)) {
        const QString path = store.fileName(*list, step.file.identifier);
        return step.bytes ? SafeFile::write(path, *step.bytes) : SafeFile::remove(path);
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

QString applyChange(RecordStore& store, const Change& change, std::vector<FileBefore>* before)
{
    std::vector<FileBefore> previous;
    previous.reserve(change.steps().size());
    for (const FileStep& step : change.steps()) {
        previous.push_back(currentState(store, step.file));
        const QString error = applyStep(store, step);
        if (error.isEmpty())
            continue;
        // Put back what was changed, newest first, so a file changed twice ends as it began.
        previous.pop_back();
        QString text = error;
        for (auto undo = previous.rbegin(); undo != previous.rend(); ++undo) {
            if (const QString undoError = applyStep(store, *undo); !undoError.isEmpty())
                text += QStringLiteral("\nIt could not be put back as it was: %1").arg(undoError);
        }
        return text;
    }
    if (before)
        *before = std::move(previous);
    return {};
}

} // namespace korvane
