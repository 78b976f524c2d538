#include "core/export/linkbuilder.h"

#include <algorithm>

#include "core/storage/names.h"

namespace ambrel::linkexport {

namespace {

// Replaces every occurrence, left to right; the search goes on after each replacement so a
// replacement that holds the pattern (".th.jpg" holds ".jpg") is not replaced again.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) {
        return text;
    }
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

constexpr const char* kQ = "\"";

}  // namespace

std::string thumbnailAddress(ThumbnailService service, const std::string& fullSize) {
    switch (service) {
        case ThumbnailService::Imageshack: {
            const std::string extension = storage::extensionpart(fullSize);
            return replaceAll(fullSize, extension, ".th" + extension);
        }
        case ThumbnailService::Suprfile:
            return replaceAll(fullSize, "/src/1/", "/src/2/");
        case ThumbnailService::Imagecraze:
            return replaceAll(fullSize, "/uploads/", "/thumb/thumb_");
    }
    return fullSize;
}

std::string htmlThumbnailLink(const std::string& link, const std::string& thumbnail) {
    if (link.empty() && !thumbnail.empty()) {
        return std::string("<img src=") + kQ + thumbnail + kQ + ">";
    }
    return std::string("<a href=") + kQ + link + kQ + "><img src=" + kQ + thumbnail + kQ +
           "></img></a>";
}

std::string bbcode1ThumbnailLink(const std::string& link, const std::string& thumbnail) {
    if (link.empty() && !thumbnail.empty()) {
        return "[img]" + thumbnail + "[/img]";
    }
    return "[url=" + link + "][img]" + thumbnail + "[/img][/url]";
}

std::string bbcode2ThumbnailLink(const std::string& link, const std::string& thumbnail) {
    if (link.empty() && !thumbnail.empty()) {
        return "[img]" + thumbnail + "[/img]";
    }
    return "[url=" + link + "][img=" + thumbnail + "][/url]";
}

Rect placeBesideMain(const Rect& main, int width, int height, const Rect& screen) {
    Rect placed{main.left - width + 100, main.top + height, width, height};
    if (screen.width > 0 && screen.height > 0) {
        // The right and bottom edges first, so a dialog larger than the screen keeps its
        // title bar and left edge reachable.
        placed.left = std::min(placed.left, screen.left + screen.width - width);
        placed.top = std::min(placed.top, screen.top + screen.height - height);
        placed.left = std::max(placed.left, screen.left);
        placed.top = std::max(placed.top, screen.top);
    }
    return placed;
}

}  // namespace ambrel::linkexport
