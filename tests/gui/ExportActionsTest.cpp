#include "GuiTestSupport.h"

#include "records/RecordCodec.h"
#include "reports/PageWriter.h"
#include "reports/pdf/PrintDocument.h"
#include "shell/InvoiceActions.h"
#include "shell/PagePrinter.h"
#include "shell/ProjectExports.h"
#include "store/AppSettings.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/DetailsTrees.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QUrl>
#include <QWidget>

using namespace korvane;
using namespace korvane::test;

class ExportActionsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void htmlExportWritesPagePicturesAndOpensIt();
    void cancelledDialogWritesNothing();
    void typedNameWithoutExtensionDoesNotReplaceUnasked();
    void documentExportsWriteAndOpenIt_data();
    void documentExportsWriteAndOpenIt();
    void unwritableTargetIsReported_data();
    void unwritableTargetIsReported();
    void mailOpensEncodedDraft();
    void printPreviewOpensAfterTimer();
    void invoiceHtmlExportCopiesSignature();
    void printedPagesFindWindowsStylePictures();

private:
    QByteArray addInvoice(const QString& signature);
    void runExport(const QString& kind);

    std::unique_ptr<test::GuiWorld> m_world;
    std::unique_ptr<QTemporaryDir> m_target;
    std::unique_ptr<QWidget> m_window;
    QByteArray m_project;
};

void ExportActionsTest::initTestCase()
{
    // The demo records are written once; every test gets fresh answers, settings and target folder.
    m_world = std::make_unique<test::GuiWorld>();
    m_world->fillDemoData(1);
    for (const auto& entry : m_world->store().projects())
        m_project = entry.key;
    QVERIFY(!m_project.isEmpty());
}

void ExportActionsTest::cleanupTestCase()
{
    m_world.reset();
}

void ExportActionsTest::init()
{
    UserDialogs::setTestMode(true);
    AppSettings::setLastExportFolder(QString());
    m_target = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<QWidget>();
}

void ExportActionsTest::cleanup()
{
    m_window.reset();
    m_target.reset();
}

QByteArray ExportActionsTest::addInvoice(const QString& signature)
{
    InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
    invoice.projectIdentifier = m_project;
    invoice.task = "Design\tphase";
    invoice.invoiceNumber = "INV/2024/07";
    invoice.subject = "Invoice #7 & more?";
    invoice.body = "Dear client,\r\nplease pay.";
    invoice.signatureImage = signature.toUtf8();
    invoice.currencyText = "$-US DOLLAR";
    return m_world->store().AddInvoice(invoice).identifier;
}

void ExportActionsTest::runExport(const QString& kind)
{
    ProjectExports exports(m_world->store(), m_window.get());
    InvoiceActions invoices(m_world->store(), m_window.get());
    if (kind == u"html")
        exports.exportHtml(m_project);
    else if (kind == u"word")
        exports.exportWord(m_project, buildTaskTree(m_world->store(), m_project),
                           buildMeetingTree(m_world->store(), m_project),
                           buildMoneyFlowTree(m_world->store(), m_project));
    else if (kind == u"excel")
        exports.exportExcel(m_project);
    else if (kind == u"invoice html")
        invoices.exportHtml(addInvoice({}));
    else if (kind == u"invoice word")
        invoices.exportWord(addInvoice({}));
    else if (kind == u"pdf")
        exports.exportPdf(m_project);
    else if (kind == u"invoice pdf")
        invoices.exportPdf(addInvoice({}));
    else
        QFAIL("unknown export");
}

void ExportActionsTest::htmlExportWritesPagePicturesAndOpensIt()
{
    const QString folder = m_target->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(folder));
    UserDialogs::setNextFileName(folder + QStringLiteral("/Survey"));
    runExport(QStringLiteral("html"));

    const QString page = folder + QStringLiteral("/Survey.html");
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(page)});
    // What the page holds and which pictures go with it is HtmlExport's (HtmlExportTest).
    QVERIFY(QFile::exists(folder + QStringLiteral("/Images/Project.bmp")));

    // The next save dialog opens where this one ended, with the project's name.
    QCOMPARE(AppSettings::lastExportFolder(), folder);
    const QString name = QString::fromUtf8(m_world->store().GetProject(m_project).name);
    QCOMPARE(ProjectExports::suggestedPath(ProjectExports::safeFileName(name, QStringLiteral("Project")),
                                           QStringLiteral("docx")),
             folder + QLatin1Char('/') + name + QStringLiteral(".docx"));
}

