#include "core/transfer/progress.h"

#include <cstdio>

#include "core/platform/ui.h"

namespace ambrel::transfer {

std::string speedText(std::int64_t bytes, std::int64_t seconds) {
    const double rate = static_cast<double>(bytes) / 1024.0 / static_cast<double>(seconds);
    char buffer[64];
    // %.2f writes the decimal separator of the program's locale.
    std::snprintf(buffer, sizeof buffer, "%.2f", rate);
    return std::string("Transfert speed: ") + buffer + " Ko/s";
}

ProgressNotifications::ProgressNotifications(ProgressState& state, platform::Ui& ui, Kind kind,
                                             std::function<void()> onHttpBegin)
    : m_state(state), m_ui(ui), m_kind(kind), m_onHttpBegin(std::move(onHttpBegin)) {}

void ProgressNotifications::begin(std::int64_t max) {
    m_state.transferMax = max;
    m_state.transferValue = 0;
    m_state.speedLine = kSpeedAtBegin;
    m_state.startTime = now();
    m_state.changed();
    m_ui.processEvents(0);
    if (m_kind == Kind::Http && m_onHttpBegin) {
        m_onHttpBegin();
    }
}

bool ProgressNotifications::progress(std::int64_t count) {
    if (m_kind == Kind::Http && m_state.cancelFlag == 'n') {
        return false;
    }
    m_state.transferValue = count;
    m_state.changed();
    if (m_kind == Kind::Http) {
        m_ui.processEvents(0);
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(now() - m_state.startTime).count();
    if (seconds > 0) {
        m_state.speedLine = speedText(count, seconds);
        m_state.changed();
    }
    m_ui.processEvents(0);
    return true;
}

void ProgressNotifications::end() {
    m_state.transferValue = 0;
    m_state.changed();
}

}  // namespace ambrel::transfer
