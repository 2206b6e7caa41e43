#include "views/widgets/MatchMarkDelegate.h"

#include <QApplication>
#include <QPainter>

namespace korvane {

MatchMarkDelegate::MatchMarkDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void MatchMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const qsizetype start = std::clamp<qsizetype>(index.data(MatchStartRole).toLongLong(), 0, text.size());
    const qsizetype length =
        std::clamp<qsizetype>(index.data(MatchLengthRole).toLongLong(), 0, text.size() - start);
    const QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(2, 0, -2, 0);
    const bool selected = item.state & QStyle::State_Selected;
    const QColor ink = item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    QFont bold = item.font;
    bold.setBold(true);

    painter->save();
    painter->setClipRect(area);
    int x = area.left();
    const auto part = [&](const QString& piece, const QFont& font, bool marked) {
        const QFontMetrics metrics(font);
        const int width = metrics.horizontalAdvance(piece);
        if (marked && !selected)
            painter->fillRect(QRect(x, area.top() + 1, width, area.height() - 2),
                              item.palette.color(QPalette::Highlight).lighter(170));
        painter->setFont(font);
        painter->setPen(ink);
        painter->drawText(QRect(x, area.top(), width + 1, area.height()), Qt::AlignVCenter | Qt::AlignLeft,
                          piece);
        x += width;
    };
    part(text.left(start), item.font, false);
    part(text.mid(start, length), bold, true);
    part(text.mid(start + length), item.font, false);
    painter->restore();
}

} // namespace korvane
