#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/app/app.h"
#include "core/integration/channel.h"
#include "core/integration/instance.h"

namespace ambrel::app {

// Runs work once the current event is over: after the sender has its answer.
using RunLater = std::function<void(std::function<void()>)>;

// The running copy's answer to a message on its channel; nullopt refuses it. A hand-over
// text is answered at once and runs as a command through later, since the command may take
// long (an error message waits for the person) and the sender would take silence for a copy
// that is not running; an error the command ends on is shown. A text holding a line break is
// refused in the answer, and the command says so to the person.
std::optional<std::string> handleChannelMessage(Tmyambrel& app, integration::TDuDid2& guard,
                                                integration::MessageKind kind,
                                                const std::string& payload, const RunLater& later);

}  // namespace ambrel::app