void ExportActionsTest::cancelledDialogWritesNothing()
{
    for (const QString& kind : {QStringLiteral("html"), QStringLiteral("word"), QStringLiteral("excel"),
                                QStringLiteral("invoice html"), QStringLiteral("invoice word"),
                                QStringLiteral("pdf"), QStringLiteral("invoice pdf")}) {
        UserDialogs::setNextFileName(QString());
        runExport(kind);
        QVERIFY2(UserDialogs::takeOpenedUrls().isEmpty(), qPrintable(kind));
        QVERIFY2(UserDialogs::takeMessages().isEmpty(), qPrintable(kind));
    }
    QVERIFY(QDir(m_target->path()).isEmpty());
    QCOMPARE(AppSettings::lastExportFolder(), QString());
    // Never used: the dialog starts in the home folder.
    QCOMPARE(ProjectExports::suggestedPath(QStringLiteral("a"), QStringLiteral("html")),
             QDir::home().filePath(QStringLiteral("a.html")));
}

void ExportActionsTest::typedNameWithoutExtensionDoesNotReplaceUnasked()
{
    const QString existing = m_target->filePath(QStringLiteral("Report.xlsx"));
    makeFile(existing, "keep me");

    UserDialogs::setNextFileName(m_target->filePath(QStringLiteral("Report")));
    UserDialogs::setNextAnswer(false);
    runExport(QStringLiteral("excel"));
    QCOMPARE(UserDialogs::takeMessages().size(), 1); // the question
    QVERIFY(UserDialogs::takeOpenedUrls().isEmpty());
    QCOMPARE(fileBytes(existing), QByteArray("keep me"));

    UserDialogs::setNextFileName(m_target->filePath(QStringLiteral("Report")));
    UserDialogs::setNextAnswer(true);
    runExport(QStringLiteral("excel"));
    QCOMPARE(fileBytes(existing).left(2), QByteArray("PK"));
}

void ExportActionsTest::documentExportsWriteAndOpenIt_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("file");
    dataRow("project word", "word", "Report.docx");
    dataRow("project excel", "excel", "Report.xlsx");
    dataRow("invoice word", "invoice word", "Invoice.docx");
    dataRow("extension typed in capitals is kept", "excel", "Report.XLSX");
    dataRow("project pdf", "pdf", "Report.pdf");
    dataRow("invoice pdf", "invoice pdf", "Invoice.pdf");
}

void ExportActionsTest::documentExportsWriteAndOpenIt()
{
    QFETCH(QString, kind);
    QFETCH(QString, file);
    const QString path = m_target->filePath(file);
    UserDialogs::setNextFileName(path);
    runExport(kind);
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QCOMPARE(UserDialogs::takeOpenedUrls(), QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(fileBytes(path).left(2), QByteArray(file.endsWith(u".pdf") ? "%P" : "PK"));
    QCOMPARE(QDir(m_target->path()).entryList(QDir::Files), QStringList{file});
}

void ExportActionsTest::unwritableTargetIsReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("folderInPlace");
    for (const char* kind : {"html", "word", "excel", "invoice html", "invoice word", "pdf", "invoice pdf"}) {
        QTest::addRow("%s, a folder in place of the file", kind) << QString::fromLatin1(kind) << true;
        QTest::addRow("%s, a file in place of the folder", kind) << QString::fromLatin1(kind) << false;
    }
}

void ExportActionsTest::unwritableTargetIsReported()
{
    QFETCH(QString, kind);
    QFETCH(bool, folderInPlace);
    const QString extension = kind.endsWith(u"html")   ? QStringLiteral(".html")
                              : kind.endsWith(u"word") ? QStringLiteral(".docx")
                              : kind.endsWith(u"pdf")  ? QStringLiteral(".pdf")
                                                       : QStringLiteral(".xlsx");
    QString target;
    if (folderInPlace) {
        target = m_target->filePath(QStringLiteral("taken") + extension);
        QVERIFY(QDir().mkpath(target));
    } else {
        // Even the superuser cannot write below a plain file.
        const QString blocker = m_target->filePath(QStringLiteral("plain"));
        makeFile(blocker);
        target = blocker + QStringLiteral("/out") + extension;
    }
    UserDialogs::setNextFileName(target);
    runExport(kind);

    const QString message = onlyMessage();
    QVERIFY2(message.contains(target), qPrintable(message));
    QVERIFY(UserDialogs::takeOpenedUrls().isEmpty());
    // A page that could not be written leaves no pictures behind either.
    QVERIFY(!QFile::exists(QFileInfo(target).absolutePath() + QStringLiteral("/Images")));
}

