#include "editors/CAttendeesPg.h"

#include "records/Text.h"
#include "records/TextList.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

constexpr int kBytesRole = Qt::UserRole;
constexpr int kColumnWidth = 250;

QPushButton* makeButton(const QString& text, const QString& accessible, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessible);
    return button;
}

QTreeWidgetItem* makeRow(const QByteArray& name)
{
    auto* row = new QTreeWidgetItem;
    row->setText(0, displayText(name));
    // The row keeps the stored bytes, so names typed elsewhere in another code page survive a save.
    row->setData(0, kBytesRole, name);
    return row;
}

} // namespace

CAttendeesPg::CAttendeesPg(QWidget* parent)
    : QWizardPage(parent)
    , m_edit(new QLineEdit(this))
    , m_rows(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("attendeesPage"));
    setTitle(tr("Attendees"));
    setSubTitle(tr("Attendees List ...."));

    m_edit->setObjectName(QStringLiteral("attendeeEdit"));
    m_edit->setAccessibleName(tr("Attendee name"));
    m_edit->installEventFilter(this);
    auto* label = new QLabel(tr("A&ttendee : "), this);
    label->setBuddy(m_edit);

    m_add = makeButton(tr("&ADD"), tr("Add attendee"), "attendeeAddButton", this);
    m_delete = makeButton(tr("&DELETE"), tr("Delete attendee"), "attendeeDeleteButton", this);

    m_rows->setObjectName(QStringLiteral("attendeeList"));
    m_rows->setAccessibleName(tr("Attendees"));
    m_rows->setColumnCount(1);
    m_rows->setHeaderLabels({tr("Attendees")});
    m_rows->setColumnWidth(0, kColumnWidth);
    m_rows->setRootIsDecorated(false);
    m_rows->setSelectionMode(QAbstractItemView::SingleSelection);
    m_rows->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_rows->setAllColumnsShowFocus(true);
    m_rows->installEventFilter(this);

    m_rows->header()->setStretchLastSection(false);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_edit, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_rows, 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom, 1);

    setTabOrder(m_edit, m_add);
    setTabOrder(m_add, m_delete);
    setTabOrder(m_delete, m_rows);
    setFocusProxy(m_edit);

    connect(m_add, &QPushButton::clicked, this, &CAttendeesPg::addAttendee);
    connect(m_delete, &QPushButton::clicked, this, &CAttendeesPg::deleteAttendee);
    connect(m_rows, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* row) { m_edit->setText(row->text(0)); });
    connect(m_rows, &QTreeWidget::currentItemChanged, this, &CAttendeesPg::updateButtons);
    updateButtons();
}

void CAttendeesPg::setAttendees(const QByteArray& list)
{
    m_list = list;
    m_loaded = false;
}

void CAttendeesPg::initializePage()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_rows->clear();
    // A last name without its line feed is no entry, as everywhere the list is read.
    for (const QByteArray& name : TextList::entries(m_list))
        m_rows->addTopLevelItem(makeRow(name));
    updateButtons();
}

bool CAttendeesPg::validatePage()
{
    QByteArray list;
    for (int i = 0; i < m_rows->topLevelItemCount(); ++i)
        list = TextList::append(list, m_rows->topLevelItem(i)->data(0, kBytesRole).toByteArray());
    m_list = list;
    return true;
}

bool CAttendeesPg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_edit && (key == Qt::Key_Return || key == Qt::Key_Enter) && !m_edit->text().isEmpty()) {
            addAttendee();
            return true;
        }
        if (watched == m_rows && key == Qt::Key_Delete) {
            deleteAttendee();
            return true;
        }
    }
    return QWizardPage::eventFilter(watched, event);
}

void CAttendeesPg::addAttendee()
{
    QString name = m_edit->text();
    if (name.isEmpty())
        return;
    // A line break inside a name would split it into two entries of the list.
    name.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_rows->addTopLevelItem(makeRow(storedText(name)));
    m_edit->clear();
    updateButtons();
}

void CAttendeesPg::deleteAttendee()
{
    QTreeWidgetItem* row = m_rows->currentItem();
    if (!row)
        return;
    delete row;
    updateButtons();
}

void CAttendeesPg::updateButtons()
{
    m_delete->setEnabled(m_rows->currentItem() != nullptr);
}

} // namespace korvane
