#pragma once

#include <QStyledItemDelegate>

namespace korvane {

/**
 * Draws a text cell with the part a search matched marked (bold on the highlight colour); the model
 * gives that part's start and length through the two roles below.
 */
class MatchMarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    enum Role
    {
        MatchStartRole = Qt::UserRole + 1,
        MatchLengthRole
    };

    explicit MatchMarkDelegate(QObject* parent = nullptr);

    /** Draws the cell's background and text, the matched part marked. */
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace korvane
