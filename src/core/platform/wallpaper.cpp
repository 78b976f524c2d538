#include "core/platform/wallpaper.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace ambrel::platform {
namespace {

constexpr int kToolSeconds = 10;

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// The desktop names of XDG_CURRENT_DESKTOP ("ubuntu:GNOME" holds two), in upper case.
bool desktopIs(const std::string& desktops, const char* name) {
    const std::string all = ":" + upper(desktops) + ":";
    return all.find(std::string(":") + name + ":") != std::string::npos;
}

std::string fileUri(const std::string& path) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || std::strchr("/-_.~", c) != nullptr;
        if (plain) {
            uri += ch;
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 15];
        }
    }
    return uri;
}

}  // namespace

DesktopWallpaper::DesktopWallpaper() {
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::size_t eq = entry.find('=');
        if (eq != std::string::npos) {
            m_environment[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
    }
}

DesktopWallpaper::DesktopWallpaper(std::map<std::string, std::string> environment)
    : m_environment(std::move(environment)) {}

std::string DesktopWallpaper::findTool(const std::string& name) const {
    const auto path = m_environment.find("PATH");
    const std::string dirs = path != m_environment.end() ? path->second : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t stop = dirs.find(':', start);
        if (stop == std::string::npos) {
            stop = dirs.size();
        }
        const std::string dir = dirs.substr(start, stop - start);
        if (!dir.empty()) {
            const std::string candidate = dir + "/" + name;
            if (::access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
        }
        start = stop + 1;
    }
    return "";
}

std::string DesktopWallpaper::run(const std::string& tool,
                                  const std::vector<std::string>& arguments) const {
    std::vector<std::string> args{tool};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (const auto& [key, value] : m_environment) {
        env.push_back(key + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        throw WallpaperError(std::string("Cannot start ") + tool + ": " + std::strerror(errno));
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pid_t pid = 0;
    const int error =
        ::posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (error != 0) {
        ::close(out[0]);
        throw WallpaperError("Cannot start " + tool + ": " + std::strerror(error));
    }
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kToolSeconds);
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{out[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        // A tool that writes without end is not a wallpaper tool.
        if (output.size() < (1U << 20)) {
            output.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(out[0]);
    if (timedOut) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) {
        throw WallpaperError(tool + " did not finish within " + std::to_string(kToolSeconds) +
                             " seconds");
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw WallpaperError(tool + " could not set the wallpaper");
    }
    return output;
}

void DesktopWallpaper::set(const std::string& picture) {
    const auto found = m_environment.find("XDG_CURRENT_DESKTOP");
    const std::string desktop = found != m_environment.end() ? found->second : "";
    const std::string gsettings = findTool("gsettings");
    if (!gsettings.empty()) {
        if (desktopIs(desktop, "GNOME") || desktopIs(desktop, "UNITY") ||
            desktopIs(desktop, "BUDGIE")) {
            run(gsettings,
                {"set", "org.gnome.desktop.background", "picture-uri", fileUri(picture)});
            // GNOME 42 and later show this one with a dark style; older ones do not know it.
            try {
                run(gsettings,
                    {"set", "org.gnome.desktop.background", "picture-uri-dark", fileUri(picture)});
            } catch (const WallpaperError&) {
            }
            return;
        }
        if (desktopIs(desktop, "X-CINNAMON") || desktopIs(desktop, "CINNAMON")) {
            run(gsettings,
                {"set", "org.cinnamon.desktop.background", "picture-uri", fileUri(picture)});
            return;
        }
        if (desktopIs(desktop, "MATE")) {
            run(gsettings, {"set", "org.mate.background", "picture-filename", picture});
            return;
        }
    }
    if (desktopIs(desktop, "KDE")) {
        const std::string plasma = findTool("plasma-apply-wallpaperimage");
        if (!plasma.empty()) {
            run(plasma, {picture});
            return;
        }
    }
    if (desktopIs(desktop, "XFCE")) {
        const std::string xfconf = findTool("xfconf-query");
        if (!xfconf.empty()) {
            // One image property per monitor and workspace: set every one.
            const std::string list = run(xfconf, {"-c", "xfce4-desktop", "-l"});
            bool any = false;
            std::size_t start = 0;
            while (start < list.size()) {
                std::size_t stop = list.find('\n', start);
                if (stop == std::string::npos) {
                    stop = list.size();
                }
                const std::string property = list.substr(start, stop - start);
                const std::string tail = "/last-image";
                if (property.size() > tail.size() &&
                    property.compare(property.size() - tail.size(), tail.size(), tail) == 0) {
                    run(xfconf, {"-c", "xfce4-desktop", "-p", property, "-s", picture});
                    any = true;
                }
                start = stop + 1;
            }
            if (!any) {
                run(xfconf, {"-c", "xfce4-desktop", "-p",
                             "/backdrop/screen0/monitor0/workspace0/last-image", "-n", "-t",
                             "string", "-s", picture});
            }
            return;
        }
    }
    const std::string feh = findTool("feh");
    if (!feh.empty()) {
        run(feh, {"--bg-scale", picture});
        return;
    }
    throw WallpaperError(
        "No way to set the wallpaper was found on this desktop: it needs gsettings (GNOME, "
        "Cinnamon, MATE), plasma-apply-wallpaperimage (KDE Plasma), xfconf-query (XFCE) or feh.");
}

}  // namespace ambrel::platform
