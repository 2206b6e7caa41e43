#include "edits/ConflictEdits.h"

#include "edits/HistoryEdits.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"

#include <QFileInfo>

namespace korvane {

namespace {

QString samePath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

template <class T> QString valueText(const T& value)
{
    if constexpr (std::is_same_v<T, QByteArray>)
        return displayText(value);
    else if constexpr (std::is_same_v<T, DateTime>)
        return value.isValid() ? value.toQDateTime().toString(Qt::ISODate) : QString();
    else
        return QString::number(value);
}

} // namespace

QList<ConflictField> ConflictEdits::compare(RecordKind kind, const QList<ConflictVersion>& versions)
{
    return visitKind(kind, [&](auto empty) {
        using R = decltype(empty);
        QList<ConflictField> fields;
        std::vector<std::optional<R>> records;
        for (const ConflictVersion& version : versions) {
            R record = emptyRecord<R>();
            records.push_back(decodeRecord(version.bytes, record) ? std::optional<R>(record) : std::nullopt);
        }
        for (const auto& field : R::fields()) {
            if (!field.stored)
                continue;
            ConflictField row{QString::fromLatin1(field.name), {}, false};
            for (const std::optional<R>& record : records) {
                row.values.append(!record
                                      ? QStringLiteral("(cannot be read)")
                                      : std::visit([&](auto member) { return valueText((*record).*member); },
                                                   field.member));
                row.differs = row.differs || row.values.last() != row.values.first();
            }
            fields.append(row);
        }
        return fields;
    });
}

QList<std::pair<RecordKind, QByteArray>> ConflictEdits::records(const RecordStore& store)
{
    QList<std::pair<RecordKind, QByteArray>> result;
    for (const ConflictCopy& copy : store.conflicts()) {
        const std::pair<RecordKind, QByteArray> key{copy.kind, copy.identifier};
        if (!result.contains(key))
            result.append(key);
    }
    return result;
}

QList<ConflictVersion> ConflictEdits::versions(const RecordStore& store, RecordKind kind,
                                               const QByteArray& identifier)
{
    QList<ConflictVersion> result;
    auto add = [&result](const QString& path, bool own) {
        ConflictVersion version{path, {}, own};
        SafeFile::read(path, version.bytes);
        result.append(version);
    };
    add(store.fileName(kind, identifier), true);
    for (const ConflictCopy& copy : store.conflicts()) {
        if (copy.kind == kind && copy.identifier == identifier)
            add(copy.path, false);
    }
    return result;
}

EditResult ConflictEdits::resolve(RecordStore& store, RecordKind kind, const QByteArray& identifier,
                                  const QString& keepPath)
{
    const QList<ConflictVersion> all = versions(store, kind, identifier);
    const QString caption = kindCaption(kind).toLower();
    const QString name = QString::fromUtf8(identifier);
    if (all.size() < 2)
        return {{}, QStringLiteral("The %1 %2 has no conflicting copies.").arg(caption, name), {}};
    const QString wanted = samePath(keepPath);
    const auto kept = std::find_if(all.begin(), all.end(), [&](const ConflictVersion& version) {
        return samePath(version.path) == wanted;
    });
    if (kept == all.end())
        return {{}, QStringLiteral("%1 is not a version of the %2 %3.").arg(keepPath, caption, name), {}};

    EditResult result{identifier, {}, {}};
    if (!kept->own) {
        QByteArray project;
        const bool readable = visitKind(kind, [&](auto empty) {
            auto record = emptyRecord<decltype(empty)>();
            const bool ok = decodeRecord(kept->bytes, record) && record.identifier == identifier;
            project = Change::projectOf(record);
            return ok;
        });
        if (!readable)
            return {{}, QStringLiteral("%1 no longer holds the %2 %3.").arg(keepPath, caption, name), {}};
        Change change;
        change.putBytes(FileRef{kind, identifier}, kept->bytes);
        change.noteRecord({kind, identifier, project, RecordAction::Modify});
        change.setDescription(QStringLiteral("Keep %1 from \"%2\"")
                                  .arg(HistoryEdits::fileCaption({FileRef{kind, identifier}, {}, kept->bytes})
                                           .mid(4), // "The " dropped: `Keep task "Pour" from ...`
                                       QFileInfo(kept->path).fileName()));
        result = RecordEdits::apply(store, change, identifier);
        if (!result.ok())
            return result;
    }
    if (const QString error = store.setConflictCopiesAside(kind, identifier); !error.isEmpty())
        result.error = error;
    return result;
}

} // namespace korvane
