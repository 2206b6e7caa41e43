#pragma once

#include <QStyledItemDelegate>

namespace korvane {

/** Draws the rows of the "Project Documents" list, edits their names in place and reports icon clicks. */
class ProjectDocumentsDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    /** The item data the rows carry: the three stored texts as bytes. */
    enum Role
    {
        NameRole = Qt::UserRole + 1,
        SecondTextRole,
        PathRole
    };

    static constexpr int kRowWidth = 420;
    static constexpr int kRowHeight = 26;

    /** The text a row shows: its name, or "Custom Field%d" with its position counted from 1. */
    static QString shownName(const QModelIndex& index);

    /** The 20 pixels at the row's right end that hold the folder icon. */
    static QRect folderRect(const QRect& row);

    /** The 18 pixels just left of the folder icon that hold the file-type icon. */
    static QRect fileRect(const QRect& row);

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

signals:
    /** The folder icon of a row was clicked. */
    void folderClicked(int row);
    /** The file icon of a row that has a path was clicked. */
    void fileClicked(int row);
};

} // namespace korvane
