#pragma once

#include <string>

namespace ambrel::linkexport {

// The picture-hosting services whose thumbnail address follows from the full-size one.
enum class ThumbnailService { Imageshack, Suprfile, Imagecraze };

// The thumbnail address a service serves for a full-size picture address.
std::string thumbnailAddress(ThumbnailService service, const std::string& fullSize);

// The three clipboard forms of a clickable thumbnail; with an empty link, the bare picture.
std::string htmlThumbnailLink(const std::string& link, const std::string& thumbnail);
std::string bbcode1ThumbnailLink(const std::string& link, const std::string& thumbnail);
std::string bbcode2ThumbnailLink(const std::string& link, const std::string& thumbnail);

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Where the dialog opens: one dialog height below the main window's top and its own width
// less 100 pixels to the left of the main window's left edge, moved back inside the screen
// when that would put part of it off screen.
Rect placeBesideMain(const Rect& main, int width, int height, const Rect& screen);

}  // namespace ambrel::linkexport
