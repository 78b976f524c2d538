#include "core/export/linkformats.h"

#include "core/export/linkbuilder.h"
#include "core/list/app.h"

namespace ambrel::linkexport {

std::string gatherSelected(const list::PictureList& pictures,
                           const std::function<std::string(const std::string&)>& piece,
                           const std::string& separator) {
    std::string text;
    for (int row = pictures.size() - 1; row >= 0; --row) {
        if (!pictures.isSelected(row)) {
            continue;
        }
        if (!text.empty()) {
            text += separator;
        }
        text += piece(pictures.at(row).path);
    }
    return text;
}

void copyurllinks(list::Tmyambrel& app) {
    app.services().clipboard.setText(gatherSelected(
        app.pictures(), [](const std::string& path) { return path; }, "\r\n"));
}

void copyhtmllinks(list::Tmyambrel& app) {
    app.services().clipboard.setText(gatherSelected(
        app.pictures(), [](const std::string& path) { return "<img src=\"" + path + "\">"; },
        "<br>\r\n"));
}

void bbcdecop(list::Tmyambrel& app, LinkBuilder& builder) {
    const std::size_t selected = app.pictures().selectedRows().size();
    if (selected == 0) {
        return;
    }
    if (selected == 1) {
        builder.open();
        return;
    }
    app.services().clipboard.setText(gatherSelected(
        app.pictures(), [](const std::string& path) { return "[img]" + path + "[/img]"; }, "\r\n"));
}

}  // namespace ambrel::linkexport
