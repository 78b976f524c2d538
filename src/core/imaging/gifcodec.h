#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/imaging/picture.h"

namespace ambrel::imaging {

// The frames of a GIF through giflib. Opening reads every record of the file and counts its
// frames; frame(i) then draws frames 0 .. i in turn on the picture's canvas, as a viewer
// shows frame i: each frame is composed with the ones before it (their disposal methods
// applied), transparent pixels keep what lies beneath, and the canvas starts white. Nothing
// is allocated from a size in the file beyond the canvas and one row of a frame, both
// within maxPixels. Throws ImageError for a damaged or cut-short file.
class GifFrames {
public:
    explicit GifFrames(std::vector<std::uint8_t> file, std::int64_t maxPixels = kMaxPixels);

    int frameCount() const { return m_frameCount; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Throws std::out_of_range for an index outside 0 .. frameCount() - 1.
    Picture frame(int index) const;

private:
    std::vector<std::uint8_t> m_file;
    std::int64_t m_maxPixels;
    int m_frameCount = 0;
    int m_width = 0;
    int m_height = 0;
};

// The file form; it also throws storage::IoError.
GifFrames readGifFile(const std::string& path);

}  // namespace ambrel::imaging
