// The income/expense dialog, the invoice dialog and their numeric edit.

#include "gui/GuiTestSupport.h"

#include "editors/InvoiceDialog.h"
#include "editors/MoneyFlowDialog.h"
#include "editors/NumericEdit.h"
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "store/AmountInWords.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace korvane;
using namespace korvane::test;

namespace {

const QDateTime kNow(QDate(2024, 3, 15), QTime(14, 30));

void setText(QDialog& dialog, const char* name, const QString& text)
{
    if (auto* combo = dialog.findChild<QComboBox*>(QString::fromLatin1(name)))
        combo->setEditText(text);
    else
        child<QLineEdit>(dialog, name)->setText(text);
}

QStringList items(QDialog& dialog)
{
    QStringList names;
    auto* combo = child<QComboBox>(dialog, "taskNameCombo");
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    return names;
}

/** Types the keys into the edit, replacing what it held, then presses Return as a user leaving it would. */
void typeNumber(QDialog& dialog, const char* name, const QString& keys)
{
    auto* edit = child<QLineEdit>(dialog, name);
    edit->selectAll();
    QTest::keyClicks(edit, keys);
    QTest::keyClick(edit, Qt::Key_Return);
}

QStringList dataFiles(const GuiWorld& world)
{
    return QDir(world.dataFolder()).entryList(QDir::Files, QDir::Name);
}

InvoiceRecord invoiceOf(const QByteArray& projectId, const QByteArray& task, double amount)
{
    InvoiceRecord invoice = emptyRecord<InvoiceRecord>();
    invoice.projectIdentifier = projectId;
    invoice.task = task;
    invoice.invoiceNumber = "17";
    invoice.addressee = "Mr .Lee";
    invoice.signatory = "Ann";
    invoice.currencyText = "$-US DOLLAR";
    invoice.amount = amount;
    invoice.netAmount = amount;
    invoice.amountInWords = amountInWords(amount);
    return invoice;
}

/** Runs the invoice or the income dialog, on a new record or on the `existing` one. */
EditorOutcome runDialog(GuiWorld& world, const QByteArray& projectId, bool invoice,
                        const QByteArray& existing = {})
{
    RecordStore& store = world.store();
    if (invoice)
        return existing.isEmpty() ? InvoiceDialog::addInvoice(store, projectId, nullptr)
                                  : InvoiceDialog::modifyInvoice(store, existing, nullptr);
    return existing.isEmpty() ? MoneyFlowDialog::addMoneyFlow(store, projectId, 0, nullptr)
                              : MoneyFlowDialog::modifyMoneyFlow(store, existing, nullptr);
}

} // namespace

class MoneyDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void numericEditTyping_data();
    void numericEditTyping();
    void addWithNoInputStoresDefaults();
    void modifyWithoutEditsKeepsEveryByte();
    void cancelStoresNothing_data();
    void cancelStoresNothing();
    void netAmount_data();
    void netAmount();
    void taskNameLists();
    void refusalKeepsTheDialogOpen_data();
    void refusalKeepsTheDialogOpen();
    void addresseeAndCurrencyGoThroughTheInvoiceRules();
    void amountInWordsFollowsFinalAmount_data();
    void amountInWordsFollowsFinalAmount();
    void pickedFilesAreStored();
    void enterInAnOpenListDoesNotFinish_data();
    void enterInAnOpenListDoesNotFinish();
};

void MoneyDialogsTest::init()
{
    Clock::setFixed(kNow);
}

void MoneyDialogsTest::cleanup()
{
    UserDialogs::setDialogHandler({});
    Clock::setFixed({});
}

void MoneyDialogsTest::numericEditTyping_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    dataRow("second point ignored", QString(), false, "1.2.3", "1.23");
    dataRow("letters and minus ignored", QString(), false, "-4a5e1 ", "451");
    dataRow("money signs taken", QString(), false, "$#%'9", "$#%'9");
    dataRow("point after one ignored", "12.5", false, ".", "12.5");
    dataRow("point replacing the selected point", "12.5", true, ".", ".");
}

void MoneyDialogsTest::numericEditTyping()
{
    QFETCH(QString, before);
    QFETCH(bool, selectAll);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    NumericEdit edit;
    edit.setText(before);
    if (selectAll)
        edit.selectAll();
    QTest::keyClicks(&edit, keys);
    QCOMPARE(edit.text(), after);
    // Editing keys keep working.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), after.chopped(1));
}

