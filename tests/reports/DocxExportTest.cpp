#include "OfficeFiles.h"
#include "ReportFixture.h"
#include "reports/DocxWriter.h"
#include "reports/WordInvoice.h"
#include "reports/WordProjectReport.h"
#include "store/AmountInWords.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

using namespace korvane;
using namespace korvane::testing;

// The fixture builds records with designated initializers; the fields it leaves out are meant to be empty.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// ---- reading a written package back ----

struct TextRun
{
    QString text;
    QString font;
    int halfPoints = 0;
    bool bold = false;
    bool caps = false;
    bool underline = false;
};

/** One paragraph of document.xml; `cell` is its table cell's index, -1 in the body. */
struct Paragraph
{
    QString alignment;
    QList<int> tabStops;
    QList<TextRun> runs;
    int cell = -1;

    QString text() const
    {
        QString all;
        for (const TextRun& run : runs)
            all += run.text;
        return all;
    }
};

QStringList zipEntryNames(const QString& archivePath)
{
    QStringList names;
    if (zip_t* archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, nullptr)) {
        for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i)
            names.append(QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), 0)));
        zip_close(archive);
    }
    return names;
}

/** The paragraphs of word/document.xml in document order; tabs read as "\t", line breaks "\v", page breaks
 * "\f". */
QList<Paragraph> paragraphsOf(const QString& docxPath)
{
    const QByteArray documentXml = zipEntry(docxPath, "word/document.xml");
    EXPECT_FALSE(documentXml.isEmpty()) << "no word/document.xml in " << docxPath.toStdString();
    QList<Paragraph> paragraphs;
    QXmlStreamReader xml(documentXml);
    int cell = -1;
    bool inTable = false;
    bool inParagraphProperties = false;
    bool inRun = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QStringView name = xml.qualifiedName();
        const QStringView value = xml.attributes().value(QLatin1String("w:val"));
        if (token == QXmlStreamReader::EndElement) {
            inParagraphProperties = inParagraphProperties && name != u"w:pPr";
            inRun = inRun && name != u"w:r";
            inTable = inTable && name != u"w:tbl";
        } else if (token != QXmlStreamReader::StartElement) {
            continue;
        } else if (name == u"w:tbl") {
            inTable = true;
            cell = -1;
        } else if (name == u"w:tc") {
            ++cell;
        } else if (name == u"w:p") {
            paragraphs.append(Paragraph{});
            paragraphs.last().cell = inTable ? cell : -1;
        } else if (name == u"w:pPr") {
            inParagraphProperties = true;
        } else if (name == u"w:r") {
            inRun = true;
            paragraphs.last().runs.append(TextRun{});
        } else if (inParagraphProperties && name == u"w:jc") {
            paragraphs.last().alignment = value.toString();
        } else if (inParagraphProperties && name == u"w:tab") {
            paragraphs.last().tabStops.append(xml.attributes().value(QLatin1String("w:pos")).toInt());
        } else if (inRun) {
            TextRun& run = paragraphs.last().runs.last();
            const bool on = value.isEmpty() || (value != u"0" && value != u"false");
            if (name == u"w:t")
                run.text += xml.readElementText();
            else if (name == u"w:tab")
                run.text += u'\t';
            else if (name == u"w:br")
                run.text += xml.attributes().value(QLatin1String("w:type")) == u"page" ? u'\f' : u'\v';
            else if (name == u"w:rFonts")
                run.font = xml.attributes().value(QLatin1String("w:ascii")).toString();
            else if (name == u"w:sz")
                run.halfPoints = value.toInt();
            else if (name == u"w:b")
                run.bold = on;
            else if (name == u"w:caps")
                run.caps = on;
            else if (name == u"w:u")
                run.underline = value != u"none";
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return paragraphs;
}

/** Paragraph texts one a line, cells as "CELL: text", so a failing comparison shows a readable difference. */
std::string layoutOf(const QList<Paragraph>& paragraphs)
{
    QStringList texts;
    for (const Paragraph& paragraph : paragraphs)
        texts.append(paragraph.cell < 0 ? paragraph.text()
                                        : QStringLiteral("%1: %2").arg(paragraph.cell).arg(paragraph.text()));
    return texts.join(u'\n').toStdString();
}

std::string lines(const QStringList& texts)
{
    return texts.join(u'\n').toStdString();
}

// ---- the writer ----

QList<Paragraph> savedParagraphs(const DocxWriter& doc)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("typed.docx"));
    EXPECT_EQ(doc.save(path), QString());
    return paragraphsOf(path);
}

