// "Set as wallpaper".
#include "core/app/pictures.h"
#include "core/storage/names.h"

namespace ambrel::app {

void fxsetaswallpaper(Tmyambrel& app, PictureTools& tools, int focusedRow) {
    if (app.pictures().selectedRows().empty() || focusedRow < 0 ||
        focusedRow >= app.pictures().size()) {
        return;
    }
    const std::string path = app.pictures().at(focusedRow).path;
    const std::string ext = pictureExtension(path);
    if (ext != ".bmp" && ext != ".jpg" && ext != ".jpeg" && ext != ".png" && ext != ".gif") {
        return;
    }
    const std::string wall = app.programFolder() + "wall";
    std::string picture;
    if (storage::is_web_address(path)) {
        const std::string downloaded =
            fetchInto(app, tools.fetch, path, wall, freeLocalName(wall, path));
        picture = downloaded;
        if (ext != ".bmp") {
            picture = wall + "/" + storage::exturlname(path) + ".bmp";
            gotobmp(app, tools.frameChooser, picture, downloaded);
        }
        app.addonelink(picture);
    } else if (storage::is_local_path(path)) {
        picture = path;
        if (ext != ".bmp") {
            picture = wall + "/" + storage::extfilename(path) + ".bmp";
            gotobmp(app, tools.frameChooser, picture, path);
            app.addonelink(picture);
        }
    } else {
        return;
    }
    if (tools.wallpaper == nullptr) {
        throw platform::WallpaperError("No wallpaper service in this run");
    }
    tools.wallpaper->set(picture);
}

}  // namespace ambrel::app
