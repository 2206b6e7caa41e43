#include "editors/ProjectDocumentsDialog.h"

#include "editors/ProjectDocumentsDelegate.h"
#include "edits/ProjectEdits.h"
#include "edits/RecordDefaults.h"
#include "records/Text.h"
#include "store/RecordStore.h"
#include "store/SafeFile.h"
#include "ui/UserDialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

using Delegate = ProjectDocumentsDelegate;

bool ProjectDocumentsDialog::editScratch(QWidget* parent)
{
    ProjectDocumentsDialog dialog(ProjectDocuments::scratchPath(), parent);
    if (UserDialogs::exec(dialog) != QDialog::Accepted)
        return false;
    // A dialog answered without pressing OK has not written its rows yet.
    return dialog.m_written || dialog.write();
}

bool ProjectDocumentsDialog::editProjectDocuments(RecordStore& store, const QByteArray& projectId,
                                                  QWidget* parent)
{
    const QString scratch = ProjectDocuments::scratchPath();
    const QString projectFile = store.fileName(ListFile::ProjectDoc, projectId);
    // Without a clean copy of the project's own documents, OK would write someone else's rows over them.
    QString error = ProjectDocuments::resetScratch(scratch);
    if (error.isEmpty())
        error = ProjectDocuments::copyFile(projectFile, scratch);
    store.noteListRead(ListFile::ProjectDoc, projectId);
    if (!error.isEmpty()) {
        UserDialogs::message(parent, tr("The project documents could not be opened for editing.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
        return false;
    }
    if (!editScratch(parent))
        return false;
    QByteArray bytes;
    if (!SafeFile::read(scratch, bytes, &error))
        bytes.clear();
    else
        error = ProjectEdits::writeDocuments(store, projectId, bytes).error;
    if (!error.isEmpty()) {
        UserDialogs::message(parent, tr("The project documents could not be saved.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
        return false;
    }
    return true;
}

ProjectDocumentsDialog::ProjectDocumentsDialog(const QString& path, QWidget* parent)
    : QDialog(parent)
    , m_path(path)
{
    setWindowTitle(tr("Project Documents"));
    setObjectName(QStringLiteral("projectDocumentsDialog"));

    auto* label = new QLabel(tr("&Documents:"), this);
    m_view = new QListWidget(this);
    m_view->setObjectName(QStringLiteral("documentsList"));
    m_view->setAccessibleName(tr("Project documents"));
    label->setBuddy(m_view);
    auto* delegate = new Delegate(m_view);
    m_view->setItemDelegate(delegate);
    m_view->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setUniformItemSizes(true);
    const int frame = 2 * m_view->frameWidth();
    m_view->setFixedSize(Delegate::kRowWidth + frame, ProjectDocuments::RowCount * Delegate::kRowHeight + frame);
    m_view->installEventFilter(this);

    // The list always shows ten rows: the rows that count, in file order, then empty ones.
    const ProjectDocuments documents = ProjectDocuments::read(m_path);
    std::vector<DocumentRow> rows;
    for (const DocumentRow& row : documents.rows())
        if (row.counts())
            rows.push_back(row);
    rows.resize(ProjectDocuments::RowCount);
    for (const DocumentRow& row : rows) {
        auto* item = new QListWidgetItem(m_view);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setData(Delegate::NameRole, row.name);
        item->setData(Delegate::SecondTextRole, row.secondText);
        item->setData(Delegate::PathRole, row.path);
        nameEdited(item);
    }
    m_view->setCurrentRow(0);

    auto makeButton = [this](const QString& text, const char* name, const QString& accessible) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(accessible);
        button->setAutoDefault(false);
        return button;
    };
    m_editButton = makeButton(tr("&Edit"), "documentsEditButton", tr("Edit document name"));
    m_editButton->setToolTip(tr("Renames the marked document (F2)"));
    m_deleteButton = makeButton(tr("De&lete"), "documentsDeleteButton", tr("Delete document"));
    m_deleteButton->setToolTip(tr("Removes the marked document (Delete)"));
    m_attachButton = makeButton(tr("&Attach File..."), "documentsAttachButton", tr("Attach file"));
    m_attachButton->setToolTip(tr("Picks the file of the marked document (or click the folder icon)"));
    m_openButton = makeButton(tr("O&pen File"), "documentsOpenButton", tr("Open file"));
    m_openButton->setToolTip(tr("Opens the marked document's file (or click its file icon)"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
    buttons->setObjectName(QStringLiteral("documentsButtons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("documentsOkButton"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("documentsCancelButton"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));

    auto* side = new QVBoxLayout;
    side->addWidget(buttons);
    side->addSpacing(12);
    side->addWidget(m_editButton);
    side->addWidget(m_deleteButton);
    side->addWidget(m_attachButton);
    side->addWidget(m_openButton);
    side->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(m_view);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_view, buttons->button(QDialogButtonBox::Ok));
    setTabOrder(buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel));
    setTabOrder(buttons->button(QDialogButtonBox::Cancel), m_editButton);
    setTabOrder(m_editButton, m_deleteButton);
    setTabOrder(m_deleteButton, m_attachButton);
    setTabOrder(m_attachButton, m_openButton);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_editButton, &QPushButton::clicked, this, &ProjectDocumentsDialog::editMarkedName);
    connect(m_deleteButton, &QPushButton::clicked, this, &ProjectDocumentsDialog::deleteMarkedRow);
    connect(m_attachButton, &QPushButton::clicked, this, [this] { attachFile(markedRow()); });
    connect(m_openButton, &QPushButton::clicked, this, [this] { openDocument(markedRow()); });
    connect(delegate, &Delegate::folderClicked, this, &ProjectDocumentsDialog::attachFile);
    connect(delegate, &Delegate::fileClicked, this, &ProjectDocumentsDialog::openDocument);
    connect(m_view, &QListWidget::itemChanged, this, &ProjectDocumentsDialog::nameEdited);
}

ProjectDocuments ProjectDocumentsDialog::documents() const
{
    ProjectDocuments documents;
    for (int i = 0; i < ProjectDocuments::RowCount && i < m_view->count(); ++i) {
        const QListWidgetItem* item = m_view->item(i);
        DocumentRow& row = documents.row(i);
        row.name = item->data(Delegate::NameRole).toByteArray();
        row.secondText = item->data(Delegate::SecondTextRole).toByteArray();
        row.path = item->data(Delegate::PathRole).toByteArray();
        RecordDefaults::fill(row);
    }
    return documents;
}

void ProjectDocumentsDialog::attachFile(int row)
{
    QListWidgetItem* item = m_view->item(row);
    if (!item)
        return;
    m_view->setCurrentItem(item);
    const QString current = displayText(item->data(Delegate::PathRole).toByteArray());
    const QString start = current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
    const QString chosen =
        UserDialogs::openFileName(this, tr("Attach Document"), start, tr("All Files (*)"));
    if (!chosen.isEmpty()) {
        item->setData(Delegate::PathRole, storedText(QDir::toNativeSeparators(chosen)));
        m_view->update(m_view->indexFromItem(item));
    }
}

void ProjectDocumentsDialog::openDocument(int row)
{
    const QListWidgetItem* item = m_view->item(row);
    if (!item)
        return;
    const QByteArray path = item->data(Delegate::PathRole).toByteArray();
    if (!path.isEmpty())
        UserDialogs::openFile(this, displayText(path));
}

void ProjectDocumentsDialog::editMarkedName()
{
    if (QListWidgetItem* item = m_view->item(markedRow())) {
        m_view->setFocus();
        m_view->editItem(item);
    }
}

void ProjectDocumentsDialog::deleteMarkedRow()
{
    QListWidgetItem* item = m_view->item(markedRow());
    if (!item || !UserDialogs::askYesNo(this, tr("Do you want to delete this?")))
        return;
    // The second text is not ours to remove: it stays, and the row keeps counting when it is set.
    item->setData(Delegate::NameRole, QByteArray());
    item->setData(Delegate::PathRole, QByteArray());
}

void ProjectDocumentsDialog::accept()
{
    // A name still being typed when OK is pressed belongs to the rows that are written.
    for (QLineEdit* editor : m_view->findChildren<QLineEdit*>(QStringLiteral("documentNameEditor"))) {
        if (editor->isVisible()) {
            emit m_view->itemDelegate()->commitData(editor);
            emit m_view->itemDelegate()->closeEditor(editor);
        }
    }
    if (write())
        QDialog::accept();
}

bool ProjectDocumentsDialog::write()
{
    const QString error = documents().write(m_path);
    if (!error.isEmpty()) {
        UserDialogs::message(this, tr("The project documents could not be saved.\n%1").arg(error),
                             UserDialogs::Icon::Critical);
        return false;
    }
    m_written = true;
    return true;
}

bool ProjectDocumentsDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Key presses reach the view only outside name editing: the in-place editor has the focus then.
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
            deleteMarkedRow();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ProjectDocumentsDialog::nameEdited(QListWidgetItem* item)
{
    // Screen readers get the shown name; the stored name lives in its own role.
    const QString shown = Delegate::shownName(m_view->indexFromItem(item));
    if (item->text() != shown)
        item->setText(shown);
}

int ProjectDocumentsDialog::markedRow() const
{
    const QList<QListWidgetItem*> selected = m_view->selectedItems();
    return selected.isEmpty() ? -1 : m_view->row(selected.first());
}

} // namespace korvane
