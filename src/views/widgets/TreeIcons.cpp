#include "views/widgets/TreeIcons.h"

#include "views/DetailsTrees.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace korvane {

namespace {

using Draw = std::function<void(QPainter&)>;

QPixmap paint(qreal ratio, const Draw& draw)
{
    QPixmap pixmap(QSize(TreeIcons::kSize, TreeIcons::kSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return pixmap;
}

QPen pen(const QColor& colour, qreal width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

/** A sheet of paper with a folded top-right corner, the base of several pictures. */
void page(QPainter& p, const QRectF& r, const QColor& fill = QColor(252, 252, 252),
          const QColor& edge = QColor(110, 120, 135))
{
    const qreal fold = 4;
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(pen(edge));
    p.setBrush(fill);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(220, 225, 232));
    p.drawPath(corner);
}

void textLines(QPainter& p, qreal left, qreal right, qreal top, int count, const QColor& colour)
{
    p.setPen(pen(colour));
    for (int i = 0; i < count; ++i)
        p.drawLine(QPointF(left, top + i * 2.5), QPointF(right, top + i * 2.5));
}

void person(QPainter& p, qreal cx, qreal top, qreal scale, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QPointF(cx, top + 3 * scale), 2.8 * scale, 2.8 * scale);
    QPainterPath body;
    body.moveTo(cx - 5.2 * scale, top + 12.5 * scale);
    body.cubicTo(cx - 5.2 * scale, top + 7 * scale, cx + 5.2 * scale, top + 7 * scale, cx + 5.2 * scale,
                 top + 12.5 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

void disc(QPainter& p, const QColor& fill, const QColor& edge)
{
    p.setPen(pen(edge));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

void flag(QPainter& p, const QColor& colour)
{
    p.setPen(pen(QColor(90, 90, 90), 1.4));
    p.drawLine(QPointF(4, 2), QPointF(4, 14.5));
    QPainterPath cloth;
    cloth.moveTo(4.6, 2.5);
    cloth.lineTo(13.5, 5.5);
    cloth.lineTo(4.6, 8.8);
    cloth.closeSubpath();
    p.setPen(pen(colour.darker(130)));
    p.setBrush(colour);
    p.drawPath(cloth);
}

/** A coin with an arrow: into the purse for income, out of it for expense. */
void moneyArrow(QPainter& p, const QColor& colour, bool in)
{
    p.setPen(pen(QColor(160, 120, 20)));
    p.setBrush(QColor(245, 200, 60));
    p.drawEllipse(QRectF(1.5, 5.5, 9, 9));
    p.setPen(pen(colour, 1.8));
    const qreal top = 1.5, bottom = 8.5, x = 12.5;
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    if (in)
        p.drawPolyline(QPolygonF({QPointF(x - 2.5, bottom - 2.5), QPointF(x, bottom), QPointF(x + 2.5, bottom - 2.5)}));
    else
        p.drawPolyline(QPolygonF({QPointF(x - 2.5, top + 2.5), QPointF(x, top), QPointF(x + 2.5, top + 2.5)}));
}

Draw stripPicture(std::int64_t index)
{
    switch (index) {
    case TreeIcon::Phone:
        return [](QPainter& p) {
            p.setPen(pen(QColor(60, 64, 72)));
            p.setBrush(QColor(75, 80, 90));
            p.drawRoundedRect(QRectF(4.5, 1.5, 7, 13), 1.5, 1.5);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(150, 205, 240));
            p.drawRect(QRectF(5.5, 3, 5, 7.5));
            p.setBrush(QColor(220, 220, 220));
            p.drawEllipse(QPointF(8, 12.5), 0.9, 0.9);
        };
    case TreeIcon::InvoiceCategory:
        return [](QPainter& p) {
            p.setPen(pen(QColor(180, 130, 30)));
            p.setBrush(QColor(240, 195, 80));
            p.drawRoundedRect(QRectF(1.5, 3.5, 13, 10.5), 1, 1);
            page(p, QRectF(4.5, 1.5, 8, 8));
            p.setPen(pen(QColor(180, 130, 30)));
            p.setBrush(QColor(250, 210, 100));
            p.drawRoundedRect(QRectF(1.5, 6.5, 13, 7.5), 1, 1);
        };
    case TreeIcon::Invoice:
        return [](QPainter& p) {
            page(p, QRectF(2.5, 1.5, 11, 13));
            p.setPen(pen(QColor(40, 110, 200), 1.3));
            p.drawLine(QPointF(4.5, 4.5), QPointF(8.5, 4.5));
            textLines(p, 4.5, 11.5, 7.5, 2, QColor(150, 160, 175));
            p.setPen(pen(QColor(30, 140, 70), 1.4));
            p.drawLine(QPointF(8, 12.5), QPointF(11.5, 12.5));
        };
    case TreeIcon::TasksRoot:
        return [](QPainter& p) {
            p.setPen(pen(QColor(120, 85, 45)));
            p.setBrush(QColor(190, 140, 80));
            p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12.5), 1.2, 1.2);
            p.setBrush(QColor(252, 252, 252));
            p.setPen(pen(QColor(150, 150, 150)));
            p.drawRect(QRectF(4, 4, 8, 9.5));
            p.setPen(pen(QColor(90, 90, 90)));
            p.setBrush(QColor(170, 175, 185));
            p.drawRoundedRect(QRectF(5.5, 1, 5, 3), 1, 1);
            p.setPen(pen(QColor(40, 150, 70), 1.3));
            p.drawPolyline(QPolygonF({QPointF(5, 7), QPointF(6, 8), QPointF(7.5, 6)}));
            p.drawPolyline(QPolygonF({QPointF(5, 10.5), QPointF(6, 11.5), QPointF(7.5, 9.5)}));
            textLines(p, 8.5, 11, 7, 1, QColor(120, 120, 120));
            textLines(p, 8.5, 11, 10.5, 1, QColor(120, 120, 120));
        };
    case TreeIcon::Resource:
        return [](QPainter& p) { person(p, 8, 1.5, 1.0, QColor(45, 110, 190)); };
    case TreeIcon::MeetingsRoot:
        return [](QPainter& p) {
            p.setPen(pen(QColor(110, 115, 125)));
            p.setBrush(QColor(252, 252, 252));
            p.drawRoundedRect(QRectF(1.5, 2.5, 13, 12), 1.5, 1.5);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(215, 60, 55));
            p.drawRect(QRectF(2, 3, 12, 3.5));
            p.setBrush(QColor(130, 135, 145));
            for (int row = 0; row < 2; ++row)
                for (int column = 0; column < 3; ++column)
                    p.drawRect(QRectF(3.5 + column * 3.5, 8 + row * 3, 2, 1.8));
            p.setPen(pen(QColor(80, 80, 80), 1.2));
            p.drawLine(QPointF(5, 1), QPointF(5, 4));
            p.drawLine(QPointF(11, 1), QPointF(11, 4));
        };
    case TreeIcon::Meeting:
        return [](QPainter& p) {
            person(p, 5.2, 2.5, 0.85, QColor(0, 140, 140));
            person(p, 10.8, 2.5, 0.85, QColor(0, 110, 170));
            p.setPen(pen(QColor(120, 85, 45)));
            p.setBrush(QColor(200, 150, 90));
            p.drawRoundedRect(QRectF(1.5, 11.5, 13, 3), 1, 1);
        };
    case TreeIcon::AgendaCategory:
        return [](QPainter& p) {
            page(p, QRectF(2.5, 1.5, 11, 13), QColor(255, 250, 205), QColor(170, 150, 70));
            for (int i = 0; i < 3; ++i) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(40, 110, 200));
                p.drawEllipse(QPointF(5, 5.5 + i * 3), 0.9, 0.9);
                textLines(p, 7, 11.5, 5.5 + i * 3, 1, QColor(110, 110, 110));
            }
        };
    case TreeIcon::AgendaItem:
        return [](QPainter& p) {
            disc(p, QColor(252, 252, 252), QColor(40, 110, 200));
            p.setPen(pen(QColor(50, 50, 50), 1.3));
            p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
            p.drawLine(QPointF(8, 8), QPointF(10.5, 9.5));
        };
    case TreeIcon::ActionCategory:
        return [](QPainter& p) {
            p.setPen(pen(QColor(70, 120, 70)));
            p.setBrush(QColor(235, 248, 235));
            p.drawRoundedRect(QRectF(1.5, 2.5, 12, 12), 2, 2);
            p.setPen(pen(QColor(30, 150, 60), 2.0));
            p.drawPolyline(QPolygonF({QPointF(4, 8.5), QPointF(7, 11.5), QPointF(14, 2.5)}));
        };
    case TreeIcon::PaymentRoot:
        return [](QPainter& p) {
            for (int i = 0; i < 3; ++i) {
                p.setPen(pen(QColor(160, 120, 20)));
                p.setBrush(QColor(245, 200, 60));
                p.drawEllipse(QRectF(2, 10.5 - i * 3.5, 12, 4.5));
            }
        };
    case TreeIcon::IncomeCategory:
        return [](QPainter& p) { moneyArrow(p, QColor(50, 155, 75), true); };
    case TreeIcon::ExpenseCategory:
        return [](QPainter& p) { moneyArrow(p, QColor(205, 65, 55), false); };
    case TreeIcon::MoneyEntry:
        return [](QPainter& p) {
            p.setPen(pen(QColor(40, 120, 60)));
            p.setBrush(QColor(170, 220, 170));
            p.drawRoundedRect(QRectF(0.5, 4, 15, 8.5), 1, 1);
            p.setBrush(QColor(235, 250, 235));
            p.drawEllipse(QPointF(8, 8.25), 2.6, 2.6);
        };
    case TreeIcon::Balance:
        return [](QPainter& p) {
            const QColor metal(90, 95, 110);
            p.setPen(pen(metal, 1.3));
            p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
            p.drawLine(QPointF(5, 14), QPointF(11, 14));
            p.drawLine(QPointF(2.5, 4), QPointF(13.5, 4));
            p.setPen(pen(metal));
            p.drawLine(QPointF(3, 4), QPointF(1.5, 8.5));
            p.drawLine(QPointF(3, 4), QPointF(4.5, 8.5));
            p.drawLine(QPointF(13, 4), QPointF(11.5, 8.5));
            p.drawLine(QPointF(13, 4), QPointF(14.5, 8.5));
            p.setBrush(QColor(245, 200, 60));
            p.drawChord(QRectF(1, 6.5, 4, 4), 180 * 16, 180 * 16);
            p.drawChord(QRectF(11, 6.5, 4, 4), 180 * 16, 180 * 16);
        };
    case TreeIcon::Detail:
        return [](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(120, 140, 165));
            p.drawRoundedRect(QRectF(5, 5, 6, 6), 1.5, 1.5);
        };
    case TreeIcon::PriorityBase + 0:
        return [](QPainter& p) { flag(p, QColor(215, 50, 45)); };
    case TreeIcon::PriorityBase + 1:
        return [](QPainter& p) { flag(p, QColor(40, 100, 210)); };
    case TreeIcon::PriorityBase + 2:
        return [](QPainter& p) { flag(p, QColor(160, 160, 160)); };
    default:
        return {};
    }
}

