#include "views/widgets/ProgressChartDelegate.h"

#include "views/ProgressGraphModel.h"
#include "views/widgets/ProgressChart.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <functional>

namespace korvane {

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor kBandColour(0, 128, 192);
const QColor kProjectColour(240, 240, 240);
const QColor kCellLineColour(0, 0, 128);
const QColor kDottedGrey(152, 152, 152);
const QColor kNowColour(0, 128, 0);

QColor taskTextColour(std::int32_t priority)
{
    switch (priority) {
    case 0:
        return Qt::red;
    case 1:
        return Qt::blue;
    case 2:
        return QColor(150, 150, 150);
    default:
        return Qt::black;
    }
}

QPixmap transparentPixmap(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A round badge with a sign in it: the status pictures.
QPixmap badge(const QColor& colour, const std::function<void(QPainter&)>& sign)
{
    const int size = ProgressChartDelegate::kPictureSize;
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(QPointF(5.5, 5), 9);
    fill.setColorAt(0, colour.lighter(135));
    fill.setColorAt(1, colour);
    painter.setPen(QPen(colour.darker(140), 1));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    sign(painter);
    return pixmap;
}

// A diamond that sits centred on one end of the project's bar.
QPixmap diamond(const QColor& colour)
{
    const int size = ProgressChartDelegate::kPictureSize;
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(7.5, 1);
    path.lineTo(13.5, 7.5);
    path.lineTo(7.5, 14);
    path.lineTo(1.5, 7.5);
    path.closeSubpath();
    painter.setPen(QPen(colour.darker(160), 1));
    painter.setBrush(colour);
    painter.drawPath(path);
    return pixmap;
}

// One 5-pixel piece of a bar: a shaded block with a light seam on its right, so the bar reads as tiles.
QPixmap tile(const QColor& colour)
{
    const int width = ProgressChartDelegate::kTileWidth;
    const int height = ProgressChartDelegate::kTileHeight;
    QPixmap pixmap = transparentPixmap(width, height);
    QPainter painter(&pixmap);
    QLinearGradient fill(0, 0, 0, height);
    fill.setColorAt(0, colour.lighter(130));
    fill.setColorAt(1, colour.darker(115));
    painter.fillRect(QRect(0, 0, width - 1, height), fill);
    painter.fillRect(QRect(width - 1, 0, 1, height), colour.lighter(160));
    painter.setPen(colour.darker(150));
    painter.drawLine(0, 0, width - 1, 0);
    painter.drawLine(0, height - 1, width - 1, height - 1);
    return pixmap;
}

QPixmap endMarkerTile()
{
    const int width = ProgressChartDelegate::kTileWidth;
    const int height = ProgressChartDelegate::kTileHeight;
    QPixmap pixmap = transparentPixmap(width, height);
    QPainter painter(&pixmap);
    const QColor ink(60, 60, 60);
    painter.fillRect(QRect(2, 0, 1, height), ink);
    painter.fillRect(QRect(0, 0, width, 2), ink);
    painter.fillRect(QRect(0, height - 2, width, 2), ink);
    return pixmap;
}

void drawDottedLine(QPainter* painter, const QColor& colour, int x1, int y1, int x2, int y2)
{
    painter->setPen(QPen(colour, 1, Qt::DotLine));
    painter->drawLine(x1, y1, x2, y2);
}

// Draws the tiles from `first` on, one every 5 pixels, skipping those outside the visible cell so that
// a bar far longer than the axis costs no more than the cell's width.
void drawTiles(QPainter* painter, const QPixmap& tile, qint64 first, qint64 count, int y, const QRect& cell)
{
    const qint64 width = ProgressChartDelegate::kTileWidth;
    const qint64 from = std::max<qint64>(0, (qint64(cell.left()) - width - first) / width);
    const qint64 to = std::min<qint64>(count, (qint64(cell.right()) - first) / width + 1);
    for (qint64 i = from; i < to; ++i)
        painter->drawPixmap(int(first + i * width), y, tile);
}

// The column captions of the header row: wrapped onto a second line, and made smaller only when a
// single word is still wider than its narrow column.
void drawCaption(QPainter* painter, const QRect& cell, int alignment, const QString& text)
{
    const int flags = alignment | Qt::AlignVCenter | Qt::TextWordWrap;
    QFont font = painter->font();
    while (font.pixelSize() > 9 &&
           QFontMetrics(font).boundingRect(cell, flags, text).width() > cell.width())
        font.setPixelSize(font.pixelSize() - 1);
    painter->setFont(font);
    painter->drawText(cell, flags, text);
}

} // namespace

QFont ProgressChartDelegate::boldFont(const QFont& base)
{
    QFont font = base;
    font.setPixelSize(13);
    font.setWeight(QFont::Bold);
    return font;
}

ProgressChartDelegate::ProgressChartDelegate(const ProgressChart* chart)
    : QStyledItemDelegate(const_cast<ProgressChart*>(chart))
    , m_chart(chart)
{
}

const QPixmap& ProgressChartDelegate::statusPicture(StatusPicture picture)
{
    static const std::array<QPixmap, 5> pictures = [] {
        const auto behind = [](QPainter& p) {
            p.drawLine(QPointF(7.5, 3.5), QPointF(7.5, 8.5));
            p.drawPoint(QPointF(7.5, 11.5));
        };
        const auto ahead = [](QPainter& p) {
            p.drawLine(QPointF(7.5, 11.5), QPointF(7.5, 4));
            p.drawLine(QPointF(4.5, 7), QPointF(7.5, 4));
            p.drawLine(QPointF(10.5, 7), QPointF(7.5, 4));
        };
        const auto completed = [](QPainter& p) {
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF({QPointF(4, 7.5), QPointF(6.5, 10.5), QPointF(11, 4.5)}));
        };
        return std::array<QPixmap, 5>{badge(QColor(204, 32, 32), behind), badge(QColor(32, 150, 48), ahead),
                                      badge(QColor(30, 90, 200), completed), diamond(QColor(40, 170, 60)),
                                      diamond(QColor(210, 40, 40))};
    }();
    return pictures[size_t(picture)];
}

