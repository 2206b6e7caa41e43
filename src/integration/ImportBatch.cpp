#include "integration/ImportBatch.h"

#include "edits/RecordEdits.h"
#include "store/RecordStore.h"

namespace korvane {

ImportAddResult addImportRows(RecordStore& store, const QList<ImportRow>& rows)
{
    ImportAddResult result;
    Change change;
    QSet<QByteArray> issued;
    qsizetype count = 0;
    RecordKind kind = RecordKind::Task;
    for (qsizetype position = 0; position < rows.size(); ++position) {
        const ImportRow& row = rows[position];
        if (!row.checked)
            continue;
        std::visit(
            [&](auto record) {
                kind = KindOf<decltype(record)>::value;
                change.append(RecordEdits::addChange(store, record, int(position), issued));
                issued.insert(record.identifier);
                result.identifiers.append(record.identifier);
            },
            row.record);
        ++count;
    }
    if (count == 0)
        return result;
    const QString noun = kind == RecordKind::Resource ? QStringLiteral("Contact") : kindCaption(kind);
    change.setDescription(count == 1 ? QStringLiteral("Import 1 %1").arg(noun)
                                     : QStringLiteral("Import %1 %2s").arg(count).arg(noun));
    result.error = RecordEdits::apply(store, change).error;
    if (!result.error.isEmpty())
        result.identifiers.clear();
    return result;
}

} // namespace korvane
