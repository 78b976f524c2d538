// Any bytes given to the PNG reader end in a picture or an ImageError.
#include <cstddef>
#include <cstdint>

#include "core/imaging/pngcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)ambrel::imaging::decodePng({data, size}, 1 << 22);
    } catch (const ambrel::imaging::ImageError&) {
    }
    return 0;
}
