#pragma once

#include <array>
#include <string>

namespace ambrel::integration {

// The browser's context-menu entries, in the order add, copy, custom copy.
struct ContextMenuEntry {
    const char* keyName;     // the menu text, "&" marking the access key
    const char* scriptFile;  // the page in the data folder that the entry runs
    const char* marker;      // put in front of the handed-over address
    const char* optionKey;
};

inline constexpr std::array<ContextMenuEntry, 3> kContextMenuEntries = {{
    {"&Add to Zovururo", "add.htm", "", "iecaddtolist"},
    {"&Copy to clipboard", "add2.htm", "@", "ieccopytoclip"},
    {"&Custom Copy to clipboard", "add3.htm", "$", "ieccopyandadd"},
}};

inline constexpr const char* kMenuExtKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\";

inline std::string contextMenuKey(const ContextMenuEntry& entry) {
    return std::string(kMenuExtKey) + entry.keyName;
}

}  // namespace ambrel::integration
