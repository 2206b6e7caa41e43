#include "editors/MoneyFlowDialog.h"
#include "editors/ChangedElsewhereQuestion.h"
#include "edits/InvoiceRules.h"
#include "edits/RecordDefaults.h"
#include "edits/RecordEdits.h"

#include "editors/MoneyFields.h"
#include "editors/NumericEdit.h"
#include "editors/PageLayout.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace korvane {

using PageLayout::named;

namespace {

} // namespace

MoneyFlowDialog::MoneyFlowDialog(RecordStore& store, const MoneyFlowRecord& record, bool adding, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_record(record)
    , m_adding(adding)
    , m_kind(record.kind)
    , m_filePath(record.filePath)
    , m_heading(new QLabel(this))
    , m_taskName(MoneyFields::editableCombo(this, "taskNameCombo", QStringLiteral("Task Name")))
    , m_amount(named(new NumericEdit(this), "amountEdit", QStringLiteral("Amount")))
    , m_tax(named(new NumericEdit(this), "taxEdit", QStringLiteral("Tax Percentage")))
    , m_netAmount(named(new QLineEdit(this), "netAmountEdit", QStringLiteral("Net Amount")))
    , m_date(named(new QDateEdit(this), "transactionDateEdit", QStringLiteral("Transaction Date")))
    , m_filePathEdit(named(new QLineEdit(this), "filePathEdit", QStringLiteral("File Path")))
    , m_fileButton(named(new QPushButton(QStringLiteral("&Browse..."), this), "filePathButton",
                         QStringLiteral("Choose the linked file")))
    , m_income(named(new QRadioButton(QStringLiteral("&Income"), this), "incomeRadio", QStringLiteral("Income")))
    , m_expense(named(new QRadioButton(QStringLiteral("&Expense"), this), "expenseRadio", QStringLiteral("Expense")))
    , m_okButton(named(new QPushButton(QStringLiteral("OK"), this), "okButton", QStringLiteral("OK")))
    , m_cancelButton(named(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", QStringLiteral("Cancel")))
{
    setObjectName(QStringLiteral("MoneyFlowDialog"));
    setWindowTitle(adding ? QStringLiteral("Add Income/Expense") : QStringLiteral("Modify Income/Expense"));
    buildLayout();

    m_netAmount->setReadOnly(true);
    m_netAmount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_filePathEdit->setReadOnly(true);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(MoneyFields::shortDateFormat());
    m_fileButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_fileButton->setAutoDefault(false);
    m_okButton->setDefault(true);
    m_cancelButton->setAutoDefault(false);

    // A stored kind other than income or expense checks neither button and is kept unless one is chosen.
    m_income->setChecked(m_kind == MoneyFlowRecord::Income);
    m_expense->setChecked(m_kind == MoneyFlowRecord::Expense);

    m_amount->setValue(record.amount);
    m_tax->setValue(record.taxPercentage);
    const QDateTime when = record.transactionDate.toQDateTime();
    m_date->setDate(when.isValid() ? when.date() : QDate::currentDate());
    m_shownDate = m_date->date();
    m_shownName = displayText(record.name);
    fillTaskNames(m_taskName, m_store, m_record.projectIdentifier, m_kind == MoneyFlowRecord::Income);
    MoneyFields::showComboText(m_taskName, m_shownName);
    m_shownName = m_taskName->currentText();
    showValues();

    connect(m_amount, &QLineEdit::editingFinished, this, &MoneyFlowDialog::showNetAmount);
    connect(m_tax, &QLineEdit::editingFinished, this, &MoneyFlowDialog::showNetAmount);
    connect(m_income, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseKind(MoneyFlowRecord::Income);
    });
    connect(m_expense, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            chooseKind(MoneyFlowRecord::Expense);
    });
    connect(m_fileButton, &QPushButton::clicked, this, &MoneyFlowDialog::chooseFile);
    connect(m_okButton, &QPushButton::clicked, this, &MoneyFlowDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &MoneyFlowDialog::reject);
}

void MoneyFlowDialog::buildLayout()
{
    m_heading->setObjectName(QStringLiteral("headingLabel"));
    m_heading->setAlignment(Qt::AlignCenter);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    m_heading->setFont(headingFont);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const auto addRow = [this, form](const QString& caption, QWidget* buddy, QLayout* field = nullptr) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(buddy);
        if (field)
            form->addRow(label, field);
        else
            form->addRow(label, buddy);
    };
    addRow(QStringLiteral("&Task Name :"), m_taskName);
    addRow(QStringLiteral("&Amount :"), m_amount);
    addRow(QStringLiteral("Ta&x Percentage :"), m_tax);
    addRow(QStringLiteral("&Net Amount :"), m_netAmount);
    addRow(QStringLiteral("Transaction &Date :"), m_date);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_filePathEdit, 1);
    fileRow->addWidget(m_fileButton);
    addRow(QStringLiteral("&File Path :"), m_filePathEdit, fileRow);

    auto* kindBox = new QGroupBox(this);
    kindBox->setObjectName(QStringLiteral("kindGroup"));
    kindBox->setAccessibleName(QStringLiteral("Income or expense"));
    auto* kindRow = new QHBoxLayout(kindBox);
    kindRow->addStretch(1);
    kindRow->addWidget(m_income);
    kindRow->addSpacing(24);
    kindRow->addWidget(m_expense);
    kindRow->addStretch(1);
    auto* kinds = new QButtonGroup(this);
    kinds->addButton(m_income);
    kinds->addButton(m_expense);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addWidget(kindBox);
    layout->addLayout(buttons);

    m_taskName->setMinimumWidth(260);
    m_filePathEdit->setMinimumWidth(200);
    setTabOrder(m_taskName, m_amount);
    setTabOrder(m_amount, m_tax);
    setTabOrder(m_tax, m_netAmount);
    setTabOrder(m_netAmount, m_date);
    setTabOrder(m_date, m_filePathEdit);
    setTabOrder(m_filePathEdit, m_fileButton);
    setTabOrder(m_fileButton, m_income);
    setTabOrder(m_income, m_expense);
    setTabOrder(m_expense, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
}

