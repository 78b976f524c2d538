#pragma once

#include <QDialog>

#include "core/app/app.h"
#include "core/app/remove.h"

class QComboBox;
class QCheckBox;

namespace ambrel::gui {

// "Remove online" (TForm7): whether the removed pictures also leave the FTP server they came
// from, and the local disk.
class RemoveOnlineDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RemoveOnlineDialog)

public:
    RemoveOnlineDialog(app::RemoveOnline& state, QWidget* parent = nullptr);
    ~RemoveOnlineDialog() override;

private:
    void takeState();

    app::RemoveOnline& m_state;
    QComboBox* m_servers = nullptr;
    QCheckBox* m_removeLocal = nullptr;
};

}  // namespace ambrel::gui
