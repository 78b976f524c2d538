#include "core/platform/ui.h"

#include <array>

namespace ambrel::platform {

const char* windowCaption(Window w) {
    static constexpr std::array<const char*, kWindowCount> captions = {
        "My ambrel",
        "",
        "Add url to my ambrel",
        "Add links from an address",
        "Upload settings",
        "Progress",
        "Remove online",
        "File settings",
        "Picture selector",
        "Download list",
        "Authorization required",
        "Avi to gif",
        "Resize to jpg",
        "Add a new ftp server",
        "Edit a ftp server",
        "Get datas from a form to add pictures (advanced users)",
        "Edit datas from a form to add pictures (advanced users)",
        "General settings",
        "About",
        "Copy links for pictures to your clipboard",
        "Choose a frame",
    };
    return captions.at(static_cast<std::size_t>(w));
}

}  // namespace ambrel::platform
