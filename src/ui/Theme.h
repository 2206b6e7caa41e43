#pragma once

#include <QColor>
#include <QString>

class QMainWindow;

namespace korvane {

/** The two looks of the main window; "Windows2003" is the one it starts with. The look is not stored. */
enum class Theme
{
    WindowsXP = 0x8001,
    Windows2003 = 0x8002
};

/** Colours and small style sheets of the two looks. */
namespace Themes {

/** The theme's name as the View menu shows it. */
QString name(Theme theme);

/** The face colour of toolbars, bars and the splitter. */
QColor faceColour(Theme theme);

/** Recolours the window's toolbars, docked bars, splitters and status bar, then repaints it. */
void apply(QMainWindow& window, Theme theme);

} // namespace Themes

} // namespace korvane
