#include "views/ChangeDetails.h"

#include "store/CurrencyList.h"
#include "store/ProjectDocuments.h"

#include <gtest/gtest.h>

using namespace korvane;

namespace {

/** The list rows a change shows, as "field: before -> after". */
QStringList shown(const HistoryEntry::File& file)
{
    HistoryEntry entry;
    entry.files.push_back(file);
    const std::vector<RecordChange> changes = ChangeDetails::of(entry);
    QStringList lines;
    for (const FieldChange& field : changes.at(0).fields)
        lines.append(QStringLiteral("%1: %2 -> %3").arg(field.field, field.before, field.after));
    return lines;
}

} // namespace

TEST(ChangeDetails, ListFilesShowTheRowsThatDiffer)
{
    ProjectDocuments before;
    before.row(0) = {"Plan", "x", "/home/plan.odt"};
    ProjectDocuments after = before;
    after.row(1) = {"Budget", "", "/home/budget.ods"};
    EXPECT_EQ(shown({{ListFile::ProjectDoc, "P1"}, before.toBytes(), after.toBytes()}),
              QStringList{"Item 2:  -> Budget (/home/budget.ods)"});

    const QByteArray currencies = CurrencyList::fromText("$\nRs.\n").fileBytes();
    const QByteArray more = CurrencyList::fromText("$\nRs.\nEUR\n").fileBytes();
    EXPECT_EQ(shown({{ListFile::Currency, {}}, currencies, more}), QStringList{"Item 3:  -> EUR"});
    EXPECT_EQ(shown({{ListFile::Currency, {}}, more, std::nullopt}),
              (QStringList{"Item 1: $ -> ", "Item 2: Rs. -> ", "Item 3: EUR -> "}));
}