void ExportActionsTest::mailOpensEncodedDraft()
{
    InvoiceActions actions(m_world->store(), m_window.get());
    const QByteArray invoice = addInvoice({});
    actions.mail(invoice);
    const QList<QUrl> urls = UserDialogs::takeOpenedUrls();
    QCOMPARE(urls.size(), 1);
    QCOMPARE(urls.first().scheme(), QStringLiteral("mailto"));
    const QByteArray encoded = urls.first().toEncoded();
    QVERIFY2(encoded.contains("?subject=Invoice%20%237%20%26%20more%3F&body=Dear%20client%2C%0D%0Aplease"),
             encoded.constData());

    UserDialogs::setOpenFails(true);
    actions.mail(invoice);
    QCOMPARE(UserDialogs::takeMessages().size(), 1);
}

void ExportActionsTest::printPreviewOpensAfterTimer()
{
    InvoiceActions actions(m_world->store(), m_window.get());
    bool previewed = false;
    answerDialogs(nullptr, [&previewed](QDialog& dialog) {
        previewed = qobject_cast<QPrintPreviewDialog*>(&dialog) != nullptr;
    });
    actions.print(addInvoice({}));
    const QString page = m_world->programFolder() + QStringLiteral("/InvoiceTemp.html");
    QVERIFY(fileBytes(page).contains("Invoice Number : INV/2024/07"));
    QVERIFY(!previewed); // the print timer has not fired yet
    QTRY_VERIFY(previewed);
    QVERIFY(UserDialogs::takeMessages().isEmpty());
}

void ExportActionsTest::invoiceHtmlExportCopiesSignature()
{
    const QString signature = m_target->filePath(QStringLiteral("pictures/Signature.png"));
    QVERIFY(QDir().mkpath(QFileInfo(signature).absolutePath()));
    QImage picture(8, 4, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(signature));
    const QByteArray invoice = addInvoice(signature);

    InvoiceActions actions(m_world->store(), m_window.get());
    // Tabs and "/" of the task and number would make an odd or a wrong file name.
    QCOMPARE(actions.suggestedName(invoice), QStringLiteral("Design phase INV-2024-07"));

    const QString folder = m_target->filePath(QStringLiteral("export"));
    QVERIFY(QDir().mkpath(folder));
    UserDialogs::setNextFileName(folder + QStringLiteral("/Letter.html"));
    actions.exportHtml(invoice);
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
    QCOMPARE(UserDialogs::takeOpenedUrls(),
             QList<QUrl>{QUrl::fromLocalFile(folder + QStringLiteral("/Letter.html"))});
    QCOMPARE(fileBytes(folder + QStringLiteral("/Images/Signature.png")), fileBytes(signature));
    QVERIFY(fileBytes(folder + QStringLiteral("/Letter.html")).contains("src=\"Images\\Signature.png\""));

    // A signature that has gone is said, but the letter is still written and opened.
    QVERIFY(QFile::remove(signature));
    UserDialogs::setNextFileName(folder + QStringLiteral("/Again.html"));
    actions.exportHtml(invoice);
    QCOMPARE(UserDialogs::takeOpenedUrls().size(), 1);
    const QString message = onlyMessage();
    QVERIFY2(message.contains(signature), qPrintable(message));
}

void ExportActionsTest::printedPagesFindWindowsStylePictures()
{
    PageWriter::placeProgramBitmaps();
    QTextDocument document;
    PrintDocument::resolvePictures(document, m_world->programFolder());
    for (const QString& name : {QStringLiteral("Images\\Project.bmp"), QStringLiteral("Images%5CLead1.bmp"),
                                QStringLiteral("Images/Task.bmp"),
                                m_world->programFolder() + QStringLiteral("/Images/Income.bmp")}) {
        const QVariant picture = document.resource(QTextDocument::ImageResource, QUrl(name));
        QVERIFY2(picture.canConvert<QImage>() && !picture.value<QImage>().isNull(), qPrintable(name));
    }
}

QTEST_MAIN(ExportActionsTest)
#include "ExportActionsTest.moc"