const QPixmap& ProgressChartDelegate::barTile(BarTile which)
{
    static const std::array<QPixmap, 5> tiles = {tile(QColor(46, 160, 67)), tile(QColor(214, 214, 214)),
                                                 tile(QColor(0, 90, 170)), tile(QColor(170, 200, 232)),
                                                 endMarkerTile()};
    return tiles[size_t(which)];
}

QSize ProgressChartDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const
{
    return QSize(m_chart->columnWidth(0), ProgressChart::kRowHeight);
}

void ProgressChartDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const GraphRow* row = m_chart->graphRow(index.row());
    if (!row)
        return;
    const QRect cell = option.rect;
    const int column = index.column();
    painter->save();
    painter->setClipRect(cell);

    QColor background = Qt::white;
    QColor ink = Qt::black;
    QFont font = option.font;
    switch (row->kind) {
    case GraphRow::Header:
    case GraphRow::Legend:
        background = kBandColour;
        ink = Qt::white;
        font = boldFont(font);
        break;
    case GraphRow::Project:
        background = kProjectColour;
        font = boldFont(font);
        break;
    default:
        ink = taskTextColour(row->priority);
        break;
    }
    painter->fillRect(cell, background);
    painter->setFont(font);
    painter->setPen(ink);

    const QRect textCell = cell.adjusted(kTextPadding, 0, -kTextPadding, 0);
    const bool header = row->kind == GraphRow::Header;
    // The legend row is one cell across the whole row; its cell edges are those of the columns.
    std::array<int, 4> rightEdges{};
    for (int c = 0; c < 4; ++c)
        rightEdges[size_t(c)] = row->kind == GraphRow::Legend
                                    ? cell.left() + m_chart->columnViewportPosition(c) -
                                          m_chart->columnViewportPosition(0) + m_chart->columnWidth(c) - 1
                                    : cell.right();
    int timeLineLeft = cell.left();
    int timeLineRight = cell.right();
    if (row->kind == GraphRow::Legend) {
        timeLineLeft = rightEdges[1] + 1;
        timeLineRight = rightEdges[2];
        paintLegend(painter, cell, font);
    } else if (header && column != 2) {
        static const std::array<QString, 4> captions{u"Lead By"_s, u"Project /Task"_s, QString(), u"Status"_s};
        drawCaption(painter, column == 0 ? textCell : cell.adjusted(1, 0, -1, 0),
                    column == 1 ? Qt::AlignHCenter : Qt::AlignLeft, captions[size_t(column)]);
    } else if (column == 0) {
        painter->drawText(textCell, Qt::AlignLeft | Qt::AlignVCenter,
                          painter->fontMetrics().elidedText(row->lead, Qt::ElideRight, textCell.width()));
    } else if (column == 1) {
        // A name of wide letters can still be wider than its column: it keeps its beginning readable.
        const QString name = ProgressGraphModel::shownName(row->name);
        const bool fits = painter->fontMetrics().horizontalAdvance(name) <= textCell.width();
        painter->drawText(textCell, (fits ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter,
                          painter->fontMetrics().elidedText(name, Qt::ElideRight, textCell.width()));
    } else if (column == 2) {
        if (header)
            paintHeaderTimeLine(painter, cell, font);
        else
            paintTimeLine(painter, cell, *row);
    } else {
        const GraphStatus status = ProgressGraphModel::status(*row, DateTime::now());
        const StatusPicture picture = status == GraphStatus::Behind  ? BehindPicture
                                      : status == GraphStatus::Ahead ? AheadPicture
                                                                     : CompletedPicture;
        painter->drawPixmap(cell.left() + 14, cell.center().y() - kPictureSize / 2, statusPicture(picture));
    }

    if (column == 2 || row->kind == GraphRow::Legend) {
        const int bottom = cell.bottom();
        if (row->kind == GraphRow::Project || row->kind == GraphRow::Task) {
            drawDottedLine(painter, kDottedGrey, timeLineLeft, bottom, timeLineRight, bottom);
        } else {
            painter->setPen(Qt::black);
            painter->drawLine(timeLineLeft, bottom, timeLineRight, bottom);
        }
    }
    painter->setPen(kCellLineColour);
    if (row->kind == GraphRow::Legend) {
        for (int edge : rightEdges)
            painter->drawLine(edge, cell.top(), edge, cell.bottom());
    } else {
        painter->drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
    }

    // The selection stays visible also when the chart has no focus; the focused row gets a frame.
    if (option.state & QStyle::State_Selected) {
        QColor highlight = option.palette.color(QPalette::Active, QPalette::Highlight);
        highlight.setAlpha(70);
        painter->fillRect(cell, highlight);
        if (m_chart->hasFocus()) {
            painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter->drawLine(cell.topLeft(), cell.topRight());
            painter->drawLine(cell.bottomLeft(), cell.bottomRight());
            if (column == 0)
                painter->drawLine(cell.topLeft(), cell.bottomLeft());
            if (column == 3 || row->kind == GraphRow::Legend)
                painter->drawLine(cell.topRight(), cell.bottomRight());
        }
    }
    painter->restore();
}

