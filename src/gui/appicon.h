#pragma once

#include <QIcon>

namespace ambrel::gui {

// The program's own icon, the pictures that are installed into the desktop's icon theme,
// built into the program: desktops without an icon theme still show it in the tray and the
// title bar.
QIcon appIcon();

}  // namespace ambrel::gui
