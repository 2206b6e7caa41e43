#include "editors/TaskRowDelegate.h"

#include "records/Records.h"

#include <QLinearGradient>
#include <QPainter>

namespace korvane {

namespace {

const QColor kProjectBackground(200, 225, 255);
const QColor kFrameShadow(210, 235, 255);
const QColor kMarked(150, 150, 150);
const QColor kLowPriority(150, 150, 150);
const QColor kBarFrame(120, 140, 170);
const QColor kBarFillTop(120, 200, 120);
const QColor kBarFillBottom(30, 130, 40);

constexpr int kNameLeft = 20;
constexpr int kDatesIndent = 10;
constexpr int kLineStep = 16;
constexpr int kBarOffset = 140;
constexpr int kPercentOffset = 87;

QColor priorityColour(int priority)
{
    switch (priority) {
    case TaskRecord::High:
        return Qt::red;
    case TaskRecord::Medium:
        return Qt::blue;
    case TaskRecord::Low:
        return kLowPriority;
    default:
        return Qt::black;
    }
}

void drawProgress(QPainter* painter, const QRect& bar, int percent)
{
    painter->fillRect(bar, Qt::white);
    const int filled = TaskRowDelegate::filledWidth(percent);
    if (filled > 0) {
        const QRect fill(bar.left(), bar.top(), filled, bar.height());
        QLinearGradient gradient(fill.topLeft(), fill.bottomLeft());
        gradient.setColorAt(0, kBarFillTop);
        gradient.setColorAt(1, kBarFillBottom);
        painter->fillRect(fill, gradient);
    }
    painter->setPen(kBarFrame);
    painter->drawRect(bar.adjusted(0, 0, -1, -1));
}

} // namespace

int TaskRowDelegate::filledWidth(int percent)
{
    if (percent <= 0)
        return 0;
    return qMin(percent, 100) * kProgressWidth / 100;
}

void TaskRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QRect row = option.rect;
    const bool marked = option.state.testFlag(QStyle::State_Selected);
    const bool project = index.data(IsProjectRole).toBool();
    const QString text = index.data(Qt::DisplayRole).toString();
    painter->setFont(option.font);

    if (marked)
        painter->fillRect(row, kMarked);
    else
        painter->fillRect(row, project ? kProjectBackground : QColor(Qt::white));

    if (project) {
        painter->setPen(marked ? QColor(Qt::white) : QColor(Qt::black));
        // A long project name gives way, never its dates.
        const QString dates = index.data(DatesRole).toString();
        QString shown = text;
        const int room = row.width() - 6;
        if (option.fontMetrics.horizontalAdvance(shown) > room && text.endsWith(dates)) {
            const QString name = text.left(text.size() - dates.size());
            shown = option.fontMetrics.elidedText(name, Qt::ElideRight,
                                                  room - option.fontMetrics.horizontalAdvance(dates)) + dates;
        }
        painter->drawText(row, Qt::AlignCenter, option.fontMetrics.elidedText(shown, Qt::ElideRight, room));
    } else {
        painter->setPen(marked ? QColor(Qt::white) : priorityColour(index.data(PriorityRole).toInt()));
        const int percent = index.data(PercentRole).toInt();
        const int top = row.top() + 2;
        const int lineHeight = option.fontMetrics.height();
        const QRect nameRect(row.left() + kNameLeft, top, row.width() - kNameLeft - 2, lineHeight);
        painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, nameRect.width()));
        const int datesLeft = row.left() + kNameLeft + kDatesIndent;
        const int secondTop = top + kLineStep;
        painter->drawText(QRect(datesLeft, secondTop, kBarOffset - 4, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(DatesRole).toString());
        const int barLeft = datesLeft + kBarOffset;
        const QRect bar(barLeft, secondTop + (lineHeight - kProgressHeight) / 2, kProgressWidth, kProgressHeight);
        drawProgress(painter, bar, percent);
        painter->drawText(QRect(barLeft + kPercentOffset, secondTop + 2, 48, lineHeight),
                          Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("%1%").arg(percent));
    }

    // The light frame of every row: white on the top and left, pale blue on the bottom and right.
    painter->setPen(Qt::white);
    painter->drawLine(row.topLeft(), row.topRight());
    painter->drawLine(row.topLeft(), row.bottomLeft());
    painter->setPen(kFrameShadow);
    painter->drawLine(row.bottomLeft(), row.bottomRight());
    painter->drawLine(row.topRight(), row.bottomRight());
    painter->restore();
}

QSize TaskRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int height = qMax(kRowHeight, 2 + kLineStep + option.fontMetrics.height() + 4);
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), height);
}

} // namespace korvane
