#pragma once

#include <QStyledItemDelegate>

namespace korvane {

/** Draws the rows of the "Tasks Per Resource" list: project rows, and task rows with dates and progress. */
class TaskRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    /** The item data the rows carry; the display text is the task's name or the whole project caption, whose date part is in DatesRole. */
    enum Role
    {
        IsProjectRole = Qt::UserRole + 1,
        DatesRole,
        PercentRole,
        PriorityRole
    };

    static constexpr int kRowHeight = 38;
    static constexpr int kProgressWidth = 82;
    static constexpr int kProgressHeight = 12;

    /** The filled part of the 82-pixel progress bar for a percent complete (none for 0 or less). */
    static int filledWidth(int percent);

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace korvane
