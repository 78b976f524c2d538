#pragma once

#include <array>

namespace ambrel::list {

// One item of the main window's popup menu. Its number is at once its index here, its node
// in the "Right menu options" tree (parents before their children) and its options key
// "popupmenuitem" + number. command names what it runs: the objectName of the main
// window's button that does the same, or a command of the menu alone.
struct PopupItem {
    const char* name;
    const char* caption;
    int parent;  // the submenu's number, -1 at the top level
    const char* treeText;
    const char* command;  // "" for a submenu
};

inline constexpr int kPopupItemCount = 44;

inline constexpr std::array<PopupItem, kPopupItemCount> kPopupItems = {{
    {"Links1", "Links", -1, "Links", ""},
    {"Copy1", "Copy", 0, "Copy", "copyUrlLinks"},
    {"CopyHtml1", "Copy Html", 0, "Copy html", "copyHtmlLinks"},
    {"CopyBBcode11", "Copy BBcode1", 0, "Copy bbcode1", "linkBuilderButton"},
    {"CopyBBcode21", "Copy BBcode2", 0, "Copy bbcode2", "linkBuilderButton"},
    {"Paste1", "Paste", 0, "Paste", "pasteButton"},
    {"Cut1", "Cut", 0, "Cut", "cutButton"},
    {"Remove1", "Remove", 0, "Remove", "removeButton"},
    {"Edit1", "Edit", 0, "Edit", "editButton"},
    {"Checklinks1", "Check links", 0, "Check links", "checkLinksButton"},
    {"Addlinks1", "Add links", -1, "Add links", ""},
    {"LocalFiles1", "Local Files", 10, "Local files", "addLocalButton"},
    {"Urllinks1", "Url links", 10, "Url links", "addUrlButton"},
    {"Fromurl1", "From url", 10, "From url", "grabButton"},
    {"Fromclipboard1", "From clipboard", 10, "From clipboard", "fromClipboardButton"},
    {"Move1", "Move", -1, "Move", ""},
    {"Upload1", "Upload", 15, "Upload", "uploadButton"},
    {"Download1", "Download", 15, "Download", "downloadButton"},
    {"Copy2", "Copy", -1, "Copy", ""},
    {"Url1", "Url", 18, "url", "copyUrlLinks"},
    {"Html1", "Html", 18, "html", "copyHtmlLinks"},
    {"BBCode11", "BBCode1", 18, "bbcode1", "copyBBcode1"},
    {"BBcode21", "BBcode2", 18, "bbcode2", "copyBBcode2"},
    {"AddPicture1", "Add Picture", -1, "Add picture", "addLocalButton"},
    {"AddPictureUrl1", "Add Picture Url", -1, "Add picture url", "addUrlButton"},
    {"GrabFromUrl1", "Grab From Url", -1, "Grab from url", "grabButton"},
    {"FromClipboard2", "From Clipboard", -1, "From clipboard", "fromClipboardButton"},
    {"Upload2", "Upload", -1, "Upload", "uploadButton"},
    {"CheckLinks2", "Check Links", -1, "Check links", "checkLinksButton"},
    {"Download2", "Download", -1, "Download", "downloadButton"},
    {"Paste2", "Paste", -1, "Paste", "pasteButton"},
    {"Copy3", "Copy", -1, "Copy", "copyUrlLinks"},
    {"CopyHtml2", "Copy Html", -1, "Copy html", "copyHtmlLinks"},
    {"CopyBBCode12", "Copy BBCode1", -1, "Copy bbcode1", "copyBBcode1"},
    {"CopyBBCode22", "Copy BBCode2", -1, "Copy bbcode2", "copyBBcode2"},
    {"Cut2", "Cut", -1, "Cut", "cutButton"},
    {"Remove2", "Remove", -1, "Remove", "removeButton"},
    {"Resize1", "Resize", -1, "Resize", "resizeButton"},
    {"obmp1", "To bmp", -1, "To bmp", "toBmpButton"},
    {"ojpeg1", "To jpeg", -1, "To jpeg", "toJpegButton"},
    {"Setaswallpaper1", "Set as wallpaper", -1, "Set as wallpaper", "wallpaperButton"},
    {"Edit2", "Edit", -1, "Edit", "editButton"},
    {"Openinbrowser1", "Open in browser", -1, "Open in browser", "externalBrowserButton"},
    {"Savelist1", "Save list", -1, "Save list", "saveList"},
}};

// Every item in the order the menu shows it, each submenu's children right after it. The
// numbering differs: the top-level leaves, and "Edit" before "Remove" in "Links".
inline constexpr std::array<int, kPopupItemCount> kPopupMenuOrder = {
    0,  1,  2,  3,  4,  5,  6,  8,  7,  9,  // "Links" and its items
    10, 11, 12, 13, 14,                     // "Add links"
    15, 16, 17,                             // "Move"
    18, 19, 20, 21, 22,                     // "Copy"
    42, 23, 24, 25, 26, 27, 28, 29, 35, 30, 31, 32, 33, 34, 41, 36, 37, 38, 39, 40, 43};

}  // namespace ambrel::list
