#include "core/app/runningcopy.h"

#include "core/app/handover.h"

namespace ambrel::app {

std::optional<std::string> handleChannelMessage(Tmyambrel& app, integration::TDuDid2& guard,
                                                integration::MessageKind kind,
                                                const std::string& payload, const RunLater& later) {
    switch (kind) {
        case integration::MessageKind::CopyData:
            return guard.receive(payload) ? std::optional<std::string>("") : std::nullopt;
        case integration::MessageKind::NewDownload:
            later([&app, payload] { app.runCommand([&] { receiveHandOver(app, payload); }); });
            return "";
        case integration::MessageKind::HoldClipboard:
            app.services().clipboard.setText(payload);
            return "";
        case integration::MessageKind::ReadClipboard:
            return app.services().clipboard.text();
    }
    return std::nullopt;
}

}  // namespace ambrel::app