Draw actionPicture(TreeIcons::Action action)
{
    switch (action) {
    case TreeIcons::Action::Import:
        return [](QPainter& p) {
            p.setPen(pen(QColor(90, 95, 110), 1.3));
            p.setBrush(QColor(225, 230, 238));
            p.drawPolyline(QPolygonF({QPointF(2, 9), QPointF(2, 14), QPointF(14, 14), QPointF(14, 9)}));
            p.setPen(pen(QColor(30, 100, 200), 2.0));
            p.drawLine(QPointF(8, 1.5), QPointF(8, 10));
            p.drawPolyline(QPolygonF({QPointF(4.5, 6.8), QPointF(8, 10.3), QPointF(11.5, 6.8)}));
        };
    case TreeIcons::Action::Add:
        return [](QPainter& p) {
            disc(p, QColor(60, 165, 80), QColor(35, 120, 55));
            p.setPen(pen(Qt::white, 2.0));
            p.drawLine(QPointF(8, 4.5), QPointF(8, 11.5));
            p.drawLine(QPointF(4.5, 8), QPointF(11.5, 8));
        };
    case TreeIcons::Action::Modify:
        return [](QPainter& p) {
            QPainterPath body;
            body.moveTo(3, 11);
            body.lineTo(11, 3);
            body.lineTo(13, 5);
            body.lineTo(5, 13);
            body.closeSubpath();
            p.setPen(pen(QColor(170, 110, 20)));
            p.setBrush(QColor(245, 180, 50));
            p.drawPath(body);
            QPainterPath tip;
            tip.moveTo(3, 11);
            tip.lineTo(5, 13);
            tip.lineTo(1.8, 14.2);
            tip.closeSubpath();
            p.setPen(pen(QColor(80, 70, 60)));
            p.setBrush(QColor(240, 220, 190));
            p.drawPath(tip);
            p.setPen(pen(QColor(200, 80, 90)));
            p.setBrush(QColor(235, 120, 130));
            p.drawPolygon(QPolygonF({QPointF(11, 3), QPointF(12.2, 1.8), QPointF(14.2, 3.8), QPointF(13, 5)}));
        };
    case TreeIcons::Action::Delete:
        return [](QPainter& p) {
            p.setPen(pen(QColor(200, 45, 40), 2.6));
            p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
            p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        };
    }
    return {};
}

