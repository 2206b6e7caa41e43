#include "views/widgets/CKorvaneView.h"

#include "records/Text.h"
#include "store/RecordStore.h"
#include "ui/UserDialogs.h"
#include "views/widgets/ProjectListItemModel.h"
#include "views/widgets/ProjectRowDelegate.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

namespace korvane {

CKorvaneView::CKorvaneView(const RecordStore& store, QWidget* parent)
    : QListView(parent)
    , m_store(store)
    , m_model(new ProjectListItemModel(this))
    , m_delegate(new ProjectRowDelegate(this))
    , m_menu(CommandTable::createContextMenu(CommandTable::projectListContextMenu(),
                                             [this](Command command) { emit commandRequested(command); }, this))
{
    setObjectName(QStringLiteral("projectList"));
    // Rows are drawn in fixed light colours; a dark theme leaves this list light.
    setProperty("lightPage", true);
    setAccessibleName(QStringLiteral("Projects"));
    m_menu->setTitle(QStringLiteral("Project"));
    m_menu->setObjectName(QStringLiteral("projectMenu"));
    m_menu->setAccessibleName(QStringLiteral("Project"));

    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setUniformItemSizes(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalScrollBar()->setSingleStep(ProjectRowDelegate::kRowHeight / 2);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);
    setMouseTracking(true);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    setPalette(colours);
}

void CKorvaneView::fill(const QDate& from, const QDate& to)
{
    m_delegate->clearFileIcons();
    m_model->fill(m_store, from, to);
    setAccessibleDescription(rowCount() > 1 ? QString() : emptyListHint());
    scrollToTop();
}

void CKorvaneView::clear()
{
    m_model->clear();
}

int CKorvaneView::rowCount() const
{
    return m_model->rowCount();
}

int CKorvaneView::selectedRow() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void CKorvaneView::setSelectedRow(int row)
{
    if (row >= 1 && row < rowCount()) {
        const QModelIndex index = m_model->index(row);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    viewport()->update();
}

int CKorvaneView::rowOfProject(const QByteArray& identifier) const
{
    if (identifier.isEmpty())
        return -1;
    for (int row = 1; row < rowCount(); ++row) {
        if (m_model->projectAt(row)->identifier == identifier)
            return row;
    }
    return -1;
}

bool CKorvaneView::showsProgressOf(const QSet<QByteArray>& projects) const
{
    for (const QByteArray& identifier : projects) {
        const int row = rowOfProject(identifier);
        if (row >= 1 && m_model->index(row).data(ProjectListItemModel::ProgressRole).toInt() !=
                            m_store.weightedProgress(identifier))
            return false;
    }
    return true;
}

const ProjectRecord* CKorvaneView::projectAt(int row) const
{
    return m_model->projectAt(row);
}

QSize CKorvaneView::sizeHint() const
{
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(ProjectRowDelegate::contentWidth() + scrollBar + 2 * frameWidth(), QListView::sizeHint().height());
}

void CKorvaneView::commitBeforeChange()
{
    emit aboutToChangeProject();
    // The commit may have stored a new synopsis; the row's copy must not bring the old one back.
    m_model->refreshProject(selectedRow(), m_store);
}

void CKorvaneView::choose(const QByteArray& identifier)
{
    // A slot of aboutToChangeProject may have refilled the list, so the row is looked up again.
    const int row = rowOfProject(identifier);
    if (row < 1)
        return;
    setSelectedRow(row);
    emit projectChosen(identifier);
}

void CKorvaneView::openLinkedFile(const QString& path)
{
    if (!path.isEmpty())
        UserDialogs::openFile(this, path);
}

void CKorvaneView::showMenu(const QPoint& globalPos)
{
    if (!m_menu->isEmpty())
        m_menu->popup(globalPos);
}

void CKorvaneView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    const ProjectRecord* project = index.isValid() ? projectAt(index.row()) : nullptr;
    if (!project)
        return; // the caption row and the space below the last row do nothing

    // Everything needed is taken before the signal: its slots may refill the list.
    const QRect rect = visualRect(index);
    const QByteArray identifier = project->identifier;
    const QString link = displayText(project->fileLink);

    if (event->button() == Qt::RightButton) {
        commitBeforeChange();
        choose(identifier);
        showMenu(event->globalPosition().toPoint());
        return;
    }
    const bool onLink = !link.isEmpty() && ProjectRowDelegate::onLinkIcon(rect, pos);
    const bool onDocuments = !onLink && ProjectRowDelegate::onDocumentsIcon(rect, pos);
    commitBeforeChange();
    if (onLink)
        openLinkedFile(link);
    else if (onDocuments)
        emit documentsRequested(identifier);
    else
        choose(identifier);
}

void CKorvaneView::mouseReleaseEvent(QMouseEvent* event)
{
    // Presses do all the work; the list's own release handling would fire clicked() and editing.
    event->accept();
}

void CKorvaneView::mouseMoveEvent(QMouseEvent* event)
{
    // No drag selection: the mark moves only through a press, so every move is announced.
    event->accept();
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    const ProjectRecord* project = index.isValid() ? projectAt(index.row()) : nullptr;
    bool clickable = false;
    if (project) {
        const QRect rect = visualRect(index);
        clickable = (!project->fileLink.isEmpty() && ProjectRowDelegate::onLinkIcon(rect, pos))
                    || ProjectRowDelegate::onDocumentsIcon(rect, pos);
    }
    if (clickable)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void CKorvaneView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !projectAt(selectedRow()))
        return;
    commitBeforeChange();
    emit modifyRequested();
}

