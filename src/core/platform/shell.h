#pragma once

#include <string>
#include <vector>

namespace ambrel::platform {

// The desktop around the program: its file manager and the handler of addresses.
class Shell {
public:
    virtual ~Shell() = default;
    // Shows the folder in the desktop's file manager. Throws std::runtime_error when the
    // desktop's opener cannot be started.
    virtual void openFolder(const std::string& folder) = 0;
    // Starts a program directly, without a shell, with these arguments; it is not waited
    // for. Throws std::runtime_error when it cannot be started.
    virtual void startProgram(const std::string& program,
                              const std::vector<std::string>& arguments) = 0;
};

// The folder a file manager is opened on: the given one when it exists, else the root of the
// file system, which stands in for the system drive's root of Windows ("c:").
std::string folderToOpen(const std::string& folder);

// The freedesktop opener, started directly with the target as its one argument: no shell
// reads the text, so quotes, spaces and "$(…)" in a path stay plain characters.
class XdgShell final : public Shell {
public:
    explicit XdgShell(std::string program = "/usr/bin/xdg-open");

    void openFolder(const std::string& folder) override { startProgram(m_program, {folder}); }
    void startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override;

private:
    std::string m_program;
};

// A shell that records what it was asked to open: for tests.
class FakeShell final : public Shell {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        bool operator==(const Start&) const = default;
    };
    std::vector<std::string> openedFolders;
    std::vector<Start> started;

    void openFolder(const std::string& folder) override { openedFolders.push_back(folder); }
    void startProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override {
        started.push_back({program, arguments});
    }
    // The arguments of every start, one after the other.
    std::vector<std::string> startedArguments() const {
        std::vector<std::string> all;
        for (const Start& s : started) {
            all.insert(all.end(), s.arguments.begin(), s.arguments.end());
        }
        return all;
    }
};

}  // namespace ambrel::platform
