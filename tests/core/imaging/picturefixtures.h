#pragma once

#include <gif_lib.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "core/imaging/picture.h"

namespace ambrel::test {

// A picture whose every pixel differs from its neighbours in a smooth way, so lossy
// round trips can be compared with a small tolerance.
inline imaging::Picture gradientPicture(int w, int h) {
    imaging::Picture p(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            std::uint8_t* px = p.row(y) + x * 3;
            px[0] = static_cast<std::uint8_t>(x * 255 / std::max(1, w - 1));
            px[1] = static_cast<std::uint8_t>(y * 255 / std::max(1, h - 1));
            px[2] = static_cast<std::uint8_t>(128);
        }
    }
    return p;
}

// The largest difference of any channel between two pictures of the same size.
inline int largestDifference(const imaging::Picture& a, const imaging::Picture& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (std::size_t i = 0; i < a.stride(); ++i) {
            most = std::max(most, std::abs(a.row(y)[i] - b.row(y)[i]));
        }
    }
    return most;
}

// A PNG made with libpng; alpha, when given, is one byte per pixel.
inline std::vector<std::uint8_t> makePng(const imaging::Picture& p,
                                         const std::vector<std::uint8_t>& alpha = {}) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(p.width());
    image.height = static_cast<png_uint_32>(p.height());
    image.format = alpha.empty() ? PNG_FORMAT_BGR : PNG_FORMAT_BGRA;
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x) {
            pixels.insert(pixels.end(), p.row(y) + x * 3, p.row(y) + x * 3 + 3);
            if (!alpha.empty()) {
                pixels.push_back(alpha[static_cast<std::size_t>(y * p.width() + x)]);
            }
        }
    }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<std::uint8_t> out(size);
    if (png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr) == 0) {
        throw std::runtime_error(image.message);
    }
    out.resize(size);
    return out;
}

// One frame of a GIF fixture: palette indices over a rectangle of the canvas.
struct GifFrameSpec {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> indices;  // width * height
    int transparent = -1;
    int disposal = DISPOSAL_UNSPECIFIED;
    bool interlace = false;
};

// A GIF made with giflib: a four-colour global palette (black, red, green, blue).
inline std::vector<std::uint8_t> makeGif(int width, int height,
                                         const std::vector<GifFrameSpec>& frames) {
    std::vector<std::uint8_t> out;
    auto write = [](GifFileType* gif, const GifByteType* data, int n) {
        auto* o = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
        o->insert(o->end(), data, data + n);
        return n;
    };
    int error = 0;
    GifFileType* gif = EGifOpen(&out, write, &error);
    GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 2, 0, map);
    for (const GifFrameSpec& f : frames) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = f.disposal;
        gcb.TransparentColor = f.transparent;
        GifByteType ext[4];
        const std::size_t n = EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlace, nullptr);
        std::vector<std::uint8_t> rows(f.indices);
        if (f.interlace) {
            // Lines go out in the four passes' order.
            rows.clear();
            const int start[4] = {0, 4, 2, 1};
            const int step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int y = start[pass]; y < f.height; y += step[pass]) {
                    rows.insert(rows.end(), f.indices.begin() + y * f.width,
                                f.indices.begin() + (y + 1) * f.width);
                }
            }
        }
        for (int y = 0; y < f.height; ++y) {
            EGifPutLine(gif, rows.data() + y * f.width, f.width);
        }
    }
    GifFreeMapObject(map);
    EGifCloseFile(gif, &error);
    return out;
}

}  // namespace ambrel::test
