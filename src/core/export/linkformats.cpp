#include "core/export/linkformats.h"

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

}  // namespace ambrel::linkexport