void ProgressChartDelegate::paintHeaderTimeLine(QPainter* painter, const QRect& cell, const QFont& font) const
{
    const GraphAxis& axis = m_chart->axis();
    const QLocale locale;
    const int middle = cell.top() + cell.height() / 2;
    painter->setFont(font);
    painter->setPen(Qt::white);
    painter->drawText(QRect(cell.left(), cell.top(), cell.width(), middle - cell.top()), Qt::AlignCenter,
                      axis.caption(locale));
    painter->setPen(kCellLineColour);
    painter->drawLine(cell.left(), middle, cell.right(), middle);
    painter->setPen(Qt::white);
    const QStringList labels = axis.labelTexts(locale);
    const double slot = cell.width() / 5.0;
    for (int i = 0; i < 5 && i < labels.size(); ++i) {
        const QRect slotRect(cell.left() + int(slot * i), middle + 1, int(slot), cell.bottom() - middle);
        painter->drawText(slotRect, Qt::AlignCenter, labels.at(i));
    }
}

void ProgressChartDelegate::paintTimeLine(QPainter* painter, const QRect& cell, const GraphRow& row) const
{
    const GraphAxis& axis = m_chart->axis();
    const double slot = cell.width() / 5.0;
    std::array<int, 5> centres{};
    for (int i = 0; i < 5; ++i) {
        centres[size_t(i)] = cell.left() + int(slot * (i + 0.5));
        drawDottedLine(painter, kDottedGrey, centres[size_t(i)], cell.top(), centres[size_t(i)], cell.bottom());
    }
    const int x0 = centres[0];
    const int x4 = centres[4];

    const DateTime now = DateTime::now();
    if (axis.covers(now)) {
        const int x = axis.xFor(now, x0, x4);
        drawDottedLine(painter, kNowColour, x, cell.top(), x, cell.bottom());
    }

    const qint64 start = axis.xFor(row.start, x0, x4);
    const qint64 end = axis.xFor(row.end, x0, x4);
    const qint64 length = end - start;
    const bool project = row.kind == GraphRow::Project;
    const int tileTop = cell.center().y() - kTileHeight / 2;
    if (length > 0) {
        drawTiles(painter, barTile(project ? ProjectToDoTile : TaskToDoTile), start, (length + 4) / kTileWidth,
                  tileTop, cell);
        // A stored percentage outside 0..100 must not draw the done part beyond the bar.
        const qint64 done = length * std::clamp(row.completion, 0, 100) / 100;
        drawTiles(painter, barTile(project ? ProjectDoneTile : TaskDoneTile), start, (done + 4) / kTileWidth,
                  tileTop, cell);
    }
    if (project) {
        const int markerTop = cell.center().y() - kPictureSize / 2;
        if (start - 8 > cell.left() - 2 * kPictureSize && start - 8 < cell.right())
            painter->drawPixmap(int(start - 8), markerTop, statusPicture(ProjectStartMarker));
        if (end - 8 > cell.left() - 2 * kPictureSize && end - 8 < cell.right())
            painter->drawPixmap(int(end - 8), markerTop, statusPicture(ProjectEndMarker));
    } else {
        for (qint64 x : {start, end + 5}) {
            if (x > cell.left() - 2 * kTileWidth && x < cell.right())
                painter->drawPixmap(int(x), tileTop, barTile(TaskEndMarker));
        }
    }
}

