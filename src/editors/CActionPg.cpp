#include "editors/CActionPg.h"

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

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

namespace {

QPushButton* makeButton(const QString& text, const QString& accessible, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessible);
    return button;
}

QLineEdit* makeLineEdit(const char* name, const QString& accessible, const QByteArray& bytes, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    edit->setMinimumWidth(260);
    KeptText::show(edit, bytes);
    return edit;
}

/** Runs the "Add Action" / "Modify Action" dialog on an action; true when the user pressed OK, with the action changed. */
bool editAction(QWidget* parent, const QString& title, ActionRecord& action)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("actionDialog"));
    dialog.setWindowTitle(title);

    auto* todo = makeLineEdit("actionTodoEdit", CActionPg::tr("To do"), action.todo, &dialog);
    const QDateTime stored = action.dueDate.toQDateTime();
    const QDateTime shown = stored.isValid() ? stored : Clock::now();
    auto* due = new QDateTimeEdit(shown, &dialog);
    due->setObjectName(QStringLiteral("actionDueEdit"));
    due->setAccessibleName(CActionPg::tr("Due Date"));
    due->setDisplayFormat(QStringLiteral("dd/MM/yyyy hh:mm AP"));
    due->setCalendarPopup(true);
    auto* who = makeLineEdit("actionWhoEdit", CActionPg::tr("Who"), action.who, &dialog);
    auto* priority = new QComboBox(&dialog);
    priority->setObjectName(QStringLiteral("actionPriorityCombo"));
    priority->setAccessibleName(CActionPg::tr("Priority"));
    priority->addItems({CActionPg::tr("High"), CActionPg::tr("Medium"), CActionPg::tr("Low")});
    // A priority no entry stands for shows none and is kept unless the user picks one.
    priority->setCurrentIndex(action.priority >= 0 && action.priority < priority->count() ? action.priority : -1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* form = new QFormLayout;
    const auto addRow = [&](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, &dialog);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(CActionPg::tr("&ToDo : "), todo);
    addRow(CActionPg::tr("D&ue Date : "), due);
    addRow(CActionPg::tr("&Who : "), who);
    addRow(CActionPg::tr("&Priority : "), priority);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    todo->setFocus();

    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return false;

    action.todo = KeptText::take(todo);
    if (action.todo.isEmpty())
        action.todo = "Untitled";
    action.who = KeptText::take(who);
    if (action.who.isEmpty())
        action.who = "Unknown";
    const bool untouched = due->dateTime() == shown && (!stored.isValid() || shown == stored);
    if (!untouched)
        action.dueDate = DateTime::fromQDateTime(due->dateTime());
    if (priority->currentIndex() >= 0)
        action.priority = priority->currentIndex();
    return true;
}

} // namespace

CActionPg::CActionPg(RecordStore& store, QWidget* parent)
    : QWizardPage(parent)
    , m_store(store)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("actionPage"));
    setTitle(tr("Actions"));
    setSubTitle(tr("Actions for the Meeting .."));

    m_list->setObjectName(QStringLiteral("actionList"));
    m_list->setAccessibleName(tr("Actions"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setIconSize(QSize(TreeIcons::kSize, TreeIcons::kSize));
    m_list->setSpacing(2);
    // Long to-dos wrap within the list instead of scrolling it sideways.
    m_list->setWordWrap(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->installEventFilter(this);

    auto* label = new QLabel(tr("Ac&tions:"), this);
    label->setBuddy(m_list);

    m_add = makeButton(tr("&ADD"), tr("Add action"), "actionAddButton", this);
    m_modify = makeButton(tr("&MODIFY"), tr("Modify action"), "actionModifyButton", this);
    m_delete = makeButton(tr("&DELETE"), tr("Delete action"), "actionDeleteButton", this);

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

    connect(m_add, &QPushButton::clicked, this, &CActionPg::addItem);
    connect(m_modify, &QPushButton::clicked, this, &CActionPg::modifyItem);
    connect(m_delete, &QPushButton::clicked, this, &CActionPg::deleteItem);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &CActionPg::modifyItem);
    connect(m_list, &QListWidget::currentRowChanged, this, &CActionPg::updateButtons);
    updateButtons();
}

void CActionPg::setMeetingIdentifier(const QByteArray& identifier)
{
    m_meetingIdentifier = identifier;
}

void CActionPg::initializePage()
{
    if (m_loaded)
        return;
    m_loaded = true;
    const auto read = m_store.readMeetingList<ActionRecord>(ListFile::Action, m_meetingIdentifier);
    m_items = read.value_or(QList<ActionRecord>());
    const QString path = m_store.fileName(ListFile::Action, m_meetingIdentifier);
    if (!read && QFileInfo::exists(path))
        UserDialogs::message(this, tr("The actions of this meeting could not be read, so the list starts empty.\n%1")
                                       .arg(path),
                             UserDialogs::Icon::Warning);
    showItems(m_items.isEmpty() ? -1 : 0);
}

QString CActionPg::writeFile() const
{
    return SafeFile::write(m_store.fileName(ListFile::Action, m_meetingIdentifier), encodeList(m_items));
}

bool CActionPg::validatePage()
{
    const QString error = writeFile();
    if (error.isEmpty())
        return true;
    UserDialogs::message(this, tr("The actions could not be saved.\n%1").arg(error), UserDialogs::Icon::Critical);
    return false;
}

bool CActionPg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteItem();
        return true;
    }
    return QWizardPage::eventFilter(watched, event);
}

void CActionPg::addItem()
{
    ActionRecord action = emptyRecord<ActionRecord>();
    action.priority = 0;
    if (!editAction(this, tr("Add Action"), action))
        return;
    m_items.append(action);
    showItems(m_items.size() - 1);
}

void CActionPg::modifyItem()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_items.size())
        return;
    ActionRecord action = m_items[row];
    if (!editAction(this, tr("Modify Action"), action))
        return;
    m_items[row] = action;
    showItems(row);
}

void CActionPg::deleteItem()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_items.size())
        return;
    if (!UserDialogs::askYesNo(this, tr("Do you want to delete this?")))
        return;
    m_items.removeAt(row);
    showItems(std::min<qsizetype>(row, m_items.size() - 1));
}

void CActionPg::showItems(qsizetype current)
{
    TreeIcons icons;
    m_list->clear();
    for (const ActionRecord& action : m_items) {
        const QString text = QStringLiteral("%1 - %2\n%3")
                                 .arg(displayText(action.todo), displayText(action.who),
                                      DisplayFormat::shortDate(action.dueDate));
        auto* row = new QListWidgetItem(text, m_list);
        row->setToolTip(text);
        row->setIcon(QIcon(icons.strip(TreeIcon::PriorityBase + std::int64_t(action.priority), devicePixelRatioF())));
    }
    if (current >= 0 && current < m_list->count())
        m_list->setCurrentRow(int(current));
    updateButtons();
}

void CActionPg::updateButtons()
{
    const bool selected = m_list->currentRow() >= 0;
    m_modify->setEnabled(selected);
    m_delete->setEnabled(selected);
}

} // namespace korvane
