#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "core/platform/registry.h"
#include "core/storage/settings.h"

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
inline constexpr std::size_t kCustomCopyEntry = 2;

inline constexpr const char* kMenuExtKey =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\";
// The browser shows an entry only over this context: images.
inline constexpr char kImageContext = 2;

inline std::string contextMenuKey(const ContextMenuEntry& entry) {
    return std::string(kMenuExtKey) + entry.keyName;
}

// The entry's default value: the data folder with every "\" doubled, then its page.
std::string contextMenuTarget(const std::string& programFolder, const ContextMenuEntry& entry);

// The general setting that switches entry `index` (0 to 2).
bool& contextMenuFlag(storage::GeneralSettings& settings, std::size_t index);
bool contextMenuFlag(const storage::GeneralSettings& settings, std::size_t index);

// Writes the entry's key with its default value and "Contexts" (one raw byte, 2). False,
// with nothing else done, when the store cannot be read or written.
bool installContextEntry(platform::RegistryStore& registry, const std::string& programFolder,
                         const ContextMenuEntry& entry);
// Deletes the entry's key. False when there was no such key or the store cannot be written.
bool removeContextEntry(platform::RegistryStore& registry, const ContextMenuEntry& entry);

// A context-menu flag changed state: installs or removes its entry, then, when that worked
// and the options file exists, brings the entry's options key in line with the flag ("yes"
// when on and not already "yes"; "no" when off over a stored "yes"). A registry failure ends
// it silently. Throws storage::IoError when the options file cannot be written.
void switchContextEntry(platform::RegistryStore& registry, const std::string& programFolder,
                        std::size_t index, bool on);

// Start-up: every entry whose flag loaded as on is written again, with the current folder.
void installSwitchedOnEntries(platform::RegistryStore& registry, const std::string& programFolder,
                              const storage::GeneralSettings& settings);

}  // namespace ambrel::integration
