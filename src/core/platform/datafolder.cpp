#include "core/platform/datafolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/storage/text.h"
#include "core/storage/textfile.h"

namespace fs = std::filesystem;

namespace ambrel::platform {

namespace {

std::string absolute(const std::string& folder) {
    std::error_code ec;
    fs::path p = fs::absolute(folder, ec);
    return ec ? folder : p.lexically_normal().string();
}

}  // namespace

std::string resolveDataFolder(const std::optional<std::string>& homeArgument,
                              const std::string& executableFolder) {
    if (homeArgument && !homeArgument->empty()) {
        return storage::withTrailingSlash(absolute(*homeArgument));
    }
    if (const char* env = std::getenv("AMBREL_HOME"); env != nullptr && *env != '\0') {
        return storage::withTrailingSlash(absolute(env));
    }
    std::error_code ec;
    if (!executableFolder.empty() && fs::is_directory(fs::path(executableFolder) / "listing", ec) &&
        ::access(executableFolder.c_str(), W_OK) == 0) {
        return storage::withTrailingSlash(executableFolder);
    }
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/') {
        return storage::withTrailingSlash(std::string(xdg) + "/myambrel");
    }
    const char* home = std::getenv("HOME");
    return storage::withTrailingSlash(std::string(home != nullptr ? home : "/tmp") +
                                      "/.local/share/myambrel");
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
    struct Kind {
        const char* entry;
        const char* does;
    };
    const Kind kind = marker.empty() ? Kind{"&amp;Add to Zovururo",
                                            "adds the picture's address to the list of the "
                                            "target group"}
                      : marker == "@"
                          ? Kind{"&amp;Copy to clipboard",
                                 "puts the picture's address on the clipboard (and adds it to "
                                 "the list when \"Add to list if you copy in the context menu of "
                                 "the browser\" is ticked)"}
                          : Kind{"&amp;Custom Copy to clipboard",
                                 "puts the picture's address on the clipboard between the "
                                 "\"Prepend\" and \"Append\" texts of the general settings "
                                 "(and adds it to the list when \"Add to list if you copy in the "
                                 "context menu of the browser\" is ticked)"};
    // The browser runs this page from its context menu with the element under the mouse in
    // external.menuArguments. The page opens "ambrel:" + marker + address; ambrel-send takes
    // such a link as it is, so a desktop that opens "ambrel:" links with it delivers them.
    return "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\">"
           "<title>My Ambrel hand-over</title>\r\n"
           "<script>\r\n"
           "var marker = \"" +
           marker +
           "\";\r\n"
           "var args = window.external && window.external.menuArguments;\r\n"
           "var picture = args && args.event ? args.event.srcElement : null;\r\n"
           "if (picture && picture.src) {\r\n"
           "  window.location.href = \"ambrel:\" + encodeURIComponent(marker + picture.src);\r\n"
           "}\r\n"
           "</script></head>\r\n<body>\r\n"
           "<p>This page belongs to My Ambrel. The browser's context-menu entry <b>" +
           kind.entry + "</b> runs it on a picture: it hands the picture's address" +
           (marker.empty() ? std::string() : ", with \"" + marker + "\" in front,") +
           " to the running My Ambrel, which " + kind.does +
           ".</p>\r\n"
           "<p>The page opens an <code>ambrel:</code> link; make <code>ambrel-send</code> the "
           "desktop's handler of such links to have them delivered.</p>\r\n"
           "<p><b>Mind:</b> any web page can start an <code>ambrel:</code> link, not only this "
           "one. With <code>ambrel-send</code> as their handler, a page you visit can add an "
           "address of its choosing to your list or put one on your clipboard, as if you had "
           "chosen the entry. My Ambrel refuses a text holding a line break, so no page can "
           "write more than that one line.</p>\r\n"
           "<p>The same hand-over from a terminal:</p>\r\n"
           "<pre>ambrel-send '" +
           marker +
           "http://host/picture.jpg'</pre>\r\n"
           "</body></html>\r\n";
}

}  // namespace ambrel::platform
