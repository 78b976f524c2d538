// Any bytes given to the bitmap reader end in a picture or an ImageError.
#include <cstddef>
#include <cstdint>

#include "core/imaging/bmpcodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const ambrel::imaging::Picture p = ambrel::imaging::decodeBmp({data, size}, 1 << 22);
        (void)ambrel::imaging::encodeBmp(p);
    } catch (const ambrel::imaging::ImageError&) {
    }
    return 0;
}
