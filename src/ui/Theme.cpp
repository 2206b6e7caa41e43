#include "ui/Theme.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QPalette>
#include <QSettings>
#include <QStyleHints>

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

std::optional<bool>& darkOverride()
{
    static std::optional<bool> dark;
    return dark;
}

/** The application's palette before any theme changed it: the desktop's own. */
const QPalette& desktopPalette()
{
    static const QPalette palette = QApplication::palette();
    return palette;
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230), disabled(127, 127, 127);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Light, QColor(80, 80, 80));
    p.setColor(QPalette::Midlight, QColor(66, 66, 66));
    p.setColor(QPalette::Mid, QColor(40, 40, 40));
    p.setColor(QPalette::Dark, QColor(30, 30, 30));
    p.setColor(QPalette::Shadow, QColor(20, 20, 20));
    p.setColor(QPalette::Link, QColor(90, 160, 240));
    p.setColor(QPalette::LinkVisited, QColor(170, 130, 230));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

QPalette lightPalette()
{
    if (!isDark(desktopPalette()))
        return desktopPalette();
    // The desktop gives only dark colours: a plain light set in their place.
    QPalette p(QColor(239, 239, 239), QColor(239, 239, 239));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Highlight, QColor(48, 140, 198));
    p.setColor(QPalette::HighlightedText, Qt::white);
    return p;
}

bool gtkPrefersDark()
{
    if (qEnvironmentVariable("GTK_THEME").contains(QLatin1String("dark"), Qt::CaseInsensitive))
        return true;
    const QString config = qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")
                               ? QDir::homePath() + QStringLiteral("/.config")
                               : qEnvironmentVariable("XDG_CONFIG_HOME");
    const QSettings gtk(config + QStringLiteral("/gtk-3.0/settings.ini"), QSettings::IniFormat);
    return gtk.value(QStringLiteral("Settings/gtk-application-prefer-dark-theme")).toString() ==
               QLatin1String("1") ||
           gtk.value(QStringLiteral("Settings/gtk-application-prefer-dark-theme")).toString() ==
               QLatin1String("true") ||
           gtk.value(QStringLiteral("Settings/gtk-theme-name"))
               .toString()
               .contains(QLatin1String("dark"), Qt::CaseInsensitive);
}

bool insidePage(const QWidget* widget, const QMainWindow& window)
{
    for (const QWidget* w = widget->parentWidget(); w && w != &window; w = w->parentWidget()) {
        if (w->property("lightPage").toBool())
            return true;
    }
    return false;
}

/** Every colour of every group set, so that nothing of the application's palette shows through. */
QPalette everyColourSet(const QPalette& from)
{
    QPalette palette;
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            palette.setBrush(g, r, from.brush(g, r));
        }
    }
    return palette;
}

/**
 * Lets the window's widgets take up the application's palette again (a style sheet that is taken
 * away leaves the colours it found behind as their own), and gives the widgets that show fixed page
 * colours a palette that goes with them.
 */
void repaintWidgets(QMainWindow& window, bool dark)
{
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (insidePage(widget, window))
            continue;
        if (!widget->property("lightPage").toBool()) {
            widget->setPalette(QPalette());
            continue;
        }
        QPalette palette = dark ? everyColourSet(lightPalette()) : QPalette();
        palette.setColor(QPalette::Base, Qt::white);
        widget->setPalette(palette);
    }
}

} // namespace

QString name(Theme theme)
{
    switch (theme) {
    case Theme::WindowsXP:
        return QStringLiteral("WindowsXP");
    case Theme::System:
        return QStringLiteral("System");
    case Theme::Windows2003:
        break;
    }
    return QStringLiteral("Windows2003");
}

Theme fromName(const QString& text)
{
    for (Theme theme : {Theme::WindowsXP, Theme::Windows2003, Theme::System}) {
        if (text == name(theme))
            return theme;
    }
    return Theme::Windows2003;
}

QColor faceColour(Theme theme)
{
    if (theme == Theme::System)
        return QApplication::palette().color(QPalette::Window);
    return look(theme).face;
}

bool desktopIsDark()
{
    if (darkOverride())
        return *darkOverride();
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (QGuiApplication::styleHints()->colorScheme() == Qt::ColorScheme::Dark)
        return true;
#endif
    return isDark(desktopPalette()) || gtkPrefersDark();
}

void setDarkOverride(std::optional<bool> dark)
{
    darkOverride() = dark;
}

void apply(QMainWindow& window, Theme theme)
{
    desktopPalette(); // keeps the desktop's colours before the first change
    // The style sheet goes first: a style sheet set later keeps the palette the widgets were
    // polished with, so a change of palette alone would leave them in the old colours.
    window.setStyleSheet(QString());
    if (theme == Theme::System) {
        const bool dark = desktopIsDark();
        QApplication::setPalette(dark ? (isDark(desktopPalette()) ? desktopPalette() : darkPalette())
                                      : lightPalette());
        window.setPalette(QPalette());
        repaintWidgets(window, dark);
        window.update();
        return;
    }

    QApplication::setPalette(desktopPalette());
    repaintWidgets(window, false);
    const Look l = look(theme);
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, l.face);
    palette.setColor(QPalette::Button, l.face);
    window.setPalette(palette);
    // Only the frame's own chrome is restyled; lists, trees and pages keep their own colours.
    window.setStyleSheet(QStringLiteral("QToolBar { background: %1; border: none; spacing: 2px; }"
                                        "QToolBar::separator { background: %2; width: 1px; margin: 4px 3px; }"
                                        "QMainWindow::separator { background: %1; width: 4px; height: 4px; }"
                                        "QSplitter::handle { background: %1; }"
                                        "QStatusBar { background: %1; }"
                                        "QDockWidget::title { background: %3; padding: 3px; }")
                             .arg(l.face.name(), l.edge.name(), l.caption.name()));
    window.update();
}

} // namespace korvane::Themes
