#include "core/platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace ambrel::platform {

std::string folderToOpen(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec) ? folder : std::string("/");
}

XdgShell::XdgShell(std::string program) : m_program(std::move(program)) {}

void XdgShell::startProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> texts;
    texts.reserve(arguments.size() + 1);
    const std::size_t slash = program.rfind('/');
    texts.push_back(slash == std::string::npos ? program : program.substr(slash + 1));
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& t : texts) {
        argv.push_back(t.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (error != 0) {
        throw std::runtime_error("Cannot start " + program + ": " + std::strerror(error));
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
