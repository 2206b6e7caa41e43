#include "ReportFixture.h"

#include "reports/PageLink.h"
#include "reports/PageWriter.h"
#include "reports/Utf8Text.h"

using namespace korvane;
using namespace korvane::testing;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(PageLink, CommandsAreRecognisedExactlyAfterTrimming)
{
    using Action = PageLink::Action;
    const struct
    {
        const char* url;
        Action action;
        const char* invoice;
    } cases[] = {
        {"invoice::print", Action::PrintShownInvoice, ""},
        {"  invoice::MailTo\n", Action::MailShownInvoice, ""},
        {"invoice::WordExpo", Action::WordExportShownInvoice, ""},
        {"invoice::HTMLExpo", Action::HtmlExportShownInvoice, ""},
        {"invoice::mailto", Action::Navigate, ""},
        {"print::2007070314050990", Action::PrintListedInvoice, "2007070314050990"},
        {"about:blankprint::12print::3", Action::PrintListedInvoice, "about:blank123"},
    };
    for (const auto& c : cases) {
        const PageLink link = PageLink::parse(QString::fromLatin1(c.url));
        EXPECT_EQ(link.action, c.action) << c.url;
        EXPECT_EQ(link.invoiceIdentifier, QLatin1String(c.invoice)) << c.url;
    }
}

TEST(PageWriterUtf8, BytesAreThoseOfToUtf8)
{
    const char16_t loneHigh[] = {u'a', 0xD83D, u'b'};
    const char16_t loneLow[] = {0xDE00, u'c'};
    const char16_t endsHigh[] = {u'x', 0xD83D};
    const QString texts[] = {
        QString(),
        u"<td>plain</td>"_s,
        u"Gr\u00f6\u00dfe \u20ac \U0001F600 \u0800\u07ff\uffff"_s,
        QString::fromUtf16(loneHigh, 3),
        QString::fromUtf16(loneLow, 2),
        QString::fromUtf16(endsHigh, 2),
    };
    for (const QString& text : texts)
        EXPECT_EQ(PageWriter::utf8(text), text.toUtf8()) << text.toStdString();
    // Long enough to be converted in slices, with a surrogate pair across the first slice's end.
    const QString sliced = QString(16 * 1024 - 1, u'x') + u"\U0001F600\u00e9"_s + QString(40000, u'y');
    EXPECT_EQ(PageWriter::utf8(sliced), sliced.toUtf8());
}

TEST(Utf8Text, PiecesGiveTheBytesOfTheWhole)
{
    const QString smile = u"\U0001F600"_s;
    const struct
    {
        QString first, second;
    } cases[] = {
        {u"Gr\u00f6\u00dfe "_s + smile.left(1), smile.right(1) + u" <b>"_s}, // a pair split between pieces
        {u"end "_s + smile.left(1), QString()},                              // the text ends in half a pair
        {smile.right(1), u"x"_s},                                            // a lone second half
    };
    for (const auto& c : cases) {
        Utf8Text text;
        text += "<li>"_L1;
        text += c.first;
        text += c.second;
        text += "\xe9</li>"_L1;
        EXPECT_EQ(text.bytes(), (u"<li>"_s + c.first + c.second + u"\u00e9</li>"_s).toUtf8());
    }
}

class PageWriterTest : public ReportFixture
{
};

TEST_F(PageWriterTest, ShippedBitmapsCoverEveryPictureThePagesName)
{
    const QStringList shipped = PageWriter::shippedBitmaps();
    const QStringList named =
        QStringLiteral("empty Project Project1 Action Agenda Expense Income High Medium Low "
                       "Lead Lead1 Meeting Meeting1 Payment Task Turnover Invoice_print "
                       "Invoice_WordExpo Invoice_HTMLExpo Invoice_MailTo print16")
            .split(u' ');
    for (const QString& base : named) {
        const QString name = base + QStringLiteral(".bmp");
        EXPECT_TRUE(shipped.contains(name)) << name.toStdString();
        // Pages are shown by browsers of every age: plain 24-bit bitmaps, 16 to 32 pixels a side.
        const QByteArray bmp = fileBytes(QStringLiteral(":/Images/") + name);
        ASSERT_GE(bmp.size(), 54) << name.toStdString();
        const auto number = [&](int at, int size) {
            qint64 value = 0;
            for (int i = size - 1; i >= 0; --i)
                value = value * 256 + uchar(bmp[at + i]);
            return value;
        };
        EXPECT_TRUE(bmp.startsWith("BM")) << name.toStdString();
        EXPECT_EQ(number(28, 2), 24) << name.toStdString();
        const qint64 width = number(18, 4);
        const qint64 height = number(22, 4);
        EXPECT_TRUE(width >= 16 && width <= 32 && height >= 16 && height <= 32) << name.toStdString();
    }
}

TEST_F(PageWriterTest, PlacingBitmapsKeepsTheUsersOwnAndLeavesThemWritable)
{
    const QString images = m_program.filePath(QStringLiteral("Images"));
    ASSERT_TRUE(QDir().mkpath(images));
    ASSERT_EQ(SafeFile::write(images + QStringLiteral("/Task.bmp"), "mine"), QString());

    EXPECT_EQ(PageWriter::placeProgramBitmaps(), QStringList());
    EXPECT_EQ(fileBytes(images + QStringLiteral("/Task.bmp")), "mine");
    for (const QString& name : PageWriter::shippedBitmaps()) {
        const QFileInfo placed(images + QLatin1Char('/') + name);
        EXPECT_TRUE(placed.exists()) << name.toStdString();
        EXPECT_TRUE(placed.isWritable()) << name.toStdString();
    }
    QFile shipped(QStringLiteral(":/Images/Lead.bmp"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    EXPECT_EQ(fileBytes(images + QStringLiteral("/Lead.bmp")), shipped.readAll());
}

} // namespace
