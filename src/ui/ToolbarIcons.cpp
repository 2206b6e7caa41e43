#include "ui/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace korvane {

namespace {

using Subject = ToolbarIcon::Subject;
using Badge = ToolbarIcon::Badge;

constexpr int kSize = 32;

void drawSubject(QPainter& p, Subject subject)
{
    p.setPen(QPen(QColor(60, 60, 60), 1.2));
    switch (subject) {
    case Subject::Project: {
        p.setBrush(QColor(240, 180, 60));
        QPainterPath folder;
        folder.moveTo(3, 8);
        folder.lineTo(12, 8);
        folder.lineTo(14, 11);
        folder.lineTo(27, 11);
        folder.lineTo(27, 25);
        folder.lineTo(3, 25);
        folder.closeSubpath();
        p.drawPath(folder);
        break;
    }
    case Subject::Task:
        p.setBrush(QColor(250, 250, 245));
        p.drawRoundedRect(QRectF(5, 4, 20, 23), 2, 2);
        p.setPen(QPen(QColor(40, 150, 60), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(9, 15), QPointF(13, 19), QPointF(21, 9)}));
        break;
    case Subject::Meeting:
        p.setBrush(QColor(120, 110, 200));
        p.drawEllipse(QRectF(4, 6, 8, 8));
        p.drawEllipse(QRectF(16, 6, 8, 8));
        p.drawChord(QRectF(1, 15, 14, 14), 0, 180 * 16);
        p.drawChord(QRectF(13, 15, 14, 14), 0, 180 * 16);
        break;
    case Subject::Payment:
        p.setBrush(QColor(245, 200, 40));
        p.drawEllipse(QRectF(4, 5, 21, 21));
        p.setPen(QPen(QColor(140, 100, 0), 2));
        p.setFont(QFont(QStringLiteral("Sans Serif"), 11, QFont::Bold));
        p.drawText(QRectF(4, 5, 21, 21), Qt::AlignCenter, QStringLiteral("$"));
        break;
    case Subject::Login:
        p.setBrush(QColor(230, 190, 70));
        p.drawEllipse(QRectF(3, 9, 11, 11));
        p.drawRect(QRectF(13, 13, 14, 3));
        p.drawRect(QRectF(22, 16, 3, 5));
        break;
    case Subject::Folder:
        p.setBrush(QColor(250, 210, 110));
        p.drawRect(QRectF(3, 9, 24, 16));
        p.setPen(QPen(QColor(30, 90, 180), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(10, 17), QPointF(21, 17));
        p.drawPolyline(QPolygonF({QPointF(17, 13), QPointF(21, 17), QPointF(17, 21)}));
        break;
    case Subject::Sync:
    case Subject::Refresh: {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(30, 130, 60), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(6, 5, 19, 19), 30 * 16, 280 * 16);
        p.setBrush(QColor(30, 130, 60));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(20, 3), QPointF(27, 9), QPointF(19, 11)}));
        if (subject == Subject::Sync) {
            p.setBrush(QColor(70, 70, 70));
            p.drawRoundedRect(QRectF(12, 11, 7, 10), 1, 1);
        }
        break;
    }
    case Subject::Help:
    case Subject::About:
        p.setBrush(QColor(40, 110, 210));
        p.drawEllipse(QRectF(4, 4, 22, 22));
        p.setPen(Qt::white);
        p.setFont(QFont(QStringLiteral("Sans Serif"), 12, QFont::Bold));
        p.drawText(QRectF(4, 4, 22, 22), Qt::AlignCenter,
                   subject == Subject::Help ? QStringLiteral("?") : QStringLiteral("i"));
        break;
    case Subject::Print:
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(9, 4, 12, 8));
        p.setBrush(QColor(120, 120, 130));
        p.drawRoundedRect(QRectF(4, 11, 22, 10), 2, 2);
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(9, 18, 12, 8));
        break;
    case Subject::Export:
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(5, 3, 16, 22));
        p.setPen(QPen(QColor(200, 90, 30), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(13, 17), QPointF(26, 17));
        p.drawPolyline(QPolygonF({QPointF(22, 13), QPointF(26, 17), QPointF(22, 21)}));
        break;
    case Subject::StepBack:
    case Subject::StepForward:
    case Subject::JumpBack:
    case Subject::JumpForward: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 90, 160));
        const bool back = subject == Subject::StepBack || subject == Subject::JumpBack;
        const bool jump = subject == Subject::JumpBack || subject == Subject::JumpForward;
        auto arrow = [&](qreal x) {
            if (back)
                p.drawPolygon(QPolygonF({QPointF(x + 8, 8), QPointF(x, 15), QPointF(x + 8, 22)}));
            else
                p.drawPolygon(QPolygonF({QPointF(x, 8), QPointF(x + 8, 15), QPointF(x, 22)}));
        };
        if (jump) {
            arrow(7);
            arrow(15);
        } else {
            arrow(11);
        }
        break;
    }
    case Subject::Exit:
        p.setBrush(QColor(200, 60, 50));
        p.drawRoundedRect(QRectF(5, 5, 20, 20), 4, 4);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11, 11), QPointF(19, 19));
        p.drawLine(QPointF(19, 11), QPointF(11, 19));
        break;
    case Subject::Undo:
    case Subject::Redo: {
        // A curved arrow, turning left for Undo and right for Redo.
        p.save();
        if (subject == Subject::Redo) {
            p.translate(kSize, 0);
            p.scale(-1, 1);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(40, 90, 170), 2.8, Qt::SolidLine, Qt::RoundCap));
        QPainterPath curve;
        curve.moveTo(10, 13);
        curve.cubicTo(QPointF(20, 9), QPointF(29, 14), QPointF(24, 24));
        p.drawPath(curve);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 170));
        p.drawPolygon(QPolygonF({QPointF(3, 13), QPointF(12, 6), QPointF(12, 20)}));
        p.restore();
        break;
    }
    case Subject::History:
        p.setBrush(QColor(250, 250, 245));
        p.drawEllipse(QRectF(4, 4, 22, 22));
        p.setPen(QPen(QColor(60, 60, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(15, 8));
        p.drawLine(QPointF(15, 15), QPointF(20, 18));
        break;
    case Subject::None:
        break;
    }
}

void drawBadge(QPainter& p, Badge badge)
{
    if (badge == Badge::None)
        return;
    const QRectF circle(18, 17, 13, 13);
    const QColor colours[] = {QColor(), QColor(30, 150, 60), QColor(40, 110, 210), QColor(200, 50, 40)};
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(colours[int(badge)]);
    p.drawEllipse(circle);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = circle.center();
    switch (badge) {
    case Badge::Add:
        p.drawLine(QPointF(c.x() - 3.5, c.y()), QPointF(c.x() + 3.5, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - 3.5), QPointF(c.x(), c.y() + 3.5));
        break;
    case Badge::Modify:
        p.drawLine(QPointF(c.x() - 3, c.y() + 3), QPointF(c.x() + 3, c.y() - 3));
        break;
    case Badge::Delete:
        p.drawLine(QPointF(c.x() - 3, c.y() - 3), QPointF(c.x() + 3, c.y() + 3));
        p.drawLine(QPointF(c.x() + 3, c.y() - 3), QPointF(c.x() - 3, c.y() + 3));
        break;
    case Badge::None:
        break;
    }
}

QIcon draw(Subject subject, Badge badge)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        drawSubject(painter, subject);
        drawBadge(painter, badge);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon toolbarIcon(ToolbarIcon icon)
{
    if (icon.subject == Subject::None)
        return {};
    return draw(icon.subject, icon.badge);
}

} // namespace korvane
