#include "editors/CurrencyDialog.h"

#include "edits/ProjectEdits.h"
#include "records/Text.h"
#include "ui/UserDialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kListWidth = 240;

} // namespace

QString CurrencyDialog::choose(const QString& current, QWidget* parent, RecordStore* store)
{
    CurrencyDialog dialog(current, parent, store);
    const int result = UserDialogs::exec(dialog);
    // A dialog answered without being closed still has to save its list, as every close does.
    if (!dialog.m_finished)
        dialog.finish(result);
    return dialog.chosenText();
}

CurrencyDialog::CurrencyDialog(const QString& current, QWidget* parent, RecordStore* store)
    : QDialog(parent)
    , m_store(store)
    , m_list(CurrencyList::load())
    , m_result(current)
{
    setWindowTitle(tr("Currency Formats"));
    setObjectName(QStringLiteral("currencyDialog"));

    auto* label = new QLabel(tr("&Currency:"), this);
    m_edit = new QLineEdit(current, this);
    m_edit->setObjectName(QStringLiteral("currencyEdit"));
    m_edit->setAccessibleName(tr("Currency format"));
    label->setBuddy(m_edit);

    auto* addButton = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogNewFolder), tr("A&DD"), this);
    addButton->setObjectName(QStringLiteral("currencyAddButton"));
    addButton->setAccessibleName(tr("Add currency format"));
    addButton->setToolTip(tr("Adds the typed format to the list"));
    addButton->setAutoDefault(false);

    m_view = new QListWidget(this);
    m_view->setObjectName(QStringLiteral("currencyList"));
    m_view->setAccessibleName(tr("Currency formats"));
    m_view->setFixedWidth(kListWidth + 2 * m_view->frameWidth());
    m_view->setUniformItemSizes(true);
    QFont rowFont = m_view->font();
    rowFont.setPixelSize(20);
    rowFont.setWeight(QFont::Light);
    m_view->setFont(rowFont);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("currencyButtons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("currencyOkButton"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("currencyCancelButton"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));

    auto* editRow = new QHBoxLayout;
    editRow->addWidget(label);
    editRow->addWidget(m_edit, 1);
    editRow->addWidget(addButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(editRow);
    layout->addWidget(m_view, 1, Qt::AlignHCenter);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_edit, addButton);
    setTabOrder(addButton, m_view);
    setTabOrder(m_view, buttons);

    m_marked = m_list.findOrAdd(storedText(current));
    fillList();

    connect(addButton, &QPushButton::clicked, this, &CurrencyDialog::addFromEdit);
    connect(m_view, &QListWidget::itemClicked, this, &CurrencyDialog::takeRow);
    // Moving through the rows with the arrow keys picks them as a click does.
    connect(m_view, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) {
                if (item && m_view->row(item) != m_marked)
                    takeRow(item);
            });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CurrencyDialog::done(int result)
{
    if (!m_finished)
        finish(result);
    QDialog::done(result);
}

void CurrencyDialog::finish(int result)
{
    m_finished = true;
    if (result == QDialog::Accepted)
        m_result = m_edit->text();
    const QString error = m_store ? ProjectEdits::saveCurrencyList(*m_store, m_list).error : m_list.save();
    if (!error.isEmpty())
        UserDialogs::message(this, tr("The currency formats could not be saved.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
}

void CurrencyDialog::addFromEdit()
{
    const QString text = m_edit->text();
    if (text.isEmpty())
        return;
    m_result = text;
    const QByteArray bytes = storedText(text);
    if (m_list.contains(bytes)) {
        UserDialogs::message(this, tr("Currency Format All Ready Exist"));
        return;
    }
    markRow(m_list.findOrAdd(bytes));
}

void CurrencyDialog::takeRow(QListWidgetItem* item)
{
    if (!item)
        return;
    const int row = m_view->row(item);
    m_marked = row;
    m_result = displayText(m_list.rows().at(row));
    m_edit->setText(m_result);
}

void CurrencyDialog::markRow(qsizetype index)
{
    m_marked = index;
    fillList();
}

void CurrencyDialog::fillList()
{
    const QSignalBlocker blocker(m_view);
    m_view->clear();
    for (const QByteArray& row : m_list.rows()) {
        auto* item = new QListWidgetItem(displayText(row), m_view);
        item->setData(Qt::AccessibleTextRole, displayText(row));
    }
    if (m_marked >= 0 && m_marked < m_view->count()) {
        m_view->setCurrentRow(int(m_marked));
        m_view->scrollToItem(m_view->item(int(m_marked)));
    }
}

} // namespace korvane
