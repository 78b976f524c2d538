#pragma once

#include <QDialog>

#include "core/platform/ui.h"

namespace ambrel::gui {

// A window of the start-up list whose content comes with its own feature; it exists from
// start-up with its caption so that commands can show, hide and test it.
class ShellWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShellWindow)

public:
    explicit ShellWindow(platform::Window which, QWidget* parent = nullptr);
};

// "About": the program's name and version.
class AboutWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutWindow)

public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace ambrel::gui
