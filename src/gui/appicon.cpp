#include "gui/appicon.h"

namespace ambrel::gui {

QIcon appIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/myambrel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace ambrel::gui
