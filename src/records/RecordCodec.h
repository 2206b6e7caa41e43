#pragma once

#include "records/Archive.h"
#include "records/Records.h"

#include <QList>
#include <algorithm>
#include <type_traits>

namespace korvane {

/** True for the invoice, whose files carry the identifier twice in a row. */
template <class R>
inline constexpr bool kIdentifierWrittenTwice = std::is_same_v<R, InvoiceRecord>;

/** A new, all-empty record: texts empty, numbers 0, every date-time set to the given moment. */
template <class R>
R emptyRecord(const DateTime& now)
{
    R record{};
    for (const auto& field : R::fields()) {
        if (auto member = std::get_if<DateTime R::*>(&field.member))
            record.*(*member) = now;
    }
    return record;
}

/** A new, all-empty record whose date-times hold the current moment. */
template <class R>
R emptyRecord()
{
    return emptyRecord<R>(DateTime::now());
}

/** Appends the stored fields of a record to a writer, in their stored order. */
template <class R>
void writeFields(ArchiveWriter& writer, const R& record)
{
    for (const auto& field : R::fields()) {
        if (!field.stored)
            continue;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(record.*member)>;
                if constexpr (std::is_same_v<T, QByteArray>)
                    writer.writeText(record.*member);
                else if constexpr (std::is_same_v<T, DateTime>)
                    writer.writeDateTime(record.*member);
                else if constexpr (std::is_same_v<T, std::int32_t>)
                    writer.writeInt32(record.*member);
                else
                    writer.writeReal(record.*member);
            },
            field.member);
    }
}

/** Reads the stored fields of a record from a reader, in their stored order. */
template <class R>
bool readFields(ArchiveReader& reader, R& record)
{
    for (const auto& field : R::fields()) {
        if (!field.stored)
            continue;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(record.*member)>;
                if constexpr (std::is_same_v<T, QByteArray>)
                    reader.readText(record.*member);
                else if constexpr (std::is_same_v<T, DateTime>)
                    reader.readDateTime(record.*member);
                else if constexpr (std::is_same_v<T, std::int32_t>)
                    reader.readInt32(record.*member);
                else
                    reader.readReal(record.*member);
            },
            field.member);
    }
    return reader.ok();
}

/** The bytes of one record file. */
template <class R>
QByteArray encodeRecord(const R& record)
{
    ArchiveWriter writer;
    if constexpr (kIdentifierWrittenTwice<R>)
        writer.writeText(record.identifier);
    writeFields(writer, record);
    return writer.data();
}

/**
 * Reads one record file from a reader into `record`, which the caller starts from an all-empty record.
 * Returns false with the reason when the file is malformed; `record` then holds what was read.
 */
template <class R>
bool decodeRecord(ArchiveReader& reader, R& record, QString* error = nullptr)
{
    if constexpr (kIdentifierWrittenTwice<R>)
        reader.readText(record.identifier); // the second copy, read by readFields, wins
    const bool ok = readFields(reader, record);
    if (!ok && error)
        *error = reader.error();
    return ok;
}

/** Reads one record file's bytes as `decodeRecord` reads a stream. */
template <class R>
bool decodeRecord(const QByteArray& bytes, R& record, QString* error = nullptr)
{
    ArchiveReader reader(bytes);
    return decodeRecord(reader, record, error);
}

/** The smallest number of bytes one stored item of the kind takes, to bound counts read from files. */
template <class R>
qsizetype minimumStoredSize()
{
    qsizetype size = 0;
    for (const auto& field : R::fields()) {
        if (!field.stored)
            continue;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(R{}.*member)>;
                size += std::is_same_v<T, QByteArray>     ? 1
                        : std::is_same_v<T, DateTime>     ? 12
                        : std::is_same_v<T, std::int32_t> ? 4
                                                          : 8;
            },
            field.member);
    }
    return size;
}

/** The bytes of a meeting's agenda or action file: the item count, then the items in list order. */
template <class Item>
QByteArray encodeList(const QList<Item>& items)
{
    ArchiveWriter writer;
    writer.writeInt32(std::int32_t(items.size()));
    for (const Item& item : items)
        writeFields(writer, item);
    return writer.data();
}

/** Reads an agenda or action file; exactly the stored count of items, or false when malformed. */
template <class Item>
bool decodeList(const QByteArray& bytes, QList<Item>& items, QString* error = nullptr)
{
    ArchiveReader reader(bytes);
    std::int32_t count = 0;
    reader.readInt32(count);
    if (reader.ok() && (count < 0 || qsizetype(count) > reader.remaining() / minimumStoredSize<Item>()))
        reader.fail(QStringLiteral("holds an item count of %1 that the file cannot hold").arg(count));
    QList<Item> read;
    if (reader.ok()) {
        // A count the file could hold may still ask for far more memory than its bytes take.
        read.reserve(std::min<qsizetype>(count, 1024));
        const DateTime now = DateTime::now();
        for (std::int32_t i = 0; i < count && reader.ok(); ++i) {
            Item item = emptyRecord<Item>(now);
            if (readFields(reader, item))
                read.append(item);
        }
    }
    if (!reader.ok()) {
        if (error)
            *error = reader.error();
        return false;
    }
    items = read;
    return true;
}

} // namespace korvane
