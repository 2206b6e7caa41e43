// Fuzzes korvane-cli's JSON input: the object read by add and modify, and the lines of
// write agenda|actions. The first byte picks the record kind ('0' to '8': project, client,
// resource, task, meeting, money flow, invoice, agenda item, action item); the rest is the JSON.
//
// Rules checked on every input:
// - the parser accepts an input exactly when it gives no error text, and fromJson gives a reason
//   exactly when it refuses the object;
// - a record fromJson accepts prints as JSON that parses again, and reads back through fromJson
//   to the same record bytes; printing that record gives the same JSON once more;
// - the record encodes to bytes that decode to the same record (a record, or a one-item list).
#include "FuzzCheck.h"

#include "JsonRecords.h"
#include "records/RecordCodec.h"

#include <tuple>

using namespace korvane;
using namespace korvane::fuzz;

namespace {

template <class R> QByteArray stored(const R& record)
{
    if constexpr (std::is_same_v<R, AgendaRecord> || std::is_same_v<R, ActionRecord>)
        return encodeList(QList<R>{record});
    else
        return encodeRecord(record);
}

template <class R> R decodedFrom(const QByteArray& bytes)
{
    if constexpr (std::is_same_v<R, AgendaRecord> || std::is_same_v<R, ActionRecord>) {
        QList<R> items;
        FUZZ_REQUIRE(decodeList(bytes, items));
        FUZZ_REQUIRE(items.size() == 1);
        return items.first();
    } else {
        R record = emptyRecord<R>(fixedNow());
        FUZZ_REQUIRE(decodeRecord(bytes, record));
        return record;
    }
}

template <class R> void fuzzKind(const QByteArray& json)
{
    QString error;
    const std::optional<QJsonObject> object = JsonRecords::parseObject(json, error);
    FUZZ_REQUIRE(object.has_value() == error.isEmpty());
    if (!object)
        return;

    // add and write agenda|actions start from an empty record, as here; modify from the stored one.
    R record = emptyRecord<R>(fixedNow());
    const QString reason = JsonRecords::fromJson(*object, record);
    if (!reason.isEmpty())
        return;

    const QByteArray printed = JsonRecords::toJson(record);
    QString reprintError;
    const std::optional<QJsonObject> reparsed = JsonRecords::parseObject(printed, reprintError);
    FUZZ_REQUIRE(reparsed.has_value());
    FUZZ_REQUIRE(!printed.contains('\n'));
    R again = emptyRecord<R>(fixedNow());
    FUZZ_REQUIRE(JsonRecords::fromJson(*reparsed, again).isEmpty());
    FUZZ_REQUIRE(stored(again) == stored(record));
    FUZZ_REQUIRE(JsonRecords::toJson(again) == printed);

    const QByteArray bytes = stored(record);
    FUZZ_REQUIRE(stored(decodedFrom<R>(bytes)) == bytes);
}

using Kinds = std::tuple<ProjectRecord, ClientRecord, ResourceRecord, TaskRecord, MeetingRecord, MoneyFlowRecord,
                         InvoiceRecord, AgendaRecord, ActionRecord>;

template <std::size_t... I> void fuzzChosen(std::size_t kind, const QByteArray& json, std::index_sequence<I...>)
{
    ((kind == I ? fuzzKind<std::tuple_element_t<I, Kinds>>(json) : void()), ...);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    constexpr std::size_t kinds = std::tuple_size_v<Kinds>;
    // '0' is 48, and 48 + 6 is a multiple of nine, so the digits pick the kinds in order.
    const std::size_t kind = (std::size_t(data[0]) + 6) % kinds;
    const QByteArray json = inputBytes(data + 1, size - 1);
    fixedNow();
    fuzzChosen(kind, json, std::make_index_sequence<kinds>());
    return 0;
}
