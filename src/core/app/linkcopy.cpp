#include "core/app/linkcopy.h"

#include "core/export/linkformats.h"

namespace ambrel::app {

void copyurllinks(Tmyambrel& app) {
    app.services().clipboard.setText(linkexport::gatherSelected(
        app.pictures(), [](const std::string& path) { return path; }, "\r\n"));
}

void copyhtmllinks(Tmyambrel& app) {
    app.services().clipboard.setText(linkexport::gatherSelected(
        app.pictures(), [](const std::string& path) { return "<img src=\"" + path + "\">"; },
        "<br>\r\n"));
}

void bbcdecop(Tmyambrel& app, LinkBuilder& builder) {
    const std::size_t selected = app.pictures().selectedRows().size();
    if (selected == 0) {
        return;
    }
    if (selected == 1) {
        builder.open();
        return;
    }
    app.services().clipboard.setText(linkexport::gatherSelected(
        app.pictures(), [](const std::string& path) { return "[img]" + path + "[/img]"; }, "\r\n"));
}

}  // namespace ambrel::app
