#include "integration/ImportBatch.h"

#include "store/RecordStore.h"

namespace korvane {

namespace {

AddResult addTo(RecordStore& store, const ResourceRecord& record, int batch)
{
    return store.AddResource(record, batch);
}

AddResult addTo(RecordStore& store, const TaskRecord& record, int batch)
{
    return store.AddTask(record, batch);
}

AddResult addTo(RecordStore& store, const MeetingRecord& record, int batch)
{
    return store.AddMeeting(record, batch);
}

QString removeFrom(RecordStore& store, const ImportRow& row, const QByteArray& identifier)
{
    return std::visit(
        [&](const auto& record) {
            using R = std::decay_t<decltype(record)>;
            if constexpr (std::is_same_v<R, ResourceRecord>)
                return store.DeleteResource(identifier);
            else if constexpr (std::is_same_v<R, TaskRecord>)
                return store.DeleteTask(identifier);
            else
                return store.DeleteMeeting(identifier);
        },
        row.record);
}

} // namespace

ImportAddResult addImportRows(RecordStore& store, const QList<ImportRow>& rows)
{
    ImportAddResult result;
    QList<qsizetype> added;
    for (qsizetype position = 0; position < rows.size(); ++position) {
        const ImportRow& row = rows[position];
        if (!row.checked)
            continue;
        const AddResult stored =
            std::visit([&](const auto& record) { return addTo(store, record, int(position)); }, row.record);
        if (!stored.ok()) {
            result.error = stored.error;
            break;
        }
        result.identifiers.append(stored.identifier);
        added.append(position);
    }
    if (!result.error.isEmpty()) {
        for (qsizetype i = 0; i < added.size(); ++i) {
            const QString undone = removeFrom(store, rows[added[i]], result.identifiers[i]);
            if (!undone.isEmpty())
                result.error += QLatin1Char('\n') + undone;
        }
        result.identifiers.clear();
    }
    return result;
}

} // namespace korvane