void MoneyDialogsTest::addWithNoInputStoresDefaults()
{
    // The defaults themselves are RecordDefaults' and InvoiceRules' (RecordRulesTest); here the headings.
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    QStringList headings;
    answerDialogs("okButton", [&](QDialog& dialog) {
        if (auto* heading = dialog.findChild<QLabel*>(QStringLiteral("headingLabel")))
            headings << heading->text() +
                            (child<QRadioButton>(dialog, "expenseRadio")->isChecked() ? "/x" : "/i");
    });

    for (const int kind : {0, 1}) {
        const EditorOutcome outcome = MoneyFlowDialog::addMoneyFlow(world.store(), projectId, kind, nullptr);
        QVERIFY(outcome.finished);
        QCOMPARE(world.store().GetMoneyFlow(outcome.identifier).kind, kind);
    }
    QCOMPARE(headings, (QStringList{"Income/i", "Expense/x"}));
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
}

void MoneyDialogsTest::modifyWithoutEditsKeepsEveryByte()
{
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    world.addTask(projectId, "Caf\xe9 launch");

    // Values the dialogs would clean up or could not show exactly, and Windows-1252 bytes.
    MoneyFlowRecord entry = emptyRecord<MoneyFlowRecord>();
    entry.projectIdentifier = projectId;
    entry.reservedText1 = "r1\xff";
    entry.name = "Caf\xe9 launch";
    entry.amount = 0.1;
    entry.taxPercentage = 7.25;
    entry.netAmount = 0.1 * (1 - 0.0725);
    entry.transactionDate = DateTime{DateTime::Valid, 45000.61};
    entry.kind = 7;
    entry.filePath = "/home/ann/re\xe7u.pdf";
    entry.identifier = world.store().AddMoneyFlow(entry).identifier;

    InvoiceRecord invoice = invoiceOf(projectId, "", 1234.5);
    invoice.invoiceNumber = " 7 ";
    invoice.addressee = "Mr . Lee ";
    invoice.signatory = "";
    invoice.reservedText1 = "\x01";
    invoice.signatureImage = "/sig\xe9.png";
    invoice.toAddress = "Client Ltd\r\nMain St\r\n";
    invoice.fromAddress = " Us\r\nHere";
    invoice.body = "Work\tdone";
    invoice.currencyText = "$";
    invoice.company = "Caf\xe9";
    invoice.reservedDateTime2 = DateTime{DateTime::Invalid, 3.5};
    invoice.reservedInteger1 = -1;
    invoice.reservedReal2 = 2.5;
    invoice.invoiceDate = DateTime{DateTime::Valid, 45001.25};
    invoice.identifier = world.store().AddInvoice(invoice).identifier;

    const QString entryFile = world.store().fileName(RecordKind::MoneyFlow, entry.identifier);
    const QString invoiceFile = world.store().fileName(RecordKind::Invoice, invoice.identifier);
    const QByteArray entryBytes = fileBytes(entryFile);
    const QByteArray invoiceBytes = fileBytes(invoiceFile);

    answerDialogs("okButton");
    QVERIFY(MoneyFlowDialog::modifyMoneyFlow(world.store(), entry.identifier, nullptr).finished);
    QVERIFY(InvoiceDialog::modifyInvoice(world.store(), invoice.identifier, nullptr).finished);
    QVERIFY(world.store().GetMoneyFlow(entry.identifier) == entry);
    QVERIFY(world.store().GetInvoice(invoice.identifier) == invoice);
    QCOMPARE(fileBytes(entryFile), entryBytes);
    QCOMPARE(fileBytes(invoiceFile), invoiceBytes);
    QCOMPARE(UserDialogs::takeMessages(), QStringList());
}

void MoneyDialogsTest::cancelStoresNothing_data()
{
    QTest::addColumn<bool>("onInvoice");
    QTest::addColumn<bool>("modify");
    dataRow("add income", false, false);
    dataRow("modify income", false, true);
    dataRow("add invoice", true, false);
    dataRow("modify invoice", true, true);
}

