#include "core/integration/runningcopy.h"

namespace ambrel::integration {

std::string HandOffClipboard::text() const {
    if (handedOff()) {
        if (auto held = sendToRunningCopy(m_channel, MessageKind::ReadClipboard, {}, kTimeoutMs)) {
            return *held;
        }
    }
    return m_own.text();
}

void HandOffClipboard::setText(const std::string& text) {
    if (handedOff() &&
        sendToRunningCopy(m_channel, MessageKind::HoldClipboard, text, kTimeoutMs).has_value()) {
        return;
    }
    m_own.setText(text);
}

void DuDid21OtherTryToRun(platform::Ui& ui) {
    ui.showWindow(platform::Window::Main);
}

}  // namespace ambrel::integration
