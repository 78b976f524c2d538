#include "core/imaging/conversions.h"

#include <algorithm>
#include <limits>

#include "core/imaging/bmpcodec.h"
#include "core/imaging/jpegcodec.h"
#include "core/imaging/pngcodec.h"
#include "core/imaging/resample.h"

namespace ambrel::imaging {

void convertBmpToJpeg(const std::string& source, const std::string& destination) {
    writeJpegFile(destination, readBmpFile(source));
}

void convertJpegToBmp(const std::string& source, const std::string& destination) {
    writeBmpFile(destination, readJpegFile(source));
}

void convertPngToBmp(const std::string& source, const std::string& destination) {
    writeBmpFile(destination, readPngFile(source));
}

void convertPngToJpeg(const std::string& source, const std::string& destination) {
    writeJpegFile(destination, readPngFile(source));
}

void writeGifFrameAsBmp(const GifFrames& gif, int frame, const std::string& destination) {
    writeBmpFile(destination, gif.frame(frame));
}

void writeGifFrameAsJpeg(const GifFrames& gif, int frame, const std::string& destination) {
    writeJpegFile(destination, gif.frame(frame));
}

PictureSize resizedSize(ResizeMode mode, std::int64_t value, int width, int height) {
    const std::int64_t w = width;
    const std::int64_t h = height;
    if (w < 1 || h < 1) {
        throw ImageError("Source bitmap too small");
    }
    // Beyond this the products below could overflow; no picture is that large anyway.
    constexpr std::int64_t kLargest = std::int64_t{1} << 32;
    const std::int64_t v = std::clamp(value, -kLargest, kLargest);
    switch (mode) {
        case ResizeMode::Ratio:
            return {v * w / 100, v * h / 100};
        case ResizeMode::FixedWidth:
            return {v, v * h / w};
        case ResizeMode::FixedHeight:
            return {v * w / h, v};
    }
    return {0, 0};
}

void resizeJpegFile(const std::string& source, const std::string& destination, ResizeMode mode,
                    std::int64_t value, int threads) {
    const Picture picture = readJpegFile(source);
    const PictureSize size = resizedSize(mode, value, picture.width(), picture.height());
    // A size below one pixel is left to the resampler to refuse.
    const auto side = [](std::int64_t n) {
        return static_cast<int>(std::clamp<std::int64_t>(n, 0, std::numeric_limits<int>::max()));
    };
    if (size.width > 0 && size.height > 0) {
        checkPictureSize(size.width, size.height);
    }
    Picture thumbnail(side(size.width), side(size.height));
    const ResamplingFilter& lanczos = kResamplingFilters[kLanczos3];
    ResampleBitmap(picture, thumbnail, lanczos.filter, lanczos.support, threads);
    writeJpegFile(destination, thumbnail);
}

}  // namespace ambrel::imaging
