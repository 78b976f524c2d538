#pragma once

#include <string>

#include "core/app/app.h"
#include "core/storage/settings.h"

namespace ambrel::app {

// The rules of the "File settings" dialog. Its controls edit the file settings held for the
// run directly; only "Save" writes them.
enum class FolderField { Download, Conversion };

std::string& folderOf(storage::FileSettings& settings, FolderField field);

// "...": the person picks a folder for the field, starting at the field's folder. A drive
// root's trailing separator is dropped ("C:\" becomes "C:"). When the person cancels, the
// field keeps its text and the result is false.
bool chooseFolder(Tmyambrel& app, FolderField field);
// A chosen folder without a trailing "\" or "/"; the POSIX root stays "/", since an empty
// folder would read back as the default one.
std::string withoutTrailingSeparator(std::string folder);

// "o": shows the field's folder in the desktop's file manager, or the root of the file system
// when that folder does not exist (platform::folderToOpen). Throws std::runtime_error when
// the file manager cannot be started.
void openFolder(Tmyambrel& app, FolderField field);

// The rename box "Yes": unticking it also unticks "overwrite existing files", which is only
// offered while renaming is on.
void setRenameFile(storage::FileSettings& settings, bool on);
inline bool overwriteOffered(const storage::FileSettings& settings) {
    return settings.renamefile;
}

// "Save": writes the file settings that differ from the options file. A missing options file
// first gets the upload default and the general settings, so that the new file holds every
// group. Throws storage::IoError.
void saveFileSettings(Tmyambrel& app);

}  // namespace ambrel::app
