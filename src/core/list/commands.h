#pragma once

#include <array>

namespace ambrel::list {

// Where a button of the main window stands.
enum class CommandBox { FilesOptions, Commands, Group, Browser, Folder };

// A button of the main window: objectName is how the GUI and its tests find it.
struct CommandInfo {
    const char* objectName;
    const char* caption;
    const char* hint;
    CommandBox box;
};

inline constexpr std::array<CommandInfo, 36> kMainCommands = {{
    {"addUrlButton", "Add picture", "Add links", CommandBox::FilesOptions},
    {"addLocalButton", "Add picture", "Choose an image file from your local drive",
     CommandBox::FilesOptions},
    {"grabButton", "Grab from url", "Extracts links from a webpage", CommandBox::FilesOptions},
    {"fromClipboardButton", "From clipboard",
     "Extract pictures and thumbnails or from the clipboard or from links or files",
     CommandBox::FilesOptions},
    {"uploadSettingsButton", "Upload settings", "Where to upload ?", CommandBox::FilesOptions},
    {"fileSettingsButton", "Files settings", "Where to download, what to exclude...",
     CommandBox::FilesOptions},
    {"optionsButton", "Options", "General options", CommandBox::FilesOptions},
    {"uploadButton", "Upload", "Upload file(s)", CommandBox::Commands},
    {"downloadButton", "Download", "Download to the hard drive", CommandBox::Commands},
    {"checkLinksButton", "S", "Check links", CommandBox::Commands},
    {"pasteButton", "Paste", "Paste links", CommandBox::Commands},
    {"copyButton", "Copy", "Copy links", CommandBox::Commands},
    {"cutButton", "Cut", "Cut links", CommandBox::Commands},
    {"removeButton", "Remove", "Remove links", CommandBox::Commands},
    {"editButton", " Edit   ", "Change name", CommandBox::Commands},
    {"resizeButton", "Resize", "to make thumbnails for example", CommandBox::Commands},
    {"toBmpButton", "To bmp", "Convert to bitmap", CommandBox::Commands},
    {"toJpegButton", "To Jpeg", "Convert to jpeg", CommandBox::Commands},
    {"wallpaperButton", "Set as wallpaper", "dito", CommandBox::Commands},
    {"aviToGifButton", "avi 2 gif", "Make animated gif from a small avi file",
     CommandBox::Commands},
    {"slideshowButton", "Slideshow", "View slideshow", CommandBox::Commands},
    {"mobileButton", "M", "Upload to your mobile", CommandBox::Commands},
    {"createGroupButton", "Create", "Create a file list", CommandBox::Group},
    {"deleteGroupButton", "Del", "Delete a full file list", CommandBox::Group},
    {"showGroupButton", "Show", "Display this file list", CommandBox::Group},
    {"helpButton", "?", "", CommandBox::Group},
    {"openFolderButton", "o", "Open directory", CommandBox::Folder},
    {"moveToFolderButton", "M", "Move to this directory", CommandBox::Folder},
    {"cutToFolderButton", "C", "Cut to this directory", CommandBox::Folder},
    {"linkBuilderButton", "li", "Build an image link", CommandBox::Folder},
    {"externalBrowserButton", "l", "Open in external browser", CommandBox::Browser},
    {"goToUrlButton", "G", "Go to url", CommandBox::Browser},
    {"stopButton", "x", "Stop", CommandBox::Browser},
    {"forwardButton", "+", "forward", CommandBox::Browser},
    {"backButton", "-", "back", CommandBox::Browser},
    {"websiteButton", "\xC2\xA4", "Open corvane's website", CommandBox::Browser},
}};

}  // namespace ambrel::list
