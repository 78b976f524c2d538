#include "core/transfer/transfers.h"

#include "core/platform/ui.h"

namespace ambrel::transfer {

Transfers::Transfers(platform::Ui& ui) : m_ui(ui), m_pump([&ui] { ui.processEvents(0); }) {
    m_httpNotifications = std::make_unique<ProgressNotifications>(
        m_progress, m_ui, ProgressNotifications::Kind::Http, [this] {
            // Drops what the main client left open; the transfer under way is another
            // client's and goes on.
            if (!downloadMode) {
                m_mainClient->closeConnection();
            }
        });
    m_ftpNotifications =
        std::make_unique<ProgressNotifications>(m_progress, m_ui, ProgressNotifications::Kind::Ftp);
    HttpSettings main;
    main.browserHeaders = true;
    main.followRedirects = true;
    m_mainClient = std::make_unique<HttpClient>(main, m_pump, m_httpNotifications.get());
    m_ftp = std::make_unique<FtpClient>(m_pump, m_ftpNotifications.get());
}

std::unique_ptr<HttpClient> Transfers::freshClient(HttpSettings settings, bool notifications) {
    return std::make_unique<HttpClient>(std::move(settings), m_pump,
                                        notifications ? m_httpNotifications.get() : nullptr);
}

void Transfers::cancel() {
    m_progress.cancelFlag = 'n';
    m_mainClient->closeConnection();
    m_ui.hideWindow(platform::Window::Progress);
    m_progress.changed();
}

void Transfers::stop() {
    m_mainClient->closeConnection();
    m_ftp->disconnect();
}

}  // namespace ambrel::transfer
