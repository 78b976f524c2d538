#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/transfer/ftpclient.h"
#include "core/transfer/httpclient.h"
#include "core/transfer/progress.h"

namespace ambrel::platform {
class Ui;
}

namespace ambrel::transfer {

inline constexpr const char* kMessageCaption = "My Ambrel";

// The state of the "Authorization required" window (TForm11). The fields keep what was typed
// from one use to the next.
struct AuthorizationState {
    std::string user;
    std::string password;
    char answer = 'y';  // 'y' retry, 'n' cancelled
    std::function<void()> onChanged;
    void changed() const {
        if (onChanged) {
            onChanged();
        }
    }
};

// What every transfer of the run shares: the progress window's state and its cancel flag,
// the download mode flag, the main HTTP client, the FTP client and the run's FTP password,
// and the authorization window's state. Owned by the application object.
class Transfers {
public:
    explicit Transfers(platform::Ui& ui);
    Transfers(const Transfers&) = delete;
    Transfers& operator=(const Transfers&) = delete;

    platform::Ui& ui() const { return m_ui; }
    ProgressState& progress() { return m_progress; }
    AuthorizationState& authorization() { return m_authorization; }
    HttpClient& mainClient() { return *m_mainClient; }
    FtpClient& ftp() { return *m_ftp; }
    // Handles pending events between the slices of a network wait.
    const Pump& pump() const { return m_pump; }

    // Off during downloads and link checks, on during an upload POST or a page fetch; read at
    // the begin of each HTTP transfer.
    bool downloadMode = false;
    std::string ftpPassword;

    // A client for one download, retry or check, freed by its owner. With notifications it
    // drives the progress state and stops when the cancel flag is "n".
    std::unique_ptr<HttpClient> freshClient(HttpSettings settings, bool notifications);
    TransferEvents& httpNotifications() { return *m_httpNotifications; }

    // The progress window's "C": cancel flag "n", the main client's connection closed, the
    // window closed.
    void cancel();
    // The transfer part of "Stop": the main client's connection closed and the FTP session
    // ended; a transfer running on either is cut.
    void stop();

private:
    platform::Ui& m_ui;
    Pump m_pump;
    ProgressState m_progress;
    AuthorizationState m_authorization;
    std::unique_ptr<ProgressNotifications> m_httpNotifications;
    std::unique_ptr<ProgressNotifications> m_ftpNotifications;
    std::unique_ptr<HttpClient> m_mainClient;
    std::unique_ptr<FtpClient> m_ftp;
};

}  // namespace ambrel::transfer