QColor documentBand(const QString& suffix)
{
    static const QHash<QString, QColor> bands{
        {QStringLiteral("doc"), QColor(40, 100, 200)},  {QStringLiteral("docx"), QColor(40, 100, 200)},
        {QStringLiteral("odt"), QColor(40, 100, 200)},  {QStringLiteral("rtf"), QColor(40, 100, 200)},
        {QStringLiteral("txt"), QColor(120, 130, 140)}, {QStringLiteral("xls"), QColor(30, 140, 70)},
        {QStringLiteral("xlsx"), QColor(30, 140, 70)},  {QStringLiteral("ods"), QColor(30, 140, 70)},
        {QStringLiteral("csv"), QColor(30, 140, 70)},   {QStringLiteral("pdf"), QColor(210, 45, 40)},
        {QStringLiteral("ppt"), QColor(220, 110, 30)},  {QStringLiteral("pptx"), QColor(220, 110, 30)},
        {QStringLiteral("odp"), QColor(220, 110, 30)},  {QStringLiteral("png"), QColor(140, 70, 180)},
        {QStringLiteral("jpg"), QColor(140, 70, 180)},  {QStringLiteral("jpeg"), QColor(140, 70, 180)},
        {QStringLiteral("bmp"), QColor(140, 70, 180)},  {QStringLiteral("html"), QColor(0, 140, 150)},
        {QStringLiteral("htm"), QColor(0, 140, 150)},
    };
    return bands.value(suffix.toLower(), QColor(150, 155, 165));
}

} // namespace

