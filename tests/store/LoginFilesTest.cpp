#include "store/LoginFiles.h"

#include "records/Archive.h"
#include "store/Blowfish.h"
#include "store/LoginCipher.h"
#include "store/SafeFile.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <vector>

using namespace korvane;

namespace {

QByteArray archiveOf(const std::vector<QByteArray>& texts)
{
    ArchiveWriter writer;
    for (const QByteArray& text : texts)
        writer.writeText(text);
    return writer.data();
}

QByteArray fileBytes(const QString& path)
{
    QByteArray data;
    EXPECT_TRUE(SafeFile::read(path, data));
    return data;
}

void writeFile(const QString& path, const QByteArray& data)
{
    ASSERT_EQ(SafeFile::write(path, data), QString());
}

std::vector<QByteArray> defaultFileTexts()
{
    const QByteArray naro = encipherLoginText("naro");
    return {naro,  naro, naro, naro, "naro", "naro", "What is your Pet Name?", "What is your Pet Name?",
            "fen", "fen"};
}

const QStringList kLostNotices = {
    QStringLiteral("Your Login Details may be corrupted or lost"),
    QStringLiteral("Default Login Details are Loaded which is provied to you while purchase"),
};

class LoginFilesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QTemporaryDir m_dir;
    LoginFiles m_files{m_dir.path()};
};

} // namespace

// The stored length counts the closing zero byte; any bytes up to the first zero come back.
TEST(LoginCipher, RoundTripsWithTheClosingZeroByteCounted)
{
    const struct
    {
        QByteArray text;
        qsizetype digits;
    } cases[] = {
        {"", 16},
        {"naro", 16},
        {"seven77", 16},
        {"eight888", 32},
        {"fifteen-charact", 32},
        {"sixteen-characte", 48},
        {"Caf\xC3\xA9 \xFF\x01", 32},
        {QByteArray(200, 'x'), 416},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.constData());
        const QByteArray stored = encipherLoginText(c.text);
        EXPECT_EQ(stored.size(), c.digits);
        EXPECT_EQ(stored, stored.toLower());
        EXPECT_EQ(decipherLoginText(stored), std::optional<QByteArray>(c.text));
    }
    EXPECT_EQ(decipherLoginText(encipherLoginText(QByteArray("ab\0cd", 5))), std::optional<QByteArray>("ab"));
    // The first block of an eight-letter name holds no zero byte, so all of it is the text.
    EXPECT_EQ(decipherLoginText(encipherLoginText("eight888").left(16)),
              std::optional<QByteArray>("eight888"));
}

TEST(LoginCipher, BlocksAreEncipheredOnTheirOwnWithLittleEndianHalves)
{
    // Files written by earlier versions must still open, so the exact layout is pinned here.
    const Blowfish cipher(QByteArrayLiteral("5A0C93E17B46D2F08C3A61E95B27D4F0"));
    std::uint32_t left = 0x6F72616E; // "naro" read little-endian
    std::uint32_t right = 0;
    cipher.encrypt(left, right);
    QByteArray block(8, '\0');
    qToLittleEndian<quint32>(left, block.data());
    qToLittleEndian<quint32>(right, block.data() + 4);
    EXPECT_EQ(encipherLoginText("naro"), block.toHex());

    // Equal blocks give equal digits: no chaining between blocks.
    const QByteArray twice = encipherLoginText("abcdefghabcdefgh");
    EXPECT_EQ(twice.mid(0, 16), twice.mid(16, 16));
}

// Foreign digits decipher to the empty text; a malformed length matches nothing.
TEST(LoginCipher, ForeignDigitsAndMalformedLengths)
{
    const QByteArray stored = encipherLoginText("naro");
    QByteArray withG = stored;
    withG[5] = 'g';
    for (const QByteArray& bad : {stored.toUpper(), withG, QByteArray(16, ' ')}) {
        SCOPED_TRACE(bad.constData());
        EXPECT_EQ(decipherLoginText(bad), std::optional<QByteArray>(QByteArray()));
        EXPECT_FALSE(loginTextMatches(bad, "naro"));
        EXPECT_TRUE(loginTextMatches(bad, ""));
    }
    for (const QByteArray& bad : {QByteArray(), stored.left(15), stored.left(8), stored + "0"}) {
        SCOPED_TRACE(bad.constData());
        EXPECT_EQ(decipherLoginText(bad), std::nullopt);
        EXPECT_FALSE(loginTextMatches(bad, ""));
        EXPECT_FALSE(loginTextMatches(bad, "naro"));
    }
}

