#include "ui/Theme.h"

#include <QApplication>
#include <QMainWindow>
#include <QPalette>

namespace korvane::Themes {

namespace {

/** The darker edge and the bar caption colour that go with a face colour. */
struct Look
{
    QColor face;
    QColor edge;
    QColor caption;
};

Look look(Theme theme)
{
    if (theme == Theme::WindowsXP)
        return {QColor(236, 233, 216), QColor(172, 168, 153), QColor(214, 223, 247)};
    return {QColor(196, 218, 250), QColor(106, 140, 203), QColor(158, 190, 245)};
}

} // namespace

QString name(Theme theme)
{
    return theme == Theme::WindowsXP ? QStringLiteral("WindowsXP") : QStringLiteral("Windows2003");
}

QColor faceColour(Theme theme)
{
    return look(theme).face;
}

void apply(QMainWindow& window, Theme theme)
{
    const Look l = look(theme);
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, l.face);
    palette.setColor(QPalette::Button, l.face);
    window.setPalette(palette);
    // Only the frame's own chrome is restyled; lists, trees and pages keep their own colours.
    window.setStyleSheet(QStringLiteral(
                             "QToolBar { background: %1; border: none; spacing: 2px; }"
                             "QToolBar::separator { background: %2; width: 1px; margin: 4px 3px; }"
                             "QMainWindow::separator { background: %1; width: 4px; height: 4px; }"
                             "QSplitter::handle { background: %1; }"
                             "QStatusBar { background: %1; }"
                             "QDockWidget::title { background: %3; padding: 3px; }")
                             .arg(l.face.name(), l.edge.name(), l.caption.name()));
    window.update();
}

} // namespace korvane::Themes
