#include "views/widgets/HistoryWindow.h"

#include "edits/RecordEdits.h"
#include "records/RecordCodec.h"
#include "records/Text.h"
#include "store/AppSettings.h"
#include "store/RecordStore.h"
#include "views/ChangeDetails.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

// The newest changes show at once; older ones follow in slices of this many.
constexpr qsizetype kSlice = 200;
constexpr int kEntryRole = Qt::UserRole;

} // namespace

HistoryWindow::HistoryWindow(const RecordStore& store, QWidget* parent)
    : QWidget(parent, Qt::Window), m_store(store)
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(tr("History"));
    setAccessibleName(windowTitle());

    m_project = new QComboBox;
    m_project->setObjectName(QStringLiteral("HistoryProject"));
    m_project->setAccessibleName(tr("Project"));
    m_text = new QLineEdit;
    m_text->setObjectName(QStringLiteral("HistoryText"));
    m_text->setAccessibleName(tr("Text"));
    m_text->setPlaceholderText(tr("Words of the description"));
    m_text->setClearButtonEnabled(true);
    auto* filters = new QFormLayout;
    filters->addRow(tr("&Project:"), m_project);
    filters->addRow(tr("&Text:"), m_text);

    m_changes = new QTreeWidget;
    m_changes->setObjectName(QStringLiteral("HistoryChanges"));
    m_changes->setAccessibleName(tr("Changes"));
    m_changes->setHeaderLabels({tr("Time"), tr("Change")});
    m_changes->setRootIsDecorated(false);
    m_changes->setUniformRowHeights(true);
    m_changes->setAllColumnsShowFocus(true);
    m_changes->header()->setStretchLastSection(true);
    m_changes->setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 24);

    m_details = new QTreeWidget;
    m_details->setObjectName(QStringLiteral("HistoryDetails"));
    m_details->setAccessibleName(tr("What the change did"));
    m_details->setHeaderLabels({tr("Record / Field"), tr("Before"), tr("After")});
    m_details->setAllColumnsShowFocus(true);
    m_details->setWordWrap(true);
    m_details->setColumnWidth(0, 260);
    m_details->setColumnWidth(1, 220);

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_changes);
    splitter->addWidget(m_details);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    m_count = new QLabel;
    m_count->setObjectName(QStringLiteral("HistoryCount"));
    auto* buttons = new QDialogButtonBox;
    m_restore = buttons->addButton(tr("&Restore"), QDialogButtonBox::ActionRole);
    m_restore->setObjectName(QStringLiteral("HistoryRestore"));
    m_restore->setToolTip(tr("Put the records of this change back as they were before it"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("HistoryClose"));
    // The oldest changes go first once the history is larger than this; at least the last 1,000
    // changes and those of the last 90 days stay whatever the size.
    m_limit = new QSpinBox;
    m_limit->setObjectName(QStringLiteral("HistorySizeLimit"));
    m_limit->setAccessibleName(tr("Keep up to (MB)"));
    m_limit->setRange(1, 1024 * 1024);
    m_limit->setSuffix(tr(" MB"));
    m_limit->setValue(AppSettings::historyMegabytes());
    m_limit->setToolTip(tr("The oldest changes are let go once the history is larger than this; the last "
                           "1,000 changes and those of the last 90 days are always kept"));
    auto* limitLabel = new QLabel(tr("&Keep up to:"));
    limitLabel->setBuddy(m_limit);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_count, 1);
    bottom->addWidget(limitLabel);
    bottom->addWidget(m_limit);
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    resize(820, 560);

    m_reader = new QTimer(this);
    m_reader->setSingleShot(true);
    m_reader->setInterval(0);
    connect(m_reader, &QTimer::timeout, this, &HistoryWindow::readSlice);
    connect(m_text, &QLineEdit::textChanged, this, &HistoryWindow::applyFilter);
    connect(m_project, &QComboBox::currentIndexChanged, this, &HistoryWindow::applyFilter);
    connect(m_changes, &QTreeWidget::currentItemChanged, this, &HistoryWindow::showDetails);
    connect(m_restore, &QPushButton::clicked, this, [this] {
        if (const QByteArray id = currentChange(); !id.isEmpty())
            emit restoreRequested(id);
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_limit, &QSpinBox::editingFinished, this, [this] {
        AppSettings::setHistoryMegabytes(m_limit->value());
        History::setMaxBytes(qint64(m_limit->value()) * 1024 * 1024);
    });
    setFocusProxy(m_changes);
    reload();
}

