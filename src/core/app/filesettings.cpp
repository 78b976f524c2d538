#include "core/app/filesettings.h"

namespace ambrel::app {

std::string& folderOf(storage::FileSettings& settings, FolderField field) {
    return field == FolderField::Download ? settings.downdir : settings.convdir;
}

std::string withoutTrailingSeparator(std::string folder) {
    if (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

bool chooseFolder(Tmyambrel& app, FolderField field) {
    std::string& folder = folderOf(app.fileSettings(), field);
    const char* caption =
        field == FolderField::Download ? "Download directory" : "Conversion directory";
    const std::optional<std::string> chosen = app.services().ui.chooseFolder(caption, folder);
    if (!chosen || chosen->empty()) {
        return false;
    }
    folder = withoutTrailingSeparator(*chosen);
    return true;
}

void openFolder(Tmyambrel& app, FolderField field) {
    app.services().shell.openFolder(platform::folderToOpen(folderOf(app.fileSettings(), field)));
}

void setRenameFile(storage::FileSettings& settings, bool on) {
    settings.renamefile = on;
    if (!on) {
        settings.renameandoverwrite = false;
    }
}

void saveFileSettings(Tmyambrel& app) {
    // A first save writes the whole first-run content with it, in one replace of the file.
    storage::OptionsEdit options(app.programFolder());
    if (!options.existed()) {
        app.uploadSettings().savedefaultcontext(options);
        storage::savegeneralsettingcontext(options, app.generalSettings());
    }
    storage::savesettingfilesettingcontext(options, app.fileSettings());
    options.commit();
}

}  // namespace ambrel::app
