#include "edits/RecordEdits.h"

#include "edits/ApplyChange.h"
#include "edits/MeetingEdits.h"
#include "edits/ProjectEdits.h"
#include "edits/TaskEdits.h"
#include "records/Text.h"
#include "store/RecordStore.h"

namespace korvane {

template <class R> QString RecordEdits::nameOf(const R& record)
{
    if constexpr (std::is_same_v<R, ClientRecord>)
        return displayText(record.clientName);
    else if constexpr (std::is_same_v<R, MeetingRecord>)
        return displayText(record.subject);
    else if constexpr (std::is_same_v<R, InvoiceRecord>)
        return displayText(record.invoiceNumber);
    else
        return displayText(record.name);
}

template <class R> QString RecordEdits::describe(const char* verb, const R& record)
{
    QString kind = kindCaption(KindOf<R>::value);
    if constexpr (std::is_same_v<R, TaskRecord>) {
        if (record.isSubTask())
            kind = QStringLiteral("Sub Task");
    } else if constexpr (std::is_same_v<R, MoneyFlowRecord>) {
        kind = record.kind == MoneyFlowRecord::Income ? QStringLiteral("Income") : QStringLiteral("Expense");
    }
    return QStringLiteral("%1 %2 \"%3\"").arg(QLatin1String(verb), kind, nameOf(record));
}

template <class R>
Change RecordEdits::addChange(RecordStore& store, R& record, int batch, const QSet<QByteArray>& reserved)
{
    record.identifier = store.issueIdentifier(KindOf<R>::value, batch, reserved);
    Change change(describe("Add", record));
    change.put(record, RecordAction::Add);
    return change;
}

template <class R> EditResult RecordEdits::add(RecordStore& store, R record, int batch)
{
    const Change change = addChange(store, record, batch);
    return apply(store, change, record.identifier);
}

template <class R> Change RecordEdits::modifyChange(const RecordStore& store, const R& record)
{
    if constexpr (std::is_same_v<R, TaskRecord>) {
        return TaskEdits::modifyChange(store, record);
    } else {
        Change change(describe("Modify", record));
        change.put(record,
                   store.records<R>().contains(record.identifier) ? RecordAction::Modify : RecordAction::Add);
        return change;
    }
}

template <class R> EditResult RecordEdits::modify(RecordStore& store, const R& record)
{
    return apply(store, modifyChange(store, record), record.identifier);
}

Change RecordEdits::removeChange(const RecordStore& store, RecordKind kind, const QByteArray& identifier)
{
    switch (kind) {
    case RecordKind::Project:
        return ProjectEdits::removeChange(store, identifier);
    case RecordKind::Task:
        return TaskEdits::removeChange(store, identifier);
    case RecordKind::Meeting:
        return MeetingEdits::removeChange(store, identifier);
    default:
        break;
    }
    return visitKind(kind, [&](auto empty) {
        using R = decltype(empty);
        const R* record = store.records<R>().find(identifier);
        if (!record)
            return Change();
        Change change(describe("Delete", *record));
        change.erase(*record);
        return change;
    });
}

EditResult RecordEdits::remove(RecordStore& store, RecordKind kind, const QByteArray& identifier)
{
    return apply(store, removeChange(store, kind, identifier));
}

EditResult RecordEdits::apply(RecordStore& store, const Change& change, const QByteArray& identifier)
{
    std::optional<FileRef> changedElsewhere;
    if (QString error = applyChange(store, change, nullptr, &changedElsewhere); !error.isEmpty()) {
        EditResult refused{{}, error, change.description()};
        refused.changedElsewhere = changedElsewhere;
        refused.conflict = changedElsewhere.has_value();
        return refused;
    }
    return {identifier, {}, change.description()};
}

#define KORVANE_INSTANTIATE_RECORD_EDITS(R)                                                                  \
    template QString RecordEdits::nameOf<R>(const R&);                                                       \
    template QString RecordEdits::describe<R>(const char*, const R&);                                        \
    template Change RecordEdits::addChange<R>(RecordStore&, R&, int, const QSet<QByteArray>&);               \
    template EditResult RecordEdits::add<R>(RecordStore&, R, int);                                           \
    template Change RecordEdits::modifyChange<R>(const RecordStore&, const R&);                              \
    template EditResult RecordEdits::modify<R>(RecordStore&, const R&);

KORVANE_INSTANTIATE_RECORD_EDITS(ProjectRecord)
KORVANE_INSTANTIATE_RECORD_EDITS(ClientRecord)
KORVANE_INSTANTIATE_RECORD_EDITS(ResourceRecord)
KORVANE_INSTANTIATE_RECORD_EDITS(TaskRecord)
KORVANE_INSTANTIATE_RECORD_EDITS(MeetingRecord)
KORVANE_INSTANTIATE_RECORD_EDITS(MoneyFlowRecord)
KORVANE_INSTANTIATE_RECORD_EDITS(InvoiceRecord)

} // namespace korvane
