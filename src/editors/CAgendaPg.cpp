#include "editors/CAgendaPg.h"

#include "editors/KeptText.h"
#include "records/Clock.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "shell/UserDialogs.h"
#include "store/DisplayFormat.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "views/DetailsTrees.h"
#include "views/widgets/TreeIcons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kNameColumn = 0;
constexpr int kTimeColumn = 1;

QPushButton* makeButton(const QString& text, const QString& accessible, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessible);
    return button;
}

/**
 * Runs the "Add Agenda" / "Modify Agenda" dialog on an item; true when the user pressed OK, with
 * the item changed. Only the time of day can be picked: the item keeps its date.
 */
bool editAgendaItem(QWidget* parent, const QString& title, AgendaRecord& item)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("agendaDialog"));
    dialog.setWindowTitle(title);

    auto* name = new QLineEdit(&dialog);
    name->setObjectName(QStringLiteral("agendaNameEdit"));
    name->setAccessibleName(CAgendaPg::tr("Name"));
    name->setMinimumWidth(260);
    KeptText::show(name, item.name);

    const QDateTime stored = item.time.toQDateTime();
    const QDateTime base = stored.isValid() ? stored : Clock::now();
    auto* time = new QTimeEdit(base.time(), &dialog);
    time->setObjectName(QStringLiteral("agendaTimeEdit"));
    time->setAccessibleName(CAgendaPg::tr("Time"));
    time->setDisplayFormat(QStringLiteral("hh:mm AP"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* form = new QFormLayout;
    auto* nameLabel = new QLabel(CAgendaPg::tr("&Name : "), &dialog);
    nameLabel->setBuddy(name);
    auto* timeLabel = new QLabel(CAgendaPg::tr("&Time : "), &dialog);
    timeLabel->setBuddy(time);
    form->addRow(nameLabel, name);
    form->addRow(timeLabel, time);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    name->setFocus();

    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return false;

    item.name = KeptText::take(name);
    if (item.name.isEmpty())
        item.name = "Unknown";
    const bool untouched = time->time() == base.time() && (!stored.isValid() || base == stored);
    if (!untouched)
        item.time = DateTime::fromQDateTime(QDateTime(base.date(), time->time()));
    return true;
}

} // namespace

CAgendaPg::CAgendaPg(RecordStore& store, QWidget* parent)
    : QWizardPage(parent)
    , m_store(store)
    , m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("agendaPage"));
    setTitle(tr("Agenda"));
    setSubTitle(tr("Important Agenda ..."));

    m_list->setObjectName(QStringLiteral("agendaList"));
    m_list->setAccessibleName(tr("Agenda items"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({tr("Agenda"), tr("Time")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(kTimeColumn, QHeaderView::ResizeToContents);
    m_list->installEventFilter(this);

    auto* label = new QLabel(tr("Agenda &items:"), this);
    label->setBuddy(m_list);

    m_add = makeButton(tr("&ADD"), tr("Add agenda item"), "agendaAddButton", this);
    m_modify = makeButton(tr("&MODIFY"), tr("Modify agenda item"), "agendaModifyButton", this);
    m_delete = makeButton(tr("&DELETE"), tr("Delete agenda item"), "agendaDeleteButton", this);

    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(label->sizeHint().height());
    buttons->addWidget(m_add);
    buttons->addWidget(m_modify);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    auto* column = new QVBoxLayout;
    column->addWidget(label);
    column->addWidget(m_list, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(column, 1);
    layout->addLayout(buttons);

    setTabOrder(m_list, m_add);
    setTabOrder(m_add, m_modify);
    setTabOrder(m_modify, m_delete);
    setFocusProxy(m_list);

    connect(m_add, &QPushButton::clicked, this, &CAgendaPg::addItem);
    connect(m_modify, &QPushButton::clicked, this, &CAgendaPg::modifyItem);
    connect(m_delete, &QPushButton::clicked, this, &CAgendaPg::deleteItem);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CAgendaPg::modifyItem);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &CAgendaPg::updateButtons);
    updateButtons();
}

void CAgendaPg::setMeetingIdentifier(const QByteArray& identifier)
{
    m_meetingIdentifier = identifier;
}

void CAgendaPg::initializePage()
{
    if (m_loaded)
        return;
    m_loaded = true;
    const auto read = m_store.readMeetingList<AgendaRecord>(ListFile::Agenda, m_meetingIdentifier);
    m_items = read.value_or(QList<AgendaRecord>());
    const QString path = m_store.fileName(ListFile::Agenda, m_meetingIdentifier);
    if (!read && QFileInfo::exists(path))
        UserDialogs::message(this, tr("The agenda of this meeting could not be read, so the list starts empty.\n%1")
                                       .arg(path),
                             UserDialogs::Icon::Warning);
    showItems(m_items.isEmpty() ? -1 : 0);
}

QString CAgendaPg::writeFile() const
{
    return SafeFile::write(m_store.fileName(ListFile::Agenda, m_meetingIdentifier), encodeList(m_items));
}

bool CAgendaPg::validatePage()
{
    const QString error = writeFile();
    if (error.isEmpty())
        return true;
    UserDialogs::message(this, tr("The agenda could not be saved.\n%1").arg(error), UserDialogs::Icon::Critical);
    return false;
}

bool CAgendaPg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteItem();
        return true;
    }
    return QWizardPage::eventFilter(watched, event);
}

void CAgendaPg::addItem()
{
    AgendaRecord item = emptyRecord<AgendaRecord>();
    if (!editAgendaItem(this, tr("Add Agenda"), item))
        return;
    m_items.append(item);
    showItems(m_items.size() - 1);
}

void CAgendaPg::modifyItem()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_items.size())
        return;
    AgendaRecord item = m_items[row];
    if (!editAgendaItem(this, tr("Modify Agenda"), item))
        return;
    m_items[row] = item;
    showItems(row);
}

void CAgendaPg::deleteItem()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_items.size())
        return;
    if (!UserDialogs::askYesNo(this, tr("Do you want to delete this?")))
        return;
    m_items.removeAt(row);
    showItems(std::min<qsizetype>(row, m_items.size() - 1));
}

void CAgendaPg::showItems(qsizetype current)
{
    TreeIcons icons;
    const QIcon icon(icons.strip(TreeIcon::AgendaItem, devicePixelRatioF()));
    m_list->clear();
    for (const AgendaRecord& item : m_items) {
        auto* row = new QTreeWidgetItem(m_list);
        row->setIcon(kNameColumn, icon);
        row->setText(kNameColumn, displayText(item.name));
        row->setText(kTimeColumn, DisplayFormat::timeWithoutSeconds(item.time));
        row->setToolTip(kNameColumn, row->text(kNameColumn));
    }
    if (current >= 0 && current < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(int(current)));
    updateButtons();
}

void CAgendaPg::updateButtons()
{
    const bool selected = m_list->currentItem() != nullptr;
    m_modify->setEnabled(selected);
    m_delete->setEnabled(selected);
}

} // namespace korvane
