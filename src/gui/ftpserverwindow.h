#pragma once

#include <QDialog>
#include <string>
#include <utility>
#include <vector>

#include "core/app/app.h"
#include "core/app/ftpserverdialog.h"

class QCheckBox;
class QLineEdit;

namespace ambrel::gui {

// "Add a new ftp server" (TForm14) and "Edit a ftp server" (TForm15): the same fields over
// the core dialog state of either kind.
class FtpServerWindow final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FtpServerWindow)

public:
    FtpServerWindow(app::FtpServerDialog& dialog, app::Tmyambrel& app, QWidget* parent = nullptr);
    ~FtpServerWindow() override;

private:
    QLineEdit* field(const QString& name, std::string servers::FtpDefinition::*member);
    void showState();

    app::FtpServerDialog& m_dialog;
    app::Tmyambrel& m_app;
    QLineEdit* m_name = nullptr;
    QCheckBox* m_passive = nullptr;
    std::vector<std::pair<QLineEdit*, std::string servers::FtpDefinition::*>> m_fields;
};

}  // namespace ambrel::gui
