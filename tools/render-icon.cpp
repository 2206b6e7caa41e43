// Renders the program's SVG icon into the PNG sizes of the hicolor icon theme:
//
//   korvane-render-icon resources/icons/korvane.svg OUTPUT_FOLDER NAME
//
// writes OUTPUT_FOLDER/16x16/apps/NAME.png up to OUTPUT_FOLDER/256x256/apps/NAME.png.

#include "store/SafeFile.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

using namespace korvane;

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: korvane-render-icon ICON.svg OUTPUT_FOLDER NAME\n");
        return 1;
    }
    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: not a readable SVG file\n", qPrintable(args[1]));
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();

        QBuffer png;
        png.open(QIODevice::WriteOnly);
        image.save(&png, "PNG");
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[2]).arg(size);
        QDir().mkpath(folder);
        const QString error = SafeFile::write(QStringLiteral("%1/%2.png").arg(folder, args[3]), png.data());
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    return 0;
}