void MoneyFlowDialog::fillTaskNames(QComboBox* combo, const RecordStore& store, const QByteArray& projectId,
                                    bool withInvoiceTasks)
{
    QList<std::pair<QString, QByteArray>> names;
    const auto offer = [&names](const QByteArray& bytes) {
        const QString name = displayText(bytes);
        const bool known = std::any_of(names.cbegin(), names.cend(), [&name](const auto& entry) {
            return entry.first.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!known)
            names.append({name, bytes});
    };
    for (const TaskRecord* task : store.ofProject<TaskRecord>(projectId))
        offer(task->name);
    if (withInvoiceTasks) {
        for (const InvoiceRecord* invoice : store.ofProject<InvoiceRecord>(projectId))
            offer(invoice->task);
    }
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.first < b.first;
    });

    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const auto& [name, bytes] : std::as_const(names))
        combo->addItem(name, bytes);
}

void MoneyFlowDialog::showValues()
{
    m_heading->setText(m_kind == MoneyFlowRecord::Income ? QStringLiteral("Income") : QStringLiteral("Expense"));
    m_heading->setAccessibleName(m_heading->text());
    m_filePathEdit->setText(displayText(m_filePath));
    m_filePathEdit->setCursorPosition(0);
    showNetAmount();
}

void MoneyFlowDialog::showNetAmount()
{
    const std::optional<double> net = MoneyFields::shownNet(m_amount, m_tax, m_adding, m_record.netAmount);
    // Nothing to show while either field holds no number; OK names the field.
    if (net)
        m_netAmount->setText(QString::asprintf("%.2f", *net));
    else
        m_netAmount->clear();
}

