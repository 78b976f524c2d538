#pragma once

#include <optional>
#include <string>

#include "core/app/app.h"
#include "core/integration/channel.h"
#include "core/integration/instance.h"

namespace ambrel::app {

// The running copy's answer to a message on its channel; nullopt refuses it. A hand-over
// text runs as a command: an error it ends on is shown, and the message still counts as
// handled; a text refused for its line breaks is refused.
std::optional<std::string> handleChannelMessage(Tmyambrel& app, integration::TDuDid2& guard,
                                                integration::MessageKind kind,
                                                const std::string& payload);

}  // namespace ambrel::app