TEST(DocxWriterTest, TypedTextIsSplitIntoParagraphsEscapedAndRidOfWhatXmlCannotHold)
{
    DocxWriter doc;
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    doc.typeText(QStringLiteral("<script>a & b</script> \"q\" 'x'\r\n\tcr\rlf\n"));
    doc.typeText(QStringLiteral("bad\x01\x1f") + QChar(0xFFFE) + QChar(0xD800) + QStringLiteral("end") +
                 emoji);
    doc.typeText(QStringLiteral("\r\nline\vbreak\fpage"));
    doc.setTabStops({1440, 2880});

    EXPECT_TRUE(doc.documentXml().contains("&lt;script&gt;a &amp; b&lt;/script&gt;"));
    const QList<Paragraph> paragraphs = savedParagraphs(doc);
    EXPECT_EQ(
        layoutOf(paragraphs),
        lines({QStringLiteral("<script>a & b</script> \"q\" 'x'"), QStringLiteral("\tcr"),
               QStringLiteral("lf"), QStringLiteral("badend") + emoji, QStringLiteral("line\vbreak\fpage")}));
    EXPECT_EQ(paragraphs.value(4).tabStops, (QList<int>{1440, 2880}));
    EXPECT_TRUE(paragraphs.value(3).tabStops.isEmpty());
}

TEST(DocxWriterTest, SavesAWholePackageOrNothing)
{
    QTemporaryDir dir;
    DocxWriter doc;
    doc.typeText(QStringLiteral("Hello"));

    // A folder that does not exist: the reason names the file, and nothing is left behind.
    const QString missing = dir.filePath(QStringLiteral("no/such/report.docx"));
    const QString error = doc.save(missing);
    EXPECT_TRUE(error.startsWith(missing)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("no"))));

    // An existing file is replaced whole, and no temporary file stays beside it.
    const QString path = dir.filePath(QStringLiteral("report.docx"));
    ASSERT_EQ(SafeFile::write(path, QByteArray(100000, 'x')), QString());
    ASSERT_EQ(doc.save(path), QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.docx")});
    EXPECT_EQ(lines(zipEntryNames(path)), "[Content_Types].xml\n_rels/.rels\nword/_rels/document.xml.rels\n"
                                          "word/document.xml\nword/styles.xml\nword/settings.xml");
    EXPECT_EQ(zipEntry(path, "word/document.xml"), doc.documentXml());
    const QByteArray types = zipEntry(path, "[Content_Types].xml");
    for (const char* part : {"/word/document.xml", "/word/styles.xml", "/word/settings.xml"})
        EXPECT_TRUE(types.contains(part)) << part;
}

// ---- the project report and the invoice ----

// The expected texts are written for this locale, whatever the locale of the one who runs the tests.
const QLocale kUs = usEnglish();

/** A data folder with one project that has something in every section, and a task of another project. */
class WordExportTest : public ReportFixture
{
protected:
    static constexpr const char* kProject = "2007030110000090";
    static constexpr const char* kInvoice = "2007031010000090";

