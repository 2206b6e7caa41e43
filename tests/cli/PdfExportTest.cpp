#include "CliFixture.h"

#include <QRegularExpression>
#include <QStandardPaths>

using namespace korvane;
using namespace korvane::test;

namespace {

// The pages' left margin, 18 mm, in PDF points.
constexpr double kLeftMarginPt = 18.0 / 25.4 * 72.0;

/** One word as `pdftotext -bbox` places it. */
struct Word
{
    QString text;
    double xMin, yMin, xMax, yMax;
};

class PdfExportTest : public CliFixture
{
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (package poppler-utils) is not installed";
    }

    /** Runs korvane-cli export and expects a PDF at `file`, with nothing said on standard error. */
    QString exportPdf(const QStringList& args)
    {
        const CliRun run = cli(QStringList{QStringLiteral("export")} + args);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, QByteArray());
        EXPECT_TRUE(fileBytes(args[2]).startsWith("%PDF-"));
        return args[2];
    }

    static QString poppler(const QString& tool, const QStringList& args)
    {
        QProcess process;
        process.start(tool, args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QString text(const QString& pdf)
    {
        return poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    }

    /** The words of the first page, in reading order. */
    static QList<Word> firstPageWords(const QString& pdf)
    {
        const QString html =
            poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                  QStringLiteral("1"), pdf, QStringLiteral("-")});
        static const QRegularExpression word(QStringLiteral(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
        QList<Word> words;
        for (auto it = word.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            words.append({match.captured(5), match.captured(1).toDouble(), match.captured(2).toDouble(),
                          match.captured(3).toDouble(), match.captured(4).toDouble()});
        }
        return words;
    }

    static Word find(const QList<Word>& words, const QString& text)
    {
        for (const Word& word : words) {
            if (word.text == text)
                return word;
        }
        ADD_FAILURE() << "no word " << text.toStdString();
        return {};
    }
};

TEST_F(PdfExportTest, InvoiceLetterIsRealTextWithoutItsLinks)
{
    const QByteArray invoice = add(
        QStringLiteral("invoice"),
        R"({"project_identifier": "P1", "task": "Survey", "invoice_number": "INV-9", "addressee": "Mr .Okafor", )"
        R"("to_address": "Harbour Board\n1 Quay", "from_address": "Ann Lee\n2 Lane", "net_amount": 1250, )"
        R"("amount_in_words": "One Thousand Two Hundred and Fifty", "currency_text": "$-US DOLLAR"})");
    const QString pdf =
        exportPdf({QStringLiteral("invoice-pdf"), invoice, m_root.filePath(QStringLiteral("i.pdf"))});

    const QString letter = text(pdf);
    EXPECT_TRUE(letter.contains(QStringLiteral("Dear Mr .Okafor"))) << letter.toStdString();
    EXPECT_TRUE(letter.contains(QStringLiteral("Amount in words : One Thousand Two Hundred and Fifty")));
    EXPECT_TRUE(letter.contains(QStringLiteral("Net Amount : $1250")));
    EXPECT_TRUE(letter.contains(QStringLiteral("Page 1 of 1")));
    // The printed letter carries no link pictures (print, Word, HTML, mail).
    EXPECT_FALSE(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                     .contains(QStringLiteral("image")));

    const CliRun unknown = cli({QStringLiteral("export"), QStringLiteral("invoice-pdf"),
                                QStringLiteral("NOPE"), m_root.filePath(QStringLiteral("n.pdf"))});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_FALSE(QFile::exists(m_root.filePath(QStringLiteral("n.pdf"))));
}

TEST_F(PdfExportTest, ProjectPageLaysOutAsABrowserShowsIt)
{
    const QByteArray client =
        add(QStringLiteral("client"), R"({"client_name": "Harbour Board", "contact_person": "Ines Duarte"})");
    const QByteArray project = add(QStringLiteral("project"), R"({"client_identifier": ")" + client +
                                                                  R"(", "name": "Quay Wall Repair"})");
    for (const char* name : {"Survey the wall", "Pour the footings"})
        add(QStringLiteral("task"),
            R"({"project_identifier": ")" + project + R"(", "kind": "Task", "name": ")" + name + R"("})");
    add(QStringLiteral("moneyflow"),
        R"({"project_identifier": ")" + project + R"(", "name": "Deposit", "net_amount": 400, "kind": 1})");

    const QString whole =
        text(exportPdf({QStringLiteral("pdf"), project, m_root.filePath(QStringLiteral("p.pdf"))}));
    for (const char* expected :
         {"Quay Wall Repair", "Survey the wall", "Pour the footings", "Payment Track :"})
        EXPECT_TRUE(whole.contains(QLatin1String(expected))) << expected;

    // With the facts table and the payment track alone on the first page, the track starts at the
    // left margin below the table, not in the table's third column.
    const QList<Word> words =
        firstPageWords(exportPdf({QStringLiteral("pdf"), project, m_root.filePath(QStringLiteral("pay.pdf")),
                                  QStringLiteral("--modules"), QStringLiteral("payment")}));
    const Word payment = find(words, QStringLiteral("Payment"));
    const Word contact = find(words, QStringLiteral("Contact"));
    EXPECT_NEAR(payment.xMin, kLeftMarginPt, 1.0);
    EXPECT_NEAR(contact.xMin, kLeftMarginPt, 1.0);
    EXPECT_GT(payment.yMin, contact.yMax);
    EXPECT_GT(find(words, QStringLiteral("Duarte")).xMin, payment.xMax);

    const CliRun badModule =
        cli({QStringLiteral("export"), QStringLiteral("pdf"), project,
             m_root.filePath(QStringLiteral("b.pdf")), QStringLiteral("--modules"), QStringLiteral("gantt")});
    EXPECT_EQ(badModule.code, 1);
}

TEST_F(PdfExportTest, PaperFollowsTheLocalesMeasurementSystem)
{
    const QByteArray project = add(QStringLiteral("project"), R"({"name": "Paper"})");
    const QString pdf = m_root.filePath(QStringLiteral("paper.pdf"));
    for (const auto& [locale, paper] : {std::pair{"en_US.UTF-8", "(letter)"},
                                        std::pair{"de_DE.UTF-8", "(A4)"}, std::pair{"en_GB.UTF-8", "(A4)"}}) {
        const QByteArray before = qgetenv("LC_ALL");
        qputenv("LC_ALL", locale);
        exportPdf({QStringLiteral("pdf"), project, pdf});
        qputenv("LC_ALL", before);
        EXPECT_TRUE(poppler(QStringLiteral("pdfinfo"), {pdf}).contains(QLatin1String(paper))) << locale;
    }
}

} // namespace
