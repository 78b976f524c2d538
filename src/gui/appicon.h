#pragma once

#include <QIcon>

namespace ambrel::gui {

// The program's own icon, drawn rather than taken from a theme: desktops without an icon
// theme still show it in the tray and the title bar.
QIcon appIcon();

}  // namespace ambrel::gui