    void SetUp() override
    {
        ReportFixture::SetUp();
        project(kProject, "Harbour <Dock> & Co", "C1");
        m_project.endUser = "Port Authority";
        m_project.startDate = at(2007, 3, 1);
        m_project.endDate = at(2007, 6, 30);
        storeProject();
        // An unknown lead is left out; the last entry lacks its line feed and is no entry.
        put(ClientRecord{.identifier = "C1",
                         .clientName = "Brisk Ltd",
                         .contactPerson = "Ann Lee",
                         .website = "www.brisk.example",
                         .phone1 = "555-0100",
                         .phone2 = "555-0101",
                         .leadByList = "R1\nUNKNOWN\nR2\nR3"});
        resource("R1", "Alan Price", "Engineer", "A-1", "A-2");
        resource("R2", "Beth Moss", "", "B-1", "B-2");
        resource("R3", "Carl Ode", "");

        task("T1", kProject, "Survey", TaskRecord::High, "", at(2007, 3, 5), at(2007, 3, 9));
        task("T2", kProject, "Design", TaskRecord::High, "", at(2007, 3, 2), at(2007, 3, 20));
        task("T3", kProject, "Drawings", TaskRecord::High, "", at(2007, 3, 1), at(2007, 3, 4));
        task("T4", "OTHER", "Elsewhere", TaskRecord::High, "", at(2007, 3, 1), at(2007, 3, 2));
        TaskRecord design = m_store.GetTask("T2");
        design.subTaskList = "T3\n";
        ASSERT_EQ(m_store.ModifyTask(design), QString());
        TaskRecord drawings = m_store.GetTask("T3");
        drawings.kind = TaskRecord::kSubTask;
        ASSERT_EQ(m_store.ModifyTask(drawings), QString());

        meeting("M1", kProject, "Kick-off", "Ann\nBob\nCarl", at(2007, 3, 3, 10), at(2007, 3, 3, 11, 30));
        agenda("M1", {{"Scope", at(2007, 3, 3, 10, 15)}});
        actions("M1", {{"Send plan", at(2007, 3, 10), "Ann", 0}});
        meeting("M2", kProject, "Review", "", at(2007, 4, 1, 9), at(2007, 4, 1, 10));
        actions("M2", {}); // a file with no item

        money("F1", kProject, "Advance", MoneyFlowRecord::Income, 1000.0, at(2007, 3, 10));
        money("F2", kProject, "Deposit", MoneyFlowRecord::Income, 450.5, at(2007, 3, 5));
        money("F3", kProject, "Cement", MoneyFlowRecord::Expense, 200.25, at(2007, 3, 7));
        money("F4", kProject, "Odd kind", 5, 9999.0, at(2007, 3, 8));

        put(InvoiceRecord{.identifier = kInvoice,
                          .projectIdentifier = kProject,
                          .task = "Survey",
                          .invoiceNumber = "INV-7",
                          .invoiceDate = at(2007, 3, 5),
                          .addressee = "Mr .Jones",
                          .signatory = "J. Smith",
                          .subject = "Survey & <fees>",
                          .toAddress = "Acme Ltd\r\nRoad 2",
                          .fromAddress = "John Smith\r\nMain Street 1",
                          .body = "Soundings of the basin.",
                          .amount = 1234.56,
                          .netAmount = 1234.56,
                          .amountInWords = amountInWords(1234.56),
                          .currencyText = "$-US DOLLAR",
                          .company = "Brisolt Works"});
        m_store.LoadAll();
        ASSERT_TRUE(m_store.loadProblems().isEmpty());
    }

    template <class R> void put(const R& record)
    {
        ASSERT_EQ(
            SafeFile::write(m_store.fileName(KindOf<R>::value, record.identifier), encodeRecord(record)),
            QString());
    }
    QString file(const char* name) const { return m_data.filePath(QLatin1String(name)); }

    /** Paragraph texts one a line, table cells as "CELL: text", from tests/data/word (written for en_US). */
    static std::string expected(const char* name)
    {
        return fileBytes(QStringLiteral(KORVANE_TEST_DATA "/word/") + QLatin1String(name)).toStdString();
    }
};

TEST_F(WordExportTest, ProjectReportTypesEverySectionInTreeOrderWithItsFormats)
{
    const QString path = file("project.docx");
    ASSERT_EQ(WordProjectReport(m_store, kUs).write(kProject, path), QString());
    const QList<Paragraph> paragraphs = paragraphsOf(path);
    EXPECT_EQ(layoutOf(paragraphs) + '\n', expected("project-report.txt"));
    ASSERT_FALSE(paragraphs.isEmpty());

    const Paragraph& title = paragraphs.first();
    EXPECT_EQ(title.alignment, QStringLiteral("center"));
    ASSERT_EQ(title.runs.size(), 1);
    EXPECT_EQ(title.runs[0].halfPoints, 36);
    EXPECT_TRUE(title.runs[0].bold && title.runs[0].caps && !title.runs[0].underline);
    // Below the title: left aligned, headings 13.5 pt bold underlined, everything else 12 pt plain.
    QStringList headings;
    for (const Paragraph& paragraph : paragraphs.mid(1)) {
        EXPECT_EQ(paragraph.alignment, QStringLiteral("left"));
        for (const TextRun& run : paragraph.runs) {
            const bool heading = run.halfPoints == 27 && run.bold && run.underline;
            const bool body = run.halfPoints == 24 && !run.bold && !run.underline;
            EXPECT_TRUE((heading || body) && !run.caps && run.font.isEmpty()) << run.text.toStdString();
            if (heading)
                headings.append(run.text);
        }
    }
    EXPECT_EQ(lines(headings), "Lead By:\nTasks:\nMeetings:\nMoney Flow:");
}

