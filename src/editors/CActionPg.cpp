#include "editors/CActionPg.h"

#include "editors/KeptText.h"
#include "edits/RecordDefaults.h"
#include "records/Clock.h"
#include "records/Text.h"
#include "store/DisplayFormat.h"
#include "ui/UserDialogs.h"
#include "views/DetailsTrees.h"
#include "views/widgets/TreeIcons.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>

namespace korvane {

namespace {

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

    QFormLayout* form = MeetingListPage::itemDialogForm(dialog);
    form->addRow(CActionPg::tr("&ToDo : "), todo);
    form->addRow(CActionPg::tr("D&ue Date : "), due);
    form->addRow(CActionPg::tr("&Who : "), who);
    form->addRow(CActionPg::tr("&Priority : "), priority);
    todo->setFocus();

    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return false;

    action.todo = KeptText::take(todo);
    action.who = KeptText::take(who);
    RecordDefaults::fill(action);
    const bool untouched = due->dateTime() == shown && (!stored.isValid() || shown == stored);
    if (!untouched)
        action.dueDate = DateTime::fromQDateTime(due->dateTime());
    if (priority->currentIndex() >= 0)
        action.priority = priority->currentIndex();
    return true;
}

} // namespace

CActionPg::CActionPg(RecordStore& store, QWidget* parent)
    : MeetingListPageOf(store, ListFile::Action, "action",
                        {tr("Actions"), tr("Actions for the Meeting .."), tr("Ac&tions:"), tr("Actions"), tr("action"),
                         tr("actions")},
                        new QListWidget, parent)
{
    QListWidget* actions = list();
    actions->setIconSize(QSize(TreeIcons::kSize, TreeIcons::kSize));
    actions->setSpacing(2);
    // Long to-dos wrap within the list instead of scrolling it sideways.
    actions->setWordWrap(true);
    actions->setResizeMode(QListView::Adjust);
    actions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QListWidget* CActionPg::list() const
{
    return static_cast<QListWidget*>(view());
}

ActionRecord CActionPg::newItem() const
{
    ActionRecord action = emptyRecord<ActionRecord>();
    action.priority = 0;
    return action;
}

bool CActionPg::runItemDialog(ActionRecord& action, bool adding)
{
    return editAction(this, adding ? tr("Add Action") : tr("Modify Action"), action);
}

void CActionPg::fillList()
{
    TreeIcons icons;
    QListWidget* actions = list();
    actions->clear();
    for (const ActionRecord& action : items()) {
        const QString text = QStringLiteral("%1 - %2\n%3")
                                 .arg(displayText(action.todo), displayText(action.who),
                                      DisplayFormat::shortDate(action.dueDate));
        auto* row = new QListWidgetItem(text, actions);
        row->setToolTip(text);
        row->setIcon(QIcon(icons.strip(TreeIcon::PriorityBase + std::int64_t(action.priority), devicePixelRatioF())));
    }
}

} // namespace korvane
