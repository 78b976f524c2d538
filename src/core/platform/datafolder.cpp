#include "core/platform/datafolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/storage/textfile.h"

namespace fs = std::filesystem;

namespace ambrel::platform {

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string absolute(const std::string& folder) {
    std::error_code ec;
    fs::path p = fs::absolute(folder, ec);
    return ec ? folder : p.lexically_normal().string();
}

}  // namespace

std::string resolveDataFolder(const std::optional<std::string>& homeArgument,
                              const std::string& executableFolder) {
    if (homeArgument && !homeArgument->empty()) {
        return withSlash(absolute(*homeArgument));
    }
    if (const char* env = std::getenv("AMBREL_HOME"); env != nullptr && *env != '\0') {
        return withSlash(absolute(env));
    }
    std::error_code ec;
    if (!executableFolder.empty() && fs::is_directory(fs::path(executableFolder) / "listing", ec) &&
        ::access(executableFolder.c_str(), W_OK) == 0) {
        return withSlash(executableFolder);
    }
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        return withSlash(std::string(xdg) + "/myambrel");
    }
    const char* home = std::getenv("HOME");
    return withSlash(std::string(home != nullptr ? home : "/tmp") + "/.local/share/myambrel");
}

void ensureDataLayout(const std::string& dataFolder) {
    for (const char* sub : {"listing", "upfiles", "temp", "wall", "down", "conv"}) {
        std::error_code ec;
        fs::create_directories(fs::path(dataFolder) / sub, ec);
        if (ec) {
            throw storage::IoError("Cannot create the folder " + dataFolder + sub + ": " +
                                   ec.message());
        }
    }
    const std::pair<const char*, const char*> pages[] = {
        {"add.htm", ""}, {"add2.htm", "@"}, {"add3.htm", "$"}};
    for (const auto& [name, marker] : pages) {
        const std::string path = dataFolder + name;
        if (!storage::fileExists(path)) {
            storage::writeFileAtomically(path, handOverPage(marker));
        }
    }
}

std::string handOverPage(const std::string& marker) {
    const bool plain = marker.empty();
    const std::string what = plain           ? "adds the picture's address to the target list"
                             : marker == "@" ? "copies the picture's address to the clipboard"
                                             : "copies the picture's address to the clipboard "
                                               "between the prepend and append texts";
    // The browser runs this page from its context menu with the picture under the mouse as
    // its external menu argument; the page hands the address, marker first, to My Ambrel.
    return "<html><head><meta charset=\"utf-8\"><title>My Ambrel hand-over</title>\r\n"
           "<script>\r\n"
           "var marker = \"" +
           marker +
           "\";\r\n"
           "var source = (window.external && window.external.menuArguments)\r\n"
           "  ? window.external.menuArguments.event.srcElement : null;\r\n"
           "if (source && source.src) {\r\n"
           "  window.location.href = \"ambrel:\" + encodeURIComponent(marker + source.src);\r\n"
           "}\r\n"
           "</script></head>\r\n<body>\r\n"
           "<p>This page belongs to My Ambrel. Run from the browser's context menu on a "
           "picture, it " +
           what +
           ".</p>\r\n"
           "<p>The same hand-over from a terminal: <code>ambrel-send '" +
           marker +
           "http://host/picture.jpg'</code></p>\r\n"
           "</body></html>\r\n";
}

}  // namespace ambrel::platform
