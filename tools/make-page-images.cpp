// Draws the bitmaps that Korvane's generated pages name ("Images/Project.bmp", ...) into a folder,
// as plain 24-bit BMP files. Not part of the build; run it by hand when a picture changes:
//
//   g++ -std=c++20 -fPIC -O2 tools/make-page-images.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/mpi
//   /tmp/mpi resources/Images
//
// Every icon is a square tile filling its whole bitmap (a bitmap has no transparency, and a tile
// looks the same on the details report's yellow, the print page's white and the export's paper),
// shaded from a lighter top to a darker bottom in its subject's colour, with a white picture drawn
// on a 16-unit grid. Drawing happens four times larger and is then scaled down, for clean edges.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <functional>

namespace {

constexpr int kOversample = 4;

// The palette: one colour per subject, all of a similar weight.
const QColor kProject(0x2F, 0x5D, 0x8A);
const QColor kLead(0x1F, 0x7A, 0x72);
const QColor kTask(0x3C, 0x8D, 0x2F);
const QColor kMeeting(0x6A, 0x4C, 0x93);
const QColor kAgenda(0xC5, 0x8B, 0x1A);
const QColor kAction(0xD0, 0x63, 0x2A);
const QColor kIncome(0x2E, 0x8B, 0x57);
const QColor kExpense(0xB2, 0x3A, 0x3A);
const QColor kPayment(0xA8, 0x7A, 0x12);
const QColor kTurnover(0x1E, 0x7F, 0x9E);
const QColor kHigh(0xC0, 0x39, 0x2B);
const QColor kMedium(0xC9, 0x96, 0x12);
const QColor kLow(0x6F, 0x80, 0x92);
const QColor kPrinter(0x4A, 0x5A, 0x70);
const QColor kWord(0x2B, 0x57, 0x9A);
const QColor kHtml(0xD9, 0x4A, 0x22);
const QColor kMail(0x2A, 0x74, 0xB0);
const QColor kStar(0xF7, 0xC9, 0x48);
const QColor kWhite(0xFF, 0xFF, 0xFF);

using Glyph = std::function<void(QPainter&, const QColor& tile)>;

QPen stroke(const QColor& colour, double width)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

/** A tile of `size` pixels in `colour` with the glyph on it, drawn on a 16-unit grid. */
QImage icon(int size, const QColor& colour, const Glyph& glyph)
{
    const int big = size * kOversample;
    QImage image(big, big, QImage::Format_RGB32);
    image.fill(colour);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(big / 16.0, big / 16.0);

    QLinearGradient shade(0, 0, 0, 16);
    shade.setColorAt(0, colour.lighter(125));
    shade.setColorAt(1, colour.darker(115));
    p.fillRect(QRectF(0, 0, 16, 16), shade);
    // A light line along the top and a dark frame give the tile its edge on any background.
    p.setPen(QPen(QColor(255, 255, 255, 70), 0.5));
    p.drawLine(QPointF(0.75, 0.75), QPointF(15.25, 0.75));
    p.setPen(QPen(colour.darker(150), 0.5 * 16.0 / size * 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.25, 0.25, 15.5, 15.5));

    // A soft shadow under the glyph, then the glyph itself.
    p.save();
    p.translate(0.45, 0.55);
    p.setOpacity(0.28);
    glyph(p, QColor(0, 0, 0));
    p.restore();
    glyph(p, colour);
    p.end();
    return image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The glyphs get the tile colour so that they can cut details out of their white shapes; for the
// shadow pass they get black and draw everything in black.
bool isShadow(const QColor& tile)
{
    return tile == QColor(0, 0, 0);
}
QColor white(const QColor& tile)
{
    return isShadow(tile) ? tile : kWhite;
}

void person(QPainter& p, const QColor& tile, double x, double scale, double alpha = 1.0, double y = 0.0)
{
    p.save();
    p.translate(x, y);
    p.scale(scale, scale);
    p.setOpacity(p.opacity() * alpha);
    p.setPen(Qt::NoPen);
    p.setBrush(white(tile));
    p.drawEllipse(QPointF(8, 5.6), 2.5, 2.5);
    QPainterPath body;
    body.moveTo(3.2, 13.6);
    body.cubicTo(3.2, 9.4, 12.8, 9.4, 12.8, 13.6);
    body.closeSubpath();
    p.drawPath(body);
    p.restore();
}

void star(QPainter& p, const QColor& tile, QPointF centre, double radius)
{
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? radius * 0.45 : radius;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        points << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
    }
    p.setPen(isShadow(tile) ? Qt::NoPen : QPen(kStar.darker(140), 0.35));
    p.setBrush(isShadow(tile) ? tile : kStar);
    p.drawPolygon(points);
}

void folder(QPainter& p, const QColor& tile)
{
    p.setPen(Qt::NoPen);
    p.setBrush(white(tile));
    QPainterPath tab;
    tab.addRoundedRect(QRectF(2.5, 3.8, 5.2, 2.6), 0.8, 0.8);
    p.drawPath(tab);
    p.drawRoundedRect(QRectF(2.5, 5.2, 11, 7.8), 1.0, 1.0);
    if (!isShadow(tile)) {
        p.setPen(stroke(tile.lighter(110), 0.7));
        p.drawLine(QPointF(2.9, 7.0), QPointF(13.1, 7.0));
    }
}

void documentPage(QPainter& p, const QColor& tile)
{
    QPainterPath page;
    page.moveTo(3.5, 1.8);
    page.lineTo(10.2, 1.8);
    page.lineTo(12.8, 4.4);
    page.lineTo(12.8, 14.2);
    page.lineTo(3.5, 14.2);
    page.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(white(tile));
    p.drawPath(page);
    if (!isShadow(tile)) {
        QPainterPath fold;
        fold.moveTo(10.2, 1.8);
        fold.lineTo(10.2, 4.4);
        fold.lineTo(12.8, 4.4);
        fold.closeSubpath();
        p.setBrush(QColor(0xD8, 0xDE, 0xE6));
        p.drawPath(fold);
    }
}

void printer(QPainter& p, const QColor& tile)
{
    p.setPen(Qt::NoPen);
    p.setBrush(white(tile));
    p.drawRect(QRectF(4.8, 2.2, 6.4, 3.6));
    p.drawRoundedRect(QRectF(2.2, 5.8, 11.6, 5.6), 1.2, 1.2);
    if (isShadow(tile)) {
        p.drawRect(QRectF(4.8, 9.2, 6.4, 4.8));
        return;
    }
    // The printed sheet coming out, with two lines of text on it.
    p.setPen(stroke(tile, 0.7));
    p.setBrush(kWhite);
    p.drawRect(QRectF(4.8, 9.2, 6.4, 4.8));
    p.drawLine(QPointF(6.0, 11.0), QPointF(10.0, 11.0));
    p.drawLine(QPointF(6.0, 12.6), QPointF(9.0, 12.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4C, 0xC2, 0x5A));
    p.drawEllipse(QPointF(11.9, 7.5), 0.7, 0.7);
}

/** A tray with an arrow going down into it (money in) or up out of it (money out). */
void tray(QPainter& p, const QColor& tile, bool in)
{
    p.setPen(stroke(white(tile), 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{2.8, 9.4}, {2.8, 13.2}, {13.2, 13.2}, {13.2, 9.4}});
    const double tail = in ? 2.2 : 10.6;
    const double tip = in ? 10.4 : 2.4;
    const double back = in ? tip - 3.2 : tip + 3.2;
    p.drawLine(QPointF(8, tail), QPointF(8, tip));
    p.setPen(stroke(white(tile), 0.6));
    p.setBrush(white(tile));
    p.drawPolygon(QPolygonF{{8, tip + (in ? 0.6 : -0.6)}, {4.9, back}, {11.1, back}});
}

/** An arrow head on a circle round the tile's centre, at `degrees`, pointing anticlockwise. */
void arcHead(QPainter& p, const QColor& tile, double radius, double degrees)
{
    const double a = degrees * M_PI / 180.0;
    const QPointF at(8 + radius * std::cos(a), 8 - radius * std::sin(a));
    const QPointF ahead(-std::sin(a), -std::cos(a));
    const QPointF out(std::cos(a), -std::sin(a));
    p.setPen(Qt::NoPen);
    p.setBrush(white(tile));
    p.drawPolygon(QPolygonF{at + ahead * 2.4, at + out * 2.1, at - out * 2.1});
}

struct Picture
{
    const char* name;
    int size;
    QColor colour;
    Glyph glyph;
};

QImage paperTile()
{
    // The export page's background: warm paper with a faint woven texture. Its period divides 32,
    // so neighbouring tiles meet without a seam.
    const int size = 32;
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(0xFB, 0xF8, 0xEF));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0xB8, 0xA8, 0x80, 22), 1.0));
    for (int k = -size; k < 2 * size; k += 8) {
        p.drawLine(QPointF(k, 0), QPointF(k + size, size));
        p.drawLine(QPointF(k + size, 0), QPointF(k, size));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xA0, 0x90, 0x60, 14));
    for (int y = 4; y < size; y += 8)
        for (int x = 0; x < size; x += 8)
            p.drawEllipse(QPointF(x, y), 1.2, 1.2);
    p.end();
    return image;
}

