#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

namespace korvane {

class ProgressChart;
struct GraphRow;

/** Paints the cells of the progress chart: texts and colours by row kind, the axis, the bars and the status pictures. */
class ProgressChartDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    /** The pictures of the status strip, 15 pixels square. */
    enum StatusPicture
    {
        BehindPicture = 0,
        AheadPicture = 1,
        CompletedPicture = 2,
        ProjectStartMarker = 3,
        ProjectEndMarker = 4
    };
    /** The tiles of the bar strip, 5 pixels wide. */
    enum BarTile
    {
        TaskDoneTile = 0,
        TaskToDoTile = 1,
        ProjectDoneTile = 2,
        ProjectToDoTile = 3,
        TaskEndMarker = 4
    };
    static constexpr int kPictureSize = 15;
    static constexpr int kTileWidth = 5;
    static constexpr int kTileHeight = 11;
    /** The space between a text and its cell's edges. */
    static constexpr int kTextPadding = 4;

    /** The bold 13-pixel font of the header, project and legend rows, the widest the chart shows. */
    static QFont boldFont(const QFont& base);

    /** A delegate for the given chart, whose rows and axis it draws. */
    explicit ProgressChartDelegate(const ProgressChart* chart);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /** A picture of the status strip. */
    static const QPixmap& statusPicture(StatusPicture picture);
    /** A tile of the bar strip. */
    static const QPixmap& barTile(BarTile tile);

private:
    void paintHeaderTimeLine(QPainter* painter, const QRect& cell, const QFont& font) const;
    void paintTimeLine(QPainter* painter, const QRect& cell, const GraphRow& row) const;
    void paintLegend(QPainter* painter, const QRect& row, const QFont& font) const;

    const ProgressChart* m_chart;
};

} // namespace korvane
