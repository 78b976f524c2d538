#include "core/app/runningcopy.h"

#include "core/app/handover.h"

namespace ambrel::app {

std::optional<std::string> handleChannelMessage(Tmyambrel& app, integration::TDuDid2& guard,
                                                integration::MessageKind kind,
                                                const std::string& payload, const RunLater& later) {
    switch (kind) {
        case integration::MessageKind::CopyData:
            return guard.receive(payload) ? std::optional<std::string>("") : std::nullopt;
        case integration::MessageKind::NewDownload: {
            // The sender learns at once whether the text is taken; a refused text is still
            // handed to the command, which tells the person why nothing was added.
            const bool taken = integration::isOneLineHandOver(
                std::string_view(payload).substr(0, integration::kHandOverTextMax));
            later([&app, payload] { app.runCommand([&] { receiveHandOver(app, payload); }); });
            return taken ? std::optional<std::string>("") : std::nullopt;
        }
        case integration::MessageKind::HoldClipboard:
            app.services().clipboard.setText(payload);
            return "";
        case integration::MessageKind::ReadClipboard:
            return app.services().clipboard.text();
    }
    return std::nullopt;
}

}  // namespace ambrel::app