QList<Picture> pictures()
{
    auto arrowChevron = [](QPainter& p, const QColor& tile, double y, bool up) {
        p.setPen(stroke(white(tile), 2.0));
        p.setBrush(Qt::NoBrush);
        const double tip = up ? y - 3.2 : y + 3.2;
        p.drawPolyline(QPolygonF{{4.3, y}, {8, tip}, {11.7, y}});
    };
    auto checkMark = [](QPainter& p, const QColor& tile) {
        p.setPen(stroke(white(tile), 2.3));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{{3.8, 8.4}, {6.8, 11.6}, {12.4, 4.8}});
    };
    return {
        {"Project.bmp", 24, kProject, folder},
        {"Project1.bmp", 16, kProject, folder},
        {"Lead1.bmp", 16, kLead,
         [](QPainter& p, const QColor& tile) {
             person(p, tile, -0.8, 1.0);
             star(p, tile, QPointF(12.3, 4.0), 2.7);
         }},
        {"Lead.bmp", 16, kLead, [](QPainter& p, const QColor& tile) { person(p, tile, 0, 1.0); }},
        {"Task.bmp", 16, kTask, checkMark},
        {"Meeting1.bmp", 16, kMeeting,
         [](QPainter& p, const QColor& tile) {
             person(p, tile, 4.6, 0.78, 0.75, 3.0);
             person(p, tile, -2.2, 1.0);
         }},
        {"Meeting.bmp", 16, kMeeting,
         [](QPainter& p, const QColor& tile) {
             p.setPen(Qt::NoPen);
             p.setBrush(white(tile));
             p.drawRoundedRect(QRectF(2.6, 3.6, 10.8, 10.0), 1.2, 1.2);
             if (isShadow(tile))
                 return;
             p.setBrush(tile.darker(120));
             p.drawRect(QRectF(2.6, 5.6, 10.8, 0.9));
             for (int row = 0; row < 2; ++row)
                 for (int col = 0; col < 3; ++col)
                     p.drawRect(QRectF(4.2 + col * 2.8, 8.0 + row * 2.6, 1.6, 1.5));
             p.setPen(stroke(tile.darker(140), 1.0));
             p.drawLine(QPointF(5.4, 2.4), QPointF(5.4, 4.6));
             p.drawLine(QPointF(10.6, 2.4), QPointF(10.6, 4.6));
         }},
        {"Agenda.bmp", 16, kAgenda,
         [](QPainter& p, const QColor& tile) {
             p.setPen(Qt::NoPen);
             p.setBrush(white(tile));
             for (double y : {4.6, 8.0, 11.4})
                 p.drawEllipse(QPointF(4.3, y), 1.1, 1.1);
             p.setPen(stroke(white(tile), 1.5));
             for (double y : {4.6, 8.0, 11.4})
                 p.drawLine(QPointF(6.8, y), QPointF(12.4, y));
         }},
        {"Action.bmp", 16, kAction,
         [](QPainter& p, const QColor& tile) {
             p.setPen(stroke(white(tile), 0.4));
             p.setBrush(white(tile));
             p.drawPolygon(
                 QPolygonF{{9.4, 1.8}, {4.2, 9.0}, {7.6, 9.0}, {6.4, 14.2}, {11.8, 6.6}, {8.4, 6.6}});
         }},
        {"Income.bmp", 16, kIncome, [](QPainter& p, const QColor& tile) { tray(p, tile, true); }},
        {"Expense.bmp", 16, kExpense, [](QPainter& p, const QColor& tile) { tray(p, tile, false); }},
        {"Payment.bmp", 16, kPayment,
         [](QPainter& p, const QColor& tile) {
             p.setPen(Qt::NoPen);
             p.setBrush(white(tile));
             p.drawRoundedRect(QRectF(1.8, 4.4, 12.4, 7.2), 0.9, 0.9);
             if (isShadow(tile))
                 return;
             p.setPen(stroke(tile, 0.6));
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(QRectF(3.0, 5.6, 10.0, 4.8), 0.6, 0.6);
             p.setPen(Qt::NoPen);
             p.setBrush(tile);
             p.drawEllipse(QPointF(8, 8), 1.7, 1.7);
         }},
        {"Turnover.bmp", 16, kTurnover,
         [](QPainter& p, const QColor& tile) {
             // Two arrows chasing each other round a circle.
             const double radius = 4.6;
             const QRectF ring(8 - radius, 8 - radius, 2 * radius, 2 * radius);
             p.setPen(stroke(white(tile), 1.6));
             p.setBrush(Qt::NoBrush);
             p.drawArc(ring, 30 * 16, 115 * 16);
             p.drawArc(ring, 210 * 16, 115 * 16);
             arcHead(p, tile, radius, 150);
             arcHead(p, tile, radius, 330);
         }},
        {"High.bmp", 16, kHigh,
         [=](QPainter& p, const QColor& tile) {
             arrowChevron(p, tile, 8.2, true);
             arrowChevron(p, tile, 12.4, true);
         }},
        {"Medium.bmp", 16, kMedium,
         [](QPainter& p, const QColor& tile) {
             p.setPen(stroke(white(tile), 2.0));
             p.drawLine(QPointF(4.2, 6.3), QPointF(11.8, 6.3));
             p.drawLine(QPointF(4.2, 9.9), QPointF(11.8, 9.9));
         }},
        {"Low.bmp", 16, kLow, [=](QPainter& p, const QColor& tile) { arrowChevron(p, tile, 6.4, false); }},
        {"Invoice_print.bmp", 20, kPrinter, printer},
        {"print16.bmp", 16, kPrinter, printer},
        {"Invoice_WordExpo.bmp", 20, kWord,
         [](QPainter& p, const QColor& tile) {
             documentPage(p, tile);
             if (isShadow(tile))
                 return;
             p.setPen(stroke(tile, 1.25));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF{{4.9, 6.4}, {6.3, 11.8}, {8.15, 7.6}, {10.0, 11.8}, {11.4, 6.4}});
         }},
        {"Invoice_HTMLExpo.bmp", 20, kHtml,
         [](QPainter& p, const QColor& tile) {
             documentPage(p, tile);
             if (isShadow(tile))
                 return;
             p.setPen(stroke(tile, 1.15));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF{{6.6, 6.6}, {4.7, 8.8}, {6.6, 11.0}});
             p.drawPolyline(QPolygonF{{9.7, 6.6}, {11.6, 8.8}, {9.7, 11.0}});
             p.drawLine(QPointF(8.7, 6.0), QPointF(7.6, 11.6));
         }},
        {"Invoice_MailTo.bmp", 20, kMail,
         [](QPainter& p, const QColor& tile) {
             p.setPen(Qt::NoPen);
             p.setBrush(white(tile));
             p.drawRoundedRect(QRectF(2.2, 4.2, 11.6, 7.8), 0.8, 0.8);
             if (isShadow(tile))
                 return;
             p.setPen(stroke(tile, 0.9));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF{{2.8, 4.8}, {8.0, 9.0}, {13.2, 4.8}});
             p.drawLine(QPointF(2.8, 11.4), QPointF(6.4, 7.8));
             p.drawLine(QPointF(13.2, 11.4), QPointF(9.6, 7.8));
         }},
    };
}

bool save(const QImage& image, const QString& path)
{
    // Qt writes a 32-bit image without alpha as a 24-bit bitmap.
    const bool ok = image.convertToFormat(QImage::Format_RGB32).save(path, "BMP");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-page-images FOLDER\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = save(paperTile(), folder.filePath(QStringLiteral("empty.bmp")));
    for (const Picture& picture : pictures())
        ok = save(icon(picture.size, picture.colour, picture.glyph),
                  folder.filePath(QLatin1String(picture.name))) &&
             ok;
    return ok ? 0 : 1;
}
