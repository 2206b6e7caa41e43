#include "editors/ProjectDocumentsDelegate.h"

#include "records/Text.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace korvane {

namespace {

constexpr int kFolderWidth = 20;
constexpr int kFileWidth = 18;
constexpr int kIconSize = 16;
constexpr int kTextIndent = 6;
const QColor kMarkedBackground(200, 200, 200);
const QColor kSeparator(192, 192, 192);

QIcon fileTypeIcon(const QString& path)
{
    static QFileIconProvider provider;
    QIcon icon = provider.icon(QFileInfo(path));
    if (icon.isNull())
        icon = provider.icon(QFileIconProvider::File);
    return icon;
}

QRect iconIn(const QRect& area)
{
    return QRect(area.left() + (area.width() - kIconSize) / 2, area.top() + (area.height() - kIconSize) / 2,
                 kIconSize, kIconSize);
}

} // namespace

QString ProjectDocumentsDelegate::shownName(const QModelIndex& index)
{
    const QByteArray name = index.data(NameRole).toByteArray();
    if (!name.isEmpty())
        return korvane::displayText(name);
    return QStringLiteral("Custom Field%1").arg(index.row() + 1);
}

QRect ProjectDocumentsDelegate::folderRect(const QRect& row)
{
    const int left = row.left() + qMin(row.width(), kRowWidth) - kFolderWidth;
    return QRect(left, row.top(), kFolderWidth, row.height());
}

QRect ProjectDocumentsDelegate::fileRect(const QRect& row)
{
    return folderRect(row).translated(-kFileWidth, 0).adjusted(0, 0, kFileWidth - kFolderWidth, 0);
}

void ProjectDocumentsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    painter->save();
    const QRect row = option.rect;
    const bool marked = option.state.testFlag(QStyle::State_Selected);
    painter->fillRect(row, marked ? kMarkedBackground : QColor(Qt::white));
    painter->setPen(kSeparator);
    painter->drawLine(row.bottomLeft(), row.bottomRight());

    const QRect file = fileRect(row);
    QRect textRect = row.adjusted(kTextIndent, 0, 0, -1);
    textRect.setRight(file.left() - 2);
    painter->setPen(Qt::black);
    painter->setFont(option.font);
    painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                      option.fontMetrics.elidedText(shownName(index), Qt::ElideRight, textRect.width()));

    static QFileIconProvider provider;
    provider.icon(QFileIconProvider::Folder).paint(painter, iconIn(folderRect(row)));
    const QByteArray path = index.data(PathRole).toByteArray();
    if (!path.isEmpty())
        fileTypeIcon(korvane::displayText(path)).paint(painter, iconIn(file));
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        painter->setPen(QPen(Qt::darkGray, 1, Qt::DotLine));
        painter->drawRect(row.adjusted(0, 0, -1, -2));
    }
    painter->restore();
}

QSize ProjectDocumentsDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(kRowWidth, kRowHeight);
}

QWidget* ProjectDocumentsDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                                const QModelIndex&) const
{
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("documentNameEditor"));
    editor->setAccessibleName(tr("Document name"));
    editor->setFrame(false);
    return editor;
}

void ProjectDocumentsDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    line->setText(shownName(index));
    line->selectAll();
}

void ProjectDocumentsDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                            const QModelIndex& index) const
{
    const QString text = static_cast<QLineEdit*>(editor)->text();
    // An emptied name keeps the old one; the shown text is only stored once the user changed it.
    if (text.isEmpty() || text == shownName(index))
        return;
    model->setData(index, storedText(text), NameRole);
}

void ProjectDocumentsDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                    const QModelIndex&) const
{
    QRect area = option.rect.adjusted(kTextIndent - 2, 1, 0, -2);
    area.setRight(fileRect(option.rect).left() - 2);
    editor->setGeometry(area);
}

bool ProjectDocumentsDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                           const QStyleOptionViewItem& option, const QModelIndex& index)
{
    // The press decides: the view drops the release that follows a closed name editor too closely.
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QPoint at = mouse->position().toPoint();
            if (folderRect(option.rect).contains(at)) {
                emit folderClicked(index.row());
                return true;
            }
            if (fileRect(option.rect).contains(at) && !index.data(PathRole).toByteArray().isEmpty()) {
                emit fileClicked(index.row());
                return true;
            }
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace korvane
