#pragma once

#include "FuzzCheck.h"
#include "LayoutWalk.h"

#include "records/RecordCodec.h"

#include <QList>
#include <QString>
#include <type_traits>
#include <variant>

namespace korvane::fuzz {

/** Calls `onText` and `onDateTime` for every stored text and date-time of a record. */
template <class R, class OnText, class OnDateTime>
void forStoredFields(const R& record, OnText onText, OnDateTime onDateTime)
{
    for (const auto& field : R::fields()) {
        if (!field.stored)
            continue;
        std::visit(
            [&](auto member) {
                using T = std::remove_cvref_t<decltype(record.*member)>;
                if constexpr (std::is_same_v<T, QByteArray>)
                    onText(record.*member);
                else if constexpr (std::is_same_v<T, DateTime>)
                    onDateTime(record.*member);
            },
            field.member);
    }
}

/** True when the fields that live in memory only still hold what they held before loading. */
template <class R> bool unstoredFieldsKept(const R& loaded, const R& before)
{
    bool kept = true;
    for (const auto& field : R::fields()) {
        if (field.stored)
            continue;
        std::visit([&](auto member) { kept = kept && loaded.*member == before.*member; }, field.member);
    }
    return kept;
}

/** Walks the layout of a record file: for the invoice the first identifier copy, then the fields. */
template <class R> LayoutWalk walkRecord(const QByteArray& bytes, qsizetype* leadingCopy)
{
    LayoutWalk walk(bytes);
    *leadingCopy = 0;
    if constexpr (kIdentifierWrittenTwice<R>) {
        walk.text();
        *leadingCopy = walk.consumed();
    }
    walk.fields<R>();
    return walk;
}

/**
 * Fuzzes the reader of one record kind. Rules checked on every input:
 * - the reader accepts exactly the inputs whose fields are all there (as an independent walk finds);
 * - a field kept in memory only (the resource's working text) is never filled from the file;
 * - the record re-encodes to bytes that read back to the same record and encode the same again;
 * - when every length prefix has its shortest form, the re-encoding equals the bytes read, byte for
 *   byte; for the invoice, whose identifier is written twice and whose second copy wins, the bytes
 *   after the first copy must match, and the two written copies must be equal.
 * Comparisons go through the encoded bytes, so a NaN read into a number compares equal to itself.
 */
template <class R> int fuzzRecord(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = inputBytes(data, size);
    const R empty = emptyRecord<R>(fixedNow());

    R record = empty;
    QString error;
    const bool decoded = decodeRecord(input, record, &error);

    qsizetype inputLead = 0;
    const LayoutWalk walk = walkRecord<R>(input, &inputLead);
    FUZZ_REQUIRE(decoded == walk.ok());
    FUZZ_REQUIRE(decoded == error.isEmpty());
    FUZZ_REQUIRE(unstoredFieldsKept(record, empty));
    if (!decoded)
        return 0;

    forStoredFields(record, showText, showDateTime);

    const QByteArray encoded = encodeRecord(record);
    qsizetype encodedLead = 0;
    const LayoutWalk encodedWalk = walkRecord<R>(encoded, &encodedLead);
    FUZZ_REQUIRE(encodedWalk.ok() && encodedWalk.canonical() && encodedWalk.consumed() == encoded.size());

    R again = empty;
    FUZZ_REQUIRE(decodeRecord(encoded, again));
    FUZZ_REQUIRE(encodeRecord(again) == encoded);

    if constexpr (kIdentifierWrittenTwice<R>)
        FUZZ_REQUIRE(encoded.left(encodedLead) == encoded.mid(encodedLead, encodedLead));
    if (walk.canonical())
        FUZZ_REQUIRE(encoded.mid(encodedLead) == input.mid(inputLead, walk.consumed() - inputLead));
    return 0;
}

/**
 * Fuzzes the reader of a meeting's agenda or action file. Rules checked on every input:
 * - the reader accepts exactly the inputs holding a count of at least 0 and that many whole items;
 * - a rejected file leaves the caller's list as it was;
 * - an accepted list has the stored count of items, re-encodes to bytes that read back the same,
 *   and, when every length prefix has its shortest form, re-encodes to exactly the bytes read.
 */
template <class Item> int fuzzList(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = inputBytes(data, size);
    const QList<Item> before{emptyRecord<Item>(fixedNow())};

    QList<Item> items = before;
    QString error;
    const bool decoded = decodeList(input, items, &error);

    LayoutWalk walk(input);
    std::int32_t count = 0;
    if (walk.int32(&count) && count < 0)
        walk.fail();
    for (std::int32_t i = 0; i < count && walk.ok(); ++i)
        walk.fields<Item>();
    FUZZ_REQUIRE(decoded == walk.ok());
    FUZZ_REQUIRE(decoded == error.isEmpty());
    if (!decoded) {
        FUZZ_REQUIRE(items == before);
        return 0;
    }
    FUZZ_REQUIRE(items.size() == count);

    for (const Item& item : items)
        forStoredFields(item, showText, showDateTime);

    const QByteArray encoded = encodeList(items);
    QList<Item> again;
    FUZZ_REQUIRE(decodeList(encoded, again));
    FUZZ_REQUIRE(again.size() == items.size());
    FUZZ_REQUIRE(encodeList(again) == encoded);
    if (walk.canonical())
        FUZZ_REQUIRE(encoded == input.left(walk.consumed()));
    return 0;
}

} // namespace korvane::fuzz
