#include "editors/CAgendaPg.h"

#include "editors/KeptText.h"
#include "edits/RecordDefaults.h"
#include "records/Clock.h"
#include "records/Text.h"
#include "store/DisplayFormat.h"
#include "ui/UserDialogs.h"
#include "views/DetailsTrees.h"
#include "views/widgets/TreeIcons.h"

#include <QDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTimeEdit>
#include <QTreeWidget>

namespace korvane {

namespace {

constexpr int kNameColumn = 0;
constexpr int kTimeColumn = 1;

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

    QFormLayout* form = MeetingListPage::itemDialogForm(dialog);
    form->addRow(CAgendaPg::tr("&Name : "), name);
    form->addRow(CAgendaPg::tr("&Time : "), time);
    name->setFocus();

    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return false;

    item.name = KeptText::take(name);
    RecordDefaults::fill(item);
    const bool untouched = time->time() == base.time() && (!stored.isValid() || base == stored);
    if (!untouched)
        item.time = DateTime::fromQDateTime(QDateTime(base.date(), time->time()));
    return true;
}

} // namespace

CAgendaPg::CAgendaPg(RecordStore& store, QWidget* parent)
    : MeetingListPageOf(store, ListFile::Agenda, "agenda",
                        {tr("Agenda"), tr("Important Ageda ..."), tr("Agenda &items:"), tr("Agenda items"),
                         tr("agenda item"), tr("agenda")},
                        new QTreeWidget, parent)
{
    QTreeWidget* tree = list();
    tree->setColumnCount(2);
    tree->setHeaderLabels({tr("Agenda"), tr("Time")});
    tree->setRootIsDecorated(false);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    tree->header()->setSectionResizeMode(kTimeColumn, QHeaderView::ResizeToContents);
}

QTreeWidget* CAgendaPg::list() const
{
    return static_cast<QTreeWidget*>(view());
}

bool CAgendaPg::runItemDialog(AgendaRecord& item, bool adding)
{
    return editAgendaItem(this, adding ? tr("Add Agenda") : tr("Modify Agenda"), item);
}

void CAgendaPg::fillList()
{
    TreeIcons icons;
    const QIcon icon(icons.strip(TreeIcon::AgendaItem, devicePixelRatioF()));
    QTreeWidget* tree = list();
    tree->clear();
    for (const AgendaRecord& item : items()) {
        auto* row = new QTreeWidgetItem(tree);
        row->setIcon(kNameColumn, icon);
        row->setText(kNameColumn, displayText(item.name));
        row->setText(kTimeColumn, DisplayFormat::timeWithoutSeconds(item.time));
        row->setToolTip(kNameColumn, row->text(kNameColumn));
    }
}

} // namespace korvane
