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
    // Hands an address (a web link, a file) to the desktop's handler for it. Throws as above.
    virtual void openAddress(const std::string& address) = 0;
};

// The folder a file manager is opened on: the given one when it exists, else the root of the
// file system, which stands in for the system drive's root of Windows ("c:").
std::string folderToOpen(const std::string& folder);

// The freedesktop opener, started directly with the target as its one argument: no shell
// reads the text, so quotes, spaces and "$(…)" in a path stay plain characters.
class XdgShell final : public Shell {
public:
    explicit XdgShell(std::string program = "/usr/bin/xdg-open");

    void openFolder(const std::string& folder) override { open(folder); }
    void openAddress(const std::string& address) override { open(address); }

private:
    void open(const std::string& target);

    std::string m_program;
};

// A shell that records what it was asked to open: for tests.
class FakeShell final : public Shell {
public:
    std::vector<std::string> openedFolders;
    std::vector<std::string> openedAddresses;

    void openFolder(const std::string& folder) override { openedFolders.push_back(folder); }
    void openAddress(const std::string& address) override { openedAddresses.push_back(address); }
};

}  // namespace ambrel::platform
