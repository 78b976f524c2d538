#pragma once

#include <string>

#include "core/integration/channel.h"
#include "core/integration/instance.h"
#include "core/platform/clipboard.h"
#include "core/platform/ui.h"
#include "core/storage/settings.h"

namespace ambrel::integration {

// A second start's clipboard. What this process puts on the desktop clipboard is gone when
// it ends, so once handed to a running copy every text is sent there to be set and held;
// when that copy does not answer, the own clipboard takes it.
class HandOffClipboard final : public platform::Clipboard {
public:
    explicit HandOffClipboard(platform::Clipboard& own) : m_own(own) {}

    // From now on texts go to the copy listening on channel.
    void handTo(std::string channel) { m_channel = std::move(channel); }
    bool handedOff() const { return !m_channel.empty(); }

    std::string text() const override;
    void setText(const std::string& text) override;

    static constexpr int kTimeoutMs = 5000;

private:
    platform::Clipboard& m_own;
    std::string m_channel;
};

// A second start handed over: the main window comes back from the tray or the taskbar,
// restored, in front. The handed-over arguments are not used here.
void DuDid21OtherTryToRun(platform::Ui& ui);

// Minimising hides the main window only while "Minimize to tray" is on and a tray exists to
// bring it back from.
inline bool hidesToTray(const storage::GeneralSettings& settings, bool trayAvailable) {
    return settings.minimizetotray && trayAvailable;
}

}  // namespace ambrel::integration
