#include "core/app/generalsettings.h"

#include "core/integration/contextmenu.h"
#include "core/list/popupmenu.h"
#include "core/web/browseurl.h"

namespace ambrel::app {

void applyParentRule(PopupTicks& ticks) {
    for (std::size_t parent = 0; parent < ticks.size(); ++parent) {
        if (*list::kPopupItems.at(parent).command != '\0') {
            continue;
        }
        bool anyChild = false;
        for (std::size_t child = 0; child < ticks.size(); ++child) {
            anyChild =
                anyChild ||
                (list::kPopupItems.at(child).parent == static_cast<int>(parent) && ticks.at(child));
        }
        ticks.at(parent) = anyChild;
    }
}

PopupTicks treeClicked(storage::GeneralSettings& settings, PopupTicks ticks) {
    applyParentRule(ticks);
    settings.popupmenuitem = ticks;
    return ticks;
}

void contextBoxClicked(Tmyambrel& app, std::size_t index, bool on) {
    storage::GeneralSettings& general = app.generalSettings();
    integration::contextMenuFlag(general, index) = on;
    if (index == integration::kCustomCopyEntry && !on) {
        general.ieccopyandaddbef.clear();
        general.ieccopyandaddaft.clear();
    }
    integration::switchContextEntry(app.services().registry, app.programFolder(), index, on);
}

void saveGeneralSettings(Tmyambrel& app) {
    // A first save writes the whole first-run content with it, in one replace of the file.
    storage::OptionsEdit options(app.programFolder());
    if (!options.existed()) {
        app.uploadSettings().savedefaultcontext(options);
        storage::savesettingfilesettingcontext(options, app.fileSettings());
    }
    storage::savegeneralsettingcontext(options, app.generalSettings());
    options.commit();
}

std::string helpPage() {
    return web::makerPage(web::kGeneralSettingsHelpPage);
}

void showHelp(Tmyambrel& app) {
    web::BrowseURL(app.services().registry, app.services().shell, helpPage());
}

}  // namespace ambrel::app
