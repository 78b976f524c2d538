#include "core/imaging/pngcodec.h"

#include <png.h>

namespace ambrel::imaging {
namespace {

// Deflate turns one byte into at most 1032; a file whose rows need more than that many
// times its own size cannot hold them.
constexpr std::uint64_t kMostInflation = 1032;
// Samples per pixel by colour type (grey, -, colour, palette, grey+alpha, -, colour+alpha).
constexpr std::uint64_t kChannels[8] = {1, 1, 3, 1, 2, 1, 4, 1};

}  // namespace

Picture decodePng(std::span<const std::uint8_t> file, std::int64_t maxPixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    struct Free {
        png_image* image;
        ~Free() { png_image_free(image); }
    } free{&image};
    if (png_image_begin_read_from_memory(&image, file.data(), file.size()) == 0) {
        throw ImageError(std::string("Invalid PNG picture: ") + image.message);
    }
    checkPictureSize(image.width, image.height, maxPixels);
    // libpng has read and checked the header chunk, which comes first: its bit depth and
    // colour type give the bits of each pixel.
    const std::uint64_t depth = file.size() > 25 ? file[24] : 1;
    const std::uint64_t channels = file.size() > 25 ? kChannels[file[25] & 7] : 1;
    const std::uint64_t rawRow = (image.width * channels * depth + 7) / 8 + 1;
    if (rawRow * image.height > kMostInflation * file.size() + 65536) {
        throw ImageError("Invalid PNG picture: the file is shorter than its pixels");
    }
    Picture picture(static_cast<int>(image.width), static_cast<int>(image.height));
    image.format = PNG_FORMAT_BGR;
    const png_color white{255, 255, 255};
    if (png_image_finish_read(&image, &white, picture.data(),
                              static_cast<png_int_32>(picture.stride()), nullptr) == 0) {
        throw ImageError(std::string("Invalid PNG picture: ") + image.message);
    }
    return picture;
}

Picture readPngFile(const std::string& path) {
    return decodePng(readPictureFile(path));
}

}  // namespace ambrel::imaging
