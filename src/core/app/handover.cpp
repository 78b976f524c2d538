#include "core/app/handover.h"

namespace ambrel::app {

bool receiveHandOver(Tmyambrel& app, const std::string& received) {
    const std::string text = received.substr(0, integration::kHandOverTextMax);
    if (!integration::isOneLineHandOver(text)) {
        app.services().ui.message(integration::kMultiLineHandOver, "My Ambrel",
                                  platform::MessageIcon::Warning);
        return false;
    }
    const char marker = text.empty() ? '\0' : text.front();
    const bool marked = marker == '@' || marker == '$';
    const std::string link = marked ? text.substr(1) : text;
    if (marker == '@') {
        app.services().clipboard.setText(link);
    } else if (marker == '$') {
        const storage::GeneralSettings& general = app.generalSettings();
        app.services().clipboard.setText(general.ieccopyandaddbef + link +
                                         general.ieccopyandaddaft);
    }
    if (marked && !app.fileSettings().ifcopyaddlist) {
        return true;
    }
    app.addlinkifnew(link, NameRule::Url);
    app.adresizescroll();
    return true;
}

}  // namespace ambrel::app