void HistoryWindow::reload()
{
    const QByteArray chosen = currentChange();
    const QByteArray project = m_project->currentData().toByteArray();
    m_reader->stop();
    m_changes->clear();
    m_entries.clear();
    m_projectNames.clear();
    m_ids = History(m_store.workingDirectory()).entryIds();
    m_nextIndex = 0;

    const QSignalBlocker block(m_project);
    m_project->clear();
    for (const auto& entry : m_store.projects())
        m_projectNames.insert(entry.record.identifier, displayText(entry.record.name));
    for (auto name = m_projectNames.cbegin(); name != m_projectNames.cend(); ++name)
        m_project->addItem(name.value(), name.key());
    m_project->model()->sort(0);
    m_project->insertItem(0, tr("All projects"), QByteArray());
    m_project->setCurrentIndex(std::max(0, m_project->findData(project)));

    readSlice();
    // The change chosen before stays chosen when it is among the newest; otherwise the newest is.
    for (int row = 0; row < m_changes->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_changes->topLevelItem(row);
        if (!item->isHidden() &&
            (chosen.isEmpty() || m_entries[item->data(0, kEntryRole).toUInt()].id == chosen)) {
            m_changes->setCurrentItem(item);
            break;
        }
    }
    showDetails();
}

bool HistoryWindow::isReading() const
{
    return m_nextIndex < m_ids.size();
}

QByteArray HistoryWindow::currentChange() const
{
    const QTreeWidgetItem* item = m_changes->currentItem();
    if (!item || item->isHidden())
        return {};
    return m_entries[item->data(0, kEntryRole).toUInt()].id;
}

void HistoryWindow::readSlice()
{
    const History history(m_store.workingDirectory());
    for (qsizetype read = 0; read < kSlice && isReading(); ++read) {
        const QByteArray& id = m_ids[m_ids.size() - 1 - m_nextIndex++];
        if (std::optional<HistoryEntry> entry = history.read(id)) {
            noteProjects(*entry);
            addRow(*entry);
            m_entries.push_back(std::move(*entry));
        }
    }
    if (isReading())
        m_reader->start();
    showCount();
}

void HistoryWindow::addRow(const HistoryEntry& entry)
{
    auto* item =
        new QTreeWidgetItem({entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), entry.description});
    item->setData(0, kEntryRole, uint(m_entries.size()));
    item->setToolTip(1, entry.description);
    item->setHidden(!matches(entry));
    m_changes->addTopLevelItem(item);
}

bool HistoryWindow::matches(const HistoryEntry& entry) const
{
    const QByteArray project = m_project->currentData().toByteArray();
    if (!project.isEmpty() &&
        std::none_of(entry.records.begin(), entry.records.end(),
                     [&](const TouchedRecord& record) { return record.project == project; }))
        return false;
    const QStringList words = m_text->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::all_of(words.begin(), words.end(), [&](const QString& word) {
        return entry.description.contains(word, Qt::CaseInsensitive);
    });
}

void HistoryWindow::applyFilter()
{
    for (int row = 0; row < m_changes->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = m_changes->topLevelItem(row);
        item->setHidden(!matches(m_entries[item->data(0, kEntryRole).toUInt()]));
    }
    if (QTreeWidgetItem* item = m_changes->currentItem(); !item || item->isHidden()) {
        for (int row = 0; row < m_changes->topLevelItemCount(); ++row) {
            if (!m_changes->topLevelItem(row)->isHidden()) {
                m_changes->setCurrentItem(m_changes->topLevelItem(row));
                break;
            }
        }
    }
    showDetails();
    showCount();
}

void HistoryWindow::showDetails()
{
    m_details->clear();
    const QByteArray id = currentChange();
    m_restore->setEnabled(!id.isEmpty());
    if (id.isEmpty())
        return;
    const HistoryEntry& entry = m_entries[m_changes->currentItem()->data(0, kEntryRole).toUInt()];
    for (const RecordChange& change : ChangeDetails::of(entry)) {
        auto* record = new QTreeWidgetItem(
            m_details,
            {QStringLiteral("%1 (%2)").arg(change.caption, ChangeDetails::actionCaption(change.action))});
        record->setFirstColumnSpanned(true);
        for (const FieldChange& field : change.fields) {
            auto* row = new QTreeWidgetItem(record, {field.field, field.before, field.after});
            row->setToolTip(1, field.before);
            row->setToolTip(2, field.after);
        }
    }
    m_details->expandAll();
}

void HistoryWindow::noteProjects(const HistoryEntry& entry)
{
    for (const HistoryEntry::File& file : entry.files) {
        const auto* kind = std::get_if<RecordKind>(&file.file.type);
        if (!kind || *kind != RecordKind::Project || m_projectNames.contains(file.file.identifier))
            continue;
        ProjectRecord project = emptyRecord<ProjectRecord>();
        const std::optional<QByteArray>& bytes = file.after ? file.after : file.before;
        if (!bytes || !decodeRecord(*bytes, project))
            continue;
        const QString name = tr("%1 (deleted)").arg(displayText(project.name));
        m_projectNames.insert(file.file.identifier, name);
        m_project->addItem(name, file.file.identifier);
    }
}

void HistoryWindow::showCount()
{
    int shown = 0;
    for (int row = 0; row < m_changes->topLevelItemCount(); ++row)
        shown += m_changes->topLevelItem(row)->isHidden() ? 0 : 1;
    m_count->setText(isReading() ? tr("%1 changes shown, reading older ones...").arg(shown)
                                 : tr("%1 of %2 changes shown").arg(shown).arg(m_ids.size()));
}

} // namespace korvane
