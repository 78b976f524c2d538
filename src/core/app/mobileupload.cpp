#include "core/app/mobileupload.h"

#include "core/app/app.h"
#include "core/storage/names.h"
#include "core/web/browseurl.h"

namespace ambrel::app {

void mobileUpload(Tmyambrel& app) {
    app.services().ui.message(kMobileNotice, "Upload to your mobile",
                              platform::MessageIcon::Information);
    const int row = app.pictures().firstSelected();
    if (row >= 0) {
        loadtorevizaviva(app, app.pictures().at(row).path);
    }
}

void loadtorevizaviva(Tmyambrel& app, const std::string& path) {
    const bool address =
        (path.size() >= 7 && path.compare(4, 3, "://") == 0) || storage::is_web_address(path);
    web::BrowseURL(app.services().registry, app.services().shell,
                   address ? std::string(kMobileOperatorBase) + "/download/?url=" + path
                           : std::string(kMobileOperatorHome));
}

}  // namespace ambrel::app
