#include "views/widgets/ProjectListPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace korvane {

namespace {

QPixmap blank(int width, int height, qreal ratio)
{
    QPixmap pixmap(QSize(qRound(width * ratio), qRound(height * ratio)));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap rowPicture(bool selected, qreal ratio)
{
    const int size = ProjectListPictures::kRowPictureSize;
    QPixmap pixmap = blank(size, size, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF tile(2.5, 2.5, size - 5, size - 5);
    QLinearGradient tileFill(tile.topLeft(), tile.bottomLeft());
    if (selected) {
        tileFill.setColorAt(0, QColor(132, 162, 70));
        tileFill.setColorAt(1, QColor(94, 124, 42));
        painter.setPen(QPen(QColor(78, 104, 34), 1));
    } else {
        tileFill.setColorAt(0, QColor(241, 244, 233));
        tileFill.setColorAt(1, QColor(225, 231, 212));
        painter.setPen(QPen(QColor(196, 205, 178), 1));
    }
    painter.setBrush(tileFill);
    painter.drawRoundedRect(tile, 6, 6);

    // A folder: the project's own drawer of tasks, meetings and money.
    const QColor ink = selected ? QColor(255, 255, 255) : QColor(120, 138, 86);
    QPainterPath folder;
    folder.moveTo(8.5, 11.5);
    folder.lineTo(14.0, 11.5);
    folder.lineTo(15.5, 13.5);
    folder.lineTo(23.5, 13.5);
    folder.lineTo(23.5, 22.5);
    folder.lineTo(8.5, 22.5);
    folder.closeSubpath();
    painter.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(folder);
    painter.drawLine(QPointF(8.5, 16.0), QPointF(23.5, 16.0));
    return pixmap;
}

QPainterPath progressShape(const QRectF& rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, 3, 3);
    return path;
}

QPixmap progressFrame(qreal ratio)
{
    QPixmap pixmap = blank(ProjectListPictures::kProgressWidth, ProjectListPictures::kProgressHeight, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient track(0, 0, 0, ProjectListPictures::kProgressHeight);
    track.setColorAt(0, QColor(226, 229, 220));
    track.setColorAt(1, QColor(244, 245, 240));
    painter.setBrush(track);
    painter.setPen(QPen(QColor(160, 170, 140), 1));
    painter.drawPath(progressShape(
        QRectF(0.5, 0.5, ProjectListPictures::kProgressWidth - 1, ProjectListPictures::kProgressHeight - 1)));
    return pixmap;
}

QPixmap progressFill(qreal ratio)
{
    QPixmap pixmap = blank(ProjectListPictures::kProgressWidth, ProjectListPictures::kProgressHeight, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, ProjectListPictures::kProgressHeight);
    fill.setColorAt(0, QColor(164, 200, 92));
    fill.setColorAt(0.5, QColor(122, 168, 58));
    fill.setColorAt(1, QColor(98, 142, 42));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(84, 120, 36), 1));
    painter.drawPath(progressShape(
        QRectF(0.5, 0.5, ProjectListPictures::kProgressWidth - 1, ProjectListPictures::kProgressHeight - 1)));
    return pixmap;
}

QPainterPath sheet(const QRectF& rect, qreal fold)
{
    QPainterPath path;
    path.moveTo(rect.left(), rect.top());
    path.lineTo(rect.right() - fold, rect.top());
    path.lineTo(rect.right(), rect.top() + fold);
    path.lineTo(rect.right(), rect.bottom());
    path.lineTo(rect.left(), rect.bottom());
    path.closeSubpath();
    return path;
}

QPixmap documentsIcon(qreal ratio)
{
    const int size = ProjectListPictures::kDocumentsIconSize;
    QPixmap pixmap = blank(size, size, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor edge(70, 98, 150);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(QColor(214, 226, 246));
    painter.drawPath(sheet(QRectF(4.5, 0.5, 9, 11), 3));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet(QRectF(1.5, 3.5, 9, 11), 3));
    painter.setPen(QPen(QColor(120, 140, 180), 1));
    for (qreal y : {7.5, 9.5, 11.5})
        painter.drawLine(QPointF(3.5, y), QPointF(8.0, y));
    return pixmap;
}

QPixmap plainFileIcon(qreal ratio)
{
    const int size = ProjectListPictures::kFileIconSize;
    QPixmap pixmap = blank(size, size, ratio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(sheet(QRectF(2.5, 0.5, 11, 15), 4));
    painter.setPen(QPen(QColor(170, 170, 170), 1));
    for (qreal y : {6.5, 9.0, 11.5})
        painter.drawLine(QPointF(5.0, y), QPointF(11.0, y));
    return pixmap;
}

} // namespace

void ProjectListPictures::prepare(qreal devicePixelRatio)
{
    if (qFuzzyCompare(devicePixelRatio, m_ratio))
        return;
    m_ratio = devicePixelRatio;
    m_rowSelected = korvane::rowPicture(true, devicePixelRatio);
    m_rowNormal = korvane::rowPicture(false, devicePixelRatio);
    m_progressFrame = korvane::progressFrame(devicePixelRatio);
    m_progressFill = korvane::progressFill(devicePixelRatio);
    m_documents = korvane::documentsIcon(devicePixelRatio);
    m_plainFile = korvane::plainFileIcon(devicePixelRatio);
}

const QPixmap& ProjectListPictures::rowPicture(bool selected, qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    return selected ? m_rowSelected : m_rowNormal;
}

const QPixmap& ProjectListPictures::progressFrame(qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    return m_progressFrame;
}

const QPixmap& ProjectListPictures::progressFill(qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    return m_progressFill;
}

const QPixmap& ProjectListPictures::documentsIcon(qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    return m_documents;
}

const QPixmap& ProjectListPictures::plainFileIcon(qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    return m_plainFile;
}

} // namespace korvane