CKorvaneView::KeyAction CKorvaneView::keyAction(const QKeyEvent* event) const
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return modifiers == Qt::NoModifier ? KeyAction::Move : KeyAction::None;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        return modifiers == Qt::NoModifier ? KeyAction::Modify : KeyAction::None;
    case Qt::Key_Menu:
        return KeyAction::Menu;
    case Qt::Key_F10:
        return modifiers == Qt::ShiftModifier ? KeyAction::Menu : KeyAction::None;
    case Qt::Key_D:
        return modifiers == Qt::ControlModifier ? KeyAction::Documents : KeyAction::None;
    case Qt::Key_L:
        return modifiers == Qt::ControlModifier ? KeyAction::OpenLink : KeyAction::None;
    default:
        return KeyAction::None;
    }
}

int CKorvaneView::keyTarget(int key) const
{
    const int first = 1;
    const int last = rowCount() - 1;
    const int current = selectedRow();
    const int page = qMax(1, viewport()->height() / ProjectRowDelegate::kRowHeight);
    if (current < first)
        return key == Qt::Key_End ? last : first;
    switch (key) {
    case Qt::Key_Up:
        return qMax(first, current - 1);
    case Qt::Key_Down:
        return qMin(last, current + 1);
    case Qt::Key_PageUp:
        return qMax(first, current - page);
    case Qt::Key_PageDown:
        return qMin(last, current + page);
    case Qt::Key_Home:
        return first;
    default:
        return last;
    }
}

bool CKorvaneView::event(QEvent* event)
{
    // Keep the list's own keys when a window-wide shortcut uses the same one.
    if (event->type() == QEvent::ShortcutOverride
        && keyAction(static_cast<QKeyEvent*>(event)) != KeyAction::None) {
        event->accept();
        return true;
    }
    return QListView::event(event);
}

void CKorvaneView::keyPressEvent(QKeyEvent* event)
{
    const KeyAction action = keyAction(event);
    if (action == KeyAction::None) {
        // Letters would otherwise jump to a row by name without choosing the project.
        event->ignore();
        return;
    }
    event->accept();
    const int current = selectedRow();
    const ProjectRecord* project = projectAt(current);
    switch (action) {
    case KeyAction::Move: {
        if (rowCount() < 2)
            return;
        const int target = keyTarget(event->key());
        if (target == current)
            return;
        const QByteArray identifier = projectAt(target)->identifier;
        commitBeforeChange();
        choose(identifier);
        return;
    }
    case KeyAction::Modify:
        if (project) {
            commitBeforeChange();
            emit modifyRequested();
        }
        return;
    case KeyAction::Menu: {
        const QRect rect = project ? visualRect(m_model->index(current)) : QRect(0, 0, 0, 0);
        showMenu(viewport()->mapToGlobal(rect.bottomLeft()));
        return;
    }
    case KeyAction::Documents:
        if (project) {
            const QByteArray identifier = project->identifier;
            commitBeforeChange();
            emit documentsRequested(identifier);
        }
        return;
    case KeyAction::OpenLink:
        if (project && !project->fileLink.isEmpty()) {
            const QString link = displayText(project->fileLink);
            commitBeforeChange();
            openLinkedFile(link);
        }
        return;
    case KeyAction::None:
        return;
    }
}

void CKorvaneView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // A right press has already chosen the row and shown the pop-up.
    if (event->reason() == QContextMenuEvent::Mouse)
        return;
    const int current = selectedRow();
    const QRect rect = projectAt(current) ? visualRect(m_model->index(current)) : QRect(0, 0, 0, 0);
    showMenu(viewport()->mapToGlobal(rect.bottomLeft()));
}

QString CKorvaneView::emptyListHint()
{
    return tr("No project starts in the months chosen on the calendar toolbar.\n\n"
              "The From and To months there choose which projects are listed: step them back or "
              "forward to list more.");
}

void CKorvaneView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    if (rowCount() > 1)
        return;
    QPainter painter(viewport());
    const int top = rowCount() == 1 ? visualRect(m_model->index(0, 0)).bottom() + 1 : 0;
    const int margin = fontMetrics().height();
    const QRect area = viewport()->rect().adjusted(margin, top + margin, -margin, -margin);
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, emptyListHint());
}

bool CKorvaneView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QListView::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const ProjectRecord* project = index.isValid() ? projectAt(index.row()) : nullptr;
    if (!project) {
        QToolTip::hideText();
        return true;
    }
    const QRect rect = visualRect(index);
    QString tip;
    if (!project->fileLink.isEmpty() && ProjectRowDelegate::onLinkIcon(rect, help->pos()))
        tip = displayText(project->fileLink);
    else if (ProjectRowDelegate::onDocumentsIcon(rect, help->pos()))
        tip = tr("Project documents");
    else if (ProjectRowDelegate::onProgress(rect, help->pos()))
        tip = tr("Progress: %1%").arg(index.data(ProjectListItemModel::ProgressRole).toInt());
    else
        tip = index.data(Qt::DisplayRole).toString() + QLatin1Char('\n')
              + index.data(ProjectListItemModel::DatesRole).toString();
    QToolTip::showText(help->globalPos(), tip, viewport(), rect);
    return true;
}

} // namespace korvane
