#pragma once

#include <QDialog>

#include "core/transfer/transfers.h"

class QLineEdit;

namespace ambrel::gui {

// "Authorization required" (TForm11): the user name and password for a 401 reply.
class AuthorizationDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AuthorizationDialog)

public:
    explicit AuthorizationDialog(transfer::AuthorizationState& state, QWidget* parent = nullptr);
    ~AuthorizationDialog() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void takeState();

    transfer::AuthorizationState& m_state;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
};

}  // namespace ambrel::gui
