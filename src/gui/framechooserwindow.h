#pragma once

#include <QWidget>

#include "core/imaging/framechooser.h"

class QLabel;
class QLineEdit;

namespace ambrel::gui {

// The GIF frame chooser: a small tool window without caption holding the frame number,
// "Max:" with the highest one, and an up/down control. It has no button; its close box
// ends the choice.
class FrameChooserWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrameChooserWindow)

public:
    explicit FrameChooserWindow(imaging::FrameChooser& chooser, QWidget* parent = nullptr);
    ~FrameChooserWindow() override;

private:
    void showChooser();

    imaging::FrameChooser& m_chooser;
    QLineEdit* m_number = nullptr;
    QLabel* m_max = nullptr;
};

}  // namespace ambrel::gui