TEST_F(WordExportTest, ProjectWithNothingStillHasItsHeadingsAndAZeroMoneyTable)
{
    put(ProjectRecord{.identifier = "2007050110000090", .name = "Bare"});
    m_store.LoadAll();
    const QString path = file("bare.docx");
    ASSERT_EQ(WordProjectReport(m_store, kUs).write("2007050110000090", path), QString());
    const std::string layout = layoutOf(paragraphsOf(path));
    EXPECT_TRUE(layout.ends_with("\n\n\nLead By:\n\n\nTasks:\n\n\tNo Tasks\n\nMeetings:\n\n\tNo Meetings\n\n"
                                 "Money Flow:\n0: Income\n1: Expense\n2: \n3: \n4: Net Income = 0.00\n"
                                 "5: Net Expense = 0.00\n"))
        << layout;
}

TEST_F(WordExportTest, InvoiceTypesTheLetterInVerdanaNine)
{
    const QString path = file("invoice.docx");
    ASSERT_EQ(WordInvoice(m_store, kUs).write(kInvoice, path), QString());
    const QList<Paragraph> paragraphs = paragraphsOf(path);
    EXPECT_EQ(layoutOf(paragraphs) + '\n', expected("invoice.txt"));

    QStringList alignments;
    QStringList emphasis;
    for (const Paragraph& paragraph : paragraphs) {
        alignments.append(paragraph.alignment);
        for (const TextRun& run : paragraph.runs) {
            EXPECT_TRUE(run.font == QStringLiteral("Verdana") && run.halfPoints == 18 && !run.caps);
            if (run.bold || run.underline)
                emphasis.append(run.text + (run.underline ? QStringLiteral(" (underlined)") : QString()));
        }
    }
    EXPECT_EQ(lines(alignments.mid(0, 5)), "right\ncenter\ncenter\nright\nleft");
    EXPECT_EQ(alignments.mid(5).count(QStringLiteral("left")), alignments.size() - 5);
    EXPECT_EQ(lines(emphasis), "Invoice Report (underlined)\nFrom,\nTo,\n\tSub :");
}

TEST_F(WordExportTest, InvoiceCurrencyAndSenderEdgeCases)
{
    struct Case
    {
        QByteArray currency;
        QByteArray from;
        const char* netLine;
        const char* wordsEnd;
        const char* forLine;
    };
    const Case cases[] = {
        // Without "-" the symbol is empty and the whole text is the name.
        {"EURO", "Solo Sender", "Net Amount : 1235 ", "EURO ONLY", "For Solo Sender"},
        // A line typed without a carriage return keeps its last letter.
        {"Rs.-RUPEE", "Ravi\nStreet", "Net Amount : Rs.1235 ", "RUPEE ONLY", "For Ravi"},
        {"$-US DOLLAR", "", "Net Amount : $1235 ", "US DOLLAR ONLY", "For "},
    };
    for (const Case& c : cases) {
        InvoiceRecord invoice = m_store.GetInvoice(kInvoice);
        invoice.currencyText = c.currency;
        invoice.fromAddress = c.from;
        ASSERT_EQ(m_store.ModifyInvoice(invoice), QString());
        const QString path = file("edge.docx");
        ASSERT_EQ(WordInvoice(m_store, kUs).write(kInvoice, path), QString());
        const std::string layout = layoutOf(paragraphsOf(path));
        EXPECT_NE(layout.find(std::string("\n") + c.netLine + "\n"), std::string::npos) << layout;
        EXPECT_NE(layout.find(std::string(c.wordsEnd) + "\n"), std::string::npos) << layout;
        EXPECT_NE(layout.find(std::string("\n") + c.forLine + "\n"), std::string::npos) << layout;
    }
}

TEST_F(WordExportTest, LibreOfficeReadsTheReportText)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP()
            << "LibreOffice (soffice) is not installed, so the .docx is not checked in a word processor";
    const QString path = file("project.docx");
    ASSERT_EQ(WordProjectReport(m_store, kUs).write(kProject, path), QString());
    ASSERT_EQ(
        convertWithOffice(path, QStringLiteral("txt:Text (encoded):UTF8"), m_data.path(), file("office")),
        QString());

    QString read = QString::fromUtf8(fileBytes(file("project.txt"))).remove(u'\r');
    if (read.startsWith(QChar(0xFEFF)))
        read.remove(0, 1);
    // The text export ends every paragraph with a line break, the table's cell by cell.
    const QRegularExpression cellNumber(QStringLiteral("^\\d: "), QRegularExpression::MultilineOption);
    EXPECT_EQ(read.toStdString(),
              QString::fromStdString(expected("project-report.txt")).remove(cellNumber).toStdString());
}

} // namespace
