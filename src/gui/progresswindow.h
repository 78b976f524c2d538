#pragma once

#include <QWidget>

#include "core/transfer/transfers.h"

class QProgressBar;
class QLabel;

namespace ambrel::gui {

// "Progress" (TForm5), a window without a border: the share of entries started, the current
// transfer, its speed, and "C" to cancel.
class ProgressWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressWindow)

public:
    explicit ProgressWindow(transfer::Transfers& transfers, QWidget* parent = nullptr);
    ~ProgressWindow() override;

private:
    void takeState();

    transfer::Transfers& m_transfers;
    QProgressBar* m_overall = nullptr;
    QProgressBar* m_transfer = nullptr;
    QLabel* m_speed = nullptr;
};

}  // namespace ambrel::gui
