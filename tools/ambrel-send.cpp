// ambrel-send: hands a text to the running My Ambrel, as the browser's context-menu entries
// do. Without a marker the address is added to the target group; "@" in front copies it,
// "$" copies it between the prepend and append texts.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "core/integration/channel.h"
#include "core/integration/handover.h"
#include "core/integration/instance.h"
#include "core/platform/registry.h"

namespace {

using ambrel::integration::MessageKind;

const char* const kUsage =
    "usage: ambrel-send [--exe NAME] TEXT\n"
    "       ambrel-send [--exe NAME] --print-clipboard\n"
    "  TEXT               an address, \"@\" + address (copy) or \"$\" + address (copy wrapped);\n"
    "                     an \"ambrel:\" link from a browser page is decoded first.\n"
    "                     Only the first 254 bytes are sent.\n"
    "  --print-clipboard  print the running copy's clipboard text\n"
    "  --exe NAME         the program to reach (default myambrel)\n";

constexpr int kTimeoutMs = 10000;

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "ambrel:" + the percent-encoded text, as a browser page hands it to the desktop.
std::string fromSchemeLink(const std::string& link) {
    std::string text;
    for (std::size_t i = 7; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size() && hexValue(link[i + 1]) >= 0 &&
            hexValue(link[i + 2]) >= 0) {
            text += static_cast<char>(hexValue(link[i + 1]) * 16 + hexValue(link[i + 2]));
            i += 2;
        } else {
            text += link[i];
        }
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::string exe = "myambrel";
    std::optional<std::string> text;
    bool printClipboard = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--exe" && i + 1 < argc) {
            exe = argv[++i];
        } else if (arg == "--print-clipboard") {
            printClipboard = true;
        } else if (arg == "--help" || arg == "-h" || text || arg == "--exe") {
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            text = arg;
        }
    }
    if (printClipboard == text.has_value()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    try {
        ambrel::platform::RegistryStore registry(ambrel::platform::RegistryStore::defaultFile());
        const std::string channel = ambrel::integration::runningCopyChannel(registry, exe);
        if (channel.empty()) {
            std::fprintf(stderr, "ambrel-send: %s is not running\n", exe.c_str());
            return 1;
        }
        std::string sent;
        if (text) {
            sent = text->starts_with("ambrel:") ? fromSchemeLink(*text) : *text;
            sent.resize(std::min(sent.size(), ambrel::integration::kHandOverTextMax));
        }
        const std::optional<std::string> answer = ambrel::integration::sendToRunningCopy(
            channel, printClipboard ? MessageKind::ReadClipboard : MessageKind::NewDownload, sent,
            kTimeoutMs);
        if (!answer) {
            std::fprintf(stderr, "ambrel-send: %s is not running (no answer on %s)\n", exe.c_str(),
                         channel.c_str());
            return 1;
        }
        if (printClipboard) {
            std::fwrite(answer->data(), 1, answer->size(), stdout);
            std::fputc('\n', stdout);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ambrel-send: %s\n", e.what());
        return 1;
    }
}