void TreeIcons::prepare(qreal devicePixelRatio)
{
    if (qFuzzyCompare(m_ratio, devicePixelRatio))
        return;
    m_ratio = devicePixelRatio;
    m_strip.clear();
    m_documents.clear();
    for (int i = 0; i < int(m_actions.size()); ++i)
        m_actions[size_t(i)] = paint(m_ratio, actionPicture(Action(i)));
}

const QPixmap& TreeIcons::strip(std::int64_t index, qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    auto found = m_strip.find(index);
    if (found == m_strip.end()) {
        const Draw draw = stripPicture(index);
        found = m_strip.insert(index, draw ? paint(m_ratio, draw) : QPixmap());
    }
    return *found;
}

const QPixmap& TreeIcons::action(Action action, qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    return m_actions[size_t(action)];
}

const QPixmap& TreeIcons::document(const QString& suffix, qreal devicePixelRatio)
{
    prepare(devicePixelRatio);
    const QString key = suffix.toLower();
    auto found = m_documents.find(key);
    if (found == m_documents.end()) {
        const QColor band = documentBand(key);
        found = m_documents.insert(key, paint(m_ratio, [band](QPainter& p) {
                                       page(p, QRectF(2.5, 1.5, 11, 13));
                                       p.setPen(Qt::NoPen);
                                       p.setBrush(band);
                                       p.drawRect(QRectF(3, 9.5, 10, 4.5));
                                       textLines(p, 4.5, 9.5, 4.5, 2, QColor(150, 160, 175));
                                   }));
    }
    return *found;
}

} // namespace korvane
