#include "ReportFixture.h"

#include "reports/HtmlExport.h"
#include "reports/PageWriter.h"

using namespace korvane;
using namespace korvane::testing;

namespace {

class HtmlExportTest : public ReportFixture
{
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        ASSERT_TRUE(m_target.isValid());
    }
    QString exportFile() const { return m_target.filePath(QStringLiteral("Survey.html")); }
    QString exportedImage(const QString& name) const
    {
        return m_target.filePath(QStringLiteral("Images/") + name);
    }

    QTemporaryDir m_target;
};

TEST_F(HtmlExportTest, FullProjectMatchesExpectedText)
{
    fillFullProject();
    expectPage(HtmlExport::projectText(m_store, "P1", usEnglish()),
               QStringLiteral("export-full/Survey.html"));
}

TEST_F(HtmlExportTest, EmptyAndUnknownProjects)
{
    EXPECT_EQ(
        HtmlExport::projectText(m_store, "P1", usEnglish()),
        QStringLiteral("<html><body background=Images\\empty.bmp><center>No Project Is Selected</center>"
                       "</body></html>"));
    project("P1", "Bare");
    storeProject();
    const QString page = HtmlExport::projectText(m_store, "P1", usEnglish());
    for (const char* none : {"<ul imagesrc=Images/Lead1.bmp><li>No One Assigned</li></ul></ul></font>",
                             "<ul imagesrc=Images/Task.bmp>\n<li>No Tasks Assigned<li>\n</ul>\n<hr",
                             "<ul imagesrc=Images/Meeting1.bmp>\n<li>No Meetings Arranged</li>\n\n</ul>\n<hr",
                             "<ul imagesrc='Images/Income.bmp'>\n<li>No Income</li>\n</ul>\n</td>",
                             "<ul imagesrc='Images/Expense.bmp'>\n<li>No Expenses</li>\n</ul>\n</td>",
                             "<font color='#0000FF'>Profit: : $0.00</font>"})
        EXPECT_TRUE(page.contains(QLatin1String(none))) << none;
}

TEST_F(HtmlExportTest, ExportWritesThePageAndCopiesTheImagesWithoutReplacingAny)
{
    fillFullProject();
    ASSERT_TRUE(QDir().mkpath(m_target.filePath(QStringLiteral("Images"))));
    ASSERT_EQ(SafeFile::write(exportedImage(QStringLiteral("Task.bmp")), "mine"), QString());

    HtmlExport::Result result = HtmlExport::exportProject(m_store, "P1", exportFile(), usEnglish());
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_TRUE(result.skippedImages.isEmpty()) << result.skippedImages.join('\n').toStdString();
    // A byte order mark lets a browser read the page as UTF-8; the text follows unchanged.
    EXPECT_EQ(fileBytes(exportFile()), "\xEF\xBB\xBF" + HtmlExport::projectText(m_store, "P1", usEnglish()).toUtf8());
    for (const QString& name : HtmlExport::projectImages())
        EXPECT_TRUE(QFile::exists(exportedImage(name))) << name.toStdString();
    EXPECT_EQ(fileBytes(exportedImage(QStringLiteral("Task.bmp"))), "mine");

    // A second export into the same folder keeps what the first one copied, even when the
    // program's own picture has changed since.
    PageWriter::placeProgramBitmaps();
    const QString programProject = m_program.filePath(QStringLiteral("Images/Project.bmp"));
    const QByteArray firstCopy = fileBytes(exportedImage(QStringLiteral("Project.bmp")));
    ASSERT_EQ(SafeFile::write(programProject, "changed"), QString());
    ASSERT_EQ(SafeFile::write(exportFile(), "old page"), QString());
    result = HtmlExport::exportProject(m_store, "P1", exportFile(), usEnglish());
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(fileBytes(exportedImage(QStringLiteral("Project.bmp"))), firstCopy);
    EXPECT_EQ(fileBytes(exportFile()), "\xEF\xBB\xBF" + HtmlExport::projectText(m_store, "P1", usEnglish()).toUtf8());
}

TEST_F(HtmlExportTest, ImagesComeFromTheProgramFolderWhenItHasThem)
{
    project("P1", "Own pictures");
    storeProject();
    ASSERT_TRUE(QDir().mkpath(m_program.filePath(QStringLiteral("Images"))));
    ASSERT_EQ(SafeFile::write(m_program.filePath(QStringLiteral("Images/Lead.bmp")), "custom"), QString());
    EXPECT_TRUE(HtmlExport::exportProject(m_store, "P1", exportFile(), usEnglish()).ok());
    EXPECT_EQ(fileBytes(exportedImage(QStringLiteral("Lead.bmp"))), "custom");
    EXPECT_NE(fileBytes(exportedImage(QStringLiteral("Income.bmp"))), "<missing>");
}

TEST_F(HtmlExportTest, ExportIntoAMissingFolderWritesNothing)
{
    project("P1", "Nowhere");
    storeProject();
    const QString file = m_target.filePath(QStringLiteral("missing/Survey.html"));
    const HtmlExport::Result result = HtmlExport::exportProject(m_store, "P1", file, usEnglish());
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(QFileInfo::exists(m_target.filePath(QStringLiteral("missing"))));
}

TEST_F(HtmlExportTest, InvoiceExportCopiesTheSignatureReplacingAnOlderOne)
{
    const QString signature = m_data.filePath(QStringLiteral("maya.bmp"));
    ASSERT_EQ(SafeFile::write(signature, "signature"), QString());
    InvoiceRecord record = blank<InvoiceRecord>();
    record.identifier = "I1";
    record.signatureImage = signature.toUtf8();
    ASSERT_EQ(m_store.ModifyInvoice(record), QString());
    ASSERT_TRUE(QDir().mkpath(m_target.filePath(QStringLiteral("Images"))));
    ASSERT_EQ(SafeFile::write(exportedImage(QStringLiteral("maya.bmp")), "older"), QString());

    const HtmlExport::Result result = HtmlExport::exportInvoice(m_store, "I1", exportFile(), usEnglish());
    EXPECT_TRUE(result.ok() && result.skippedImages.isEmpty());
    EXPECT_EQ(fileBytes(exportedImage(QStringLiteral("maya.bmp"))), "signature");
    EXPECT_TRUE(
        fileBytes(exportFile()).contains("<p><img src=\"Images\\maya.bmp\" width=\"84\" height=\"42\"></p>"));

    // A signature that is gone is told about; the letter is still written.
    record.signatureImage = "/nonexistent/gone.bmp";
    ASSERT_EQ(m_store.ModifyInvoice(record), QString());
    const HtmlExport::Result missing = HtmlExport::exportInvoice(m_store, "I1", exportFile(), usEnglish());
    EXPECT_TRUE(missing.ok());
    EXPECT_EQ(missing.skippedImages.size(), 1);
}

} // namespace