// A missing or cut-short details file is written anew with the defaults, with a notice unless quiet.
TEST_F(LoginFilesTest, MissingOrTruncatedDetailsFileGetsTheDefaults)
{
    std::vector<QByteArray> nine = defaultFileTexts();
    nine.pop_back();
    const QByteArray nineTexts = archiveOf(nine);
    const struct
    {
        std::optional<QByteArray> bytes;
        bool quiet;
    } cases[] = {
        {std::nullopt, false},
        {std::nullopt, true},
        {nineTexts, false},
        {nineTexts + char(5) + "fe", false},
        {QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes ? c.bytes->toHex().toStdString() : c.quiet ? "missing, quiet" : "missing");
        if (c.bytes)
            writeFile(m_files.detailsPath(), *c.bytes);
        else
            ASSERT_EQ(SafeFile::remove(m_files.detailsPath()), QString());

        const LoginFiles::LoadResult result = m_files.load(c.quiet);
        EXPECT_EQ(result.messages, c.quiet ? QStringList() : kLostNotices);
        EXPECT_EQ(fileBytes(m_files.detailsPath()), archiveOf(defaultFileTexts()));
        EXPECT_EQ(result.details.passwordHint, "naro");
        EXPECT_EQ(result.details.hintQuestion, "What is your Pet Name?");
        EXPECT_EQ(result.details.hintAnswer, "fen");
        EXPECT_TRUE(LoginFiles::matches(result.details, "naro", "naro"));
    }

    // Once written, the file is read without any notice.
    EXPECT_TRUE(m_files.load(false).messages.isEmpty());
}

TEST_F(LoginFilesTest, ChangeLoginKeepsFillersAndSwitchesLoginOn)
{
    // Without a file, the fillers are the defaults'.
    ASSERT_EQ(m_files.changeLogin("Ann", "secret", "h", "q", "a"), QString());
    std::vector<QByteArray> expected = defaultFileTexts();
    expected[1] = encipherLoginText("Ann");
    expected[3] = encipherLoginText("secret");
    expected[5] = "h";
    expected[7] = "q";
    expected[9] = "a";
    EXPECT_EQ(fileBytes(m_files.detailsPath()), archiveOf(expected));

    writeFile(m_files.detailsPath(),
              archiveOf({"f1", "old name", "f3", "old pw", "f5", "h", "f7", "q", "f9", "a"}));
    ASSERT_EQ(m_files.writeStatus(1), QString());
    ASSERT_FALSE(m_files.isLoginEnabled());

    ASSERT_EQ(m_files.changeLogin("Ann", "secret", "my cat", "What is your Partner Name?", "Bob"), QString());

    EXPECT_EQ(fileBytes(m_files.detailsPath()),
              archiveOf({"f1", encipherLoginText("Ann"), "f3", encipherLoginText("secret"), "f5", "my cat",
                         "f7", "What is your Partner Name?", "f9", "Bob"}));
    EXPECT_TRUE(m_files.isLoginEnabled());
    EXPECT_TRUE(m_files.matches("Ann", "secret"));
    const LoginDetails details = m_files.load(false).details;
    EXPECT_EQ(details.passwordHint, "my cat");
    EXPECT_EQ(details.hintQuestion, "What is your Partner Name?");
    EXPECT_EQ(details.hintAnswer, "Bob");
}

TEST_F(LoginFilesTest, MatchingIsExactAndCaseSensitive)
{
    m_files.load(true);
    EXPECT_TRUE(m_files.matches("naro", "naro"));
    EXPECT_FALSE(m_files.matches("Naro", "naro"));
    EXPECT_FALSE(m_files.matches("naro", "NARO"));
    EXPECT_FALSE(m_files.matches("naro ", "naro"));
    EXPECT_FALSE(m_files.matches("", ""));
}

TEST_F(LoginFilesTest, StatusFileIsCreatedHoldingZero)
{
    EXPECT_EQ(m_files.readStatus(), 0);
    EXPECT_EQ(fileBytes(m_files.statusPath()), QByteArray(4, '\0'));

    ASSERT_EQ(m_files.writeStatus(1), QString());
    EXPECT_EQ(fileBytes(m_files.statusPath()), QByteArray("\x01\0\0\0", 4));
    EXPECT_FALSE(m_files.isLoginEnabled());
    ASSERT_EQ(m_files.writeStatus(-7), QString());
    EXPECT_FALSE(m_files.isLoginEnabled()) << "any value but 0 switches the login window off";

    // A status file too short to hold a number is rewritten as enabled.
    writeFile(m_files.statusPath(), "\x01");
    EXPECT_TRUE(m_files.isLoginEnabled());
    EXPECT_EQ(fileBytes(m_files.statusPath()), QByteArray(4, '\0'));
}

TEST_F(LoginFilesTest, WriteFailuresAreReported)
{
    LoginFiles nowhere(m_dir.filePath(QStringLiteral("no such folder")));

    const LoginFiles::LoadResult quiet = nowhere.load(true);
    ASSERT_EQ(quiet.messages.size(), 1);
    EXPECT_TRUE(quiet.messages.first().startsWith(nowhere.detailsPath()));
    EXPECT_TRUE(LoginFiles::matches(quiet.details, "naro", "naro"));

    QString error;
    EXPECT_EQ(nowhere.readStatus(&error), 0);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(nowhere.changeLogin("a", "b", "c", "d", "e").isEmpty());
}
