#include "core/integration/runningcopy.h"

#include "core/integration/handover.h"

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

std::optional<std::string> handleChannelMessage(list::Tmyambrel& app, TDuDid2& guard,
                                                MessageKind kind, const std::string& payload) {
    switch (kind) {
        case MessageKind::CopyData:
            return guard.receive(payload) ? std::optional<std::string>("") : std::nullopt;
        case MessageKind::NewDownload:
            app.runCommand([&] { receiveHandOver(app, payload); });
            return "";
        case MessageKind::HoldClipboard:
            app.services().clipboard.setText(payload);
            return "";
        case MessageKind::ReadClipboard:
            return app.services().clipboard.text();
    }
    return std::nullopt;
}

void DuDid21OtherTryToRun(platform::Ui& ui) {
    ui.showWindow(platform::Window::Main);
}

}  // namespace ambrel::integration
