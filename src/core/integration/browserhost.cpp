#include "core/integration/browserhost.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

#include "core/integration/contextmenu.h"
#include "core/integration/handover.h"
#include "core/storage/textfile.h"

namespace ambrel::integration {

namespace {

using nlohmann::json;

// Texts from outside (a file name in an error) may not be UTF-8; they must not stop the
// answer.
std::string serialized(const json& answer) {
    return answer.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string errorAnswer(const std::string& why) {
    return serialized(json{{"error", why}});
}

std::string entriesAnswer(platform::RegistryStore& registry) {
    try {
        registry.reload();
    } catch (const storage::IoError& e) {
        return errorAnswer(std::string("the settings store cannot be read: ") + e.what());
    }
    json entries = json::array();
    for (const ContextMenuEntry& entry : kContextMenuEntries) {
        if (registry.keyExists(contextMenuKey(entry))) {
            entries.push_back({{"title", entry.keyName}, {"marker", entry.marker}});
        }
    }
    return serialized(json{{"entries", entries}});
}

std::string handOverAnswer(const json& text, const HandOverSender& send) {
    if (!text.is_string()) {
        return errorAnswer("a hand-over needs its \"text\"");
    }
    const auto& value = text.get_ref<const std::string&>();
    if (value.empty()) {
        return errorAnswer("the hand-over text is empty");
    }
    if (!isOneLineHandOver(value)) {
        return errorAnswer("a hand-over text is one line");
    }
    if (const std::optional<std::string> refused = send(value)) {
        return errorAnswer(*refused);
    }
    return serialized(json{{"ok", true}});
}

// Reads exactly size bytes. False at the end of the stream or on an error; `got` says how
// many bytes came.
bool readFull(int fd, char* data, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeFull(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool writeMessage(int fd, const std::string& text) {
    const auto length = static_cast<std::uint32_t>(text.size());
    char header[sizeof length];
    std::memcpy(header, &length, sizeof length);
    return writeFull(fd, header, sizeof header) && writeFull(fd, text.data(), text.size());
}

}  // namespace

std::string answerBrowserRequest(const std::string& request, platform::RegistryStore& registry,
                                 const HandOverSender& send) {
    // The parser is not recursive and checks the UTF-8 of every string, so no input can
    // exhaust the stack or put broken text into an answer.
    const json message = json::parse(request, nullptr, false);
    if (message.is_discarded()) {
        return errorAnswer("malformed message: not JSON");
    }
    if (!message.is_object() || !message.contains("request") || !message["request"].is_string()) {
        return errorAnswer("malformed message: an object with a \"request\" is expected");
    }
    const auto& kind = message["request"].get_ref<const std::string&>();
    if (kind == "entries") {
        return entriesAnswer(registry);
    }
    if (kind == "handover") {
        return handOverAnswer(message.contains("text") ? message["text"] : json(), send);
    }
    return errorAnswer("unknown request");
}

bool serveBrowser(int in, int out, platform::RegistryStore& registry, const HandOverSender& send,
                  std::string& why) {
    for (;;) {
        std::uint32_t length = 0;
        char header[sizeof length];
        std::size_t got = 0;
        if (!readFull(in, header, sizeof header, got)) {
            if (got == 0) {
                return true;  // the browser closed the stream between messages
            }
            why = "message cut short in its length";
            return false;
        }
        std::memcpy(&length, header, sizeof length);
        if (length > kBrowserMessageMax) {
            why = "message of " + std::to_string(length) + " bytes refused (at most " +
                  std::to_string(kBrowserMessageMax) + ")";
            writeMessage(out, errorAnswer(why));
            return false;
        }
        std::string request(length, '\0');
        if (!readFull(in, request.data(), request.size(), got)) {
            why = "message cut short: " + std::to_string(got) + " of " + std::to_string(length) +
                  " bytes";
            return false;
        }
        if (!writeMessage(out, answerBrowserRequest(request, registry, send))) {
            why = std::string("cannot answer the browser: ") + std::strerror(errno);
            return false;
        }
    }
}

}  // namespace ambrel::integration
