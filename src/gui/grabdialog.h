#pragma once

#include <QDialog>

#include "core/app/app.h"
#include "core/app/grab.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace ambrel::gui {

// "Add links from an address" (Form4): binds its fields to the core grab state.
class GrabDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GrabDialog)

public:
    GrabDialog(app::Tmyambrel& app, app::Grab& grab, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void takeState();

    app::Tmyambrel& m_app;
    app::Grab& m_grab;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_include = nullptr;
    QLineEdit* m_exclude = nullptr;
    QRadioButton* m_pictures = nullptr;
    QRadioButton* m_links = nullptr;
    QCheckBox* m_useSrc = nullptr;
};

}  // namespace ambrel::gui
