#pragma once

#include <functional>

#include "core/app/app.h"
#include "core/platform/browser.h"

namespace ambrel::app {

// The small buttons beside the embedded browser and what the browser tells the main window:
// history states for "+" and "-", and the fitting of a picture shown alone.
class BrowserCommands final : public platform::BrowserListener {
public:
    static constexpr int kFittedWidth = 270;

    // Listens to the application's browser from now on.
    explicit BrowserCommands(Tmyambrel& app);
    ~BrowserCommands() override;
    BrowserCommands(const BrowserCommands&) = delete;
    BrowserCommands& operator=(const BrowserCommands&) = delete;

    // "G": asks for an address and goes there, even when it is empty; Cancel does nothing.
    void goToUrl();
    void goForward();
    void goBack();
    // "x": stops the page and cuts the transfers under way (see setTransferStop).
    void stop();
    // "l" and "Open in browser": the page shown, in the external browser.
    void openInExternalBrowser();
    // "¤": the maker's site in the external browser.
    void openMakersSite();
    // "?" of the main window: the help page about adding pictures.
    void help();

    // What "x" does to the transfers: closing the main HTTP client's connection and
    // disconnecting the FTP client.
    void setTransferStop(std::function<void()> stopTransfers) {
        m_stopTransfers = std::move(stopTransfers);
    }
    // Told when "+" (forward) or "-" (back) becomes possible or impossible.
    void setHistoryListener(std::function<void(bool forward, bool back)> listener);
    bool forwardEnabled() const { return m_forward; }
    bool backEnabled() const { return m_back; }

    // BrowserListener.
    void documentComplete() override;
    void commandStateChange(int command, bool enabled) override;

private:
    Tmyambrel& m_app;
    std::function<void()> m_stopTransfers;
    std::function<void(bool, bool)> m_historyListener;
    bool m_forward = false;
    bool m_back = false;
};

}  // namespace ambrel::app
