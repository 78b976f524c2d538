#include "gui/progresswindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <climits>

#include "gui/qtui.h"

namespace ambrel::gui {

ProgressWindow::ProgressWindow(transfer::Transfers& transfers, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_transfers(transfers) {
    setObjectName("progressWindow");
    setWindowTitle(QString::fromUtf8(platform::windowCaption(platform::Window::Progress)));

    m_overall = new QProgressBar;
    m_overall->setObjectName("overallBar");
    m_overall->setRange(0, 100);
    m_transfer = new QProgressBar;
    m_transfer->setObjectName("transferBar");
    m_speed = new QLabel;
    m_speed->setObjectName("speedLine");
    auto* cancel = new QPushButton("C");
    cancel->setObjectName("cancelButton");
    cancel->setToolTip("Cancel");
    cancel->setFixedWidth(28);
    connect(cancel, &QPushButton::clicked, this, [this] { m_transfers.cancel(); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_speed, 1);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_overall);
    layout->addWidget(m_transfer);
    layout->addLayout(bottom);
    resize(360, 110);

    m_transfers.progress().onChanged = [this] { takeState(); };
    takeState();
}

ProgressWindow::~ProgressWindow() {
    m_transfers.progress().onChanged = nullptr;
}

void ProgressWindow::takeState() {
    const transfer::ProgressState& s = m_transfers.progress();
    m_overall->setValue(s.overall);
    // A bar counts in int: sizes beyond it are shown in proportion.
    const std::int64_t scale = s.transferMax / INT_MAX + 1;
    m_transfer->setRange(0, static_cast<int>(std::max<std::int64_t>(s.transferMax, 0) / scale));
    m_transfer->setValue(
        static_cast<int>(std::clamp<std::int64_t>(s.transferValue, 0, s.transferMax) / scale));
    m_speed->setText(qs(s.speedLine));
}

}  // namespace ambrel::gui
