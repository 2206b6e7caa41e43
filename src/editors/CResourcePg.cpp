#include "editors/CResourcePg.h"
#include "edits/RecordEdits.h"

#include "editors/ChangedElsewhereQuestion.h"
#include "editors/ResourceDialog.h"
#include "records/Text.h"
#include "records/TextList.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#if __has_include("editors/ImportDialog.h")
#include "editors/ImportDialog.h"
#include "integration/ImportRow.h"
#define KORVANE_HAS_IMPORT_DIALOG 1
#endif

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace korvane {

namespace {

constexpr int kIdentifierRole = Qt::UserRole;

QPushButton* makeButton(const QString& text, const QString& accessible, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessible);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CResourcePg::CResourcePg(RecordStore& store, QWidget* parent)
    : QWizardPage(parent)
    , m_store(store)
    , m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("resourcePage"));
    m_tree->setObjectName(QStringLiteral("resourceTree"));
    m_tree->setAccessibleName(tr("Resources"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setRootIsDecorated(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->header()->setStretchLastSection(true);

    auto* label = new QLabel(tr("&Resources:"), this);
    label->setObjectName(QStringLiteral("resourceTreeLabel"));
    label->setBuddy(m_tree);

    m_add = makeButton(tr("&ADD"), tr("Add resource"), "resourceAdd", this);
    m_modify = makeButton(tr("&MODIFY"), tr("Modify resource"), "resourceModify", this);
    m_delete = makeButton(tr("&DELETE"), tr("Delete resource"), "resourceDelete", this);
    m_import = makeButton(tr("&IMPORT"), tr("Import contacts as resources"), "resourceImport", this);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_modify);
    buttons->addWidget(m_delete);
    buttons->addSpacing(12);
    buttons->addWidget(m_import);
    buttons->addStretch(1);

    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(label);
    treeColumn->addWidget(m_tree, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(treeColumn, 1);
    layout->addLayout(buttons);

    setTabOrder(m_tree, m_add);
    setTabOrder(m_add, m_modify);
    setTabOrder(m_modify, m_delete);
    setTabOrder(m_delete, m_import);

    connect(m_add, &QPushButton::clicked, this, &CResourcePg::addResource);
    connect(m_modify, &QPushButton::clicked, this, &CResourcePg::modifyResource);
    connect(m_delete, &QPushButton::clicked, this, &CResourcePg::deleteResource);
    connect(m_import, &QPushButton::clicked, this, &CResourcePg::importResources);
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) { followCheck(item); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        if (item != m_root)
            modifyResource();
    });

    fill({});
}

void CResourcePg::setResourceList(const QByteArray& list)
{
    fill(list);
}

QByteArray CResourcePg::resourceList() const
{
    const QByteArray collected = collect();
    return collected == m_listAsShown ? m_list : collected;
}

bool CResourcePg::validatePage()
{
    m_list = resourceList();
    m_listAsShown = collect();
    return true;
}

void CResourcePg::fill(const QByteArray& list)
{
    const QSignalBlocker blocker(m_tree);
    m_tree->clear();
    m_root = new QTreeWidgetItem(m_tree, QStringList{tr("Resource")});
    m_root->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);

    std::vector<const ResourceRecord*> resources;
    resources.reserve(std::size_t(m_store.resources().size()));
    for (const auto& entry : m_store.resources())
        resources.push_back(&entry.record);
    std::stable_sort(resources.begin(), resources.end(), [](const ResourceRecord* a, const ResourceRecord* b) {
        const QByteArray left = a->name.toLower();
        const QByteArray right = b->name.toLower();
        return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                            [](char x, char y) { return uchar(x) < uchar(y); });
    });

    const QList<QByteArray> listed = TextList::entries(list);
    for (const ResourceRecord* resource : resources)
        m_root->addChild(makeItem(*resource, false, listed.contains(resource->identifier)));
    m_root->setExpanded(true);

    m_list = list;
    m_listAsShown = collect();
}

QByteArray CResourcePg::collect() const
{
    QByteArray list;
    if (!m_root)
        return list;
    for (int i = 0; i < m_root->childCount(); ++i) {
        const QTreeWidgetItem* item = m_root->child(i);
        if (item->checkState(0) == Qt::Checked)
            list = TextList::append(list, item->data(0, kIdentifierRole).toByteArray());
    }
    return list;
}

