// Any bytes given to the GIF reader end in frames or an ImageError; the first and the last
// frame are drawn, which runs every frame's decoding and disposal.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/imaging/gifcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const ambrel::imaging::GifFrames gif(std::vector<std::uint8_t>(data, data + size), 1 << 22);
        (void)gif.frame(0);
        (void)gif.frame(gif.frameCount() - 1);
    } catch (const ambrel::imaging::ImageError&) {
    }
    return 0;
}
