#include "shell/ConflictsWindow.h"

#include "edits/ConflictEdits.h"
#include "edits/HistoryEdits.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvane {

namespace {

/** `The task "Pour"`, from the record's own file or the first version that can be read. */
QString captionOf(RecordKind kind, const QByteArray& identifier, const QList<ConflictVersion>& versions)
{
    for (const ConflictVersion& version : versions) {
        if (!version.bytes.isEmpty())
            return HistoryEdits::fileCaption({FileRef{kind, identifier}, {}, version.bytes});
    }
    return HistoryEdits::fileCaption({FileRef{kind, identifier}, {}, {}});
}

} // namespace

ConflictsWindow::ConflictsWindow(RecordStore& store, QWidget* parent) : QDialog(parent), m_store(store)
{
    setObjectName(QStringLiteral("ConflictsWindow"));
    setWindowTitle(QStringLiteral("Conflicting Copies"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral(
        "A sync program left more than one version of these records. The record's own file is the one "
        "Korvane shows; keep the version you want. The others are moved into the \"Conflicts\" folder of "
        "the data folder, never deleted."));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* splitter = new QSplitter(this);
    m_recordList = new QListWidget;
    m_recordList->setObjectName(QStringLiteral("ConflictRecordList"));
    m_recordList->setAccessibleName(QStringLiteral("Records with conflicting copies"));
    splitter->addWidget(m_recordList);
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    m_table = new QTableWidget;
    m_table->setObjectName(QStringLiteral("ConflictVersionsTable"));
    m_table->setAccessibleName(QStringLiteral("Versions side by side"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    rightLayout->addWidget(m_table);
    m_hint = new QLabel(QStringLiteral("Fields that differ are marked with \u25cf and shown in bold."));
    rightLayout->addWidget(m_hint);
    m_keepButtons = new QHBoxLayout;
    rightLayout->addLayout(m_keepButtons);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("CloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_recordList, &QListWidget::currentRowChanged, this, &ConflictsWindow::showVersions);
    fillRecords();
    resize(900, 520);
}

void ConflictsWindow::fillRecords()
{
    const int row = m_recordList->currentRow();
    m_records = ConflictEdits::records(m_store);
    QSignalBlocker block(m_recordList);
    m_recordList->clear();
    for (const auto& [kind, identifier] : m_records) {
        const QList<ConflictVersion> versions = ConflictEdits::versions(m_store, kind, identifier);
        m_recordList->addItem(QStringLiteral("%1 (%2 versions)")
                                  .arg(captionOf(kind, identifier, versions))
                                  .arg(versions.size()));
    }
    if (!m_records.isEmpty())
        m_recordList->setCurrentRow(std::clamp(row, 0, int(m_records.size()) - 1));
    showVersions();
}

void ConflictsWindow::showVersions()
{
    while (QLayoutItem* item = m_keepButtons->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_table->clear();
    const int row = m_recordList->currentRow();
    if (row < 0 || row >= m_records.size()) {
        m_table->setRowCount(0);
        m_table->setColumnCount(0);
        return;
    }
    const auto& [kind, identifier] = m_records[row];
    const QList<ConflictVersion> versions = ConflictEdits::versions(m_store, kind, identifier);
    const QList<ConflictField> fields = ConflictEdits::compare(kind, versions);
    m_table->setColumnCount(int(versions.size()));
    m_table->setRowCount(int(fields.size()));
    for (int c = 0; c < versions.size(); ++c) {
        const QString name = QFileInfo(versions[c].path).fileName();
        m_table->setHorizontalHeaderItem(
            c, new QTableWidgetItem(versions[c].own ? QStringLiteral("%1 (the record's file)").arg(name)
                                                    : name));
        auto* keepButton = new QPushButton(QStringLiteral("Keep this version (%1)").arg(c + 1));
        keepButton->setObjectName(QStringLiteral("KeepVersion%1").arg(c + 1));
        keepButton->setAccessibleName(QStringLiteral("Keep this version: %1").arg(name));
        keepButton->setToolTip(QDir::toNativeSeparators(versions[c].path));
        const QString path = versions[c].path;
        connect(keepButton, &QPushButton::clicked, this, [this, path] { keep(path); });
        m_keepButtons->addWidget(keepButton);
    }
    for (int r = 0; r < fields.size(); ++r) {
        const ConflictField& field = fields[r];
        auto* header =
            new QTableWidgetItem(field.differs ? QStringLiteral("\u25cf %1").arg(field.name) : field.name);
        m_table->setVerticalHeaderItem(r, header);
        for (int c = 0; c < field.values.size(); ++c) {
            auto* item = new QTableWidgetItem(field.values[c]);
            if (field.differs) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            m_table->setItem(r, c, item);
        }
    }
}

void ConflictsWindow::keep(const QString& path)
{
    const int row = m_recordList->currentRow();
    if (row < 0 || row >= m_records.size())
        return;
    const auto [kind, identifier] = m_records[row];
    const EditResult result = ConflictEdits::resolve(m_store, kind, identifier, path);
    m_changed = true;
    if (!result.ok())
        UserDialogs::message(this, result.error, UserDialogs::Icon::Critical);
    fillRecords();
    if (m_records.isEmpty())
        accept();
}

} // namespace korvane
