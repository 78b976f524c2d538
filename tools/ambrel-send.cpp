// ambrel-send: hands a text to the running My Ambrel, as the browser's context-menu entries
// do. Without a marker the address is added to the target group; "@" in front copies it,
// "$" copies it between the prepend and append texts. Started by a web browser it is the
// host of the browser extension's context-menu entries.
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "core/integration/browserhost.h"
#include "core/integration/channel.h"
#include "core/integration/handover.h"
#include "core/integration/instance.h"
#include "core/platform/registry.h"
#include "core/storage/text.h"

namespace {

using ambrel::integration::MessageKind;
using ambrel::storage::hexDigitValue;

const char* const kUsage =
    "usage: ambrel-send [--exe NAME] TEXT\n"
    "       ambrel-send [--exe NAME] --print-clipboard\n"
    "       ambrel-send [--exe NAME] --native-host\n"
    "  TEXT               an address, \"@\" + address (copy) or \"$\" + address (copy wrapped);\n"
    "                     an \"ambrel:\" link from a browser page is decoded first.\n"
    "                     Only the first 254 bytes are sent; a text holding a line break\n"
    "                     or a NUL character is refused.\n"
    "  --print-clipboard  print the running copy's clipboard text\n"
    "  --native-host      answer the browser extension on standard input and output\n"
    "                     (browsers start it so by themselves)\n"
    "  --exe NAME         the program to reach (default myambrel)\n";

constexpr int kTimeoutMs = 10000;

// "ambrel:" + the percent-encoded text, as a browser page hands it to the desktop.
std::string fromSchemeLink(const std::string& link) {
    std::string text;
    for (std::size_t i = 7; i < link.size(); ++i) {
        if (link[i] == '%' && i + 2 < link.size() && hexDigitValue(link[i + 1]) >= 0 &&
            hexDigitValue(link[i + 2]) >= 0) {
            text += static_cast<char>(hexDigitValue(link[i + 1]) * 16 + hexDigitValue(link[i + 2]));
            i += 2;
        } else {
            text += link[i];
        }
    }
    return text;
}

// Browsers start a native-messaging host with the caller's origin: Chromium passes
// "chrome-extension://ID/", Firefox the host manifest's path and the extension's id.
bool startedByBrowser(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]).starts_with("chrome-extension://")) {
        return true;
    }
    return argc == 3 && std::string_view(argv[2]) == ambrel::integration::kFirefoxExtensionId;
}

std::string ownFolder() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        return {};
    }
    const std::string exe(path, static_cast<std::size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

// With no copy running, the program installed beside this tool starts with the text as its
// argument, as the context-menu entries start it. It gets a session of its own and none of
// the browser's pipes: the browser ends the host once it has answered.
std::optional<std::string> startProgram(const std::string& exe, const std::string& text) {
    const std::string program = ownFolder() + exe;
    if (exe.find('/') != std::string::npos || ::access(program.c_str(), X_OK) != 0) {
        return exe + " is not running and cannot be started from " + program;
    }
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&files);
    for (int fd : {0, 1, 2}) {
        posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    }
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::string arg0 = program;
    std::string arg1 = text;
    char* const args[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, program.c_str(), &files, &attributes, args, environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        return "cannot start " + program + ": " + std::strerror(rc);
    }
    return std::nullopt;
}

int serveBrowser(const std::string& exe) {
    ambrel::platform::RegistryStore registry(ambrel::platform::RegistryStore::defaultFile());
    const auto send = [&](const std::string& text) -> std::optional<std::string> {
        std::string sent = text;
        sent.resize(std::min(sent.size(), ambrel::integration::kHandOverTextMax));
        const std::string channel = ambrel::integration::runningCopyChannel(registry, exe);
        if (!channel.empty() && ambrel::integration::sendToRunningCopy(
                                    channel, MessageKind::NewDownload, sent, kTimeoutMs)) {
            return std::nullopt;
        }
        return startProgram(exe, sent);
    };
    std::string why;
    if (!ambrel::integration::serveBrowser(STDIN_FILENO, STDOUT_FILENO, registry, send, why)) {
        std::fprintf(stderr, "ambrel-send: %s\n", why.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string exe = "myambrel";
    std::optional<std::string> text;
    bool printClipboard = false;
    const bool byBrowser = startedByBrowser(argc, argv);
    bool nativeHost = byBrowser;
    for (int i = 1; i < argc && !byBrowser; ++i) {
        const std::string arg = argv[i];
        if (arg == "--exe" && i + 1 < argc) {
            exe = argv[++i];
        } else if (arg == "--print-clipboard") {
            printClipboard = true;
        } else if (arg == "--native-host") {
            nativeHost = true;
        } else if (arg == "--help" || arg == "-h" || text || arg == "--exe") {
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            text = arg;
        }
    }
    if (nativeHost && !text && !printClipboard) {
        try {
            return serveBrowser(exe);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "ambrel-send: %s\n", e.what());
            return 1;
        }
    }
    if (nativeHost || printClipboard == text.has_value()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    std::string sent;
    if (text) {
        sent = text->starts_with("ambrel:") ? fromSchemeLink(*text) : *text;
        sent.resize(std::min(sent.size(), ambrel::integration::kHandOverTextMax));
        // The running copy would refuse it too; saying so here tells the sender.
        if (!ambrel::integration::isOneLineHandOver(sent)) {
            std::fputs(
                "ambrel-send: refused: the text holds a line break or a NUL character, which "
                "would write more than one line into the list; nothing was sent\n",
                stderr);
            return 1;
        }
    }

    try {
        ambrel::platform::RegistryStore registry(ambrel::platform::RegistryStore::defaultFile());
        const std::string channel = ambrel::integration::runningCopyChannel(registry, exe);
        // A link clicked in a browser page has nobody to tell that no copy runs: it starts
        // the program instead, as the browser's context-menu entries do.
        const bool clicked = text && text->starts_with("ambrel:");
        const auto startInstead = [&] {
            const std::optional<std::string> refused = startProgram(exe, sent);
            if (refused) {
                std::fprintf(stderr, "ambrel-send: %s\n", refused->c_str());
            }
            return refused ? 1 : 0;
        };
        if (channel.empty()) {
            if (clicked) {
                return startInstead();
            }
            std::fprintf(stderr, "ambrel-send: %s is not running\n", exe.c_str());
            return 1;
        }
        const ambrel::integration::SendResult result = ambrel::integration::sendMessage(
            channel, printClipboard ? MessageKind::ReadClipboard : MessageKind::NewDownload, sent,
            kTimeoutMs);
        using ambrel::integration::SendOutcome;
        // A copy that refused the text would refuse it again from a new start.
        if (clicked && result.outcome != SendOutcome::Answered &&
            result.outcome != SendOutcome::Refused) {
            return startInstead();
        }
        // Only a channel nobody listens on means the program is not running.
        if (result.outcome != SendOutcome::Answered) {
            const char* why = result.outcome == SendOutcome::NotRunning ? "is not running"
                              : result.outcome == SendOutcome::Refused  ? "refused the text"
                                                                        : "did not answer in time";
            std::fprintf(stderr, "ambrel-send: %s %s (%s)\n", exe.c_str(), why, channel.c_str());
            return 1;
        }
        if (printClipboard) {
            std::fwrite(result.answer.data(), 1, result.answer.size(), stdout);
            std::fputc('\n', stdout);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ambrel-send: %s\n", e.what());
        return 1;
    }
}