void MoneyDialogsTest::cancelStoresNothing()
{
    QFETCH(bool, onInvoice);
    QFETCH(bool, modify);
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    MoneyFlowRecord entry = emptyRecord<MoneyFlowRecord>();
    entry.projectIdentifier = projectId;
    entry.name = "Deposit";
    entry.amount = 10;
    entry.netAmount = 10;
    entry.identifier = world.store().AddMoneyFlow(entry).identifier;
    InvoiceRecord invoice = invoiceOf(projectId, "Deposit", 10);
    invoice.identifier = world.store().AddInvoice(invoice).identifier;
    const QStringList filesBefore = dataFiles(world);
    const QString entryFile = world.store().fileName(RecordKind::MoneyFlow, entry.identifier);
    const QString invoiceFile = world.store().fileName(RecordKind::Invoice, invoice.identifier);
    const QByteArray entryBytes = fileBytes(entryFile);
    const QByteArray invoiceBytes = fileBytes(invoiceFile);

    answerDialogs("cancelButton", [](QDialog& dialog) {
        setText(dialog, "taskNameCombo", QStringLiteral("Changed"));
        typeNumber(dialog, "amountEdit", QStringLiteral("55"));
    });
    const QByteArray existing = !modify ? QByteArray() : onInvoice ? invoice.identifier : entry.identifier;
    const EditorOutcome outcome = runDialog(world, projectId, onInvoice, existing);
    QVERIFY(!outcome.finished);
    QVERIFY(outcome.identifier.isEmpty());
    QCOMPARE(dataFiles(world), filesBefore);
    QCOMPARE(fileBytes(entryFile), entryBytes);
    QCOMPARE(fileBytes(invoiceFile), invoiceBytes);
}

void MoneyDialogsTest::netAmount_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("stored");
    dataRow("tax deducted", "200", "10", "180.00", 180.0);
    dataRow("shown rounded, stored exact", "100.125", "0", "100.13", 100.125);
}

void MoneyDialogsTest::netAmount()
{
    QFETCH(QString, amount);
    QFETCH(QString, tax);
    QFETCH(QString, shown);
    QFETCH(double, stored);
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    QStringList shownTexts;
    answerDialogs("okButton", [&](QDialog& dialog) {
        typeNumber(dialog, "amountEdit", amount);
        typeNumber(dialog, "taxEdit", tax);
        shownTexts << child<QLineEdit>(dialog, "netAmountEdit")->text();
    });
    const EditorOutcome entry = MoneyFlowDialog::addMoneyFlow(world.store(), projectId, 1, nullptr);
    const EditorOutcome invoice = InvoiceDialog::addInvoice(world.store(), projectId, nullptr);
    QCOMPARE(shownTexts, (QStringList{shown, shown}));
    QCOMPARE(world.store().GetMoneyFlow(entry.identifier).netAmount, stored);
    QCOMPARE(world.store().GetInvoice(invoice.identifier).netAmount, stored);
    QCOMPARE(world.store().GetMoneyFlow(entry.identifier).amount, amount.toDouble());
}

void MoneyDialogsTest::taskNameLists()
{
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    const QByteArray otherId = world.addProject(QStringLiteral("Bridge"), "2024-01-01", "2024-12-31");
    world.addTask(projectId, "Design");
    world.addTask(projectId, "design");
    world.addTask(projectId, "Build");
    world.addTask(otherId, "Elsewhere");
    world.store().AddInvoice(invoiceOf(projectId, "Billing", 5));
    world.store().AddInvoice(invoiceOf(projectId, "BUILD", 5));
    world.store().AddInvoice(invoiceOf(otherId, "Foreign", 5));

    QStringList incomeList, expenseList, backToIncome, invoiceList;
    QString keptName;
    answerDialogs("okButton", [&](QDialog& dialog) {
        if (dialog.objectName() == QStringLiteral("InvoiceDialog")) {
            invoiceList = items(dialog);
        } else {
            incomeList = items(dialog);
            setText(dialog, "taskNameCombo", QStringLiteral("Custom fee"));
            clickChild(dialog, "expenseRadio");
            expenseList = items(dialog);
            keptName = child<QComboBox>(dialog, "taskNameCombo")->currentText();
            clickChild(dialog, "incomeRadio");
            backToIncome = items(dialog);
            clickChild(dialog, "expenseRadio");
        }
    });
    const EditorOutcome outcome = MoneyFlowDialog::addMoneyFlow(world.store(), projectId, 0, nullptr);
    InvoiceDialog::addInvoice(world.store(), projectId, nullptr);

    QCOMPARE(incomeList, (QStringList{"Billing", "Build", "Design"}));
    QCOMPARE(expenseList, (QStringList{"Build", "Design"}));
    QCOMPARE(backToIncome, incomeList);
    QCOMPARE(keptName, QStringLiteral("Custom fee"));
    QCOMPARE(invoiceList, expenseList);
    const MoneyFlowRecord stored = world.store().GetMoneyFlow(outcome.identifier);
    QCOMPARE(stored.name, QByteArray("Custom fee"));
    QCOMPARE(stored.kind, 1);
}