void MoneyFlowDialog::chooseKind(int kind)
{
    const QString typedName = m_taskName->currentText();
    m_kind = kind;
    fillTaskNames(m_taskName, m_store, m_record.projectIdentifier, m_kind == MoneyFlowRecord::Income);
    MoneyFields::showComboText(m_taskName, typedName);
    showValues();
}

void MoneyFlowDialog::chooseFile()
{
    const QString current = displayText(m_filePath);
    const QString path = UserDialogs::openFileName(this, QStringLiteral("Choose the Linked File"),
                                                   current.isEmpty() ? QString() : QFileInfo(current).absolutePath(),
                                                   QStringLiteral("All Files (*)"));
    if (path.isEmpty())
        return;
    m_filePath = storedText(QFileInfo(path).absoluteFilePath());
    showValues();
}

QByteArray MoneyFlowDialog::takeTaskName() const
{
    const QString text = m_taskName->currentText();
    if (!m_adding && text == m_shownName)
        return m_record.name;
    if (text.isEmpty())
        return RecordDefaults::taskName(text);
    // A name picked from the list keeps the bytes its task or invoice stores.
    const int index = m_taskName->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        return m_taskName->itemData(index).toByteArray();
    return storedText(text);
}

bool MoneyFlowDialog::takeValues(MoneyFlowRecord& record)
{
    const std::optional<double> amount = MoneyFields::numberOf(m_amount, QStringLiteral("Amount"), this);
    if (!amount)
        return false;
    const std::optional<double> tax = MoneyFields::numberOf(m_tax, QStringLiteral("Tax Percentage"), this);
    if (!tax)
        return false;
    record.name = takeTaskName();
    record.amount = *amount;
    record.taxPercentage = *tax;
    // Untouched amounts keep the stored net amount exactly; any change computes it again.
    if (MoneyFields::netChanged(m_amount, m_tax, m_adding))
        record.netAmount = InvoiceRules::netAmount(record.amount, record.taxPercentage);
    record.transactionDate = MoneyFields::takeDate(m_date, m_shownDate, m_record.transactionDate);
    record.kind = m_kind;
    record.filePath = m_filePath;
    return true;
}

bool MoneyFlowDialog::store(const MoneyFlowRecord& record)
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
    const QString what = m_kind == MoneyFlowRecord::Income ? QStringLiteral("income") : QStringLiteral("expense");
    UserDialogs::message(this,
                         QStringLiteral("The %1 entry \"%2\" could not be saved.\n%3")
                             .arg(what, displayText(record.name), error),
                         UserDialogs::Icon::Critical);
    return false;
}

void MoneyFlowDialog::accept()
{
    MoneyFlowRecord record = m_record;
    if (!takeValues(record))
        return;
    showValues();
    if (!store(record))
        return;
    QDialog::accept();
}

EditorOutcome MoneyFlowDialog::addMoneyFlow(RecordStore& store, const QByteArray& projectId, int kind, QWidget* parent)
{
    MoneyFlowRecord record = emptyRecord<MoneyFlowRecord>();
    record.projectIdentifier = projectId;
    record.kind = kind == MoneyFlowRecord::Income ? MoneyFlowRecord::Income : MoneyFlowRecord::Expense;
    MoneyFlowDialog dialog(store, record, true, parent);
    return MoneyFields::run(dialog, dialog.m_storedIdentifier);
}

EditorOutcome MoneyFlowDialog::modifyMoneyFlow(RecordStore& store, const QByteArray& moneyFlowId, QWidget* parent)
{
    const MoneyFlowRecord* record = store.moneyFlows().find(moneyFlowId);
    if (!record)
        return {};
    MoneyFlowDialog dialog(store, *record, false, parent);
    return MoneyFields::run(dialog, dialog.m_storedIdentifier);
}

} // namespace korvane
