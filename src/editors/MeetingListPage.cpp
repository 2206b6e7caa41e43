#include "editors/MeetingListPage.h"
#include "edits/MeetingEdits.h"

#include "store/SafeFile.h"
#include "ui/UserDialogs.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace korvane {

MeetingListPage::MeetingListPage(RecordStore& store, ListFile file, const char* name, const Texts& texts,
                                 QAbstractItemView* view, QWidget* parent)
    : QWizardPage(parent)
    , m_store(store)
    , m_file(file)
    , m_listNoun(texts.listNoun)
    , m_view(view)
{
    const QString prefix = QLatin1String(name);
    setObjectName(prefix + QStringLiteral("Page"));
    setTitle(texts.title);
    setSubTitle(texts.subTitle);

    m_view->setParent(this);
    m_view->setObjectName(prefix + QStringLiteral("List"));
    m_view->setAccessibleName(texts.listName);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->installEventFilter(this);

    auto* label = new QLabel(texts.caption, this);
    label->setBuddy(m_view);

    const auto makeButton = [&](const QString& text, const QString& accessible, const char* suffix) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(prefix + QLatin1String(suffix));
        button->setAccessibleName(accessible.arg(texts.itemNoun));
        return button;
    };
    m_add = makeButton(tr("&ADD"), tr("Add %1"), "AddButton");
    m_modify = makeButton(tr("&MODIFY"), tr("Modify %1"), "ModifyButton");
    m_delete = makeButton(tr("&DELETE"), tr("Delete %1"), "DeleteButton");

    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(label->sizeHint().height());
    buttons->addWidget(m_add);
    buttons->addWidget(m_modify);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout;
    column->addWidget(label);
    column->addWidget(m_view, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(column, 1);
    layout->addLayout(buttons);

    setTabOrder(m_view, m_add);
    setTabOrder(m_add, m_modify);
    setTabOrder(m_modify, m_delete);
    setFocusProxy(m_view);

    connect(m_add, &QPushButton::clicked, this, &MeetingListPage::addItem);
    connect(m_modify, &QPushButton::clicked, this, &MeetingListPage::modifyItem);
    connect(m_delete, &QPushButton::clicked, this, &MeetingListPage::deleteItem);
    connect(m_view, &QAbstractItemView::doubleClicked, this, &MeetingListPage::modifyItem);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &MeetingListPage::updateButtons);
    updateButtons();
}

void MeetingListPage::setMeetingIdentifier(const QByteArray& identifier)
{
    m_meetingIdentifier = identifier;
}

void MeetingListPage::initializePage()
{
    if (m_loaded)
        return;
    m_loaded = true;
    const bool read = readItems();
    const QString path = m_store.fileName(m_file, m_meetingIdentifier);
    if (!read && QFileInfo::exists(path))
        UserDialogs::message(this,
                             tr("The %1 of this meeting could not be read, so the list starts empty.\n%2")
                                 .arg(m_listNoun, path),
                             UserDialogs::Icon::Warning);
    showItems(itemCount() == 0 ? -1 : 0);
}

void MeetingListPage::noteRead()
{
    m_store.noteListRead(m_file, m_meetingIdentifier);
}

QString MeetingListPage::writeFile() const
{
    return MeetingEdits::writeList(m_store, m_file, m_meetingIdentifier, encodedItems()).error;
}

bool MeetingListPage::validatePage()
{
    const QString error = writeFile();
    if (error.isEmpty())
        return true;
    UserDialogs::message(this, tr("The %1 could not be saved.\n%2").arg(m_listNoun, error),
                         UserDialogs::Icon::Critical);
    return false;
}

QFormLayout* MeetingListPage::itemDialogForm(QDialog& dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    return form;
}

bool MeetingListPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteItem();
        return true;
    }
    return QWizardPage::eventFilter(watched, event);
}

void MeetingListPage::addItem()
{
    if (editItem(-1))
        showItems(itemCount() - 1);
}

void MeetingListPage::modifyItem()
{
    const qsizetype row = currentRow();
    if (row >= 0 && editItem(row))
        showItems(row);
}

void MeetingListPage::deleteItem()
{
    const qsizetype row = currentRow();
    if (row < 0 || !UserDialogs::askYesNo(this, tr("Do you want to delete this?")))
        return;
    removeItem(row);
    showItems(std::min(row, itemCount() - 1));
}

qsizetype MeetingListPage::currentRow() const
{
    const int row = m_view->currentIndex().row();
    return row >= 0 && row < itemCount() ? row : -1;
}

void MeetingListPage::showItems(qsizetype current)
{
    fillList();
    if (current >= 0 && current < m_view->model()->rowCount())
        m_view->setCurrentIndex(m_view->model()->index(int(current), 0));
    updateButtons();
}

void MeetingListPage::updateButtons()
{
    const bool selected = m_view->currentIndex().isValid();
    m_modify->setEnabled(selected);
    m_delete->setEnabled(selected);
}

} // namespace korvane
