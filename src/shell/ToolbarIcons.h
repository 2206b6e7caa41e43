#pragma once

#include "shell/Commands.h"

#include <QIcon>

namespace korvane {

/** The pictures of the toolbar buttons and menu entries, drawn at run time so they stay sharp at any size. */
QIcon toolbarIcon(Command command);

} // namespace korvane
