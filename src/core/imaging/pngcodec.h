#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "core/imaging/picture.h"

namespace ambrel::imaging {

// Decodes a PNG through libpng into 24 bits; transparent parts are laid over white. Throws
// ImageError for a file that is not a PNG, is damaged or cut short, holds more than
// maxPixels, or claims more pixels than its compressed data could hold.
Picture decodePng(std::span<const std::uint8_t> file, std::int64_t maxPixels = kMaxPixels);

// The file form; it also throws storage::IoError.
Picture readPngFile(const std::string& path);

}  // namespace ambrel::imaging
