#include "editors/ImportDialog.h"

#include "integration/ImportBatch.h"
#include "integration/ImportItems.h"
#include "integration/ImportSource.h"
#include "store/AppSettings.h"
#include "ui/UserDialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

/** Where the file dialog opens: the last file, else its folder when only the file has gone, else home. */
QString startPath(const QString& lastFile)
{
    if (!lastFile.isEmpty()) {
        const QFileInfo info(lastFile);
        if (info.isFile())
            return info.absoluteFilePath();
        if (info.absoluteDir().exists())
            return info.absolutePath();
    }
    return QDir::homePath();
}

QString pluralName(ImportKind kind)
{
    switch (kind) {
    case ImportKind::Contacts:
        return QObject::tr("Contacts");
    case ImportKind::Tasks:
        return QObject::tr("Tasks");
    case ImportKind::Meetings:
        break;
    }
    return QObject::tr("Meetings");
}

QPushButton* sideButton(const QString& text, const QString& accessible, const QString& tip, const char* name,
                        QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessible);
    button->setToolTip(tip);
    // Enter belongs to OK wherever the focus is.
    button->setAutoDefault(false);
    return button;
}

} // namespace

QString ImportDialog::fileFilter(ImportKind kind)
{
    const QString own = kind == ImportKind::Contacts ? tr("vCard files (*.vcf *.vcard)")
                                                     : tr("iCalendar files (*.ics *.ical *.ifb)");
    return own + QStringLiteral(";;") + tr("All files (*)");
}

QString ImportDialog::settingsKey(ImportKind kind)
{
    switch (kind) {
    case ImportKind::Contacts:
        return QStringLiteral("Contacts");
    case ImportKind::Tasks:
        return QStringLiteral("Tasks");
    case ImportKind::Meetings:
        break;
    }
    return QStringLiteral("Meetings");
}

bool ImportDialog::run(RecordStore& store, ImportKind kind, const QByteArray& projectId, QWidget* parent)
{
    // Tasks and meetings without a project would be stored but never shown anywhere.
    if (kind != ImportKind::Contacts && projectId.isEmpty())
        return false;

    const QString caption = ImportSource::caption(kind);
    const QString key = settingsKey(kind);
    const QString path =
        UserDialogs::openFileName(parent, caption, startPath(AppSettings::lastImportFile(key)), fileFilter(kind));
    if (path.isEmpty())
        return false;
    AppSettings::setLastImportFile(key, path);

    const QString shownPath = QDir::toNativeSeparators(path);
    ImportReadResult read = ImportSource::read(kind, shownPath, projectId);
    if (!read.ok()) {
        UserDialogs::message(parent, read.error, UserDialogs::Icon::Critical, caption);
        return false;
    }
    if (read.rows.isEmpty()) {
        UserDialogs::message(parent, ImportSource::noItemsMessage(kind, shownPath), UserDialogs::Icon::Information,
                             caption);
        return false;
    }

    ImportDialog dialog(kind, shownPath, std::move(read.rows), parent);
    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return false;

    const ImportAddResult added = addImportRows(store, dialog.rows());
    if (!added.ok()) {
        UserDialogs::message(parent, tr("Nothing was imported: a record could not be stored.\n%1").arg(added.error),
                             UserDialogs::Icon::Critical, caption);
        return false;
    }
    return !added.identifiers.isEmpty();
}

ImportDialog::ImportDialog(ImportKind kind, const QString& path, QList<ImportRow> rows, QWidget* parent)
    : QDialog(parent)
    , m_rows(std::move(rows))
{
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(ImportSource::caption(kind));

    auto* source = new QLabel(tr("From %1").arg(QFileInfo(path).fileName()), this);
    source->setObjectName(QStringLiteral("importSource"));
    source->setToolTip(path);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("importList"));
    m_list->setAccessibleName(tr("%1 to import").arg(pluralName(kind)));
    m_list->setAccessibleDescription(tr("Space checks or unchecks the current row"));
    m_list->setColumnCount(1);
    m_list->setHeaderLabels({ImportSource::columnHeading(kind)});
    m_list->header()->setSectionsClickable(false);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMinimumSize(320, 240);

    auto* ascending =
        sideButton(tr("&A - Z"), tr("Sort A to Z"), tr("Sorts the rows by name, A to Z"), "importSortAscending", this);
    auto* descending = sideButton(tr("&Z - A"), tr("Sort Z to A"), tr("Sorts the rows by name, Z to A"),
                                  "importSortDescending", this);
    auto* checkAll =
        sideButton(tr("C&heck All"), tr("Check all rows"), tr("Checks every row"), "importCheckAll", this);
    auto* uncheckAll =
        sideButton(tr("&Uncheck All"), tr("Uncheck all rows"), tr("Unchecks every row"), "importUncheckAll", this);

    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("importCount"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("importButtons"));
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("importOk"));
    ok->setAccessibleName(tr("OK"));
    ok->setToolTip(tr("Adds the checked rows"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("importCancel"));
    cancel->setAccessibleName(tr("Cancel"));
    cancel->setAutoDefault(false);

    auto* side = new QVBoxLayout;
    side->addWidget(ascending);
    side->addWidget(descending);
    side->addSpacing(12);
    side->addWidget(checkAll);
    side->addWidget(uncheckAll);
    side->addStretch(1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_list, 1);
    middle->addLayout(side);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);

    setTabOrder(m_list, ascending);
    setTabOrder(ascending, descending);
    setTabOrder(descending, checkAll);
    setTabOrder(checkAll, uncheckAll);
    setTabOrder(uncheckAll, buttons);

    fillList();
    m_list->setFocus();
    resize(460, 380);

    connect(ascending, &QPushButton::clicked, this, [this] { sortRows(true); });
    connect(descending, &QPushButton::clicked, this, [this] { sortRows(false); });
    connect(checkAll, &QPushButton::clicked, this, [this] { setAllChecked(true); });
    connect(uncheckAll, &QPushButton::clicked, this, [this] { setAllChecked(false); });
    connect(m_list, &QTreeWidget::itemChanged, this, &ImportDialog::takeCheckMark);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ImportDialog::sortRows(bool ascending)
{
    sortImportRows(m_rows, ascending);
    fillList();
}

void ImportDialog::setAllChecked(bool checked)
{
    for (ImportRow& row : m_rows)
        row.checked = checked;
    const QSignalBlocker blocker(m_list);
    for (int index = 0; index < m_list->topLevelItemCount(); ++index)
        m_list->topLevelItem(index)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    showCount();
}

void ImportDialog::takeCheckMark(QTreeWidgetItem* item)
{
    const int index = m_list->indexOfTopLevelItem(item);
    if (index < 0 || index >= m_rows.size())
        return;
    m_rows[index].checked = item->checkState(0) == Qt::Checked;
    showCount();
}

void ImportDialog::fillList()
{
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const ImportRow& row : std::as_const(m_rows)) {
            auto* item = new QTreeWidgetItem(m_list, {row.text});
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                           Qt::ItemNeverHasChildren);
            item->setCheckState(0, row.checked ? Qt::Checked : Qt::Unchecked);
            item->setToolTip(0, row.text);
        }
        if (m_list->topLevelItemCount() > 0)
            m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    m_list->scrollToTop();
    showCount();
}

void ImportDialog::showCount()
{
    const auto checked = std::count_if(m_rows.cbegin(), m_rows.cend(), [](const ImportRow& row) { return row.checked; });
    m_count->setText(tr("%1 of %2 checked").arg(checked).arg(m_rows.size()));
}

} // namespace korvane