QTreeWidgetItem* CResourcePg::makeItem(const ResourceRecord& record, bool spacedCaptions, bool checked) const
{
    auto* item = new QTreeWidgetItem(QStringList{displayText(record.name)});
    item->setData(0, kIdentifierRole, record.identifier);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    const Qt::CheckState state = checked ? Qt::Checked : Qt::Unchecked;
    item->setCheckState(0, state);

    // Items added or changed on this page have always shown their captions spaced out this way.
    const QStringList captions = spacedCaptions
        ? QStringList{QStringLiteral("Desg : "), QStringLiteral("Dept : "), QStringLiteral("Ph1  : "),
                      QStringLiteral("Ph2  : ")}
        : QStringList{QStringLiteral("Desg: "), QStringLiteral("Dept: "), QStringLiteral("Ph1: "),
                      QStringLiteral("Ph2: ")};
    const QByteArray values[] = {record.designation, record.department, record.phone1, record.phone2};
    for (int i = 0; i < 4; ++i) {
        auto* line = new QTreeWidgetItem(item, QStringList{captions[i] + displayText(values[i])});
        // The lines mirror their resource's check mark; only the resource itself is checked by the user.
        line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        line->setCheckState(0, state);
    }
    return item;
}

void CResourcePg::followCheck(QTreeWidgetItem* item)
{
    if (!item || item->parent() != m_root)
        return;
    const QSignalBlocker blocker(m_tree);
    for (int i = 0; i < item->childCount(); ++i)
        item->child(i)->setCheckState(0, item->checkState(0));
}

QTreeWidgetItem* CResourcePg::selectedResourceItem(bool includeLines) const
{
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (selected.isEmpty() || !m_root)
        return nullptr;
    QTreeWidgetItem* item = selected.first();
    if (item->parent() == m_root)
        return item;
    if (includeLines && item->parent() && item->parent()->parent() == m_root)
        return item->parent();
    return nullptr;
}

void CResourcePg::addResource()
{
    ResourceRecord record;
    if (!ResourceDialog::run(record, tr("Add Resource"), this))
        return;
    const EditResult added = RecordEdits::add(m_store, record);
    if (!added.ok()) {
        UserDialogs::message(this, tr("The resource \"%1\" could not be saved.\n%2")
                                       .arg(displayText(record.name), added.error),
                             UserDialogs::Icon::Critical);
        return;
    }
    record.identifier = added.identifier;
    const QSignalBlocker blocker(m_tree);
    QTreeWidgetItem* item = makeItem(record, true, true);
    m_root->addChild(item);
    m_root->setExpanded(true);
    m_tree->setCurrentItem(item);
}

void CResourcePg::modifyResource()
{
    QTreeWidgetItem* item = selectedResourceItem(true);
    if (!item)
        return;
    const QByteArray identifier = item->data(0, kIdentifierRole).toByteArray();
    if (!m_store.resources().contains(identifier)) {
        UserDialogs::message(this, tr("This resource is no longer in the data folder."),
                             UserDialogs::Icon::Warning);
        return;
    }
    ResourceRecord record = m_store.GetResource(identifier);
    EditResult result;
    for (;;) {
        if (!ResourceDialog::run(record, tr("Modify Resource"), this))
            return;
        result = RecordEdits::modify(m_store, record);
        ChangedElsewhereQuestion::ask(this, m_store, result,
                                      [&] { return RecordEdits::modify(m_store, record); });
        if (!result.changedElsewhere)
            break;
        // Refused and asked: the row shows what the store holds now (reloaded or not), and the dialog
        // opens again with what was typed.
        const QSignalBlocker blocker(m_tree);
        const int index = m_root->indexOfChild(item);
        delete m_root->takeChild(index);
        item = makeItem(m_store.GetResource(identifier), true, true);
        m_root->insertChild(index, item);
        m_tree->setCurrentItem(item);
    }
    const QString error = result.error;
    if (!error.isEmpty()) {
        UserDialogs::message(this, tr("The resource \"%1\" could not be saved.\n%2")
                                       .arg(displayText(record.name), error),
                             UserDialogs::Icon::Critical);
        return;
    }
    const QSignalBlocker blocker(m_tree);
    const int index = m_root->indexOfChild(item);
    delete m_root->takeChild(index);
    QTreeWidgetItem* replacement = makeItem(record, true, true);
    m_root->insertChild(index, replacement);
    m_tree->setCurrentItem(replacement);
}

void CResourcePg::deleteResource()
{
    QTreeWidgetItem* item = selectedResourceItem(false);
    if (!item)
        return;
    if (!UserDialogs::askYesNo(this, tr("Do you want to delete this?")))
        return;
    const QByteArray identifier = item->data(0, kIdentifierRole).toByteArray();
    const QString error = RecordEdits::remove(m_store, RecordKind::Resource, identifier).error;
    if (!error.isEmpty()) {
        UserDialogs::message(this, tr("The resource \"%1\" could not be deleted.\n%2").arg(item->text(0), error),
                             UserDialogs::Icon::Critical);
        return;
    }
    const QSignalBlocker blocker(m_tree);
    delete item;
}

void CResourcePg::importResources()
{
#ifdef KORVANE_HAS_IMPORT_DIALOG
    if (ImportDialog::run(m_store, ImportKind::Contacts, QByteArray(), this))
        fill(m_list);
#else
    UserDialogs::message(this, tr("No contacts source is available yet."));
#endif
}

} // namespace korvane