void MoneyDialogsTest::refusalKeepsTheDialogOpen_data()
{
    QTest::addColumn<bool>("invoice");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message"); // a part of it; "could not be saved": the store fails
    dataRow("lone point", false, QByteArray("amountEdit"), ".", "The Amount field");
    dataRow("two points pasted", false, QByteArray("taxEdit"), "1.2.3", "The Tax Percentage field");
    dataRow("money sign", false, QByteArray("amountEdit"), "$12", "The Amount field");
    dataRow("minus pasted", true, QByteArray("amountEdit"), "-", "The Invoice Amount field");
    dataRow("emptied", true, QByteArray("taxEdit"), "", "The Tax (%) field");
    dataRow("income not stored", false, QByteArray("amountEdit"), "75", "could not be saved");
    dataRow("invoice not stored", true, QByteArray("amountEdit"), "75", "could not be saved");
}

void MoneyDialogsTest::refusalKeepsTheDialogOpen()
{
    QFETCH(bool, invoice);
    QFETCH(QByteArray, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    const bool storeFails = message == QStringLiteral("could not be saved");
    if (storeFails) {
        // A file where the data folder should be: nothing can be written below it.
        const QString blocked = world.pickedFolder() + QStringLiteral("/blocked");
        makeFile(blocked);
        world.store().setWorkingDirectory(blocked + QStringLiteral("/Korvane"));
    }
    QString shown;
    int refusedResult = -1;
    // The dialog is gone when the run returns: keep the focused field's name, not the widget.
    QString focusAfterRefusal;
    QString typedKept;
    qsizetype storedAfterRefusal = -1;
    answerDialogs("okButton", [&](QDialog& dialog) {
        setText(dialog, "taskNameCombo", QStringLiteral("Deposit"));
        setText(dialog, field.constData(), text);
        clickChild(dialog, "okButton");
        refusedResult = dialog.result();
        shown = onlyMessage();
        focusAfterRefusal = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
        typedKept = child<QLineEdit>(dialog, field.constData())->text();
        storedAfterRefusal = dataFiles(world).size();
        if (storeFails)
            world.store().setWorkingDirectory(world.dataFolder());
        else
            setText(dialog, field.constData(), QStringLiteral("5"));
    });
    const qsizetype filesBefore = dataFiles(world).size();
    const EditorOutcome outcome = runDialog(world, projectId, invoice);
    QCOMPARE(refusedResult, int(QDialog::Rejected));
    QVERIFY2(shown.contains(message), qPrintable(shown));
    if (storeFails) {
        QVERIFY2(shown.contains(QStringLiteral("blocked")), qPrintable(shown));
        QCOMPARE(typedKept, text);
    } else {
        QCOMPARE(focusAfterRefusal, QString::fromLatin1(field));
    }
    QCOMPARE(storedAfterRefusal, filesBefore);
    // Corrected, the same dialog stores the record.
    QVERIFY(outcome.finished);
    QCOMPARE(dataFiles(world).size(), filesBefore + 1);
    if (storeFails) {
        const double amount = invoice ? world.store().GetInvoice(outcome.identifier).amount
                                      : world.store().GetMoneyFlow(outcome.identifier).amount;
        QCOMPARE(amount, 75.0);
    }
}

void MoneyDialogsTest::addresseeAndCurrencyGoThroughTheInvoiceRules()
{
    // The rules themselves are InvoiceRules' (RecordRulesTest); here the fields they fill and read.
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    InvoiceRecord invoice = invoiceOf(projectId, "Build", 10);
    invoice.addressee = "Mr . Lee";
    invoice.identifier = world.store().AddInvoice(invoice).identifier;

    QString shownSalutation, shownName;
    answerDialogs("okButton", [&](QDialog& dialog) {
        shownSalutation = child<QComboBox>(dialog, "salutationCombo")->currentText();
        shownName = child<QLineEdit>(dialog, "billingNameEdit")->text();
        setText(dialog, "salutationCombo", QStringLiteral("Dr ."));
        setText(dialog, "billingNameEdit", QStringLiteral(" Smith "));
        setText(dialog, "currencyCombo", QStringLiteral(" $ - "));
    });
    QVERIFY(InvoiceDialog::modifyInvoice(world.store(), invoice.identifier, nullptr).finished);
    QCOMPARE(shownSalutation, QStringLiteral("Mr ."));
    QCOMPARE(shownName, QStringLiteral(" Lee"));
    const InvoiceRecord stored = world.store().GetInvoice(invoice.identifier);
    QCOMPARE(stored.addressee, QByteArray("Dr .Smith"));
    QCOMPARE(stored.currencyText, QByteArray("$-US DOLLAR"));
}

void MoneyDialogsTest::amountInWordsFollowsFinalAmount_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<double>("net");
    QTest::addColumn<QByteArray>("words");
    dataRow("add", true, "1234", "0", 1234.0, QByteArray(" One  Thousand  Two  Hundred  and  Thirty  Four "));
    dataRow("modify tax", false, "200", "10", 180.0, QByteArray(" One  Hundred  and  Eighty "));
}

