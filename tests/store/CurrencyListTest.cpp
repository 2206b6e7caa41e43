#include "store/CurrencyList.h"

#include "records/Archive.h"
#include "store/SafeFile.h"
#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::CurrencyList;
using korvane::test::fileBytes;
using Rows = QList<QByteArray>;

namespace {

const Rows kDefaults{"$", "Rs.", "#", "*"};

class CurrencyListTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath("currency.cur");
};

TEST_F(CurrencyListTest, MissingFileIsCreatedWithTheDefaultFormats)
{
    QString error = "not set";
    EXPECT_EQ(CurrencyList::load(m_path, &error).rows(), kDefaults);
    EXPECT_EQ(error, "");
    EXPECT_EQ(fileBytes(m_path), QByteArray("\x0a$\nRs.\n#\n*\n"));

    EXPECT_EQ(CurrencyList::load(m_dir.filePath("no/folder/currency.cur"), &error).rows(), kDefaults);
    EXPECT_NE(error, "");
}

TEST_F(CurrencyListTest, ReadsOneRowPerLineFeed)
{
    const std::pair<QByteArray, Rows> cases[] = {
        {QByteArray(1, '\0'), {}},
        // Empty pieces are rows; a last piece without a line feed is not.
        {"\x06"
         "a\n\nb\nc",
         {"a", "", "b"}},
        {"\x06 Yen \n", {" Yen "}},
        // A length running past the end of the file.
        {"\xc8$\n", kDefaults},
    };
    for (const auto& [bytes, rows] : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        ASSERT_EQ(korvane::SafeFile::write(m_path, bytes), "");
        EXPECT_EQ(CurrencyList::load(m_path).rows(), rows);
    }
}

TEST_F(CurrencyListTest, FindOrAddComparesExactlyAndSaveTrims)
{
    CurrencyList list = CurrencyList::fromText("$\nRs.\n\n", m_path);
    EXPECT_EQ(list.findOrAdd("Rs."), 1);
    EXPECT_EQ(list.findOrAdd(""), -1);
    EXPECT_FALSE(list.contains("rs."));
    EXPECT_EQ(list.findOrAdd("rs."), 3);
    EXPECT_EQ(list.findOrAdd("  EUR\t"), 4);
    EXPECT_EQ(list.findOrAdd("  EUR\t"), 4);
    EXPECT_EQ(list.rows(), (Rows{"$", "Rs.", "", "rs.", "  EUR\t"}));

    ASSERT_EQ(list.save(), "");
    EXPECT_EQ(fileBytes(m_path), QByteArray("\x0f$\nRs.\n\nrs.\nEUR\n"));
    EXPECT_TRUE(CurrencyList::load(m_path).contains("EUR"));
}

} // namespace
