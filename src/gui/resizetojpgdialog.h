#pragma once

#include <QDialog>

#include "core/app/app.h"
#include "core/app/pictures.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace ambrel::gui {

// "Resize to jpg": the mode, the value and the three choices of the thumbnail run, bound to
// the picture tools' form; "Ok" runs the resize and the window stays open.
class ResizeToJpgDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResizeToJpgDialog)

public:
    ResizeToJpgDialog(app::Tmyambrel& app, app::PictureTools& tools, QWidget* parent = nullptr);

private:
    app::Tmyambrel& m_app;
    app::PictureTools& m_tools;
};

}  // namespace ambrel::gui
