#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "core/app/app.h"
#include "core/storage/settings.h"

namespace ambrel::app {

// The rules of the "General settings" dialog. Its controls edit the general settings held for
// the run directly; only "Save" writes them.

// The ticks of the "Right menu options" tree: node N is popup item N and flag N.
using PopupTicks = std::array<bool, storage::kPopupMenuItems>;

// Each submenu's node ends ticked exactly when one of its children is, so a submenu is never
// shown empty nor hidden over a shown child.
void applyParentRule(PopupTicks& ticks);
// A click in the tree, after the tree changed the clicked node's tick: the parent rule, then
// every flag takes its node's tick. Returns the ticks the tree shows now, which are also the
// popup items to show.
PopupTicks treeClicked(storage::GeneralSettings& settings, PopupTicks ticks);

// A click on context-menu box `index` (add, copy, custom copy): sets the flag, installs or
// removes the browser entry and brings its options key in line. Unticking the custom copy
// also empties the prepend and append texts. Throws storage::IoError.
void contextBoxClicked(Tmyambrel& app, std::size_t index, bool on);
// "Prepend" and "Append" are offered only with the custom copy.
inline bool prependAppendOffered(const storage::GeneralSettings& settings) {
    return settings.ieccopyandadd;
}

// "Save": writes the general settings that differ from the options file. A missing options
// file first gets the upload default and the file settings. Throws storage::IoError.
void saveGeneralSettings(Tmyambrel& app);

// "Help": the maker's help page, opened in the desktop's web browser.
std::string helpPage();
void showHelp(Tmyambrel& app);

}  // namespace ambrel::app
