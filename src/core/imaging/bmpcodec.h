#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/imaging/picture.h"

namespace ambrel::imaging {

// Windows bitmaps of our own: reads uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel
// (bottom-up or top-down, with or without colour masks); writes 24 bits, uncompressed,
// bottom-up. The reader trusts no size in the file: it throws ImageError for a bitmap that
// is truncated, claims more than the file holds, or exceeds maxPixels.
Picture decodeBmp(std::span<const std::uint8_t> file, std::int64_t maxPixels = kMaxPixels);
std::vector<std::uint8_t> encodeBmp(const Picture& picture);

// File forms of the above; they also throw storage::IoError.
Picture readBmpFile(const std::string& path);
void writeBmpFile(const std::string& path, const Picture& picture);

}  // namespace ambrel::imaging