void ProgressChartDelegate::paintLegend(QPainter* painter, const QRect& row, const QFont& font) const
{
    painter->setFont(font);
    painter->setPen(Qt::white);
    const std::array<StatusPicture, 3> pictures{BehindPicture, AheadPicture, CompletedPicture};
    const std::array<GraphStatus, 3> statuses{GraphStatus::Behind, GraphStatus::Ahead, GraphStatus::Completed};
    constexpr int kWordOffset = 17;
    constexpr int kStep = 50;
    constexpr int kGap = 14;
    // Pictures 50 pixels apart from 101 pixels left of the centre, unless the words need more room:
    // in a bold font "BEHIND" alone is wider than a step, and the words must not run into each other.
    std::array<int, 3> steps{};
    int width = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const int word = painter->fontMetrics().horizontalAdvance(ProgressGraphModel::statusText(statuses[i]));
        steps[i] = std::max(kStep, kWordOffset + word + kGap);
        width += i + 1 < steps.size() ? steps[i] : kWordOffset + word;
    }
    int x = std::min(row.center().x() - 101, row.center().x() - width / 2);
    const int pictureTop = row.center().y() - kPictureSize / 2;
    for (size_t i = 0; i < pictures.size(); ++i) {
        painter->drawPixmap(x, pictureTop, statusPicture(pictures[i]));
        painter->drawText(QRect(x + kWordOffset, row.top(), steps[i], row.height()), Qt::AlignLeft | Qt::AlignVCenter,
                          ProgressGraphModel::statusText(statuses[i]));
        x += steps[i];
    }
}

} // namespace korvane
