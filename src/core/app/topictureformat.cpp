// "To Jpeg" and "To bmp".
#include "core/app/pictures.h"
#include "core/storage/names.h"

#include <unistd.h>

namespace ambrel::app {
namespace {

struct Target {
    const char* accepted;  // extensions, each followed by ";"
    const char* extension;
    void (*convert)(Tmyambrel&, imaging::FrameChooser&, const std::string&, const std::string&);
};

void convertSelected(Tmyambrel& app, PictureTools& tools, const Target& target) {
    const list::PictureList& pictures = app.pictures();
    const std::size_t selected = pictures.selectedRows().size();
    if (selected == 0) {
        return;
    }
    const BusyWhile busy(app.services().ui, selected > 1);
    const std::string folder = app.fileSettings().convdir;
    const std::string accepted = target.accepted;
    for (int row = 0; row < app.pictures().size(); ++row) {
        if (!app.pictures().isSelected(row)) {
            continue;
        }
        const std::string path = app.pictures().at(row).path;
        const std::string ext = pictureExtension(path);
        if (ext.empty() || accepted.find(ext + ";") == std::string::npos) {
            return;
        }
        if (!storage::is_local_path(path)) {
            if (!storage::is_web_address(path)) {
                continue;
            }
            const std::string downloaded =
                fetchInto(app, tools.fetch, path, folder, freeLocalName(folder, path));
            const std::string output = storage::getnewnameifoldisstillhere(
                folder + "/" + storage::exturlname(path) + target.extension);
            target.convert(app, tools.frameChooser, output, downloaded);
            ::unlink(downloaded.c_str());
            app.addonelink(output);
            continue;
        }
        const std::string output = storage::getnewnameifoldisstillhere(
            folder + "/" + storage::extfilename(path) + target.extension);
        target.convert(app, tools.frameChooser, output, path);
        app.addonelink(output);
    }
    app.adresizescroll();
}

}  // namespace

void fxtojpeg(Tmyambrel& app, PictureTools& tools) {
    convertSelected(app, tools, {".bmp;.png;.gif;", ".jpg", gotojpg});
}

void fxtobmp(Tmyambrel& app, PictureTools& tools) {
    convertSelected(app, tools, {".jpg;.jpeg;.png;.gif;", ".bmp", gotobmp});
}

}  // namespace ambrel::app