void MoneyDialogsTest::amountInWordsFollowsFinalAmount()
{
    QFETCH(bool, adding);
    QFETCH(QString, amount);
    QFETCH(QString, tax);
    QFETCH(double, net);
    QFETCH(QByteArray, words);
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    InvoiceRecord invoice = invoiceOf(projectId, "Build", 200);
    invoice.identifier = world.store().AddInvoice(invoice).identifier;
    QString wordsShown;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        // Typed without leaving the fields: nothing has refreshed the words yet.
        setText(dialog, "amountEdit", amount);
        setText(dialog, "taxEdit", tax);
        clickChild(dialog, "okButton");
        wordsShown = child<QPlainTextEdit>(dialog, "amountInWordsEdit")->toPlainText();
    });
    const EditorOutcome outcome =
        runDialog(world, projectId, true, adding ? QByteArray() : invoice.identifier);
    QVERIFY(outcome.finished);
    const InvoiceRecord stored = world.store().GetInvoice(outcome.identifier);
    QCOMPARE(stored.netAmount, net);
    QCOMPARE(stored.amountInWords, words);
    QCOMPARE(wordsShown, QString::fromLatin1(words));
}

void MoneyDialogsTest::pickedFilesAreStored()
{
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    const QString receipt = world.pickedFolder() + QStringLiteral("/receipt.pdf");
    const QString signature = world.pickedFolder() + QStringLiteral("/sign.png");
    QString pathShown;
    answerDialogs("okButton", [&](QDialog& dialog) {
        if (dialog.objectName() == QStringLiteral("InvoiceDialog")) {
            UserDialogs::setNextFileName(signature);
            clickChild(dialog, "signatureButton");
            UserDialogs::setNextFileName(QString());
            clickChild(dialog, "signatureButton");
        } else {
            UserDialogs::setNextFileName(receipt);
            clickChild(dialog, "filePathButton");
            UserDialogs::setNextFileName(QString());
            clickChild(dialog, "filePathButton");
            pathShown = child<QLineEdit>(dialog, "filePathEdit")->text();
        }
    });
    const EditorOutcome entry = MoneyFlowDialog::addMoneyFlow(world.store(), projectId, 0, nullptr);
    const EditorOutcome invoice = InvoiceDialog::addInvoice(world.store(), projectId, nullptr);
    QCOMPARE(pathShown, receipt);
    QCOMPARE(world.store().GetMoneyFlow(entry.identifier).filePath, receipt.toUtf8());
    QCOMPARE(world.store().GetInvoice(invoice.identifier).signatureImage, signature.toUtf8());
}

QTEST_MAIN(MoneyDialogsTest)
#include "MoneyDialogsTest.moc"

void MoneyDialogsTest::enterInAnOpenListDoesNotFinish_data()
{
    QTest::addColumn<bool>("invoice");
    dataRow("money flow", false);
    dataRow("invoice", true);
}

void MoneyDialogsTest::enterInAnOpenListDoesNotFinish()
{
    QFETCH(bool, invoice);
    GuiWorld world;
    const QByteArray projectId = world.addProject("Harbour");
    world.addTask(projectId, "Build");
    world.addTask(projectId, "Buy");
    QStringList finished;
    answerDialogs(nullptr, [&](QDialog& dialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (QComboBox* combo : dialog.findChildren<QComboBox*>()) {
            combo->setFocus();
            combo->showPopup();
            QTest::keyClick(combo->view(), Qt::Key_Down);
            QTest::keyClick(combo->view(), Qt::Key_Return);
            if (dialog.result() == QDialog::Accepted || !dialog.isVisible())
                finished << combo->objectName();
        }
    });
    runDialog(world, projectId, invoice);
    QCOMPARE(finished, QStringList());
}
