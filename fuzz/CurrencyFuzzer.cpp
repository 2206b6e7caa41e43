// Fuzzes the reader of the currency file.
//
// Rules checked on every input:
// - a file whose one text is whole gives one row per line-feed-ended piece of that text, nothing
//   dropped or split; a damaged file gives the default formats;
// - saving writes the rows trimmed, each ended by a line feed, and reading the saved file gives
//   those rows again; when the rows were already trimmed, the text was all rows and its length
//   prefix had its shortest form, the saved file equals the bytes read.
#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "LayoutWalk.h"

#include "records/Archive.h"
#include "store/CurrencyList.h"

using namespace korvane;
using namespace korvane::fuzz;

namespace {

QByteArray joinedRows(const QList<QByteArray>& rows)
{
    QByteArray text;
    for (const QByteArray& row : rows)
        text += row + '\n';
    return text;
}

QByteArray fileWithText(const QByteArray& text)
{
    ArchiveWriter writer;
    writer.writeText(text);
    return writer.data();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = inputBytes(data, size);
    const QString path = FuzzFolder::put(QStringLiteral("currency.cur"), input);

    QString error = QStringLiteral("not set");
    CurrencyList list = CurrencyList::load(path, &error);
    FUZZ_REQUIRE(error.isEmpty());
    FUZZ_REQUIRE(list.path() == path);

    LayoutWalk walk(input);
    QByteArray text;
    if (!walk.text(&text))
        text = CurrencyList::defaultText();

    const QByteArray joined = joinedRows(list.rows());
    FUZZ_REQUIRE(joined == text.left(text.lastIndexOf('\n') + 1));
    QList<QByteArray> trimmed;
    for (const QByteArray& row : list.rows()) {
        FUZZ_REQUIRE(!row.contains('\n'));
        showText(row);
        trimmed.append(row.trimmed());
    }

    FUZZ_REQUIRE(list.save().isEmpty());
    const QByteArray saved = FuzzFolder::take(QStringLiteral("currency.cur"));
    FUZZ_REQUIRE(saved == fileWithText(joinedRows(trimmed)));
    if (walk.ok() && walk.canonical() && joined == text && trimmed == list.rows())
        FUZZ_REQUIRE(saved == input.left(walk.consumed()));

    error = QStringLiteral("not set");
    FUZZ_REQUIRE(CurrencyList::load(path, &error).rows() == trimmed);
    FUZZ_REQUIRE(error.isEmpty());
    return 0;
}
