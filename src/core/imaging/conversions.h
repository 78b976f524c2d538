#pragma once

#include <cstdint>
#include <string>

#include "core/imaging/gifcodec.h"
#include "core/imaging/picture.h"

namespace ambrel::imaging {

// File to file conversions. Each reads and decodes the whole source, then writes the
// destination in one piece (a failed write leaves no partial file). They throw ImageError
// for a picture that cannot be decoded or encoded and storage::IoError for a file that
// cannot be read or written.
void convertBmpToJpeg(const std::string& source, const std::string& destination);
void convertJpegToBmp(const std::string& source, const std::string& destination);
void convertPngToBmp(const std::string& source, const std::string& destination);
// Straight from the decoded pixels to JPEG: no intermediate file.
void convertPngToJpeg(const std::string& source, const std::string& destination);
void writeGifFrameAsBmp(const GifFrames& gif, int frame, const std::string& destination);
void writeGifFrameAsJpeg(const GifFrames& gif, int frame, const std::string& destination);

// How the resize dialog's value sets the thumbnail's size.
enum class ResizeMode { Ratio, FixedWidth, FixedHeight };

struct PictureSize {
    std::int64_t width;
    std::int64_t height;
    bool operator==(const PictureSize&) const = default;
};

// Ratio: value * w div 100 by value * h div 100; fixed width: value by value * h div w;
// fixed height: value * w div h by value. Integer products, division truncating toward 0.
PictureSize resizedSize(ResizeMode mode, std::int64_t value, int width, int height);

// Decodes a JPEG, scales it with Lanczos3 (support 3) to the size the mode gives and writes it
// as a JPEG. A size below one pixel fails in the resampler, and nothing is written then.
void resizeJpegFile(const std::string& source, const std::string& destination, ResizeMode mode,
                    std::int64_t value, int threads = 0);

}  // namespace ambrel::imaging
