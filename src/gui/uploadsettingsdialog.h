#pragma once

#include <QDialog>

#include "core/app/app.h"
#include "core/app/uploadsettingswindow.h"

class QComboBox;

namespace ambrel::gui {

class QtUi;

// "Upload settings" (TForm6): the server definitions, the current one, and the commands
// that edit them.
class UploadSettingsDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UploadSettingsDialog)

public:
    UploadSettingsDialog(app::UploadSettingsWindow& window, app::Tmyambrel& app, QtUi& ui,
                         QWidget* parent = nullptr);
    ~UploadSettingsDialog() override;

    // The list takes what core holds; once at start-up, after it was filled.
    void showList();

protected:
    void changeEvent(QEvent* event) override;

private:
    app::UploadSettingsWindow& m_window;
    app::Tmyambrel& m_app;
    QtUi& m_ui;
    QComboBox* m_list = nullptr;
};

}  // namespace ambrel::gui
