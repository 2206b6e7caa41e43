#include "store/ProjectDocuments.h"

#include "support/FileBytes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using korvane::DocumentRow;
using korvane::ProjectDocuments;
using korvane::test::fileBytes;

namespace {

ProjectDocuments sample()
{
    ProjectDocuments documents;
    documents.row(0) = {"Plan", "", "/home/lee/plan.odt"};
    documents.row(3) = {"Only a name", "", ""};
    documents.row(9) = {"", "kept", ""};
    return documents;
}

class ProjectDocumentsTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath("ProjectDocP1.doc");
};

TEST_F(ProjectDocumentsTest, CountsRowsWithASecondTextOrAPath)
{
    const std::pair<std::vector<DocumentRow>, std::int32_t> cases[] = {
        {{{"a", "", ""}, {"b", "", ""}}, 0},
        {{{"", "x", ""}}, 1},
        {{{"a", "", ""}, {"", "", "/p"}, {"d", "y", "/q"}}, 2},
    };
    for (const auto& [rows, count] : cases) {
        SCOPED_TRACE(count);
        ProjectDocuments documents;
        for (std::size_t i = 0; i < rows.size(); ++i)
            documents.row(int(i) * 3) = rows[i];
        ASSERT_EQ(documents.write(m_path), "");
        EXPECT_EQ(ProjectDocuments::readCount(m_path), count);
        EXPECT_EQ(ProjectDocuments::read(m_path), documents);
    }
}

TEST_F(ProjectDocumentsTest, ResetScratchWritesCountZeroAndTenEmptyRows)
{
    ASSERT_EQ(sample().write(m_path), "");
    ASSERT_EQ(ProjectDocuments::resetScratch(m_path), "");
    // Four bytes of count, then thirty one-byte length prefixes of empty texts.
    EXPECT_EQ(fileBytes(m_path), QByteArray(34, '\0'));
}

TEST_F(ProjectDocumentsTest, DamagedOrMissingFileGivesTenEmptyRows)
{
    const QByteArray good = sample().toBytes();
    const QByteArray cases[] = {
        {},
        good.left(4),
        good.left(good.size() - 1),
        QByteArray(4, '\0') + QByteArray("\xff\xff\xff\xff\xff\xff\x7f"),
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        bool ok = true;
        EXPECT_EQ(ProjectDocuments::fromBytes(bytes, &ok), ProjectDocuments{});
        EXPECT_FALSE(ok);
    }
    bool ok = true;
    EXPECT_EQ(ProjectDocuments::read(m_dir.filePath("missing.doc"), &ok), ProjectDocuments{});
    EXPECT_FALSE(ok);
    EXPECT_EQ(ProjectDocuments::readCount(m_dir.filePath("missing.doc")), 0);
}

TEST_F(ProjectDocumentsTest, CopyOverwritesAndAMissingSourceLeavesTheTarget)
{
    const QString scratch = m_dir.filePath("ProjectDoc.doc");
    ASSERT_EQ(ProjectDocuments::resetScratch(scratch), "");
    ASSERT_EQ(sample().write(m_path), "");
    EXPECT_EQ(ProjectDocuments::copyFile(m_path, scratch), "");
    EXPECT_EQ(fileBytes(scratch), sample().toBytes());

    EXPECT_EQ(ProjectDocuments::copyFile(m_dir.filePath("ProjectDocP2.doc"), scratch), "");
    EXPECT_EQ(fileBytes(scratch), sample().toBytes());
}

} // namespace
