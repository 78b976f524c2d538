#pragma once

#include <string>

#include "core/platform/registry.h"
#include "core/platform/shell.h"

namespace ambrel::web {

// Where the external browser's command line is registered; its default value is read.
inline constexpr const char* kHtmlOpenCommandKey =
    "HKEY_CLASSES_ROOT\\htmlfile\\shell\\open\\command";
// What counts as registered while the store holds no such key: the desktop's opener.
inline constexpr const char* kDefaultHtmlOpenCommand = "\"/usr/bin/xdg-open\" \"%1\"";

// Opens the address in the external browser: the program quoted first in the registered
// command line, started without a shell with the address as its one argument (the rest of
// the command line is dropped). False when no command is registered or it names no quoted
// program; nothing is reported then, nor when the program fails to start.
bool BrowseURL(platform::RegistryStore& registry, platform::Shell& shell,
               const std::string& address);

// The maker's help page at this path of the maker's site ("" for the site itself).
std::string makerPage(const std::string& path);

inline constexpr const char* kGrabHelpPage = "diderozeroz/how_to_extract_links_from_a_webpage.html";
inline constexpr const char* kAddPicturesHelpPage = "diderozeroz/add_pictures.html";
inline constexpr const char* kPictureSelectorHelpPage =
    "diderozeroz/how_to_copy_a_part_of_a_picture.html";
inline constexpr const char* kAviToGifHelpPage = "diderozeroz/other_files_options.html";
inline constexpr const char* kResizeHelpPage = "diderozeroz/how_to_change_images.html";
inline constexpr const char* kGeneralSettingsHelpPage = "zovururo_help_en.html";

}  // namespace ambrel::web
