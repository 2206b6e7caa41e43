#include "views/ChangeDetails.h"

#include "edits/HistoryEdits.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/CurrencyList.h"
#include "store/ProjectDocuments.h"

#include <QStringList>

namespace korvane {

namespace {

QString valueText(const QByteArray& value)
{
    return displayText(value);
}

QString valueText(const DateTime& value)
{
    return value.isValid() ? value.toQDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                           : QStringLiteral("(no date)");
}

QString valueText(std::int32_t value)
{
    return QString::number(value);
}

QString valueText(double value)
{
    return QString::number(value, 'g', 15);
}

/** The stored fields of a record, by name, as its version before or after the change. */
template <class R> std::vector<FieldChange> fieldsOf(const R& record, bool before)
{
    std::vector<FieldChange> fields;
    for (const auto& field : R::fields()) {
        if (!field.stored)
            continue;
        const QString text = std::visit([&](auto member) { return valueText(record.*member); }, field.member);
        fields.push_back(
            {QString::fromLatin1(field.name), before ? text : QString(), before ? QString() : text});
    }
    return fields;
}

/** The same for one version of a record file; empty when there is no such version. */
template <class R> std::vector<FieldChange> fieldsOf(const std::optional<QByteArray>& bytes, bool before)
{
    R record = emptyRecord<R>();
    if (!bytes || !decodeRecord(*bytes, record))
        return {};
    return fieldsOf(record, before);
}

/** A list file's items, one text each: an agenda's or actions' rows, or a project's documents. */
std::vector<QString> itemsOf(ListFile list, const std::optional<QByteArray>& bytes)
{
    std::vector<QString> items;
    if (!bytes)
        return items;
    const auto joined = [&](auto empty) {
        using Item = decltype(empty);
        QList<Item> rows;
        if (!decodeList(*bytes, rows))
            return;
        for (const Item& row : rows) {
            QStringList parts;
            for (const FieldChange& field : fieldsOf(row, true)) {
                if (!field.before.isEmpty() && field.field != QLatin1String("identifier"))
                    parts.append(field.before);
            }
            items.push_back(parts.join(QStringLiteral("; ")));
        }
    };
    switch (list) {
    case ListFile::Agenda:
        joined(AgendaRecord{});
        break;
    case ListFile::Action:
        joined(ActionRecord{});
        break;
    case ListFile::ProjectDoc: {
        // Named: a loop over a member of a temporary would outlive the temporary.
        const ProjectDocuments documents = ProjectDocuments::fromBytes(*bytes);
        for (const DocumentRow& row : documents.rows()) {
            if (row.counts())
                items.push_back(QStringLiteral("%1 (%2)").arg(displayText(row.name), displayText(row.path)));
        }
        break;
    }
    case ListFile::Currency: {
        const CurrencyList currencies = CurrencyList::fromFileBytes(*bytes);
        for (const QByteArray& row : currencies.rows())
            items.push_back(displayText(row));
        break;
    }
    case ListFile::Attendees:
        items.push_back(QStringLiteral("%1 bytes").arg(bytes->size()));
        break;
    }
    return items;
}

std::vector<FieldChange> recordFields(RecordKind kind, const HistoryEntry::File& file)
{
    return visitKind(kind, [&](auto empty) {
        using R = decltype(empty);
        std::vector<FieldChange> before = fieldsOf<R>(file.before, true);
        std::vector<FieldChange> after = fieldsOf<R>(file.after, false);
        if (before.empty())
            return after;
        if (after.empty())
            return before;
        std::vector<FieldChange> changed;
        for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
            if (before[i].before != after[i].after)
                changed.push_back({before[i].field, before[i].before, after[i].after});
        }
        return changed;
    });
}

std::vector<FieldChange> listFields(ListFile list, const HistoryEntry::File& file)
{
    const std::vector<QString> before = itemsOf(list, file.before);
    const std::vector<QString> after = itemsOf(list, file.after);
    std::vector<FieldChange> changed;
    for (std::size_t i = 0; i < std::max(before.size(), after.size()); ++i) {
        const QString was = i < before.size() ? before[i] : QString();
        const QString now = i < after.size() ? after[i] : QString();
        if (was != now)
            changed.push_back({QStringLiteral("Item %1").arg(i + 1), was, now});
    }
    return changed;
}

} // namespace

std::vector<RecordChange> ChangeDetails::of(const HistoryEntry& entry)
{
    std::vector<RecordChange> changes;
    for (const HistoryEntry::File& file : entry.files) {
        RecordChange change;
        change.caption = HistoryEdits::fileCaption(file);
        change.action = !file.before  ? RecordAction::Add
                        : !file.after ? RecordAction::Delete
                                      : RecordAction::Modify;
        if (const auto* kind = std::get_if<RecordKind>(&file.file.type))
            change.fields = recordFields(*kind, file);
        else
            change.fields = listFields(std::get<ListFile>(file.file.type), file);
        changes.push_back(std::move(change));
    }
    return changes;
}

QString ChangeDetails::actionCaption(RecordAction action)
{
    switch (action) {
    case RecordAction::Add:
        return QStringLiteral("Added");
    case RecordAction::Delete:
        return QStringLiteral("Deleted");
    case RecordAction::Modify:
        break;
    }
    return QStringLiteral("Changed");
}

} // namespace korvane
