#include "core/transfer/download.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/platform/ui.h"
#include "core/storage/textfile.h"
#include "core/transfer/textrules.h"
#include "core/transfer/transfers.h"

namespace ambrel::transfer {

void showTransferError(Transfers& transfers, const std::string& message) {
    transfers.ui().message("Error : " + message, kMessageCaption,
                           platform::MessageIcon::Information);
}

void filetodownload(Transfers& transfers, const std::string& url, const std::string& file) {
    std::FILE* stream = std::fopen(file.c_str(), "wb");
    if (stream == nullptr) {
        throw storage::IoError("Cannot create file \"" + file + "\". " + std::strerror(errno));
    }
    const std::unique_ptr<std::FILE, decltype(&std::fclose)> owner(stream, &std::fclose);
    const std::string writeError = "Cannot write file \"" + file + "\"";
    DownloadHTTP(
        transfers, url,
        [stream](std::string_view data) {
            return std::fwrite(data.data(), 1, data.size(), stream) == data.size();
        },
        writeError);
}

void DownloadHTTP(Transfers& transfers, const std::string& url, const HttpClient::Sink& sink,
                  const std::string& sinkError) {
    transfers.downloadMode = false;
    HttpSettings settings;
    settings.followRedirects = true;
    const auto client = transfers.freshClient(settings, true);
    try {
        client->get(urlencode(url), sink, sinkError);
        return;
    } catch (const HttpError& e) {
        if (e.code() != 401) {
            showTransferError(transfers, e.what());
            return;
        }
    }
    AuthorizationState& auth = transfers.authorization();
    if (url.find('@') == std::string::npos) {
        platform::Ui& ui = transfers.ui();
        auth.answer = 'y';
        auth.changed();
        ui.showWindow(platform::Window::Authorization);
        while (ui.isWindowVisible(platform::Window::Authorization)) {
            ui.processEvents(200);
        }
    } else {
        const Credentials c = credentialsFromUrl(url);
        auth.user = c.user;
        auth.password = c.password;
        auth.answer = 'y';
        auth.changed();
    }
    relayh(transfers, url, sink, sinkError);
}

namespace {
std::unique_ptr<HttpClient> retryClient(Transfers& transfers) {
    const AuthorizationState& auth = transfers.authorization();
    HttpSettings settings;
    settings.followRedirects = true;
    settings.basicAuth = true;
    settings.user = auth.user;
    settings.password = auth.password;
    return transfers.freshClient(settings, true);
}
}  // namespace

void relayh(Transfers& transfers, const std::string& url, const HttpClient::Sink& sink,
            const std::string& sinkError) {
    if (transfers.authorization().answer == 'n') {
        return;
    }
    const auto client = retryClient(transfers);
    try {
        client->get(urlencode(url), sink, sinkError);
    } catch (const HttpError& e) {
        showTransferError(transfers, e.what());
    }
}

std::string relayb(Transfers& transfers, const std::string& url) {
    if (transfers.authorization().answer == 'n') {
        return {};
    }
    const auto client = retryClient(transfers);
    try {
        return client->getText(urlencode(url));
    } catch (const HttpError& e) {
        showTransferError(transfers, e.what());
        return {};
    }
}

}  // namespace ambrel::transfer
