#include "core/platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace ambrel::platform {

std::string folderToOpen(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec) ? folder : std::string("/");
}

XdgShell::XdgShell(std::string program) : m_program(std::move(program)) {}

void XdgShell::open(const std::string& target) {
    std::string name = "xdg-open";
    std::string argument = target;
    char* argv[] = {name.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, m_program.c_str(), nullptr, nullptr, argv, environ);
    if (error != 0) {
        throw std::runtime_error("Cannot start " + m_program + ": " + std::strerror(error));
    }
    // The opener may live as long as the program it starts; waiting for it here would
    // freeze the windows, and never waiting would leave a zombie behind.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace ambrel::platform
