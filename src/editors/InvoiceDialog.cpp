#include "editors/InvoiceDialog.h"
#include "editors/ChangedElsewhereQuestion.h"

#include "editors/KeptText.h"
#include "editors/MoneyFields.h"
#include "editors/MoneyFlowDialog.h"
#include "editors/NumericEdit.h"
#include "editors/PageLayout.h"
#include "edits/InvoiceRules.h"
#include "edits/RecordDefaults.h"
#include "edits/RecordEdits.h"
#include "records/Text.h"
#include "store/AmountInWords.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <functional>
#include <limits>

namespace korvane {

using PageLayout::named;

namespace {

QPlainTextEdit* multiLine(QWidget* parent, const char* objectName, const QString& accessibleName)
{
    auto* edit = named(new QPlainTextEdit(parent), objectName, accessibleName);
    edit->setTabChangesFocus(true);
    return edit;
}

QString wordsOf(double net)
{
    return QString::fromLatin1(amountInWords(net));
}

QLabel* captionFor(QWidget* buddy, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

InvoiceDialog::InvoiceDialog(RecordStore& store, const InvoiceRecord& record, bool adding, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_record(record)
    , m_adding(adding)
    , m_signatureImage(record.signatureImage)
    , m_task(MoneyFields::editableCombo(this, "taskNameCombo", QStringLiteral("Task Name")))
    , m_invoiceNumber(named(new QLineEdit(this), "invoiceNumberEdit", QStringLiteral("Invoice Number")))
    , m_date(named(new QDateEdit(this), "invoiceDateEdit", QStringLiteral("Invoice Date")))
    , m_salutation(MoneyFields::editableCombo(this, "salutationCombo", QStringLiteral("Billing Person salutation")))
    , m_billingName(named(new QLineEdit(this), "billingNameEdit", QStringLiteral("Billing Person name")))
    , m_signatory(named(new QLineEdit(this), "signatoryEdit", QStringLiteral("Authorised Signatory")))
    , m_signatureButton(named(new QPushButton(QStringLiteral("Attac&h..."), this), "signatureButton",
                              QStringLiteral("Attach signature image")))
    , m_signatureStatus(named(new QLabel(this), "signatureStatusLabel", QStringLiteral("Signature status")))
    , m_amount(named(new NumericEdit(this), "amountEdit", QStringLiteral("Invoice Amount")))
    , m_tax(named(new NumericEdit(this), "taxEdit", QStringLiteral("Tax (%)")))
    , m_netAmount(named(new QLineEdit(this), "netAmountEdit", QStringLiteral("Net Amount")))
    , m_amountInWords(multiLine(this, "amountInWordsEdit", QStringLiteral("Amount in words")))
    , m_currency(MoneyFields::editableCombo(this, "currencyCombo", QStringLiteral("Currency Format")))
    , m_company(named(new QLineEdit(this), "companyEdit", QStringLiteral("Company")))
    , m_fromAddress(multiLine(this, "fromAddressEdit", QStringLiteral("Name and Address")))
    , m_subject(named(new QLineEdit(this), "subjectEdit", QStringLiteral("Invoice Subject")))
    , m_body(multiLine(this, "bodyEdit", QStringLiteral("Task Details")))
    , m_toAddress(multiLine(this, "toAddressEdit", QStringLiteral("Client Company Name and Address")))
    , m_okButton(named(new QPushButton(adding ? QStringLiteral("C&reate") : QStringLiteral("OK"), this), "okButton",
                       adding ? QStringLiteral("Create") : QStringLiteral("OK")))
    , m_cancelButton(named(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", QStringLiteral("Cancel")))
{
    setObjectName(QStringLiteral("InvoiceDialog"));
    setWindowTitle(adding ? QStringLiteral("Add Invoice") : QStringLiteral("Modify Invoice"));

    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(MoneyFields::shortDateFormat());
    m_salutation->addItems({QStringLiteral("Mr ."), QStringLiteral("Mrs ."), QStringLiteral("Dr ."),
                            QStringLiteral("Miss ."), QStringLiteral("Ms ."), QStringLiteral("Prof .")});
    m_currency->addItems({QStringLiteral("$    - US DOLLARS"), QStringLiteral("Rs. - INDIAN RUPEES")});
    m_netAmount->setReadOnly(true);
    m_netAmount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_amountInWords->setReadOnly(true);
    m_amountInWords->setFixedHeight(m_amountInWords->fontMetrics().lineSpacing() * 3 + 12);
    m_task->setMinimumWidth(240);
    m_billingName->setMinimumWidth(160);
    m_signatory->setMinimumWidth(160);
    m_amountInWords->setMinimumWidth(260);
    m_signatureButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_signatureButton->setAutoDefault(false);
    m_okButton->setDefault(true);
    m_cancelButton->setAutoDefault(false);

    auto* areas = new QGridLayout;
    areas->addWidget(buildDetailsArea(), 0, 0);
    areas->addWidget(buildPricingArea(), 0, 1);
    areas->addWidget(buildCreatorArea(), 1, 0);
    areas->addWidget(buildClientArea(), 1, 1);
    areas->setColumnStretch(0, 1);
    areas->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(areas);
    layout->addLayout(buttons);

    QWidget* const order[] = {m_task,      m_invoiceNumber, m_date,          m_salutation, m_billingName,
                              m_signatory, m_signatureButton, m_amount,       m_tax,        m_netAmount,
                              m_amountInWords, m_currency,   m_company,       m_fromAddress, m_subject,
                              m_body,      m_toAddress,     m_okButton,      m_cancelButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    MoneyFlowDialog::fillTaskNames(m_task, m_store, record.projectIdentifier, false);
    MoneyFields::showComboText(m_task, displayText(record.task));
    m_shownTask = m_task->currentText();
    KeptText::show(m_invoiceNumber, record.invoiceNumber);
    const QDateTime when = record.invoiceDate.toQDateTime();
    m_date->setDate(when.isValid() ? when.date() : QDate::currentDate());
    m_shownDate = m_date->date();
    showAddressee();
    KeptText::show(m_signatory, record.signatory);
    m_amount->setValue(record.amount);
    m_tax->setValue(record.taxPercentage);
    MoneyFields::showComboText(m_currency, displayText(record.currencyText));
    m_shownCurrency = m_currency->currentText();
    KeptText::show(m_company, record.company);
    KeptText::show(m_fromAddress, record.fromAddress);
    KeptText::show(m_subject, record.subject);
    KeptText::show(m_body, record.body);
    KeptText::show(m_toAddress, record.toAddress);
    showNetAmount();
    showSignatureStatus();

    connect(m_amount, &QLineEdit::editingFinished, this, &InvoiceDialog::showNetAmount);
    connect(m_tax, &QLineEdit::editingFinished, this, &InvoiceDialog::showNetAmount);
    connect(m_signatureButton, &QPushButton::clicked, this, &InvoiceDialog::chooseSignature);
    connect(m_okButton, &QPushButton::clicked, this, &InvoiceDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &InvoiceDialog::reject);
}

QWidget* InvoiceDialog::buildDetailsArea()
{
    auto* box = new QGroupBox(QStringLiteral("Invoice Details"), this);
    box->setObjectName(QStringLiteral("detailsGroup"));
    auto* form = new QFormLayout(box);
    form->addRow(captionFor(m_task, QStringLiteral("&Task Name"), box), m_task);
    form->addRow(captionFor(m_invoiceNumber, QStringLiteral("Invoice &Number"), box), m_invoiceNumber);
    form->addRow(captionFor(m_date, QStringLiteral("Invoice &Date"), box), m_date);
    auto* person = new QHBoxLayout;
    person->addWidget(m_salutation);
    person->addWidget(m_billingName, 1);
    m_salutation->setMinimumContentsLength(6);
    form->addRow(captionFor(m_salutation, QStringLiteral("&Billing Person"), box), person);
    auto* signatory = new QHBoxLayout;
    signatory->addWidget(m_signatory, 1);
    signatory->addWidget(m_signatureButton);
    form->addRow(captionFor(m_signatory, QStringLiteral("Authorised &Signatory"), box), signatory);
    form->addRow(QString(), m_signatureStatus);
    auto* note = new QLabel(QStringLiteral("Type the signatory's name in the box above\n"
                                           "and attach the signature image with Attach."),
                            box);
    note->setObjectName(QStringLiteral("signatureNoteLabel"));
    form->addRow(note);
    return box;
}

QWidget* InvoiceDialog::buildPricingArea()
{
    auto* box = new QGroupBox(QStringLiteral("Pricing Details"), this);
    box->setObjectName(QStringLiteral("pricingGroup"));
    auto* form = new QFormLayout(box);
    form->addRow(captionFor(m_amount, QStringLiteral("Invoice &Amount"), box), m_amount);
    form->addRow(captionFor(m_tax, QStringLiteral("Ta&x (%)"), box), m_tax);
    form->addRow(captionFor(m_netAmount, QStringLiteral("N&et Amount"), box), m_netAmount);
    form->addRow(captionFor(m_amountInWords, QStringLiteral("Amount in &words."), box), m_amountInWords);
    form->addRow(captionFor(m_currency, QStringLiteral("&Currency Format"), box), m_currency);
    auto* hint = new QLabel(QStringLiteral("Example: $ - US DOLLAR "), box);
    hint->setObjectName(QStringLiteral("currencyHintLabel"));
    form->addRow(QString(), hint);
    return box;
}

QWidget* InvoiceDialog::buildCreatorArea()
{
    auto* box = new QGroupBox(QStringLiteral("Invoice Created by."), this);
    box->setObjectName(QStringLiteral("creatorGroup"));
    auto* form = new QFormLayout(box);
    form->addRow(captionFor(m_company, QStringLiteral("Com&pany"), box), m_company);
    form->addRow(captionFor(m_fromAddress, QStringLiteral("Na&me && Address"), box), m_fromAddress);
    form->addRow(captionFor(m_subject, QStringLiteral("Invoice S&ubject"), box), m_subject);
    form->addRow(captionFor(m_body, QStringLiteral("Task Detai&ls"), box), m_body);
    m_fromAddress->setFixedHeight(m_fromAddress->fontMetrics().lineSpacing() * 4 + 12);
    m_body->setFixedHeight(m_body->fontMetrics().lineSpacing() * 5 + 12);
    return box;
}

QWidget* InvoiceDialog::buildClientArea()
{
    auto* box = new QGroupBox(QStringLiteral("Invoice raised to - Client Details"), this);
    box->setObjectName(QStringLiteral("clientGroup"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(captionFor(m_toAddress, QStringLiteral("C&ompany Name && Address"), box));
    layout->addWidget(m_toAddress, 1);
    return box;
}

void InvoiceDialog::showAddressee()
{
    const InvoiceRules::Addressee addressee = InvoiceRules::splitAddressee(m_record.addressee);
    MoneyFields::showComboText(m_salutation, addressee.salutation);
    m_billingName->setMaxLength(std::numeric_limits<int>::max());
    m_billingName->setText(addressee.name);
    m_shownSalutation = m_salutation->currentText();
    m_shownBillingName = m_billingName->text();
}

void InvoiceDialog::showSignatureStatus()
{
    m_signatureStatus->setText(m_signatureImage.isEmpty() ? QStringLiteral("Signature Not Attached")
                                                          : QStringLiteral("Signature Attached"));
    m_signatureStatus->setToolTip(displayText(m_signatureImage));
}

void InvoiceDialog::showNetAmount()
{
    const std::optional<double> net = MoneyFields::shownNet(m_amount, m_tax, m_adding, m_record.netAmount);
    if (!net) {
        // Nothing to show while either field holds no number; OK names the field.
        m_netAmount->clear();
        m_amountInWords->clear();
        return;
    }
    m_netAmount->setText(QString::asprintf("%.2f", *net));
    m_amountInWords->setPlainText(wordsOf(*net));
}

void InvoiceDialog::chooseSignature()
{
    const QString current = displayText(m_signatureImage);
    const QString path = UserDialogs::openFileName(this, QStringLiteral("Attach Signature"),
                                                   current.isEmpty() ? QString() : QFileInfo(current).absolutePath(),
                                                   QStringLiteral("All Files (*)"));
    if (!path.isEmpty())
        m_signatureImage = storedText(QFileInfo(path).absoluteFilePath());
    showSignatureStatus();
}

QByteArray InvoiceDialog::takeAddressee() const
{
    const QString salutation = m_salutation->currentText();
    const QString name = m_billingName->text();
    if (!m_adding && salutation == m_shownSalutation && name == m_shownBillingName)
        return m_record.addressee;
    return InvoiceRules::joinAddressee(salutation, name);
}

bool InvoiceDialog::takeValues(InvoiceRecord& record)
{
    const std::optional<double> amount = MoneyFields::numberOf(m_amount, QStringLiteral("Invoice Amount"), this);
    if (!amount)
        return false;
    const std::optional<double> tax = MoneyFields::numberOf(m_tax, QStringLiteral("Tax (%)"), this);
    if (!tax)
        return false;

    // On Modify a field the user left alone keeps its stored bytes; a typed one is cleaned up.
    const auto line = [this](const QLineEdit* edit, const QByteArray& stored,
                             const std::function<QByteArray(const QString&)>& clean) {
        const QByteArray kept = KeptText::take(edit);
        return !m_adding && kept == stored ? stored : clean(edit->text());
    };
    const auto orDefault = [](const char* fallback) {
        return [fallback](const QString& text) { return RecordDefaults::trimmedOr(text, fallback); };
    };

    const QString task = m_task->currentText();
    if (m_adding || task != m_shownTask) {
        const QString trimmed = task.trimmed();
        // A name picked from the list keeps the bytes its task stores.
        const int index = m_task->findText(trimmed, Qt::MatchExactly | Qt::MatchCaseSensitive);
        record.task = index >= 0 && !trimmed.isEmpty() ? m_task->itemData(index).toByteArray()
                                                       : RecordDefaults::taskName(trimmed);
    }
    record.invoiceNumber = line(m_invoiceNumber, m_record.invoiceNumber, orDefault("0"));
    record.invoiceDate = MoneyFields::takeDate(m_date, m_shownDate, m_record.invoiceDate);
    record.addressee = takeAddressee();
    record.signatory = line(m_signatory, m_record.signatory, orDefault("Unknown"));
    record.signatureImage = m_signatureImage;
    record.company = KeptText::take(m_company);
    record.subject = KeptText::take(m_subject);
    record.body = KeptText::take(m_body);
    const QByteArray from = KeptText::take(m_fromAddress);
    record.fromAddress = !m_adding && from == m_record.fromAddress ? from
                                                                     : storedText(m_fromAddress->toPlainText().trimmed());
    const QByteArray to = KeptText::take(m_toAddress);
    record.toAddress = !m_adding && to == m_record.toAddress ? to : storedText(m_toAddress->toPlainText().trimmed());
    const QString currency = m_currency->currentText();
    if (m_adding || currency != m_shownCurrency)
        record.currencyText = storedText(InvoiceRules::cleanCurrencyText(currency));

    record.amount = *amount;
    record.taxPercentage = *tax;
    // Untouched amounts keep the stored net amount exactly; any change computes it again.
    if (MoneyFields::netChanged(m_amount, m_tax, m_adding))
        record.netAmount = InvoiceRules::netAmount(record.amount, record.taxPercentage);
    InvoiceRules::finish(record);
    return true;
}

bool InvoiceDialog::store(const InvoiceRecord& record)
{
    const auto save = [&] {
        return m_adding ? RecordEdits::add(m_store, record) : RecordEdits::modify(m_store, record);
    };
    EditResult result = save();
    ChangedElsewhereQuestion::ask(this, m_store, result, save);
    const QString& error = result.error;
    m_storedIdentifier = result.identifier;
    if (error.isEmpty())
        return true;
    m_storedIdentifier.clear();
    if (result.changedElsewhere)
        return false;
    UserDialogs::message(this,
                         QStringLiteral("The invoice \"%1\" could not be saved.\n%2")
                             .arg(displayText(record.invoiceNumber), error),
                         UserDialogs::Icon::Critical);
    return false;
}

void InvoiceDialog::accept()
{
    InvoiceRecord record = m_record;
    if (!takeValues(record))
        return;
    m_netAmount->setText(QString::asprintf("%.2f", record.netAmount));
    m_amountInWords->setPlainText(QString::fromLatin1(record.amountInWords));
    if (!store(record))
        return;
    QDialog::accept();
}

EditorOutcome InvoiceDialog::addInvoice(RecordStore& store, const QByteArray& projectId, QWidget* parent)
{
    InvoiceDialog dialog(store, InvoiceRules::newInvoice(projectId), true, parent);
    return MoneyFields::run(dialog, dialog.m_storedIdentifier);
}

EditorOutcome InvoiceDialog::modifyInvoice(RecordStore& store, const QByteArray& invoiceId, QWidget* parent)
{
    const InvoiceRecord* record = store.invoices().find(invoiceId);
    if (!record)
        return {};
    InvoiceDialog dialog(store, *record, false, parent);
    return MoneyFields::run(dialog, dialog.m_storedIdentifier);
}

} // namespace korvane
