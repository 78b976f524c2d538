#include "core/app/checklinks.h"

#include "core/app/app.h"
#include "core/servers/definition.h"
#include "core/storage/names.h"
#include "core/storage/textfile.h"

namespace ambrel::app {

void fxChecklinks(Tmyambrel& app) {
    list::PictureList& pictures = app.pictures();
    if (pictures.firstSelected() < 0) {
        return;
    }
    transfer::Transfers& transfers = app.transfers();
    transfers.downloadMode = false;
    std::string notFound =
        servers::loadDefinition(app.programFolder(), app.uploadSettings().current())
            .field("notfound");
    if (notFound.empty()) {
        notFound = "404";
    }
    for (int row = pictures.size() - 1; row >= 0; --row) {
        // Another command may have shortened the list while a request waited.
        if (row >= pictures.size() || !pictures.isSelected(row)) {
            continue;
        }
        const std::string path = pictures.at(row).path;
        if (storage::is_local_path(path)) {
            if (!storage::fileExists(path)) {
                pictures.remove(row);
            }
            continue;
        }
        const auto client = transfers.freshClient(transfer::HttpSettings{}, false);
        try {
            client->get(path, [](std::string_view) { return true; });
        } catch (const transfer::HttpError& e) {
            if (std::string(e.what()).find(notFound) != std::string::npos &&
                row < pictures.size() && pictures.at(row).path == path) {
                pictures.remove(row);
            }
        }
    }
    app.savepicmyfile(app.listFileOf(app.currentGroup()));
    app.services().ui.message("done", transfer::kMessageCaption,
                              platform::MessageIcon::Information);
}

}  // namespace ambrel::app
