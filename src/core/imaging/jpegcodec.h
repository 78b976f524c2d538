#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/imaging/picture.h"

namespace ambrel::imaging {

// Every JPEG the program writes: quality 90, baseline, colour.
inline constexpr int kJpegQuality = 90;

// Decodes a whole JPEG (every pixel, no scaling) through libjpeg-turbo. Throws ImageError for
// a file that is not a JPEG, is damaged or cut short, or holds more than maxPixels.
Picture decodeJpeg(std::span<const std::uint8_t> file, std::int64_t maxPixels = kMaxPixels);
std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality = kJpegQuality);

// File forms of the above; they also throw storage::IoError.
Picture readJpegFile(const std::string& path);
void writeJpegFile(const std::string& path, const Picture& picture);

}  // namespace ambrel::imaging
