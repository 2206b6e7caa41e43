#include "shell/WorkupBar.h"

#include "records/Text.h"
#include "store/ProjectDocuments.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextDocument>
#include <QVBoxLayout>

namespace korvane {

namespace {

/** A pane of the bar: a caption line over its content. */
QWidget* captionedPane(const QString& caption, QWidget* content, QWidget* extra = nullptr)
{
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* header = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("<b>%1</b>").arg(caption));
    label->setBuddy(content);
    header->addWidget(label);
    header->addStretch();
    if (extra)
        header->addWidget(extra);
    layout->addLayout(header);
    layout->addWidget(content);
    return pane;
}

} // namespace

WorkupBar::WorkupBar(const RecordStore& store, QWidget* parent)
    : QDockWidget(QStringLiteral("Project Workup's"), parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("WorkupBar"));
    setAccessibleName(windowTitle());

    m_documents = new QListWidget;
    m_documents->setObjectName(QStringLiteral("ProjectDocumentsList"));
    m_documents->setAccessibleName(QStringLiteral("Project Documents"));
    m_documents->setToolTip(QStringLiteral("Double-click or press Enter to open a document"));
    connect(m_documents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openDocument(m_documents->row(item)); });

    auto* edit = new QPushButton(QStringLiteral("&Edit..."));
    edit->setObjectName(QStringLiteral("EditDocumentsButton"));
    edit->setAccessibleName(QStringLiteral("Edit Project Documents"));
    connect(edit, &QPushButton::clicked, this, [this] {
        if (!m_projectId.isEmpty())
            emit documentsEditRequested(m_projectId);
    });

    m_synopsis = new QPlainTextEdit;
    m_synopsis->setObjectName(QStringLiteral("SynopsisEdit"));
    m_synopsis->setAccessibleName(QStringLiteral("Project Synopsis"));
    m_synopsis->setTabChangesFocus(true);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("WorkupSplitter"));
    splitter->addWidget(captionedPane(QStringLiteral("Project Documents"), m_documents, edit));
    splitter->addWidget(captionedPane(QStringLiteral("Project Synopsis"), m_synopsis));
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    setWidget(splitter);
    setEnabled(true);
    showProject(nullptr);
}

void WorkupBar::showProject(const ProjectRecord* project)
{
    m_projectId = project ? project->identifier : QByteArray();
    m_synopsis->setPlainText(project ? displayText(project->synopsis) : QString());
    m_synopsis->document()->setModified(false);
    m_synopsis->setReadOnly(!project);
    refreshDocuments();
}

void WorkupBar::refreshDocuments()
{
    m_documents->clear();
    if (m_projectId.isEmpty())
        return;
    const auto documents = ProjectDocuments::read(m_store.fileName(ListFile::ProjectDoc, m_projectId));
    QFileIconProvider icons;
    for (const DocumentRow& row : documents.rows()) {
        if (!row.counts())
            continue;
        const QString path = displayText(row.path);
        const QString name = row.name.isEmpty() ? QFileInfo(path).fileName() : displayText(row.name);
        auto* item = new QListWidgetItem(name, m_documents);
        item->setToolTip(path);
        item->setData(Qt::UserRole, path);
        const QFileInfo info(path);
        item->setIcon(info.exists() ? icons.icon(info) : icons.icon(QFileIconProvider::File));
    }
}

bool WorkupBar::isSynopsisChanged() const
{
    // The document's own flag, not a text comparison: the edit turns stored "\r\n" into "\n", and an
    // untouched synopsis must never be rewritten.
    return !m_projectId.isEmpty() && m_synopsis->document()->isModified();
}

QByteArray WorkupBar::synopsis() const
{
    return storedText(m_synopsis->toPlainText());
}

void WorkupBar::markSynopsisCommitted()
{
    m_synopsis->document()->setModified(false);
}

void WorkupBar::openDocument(int row)
{
    const QListWidgetItem* item = m_documents->item(row);
    if (item)
        UserDialogs::openFile(this, item->data(Qt::UserRole).toString());
}

} // namespace korvane
