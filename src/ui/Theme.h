#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QMainWindow;

namespace korvane {

/** The looks of the main window; "Windows2003" is the one it starts with until the user picks another. */
enum class Theme
{
    WindowsXP = 0x8001,
    Windows2003 = 0x8002,
    /** The desktop's own style and palette, dark when the desktop is dark. */
    System = 0x8003
};

/** Colours and small style sheets of the looks. */
namespace Themes {

/** The theme's name as the View menu shows it and the settings keep it. */
QString name(Theme theme);

/** The theme of a name given by `name`; Windows2003 for any other text. */
Theme fromName(const QString& name);

/** The face colour of toolbars, bars and the splitter (the palette's window colour for System). */
QColor faceColour(Theme theme);

/** Tells whether the desktop asks for dark colours: its palette, its colour scheme or its GTK settings. */
bool desktopIsDark();

/** Makes the System theme light or dark whatever the desktop says (screenshots, tests); nullopt follows it.
 */
void setDarkOverride(std::optional<bool> dark);

/**
 * Recolours the window's toolbars, docked bars, splitters and status bar, then repaints it. The System
 * theme sets the application's palette; the widgets that show fixed page colours (marked with the
 * property "lightPage") keep a light palette in a dark one, so their pages stay readable.
 */
void apply(QMainWindow& window, Theme theme);

} // namespace Themes

} // namespace korvane
