#include "core/imaging/bmpcodec.h"

#include <array>
#include <bit>
#include <cstring>

namespace ambrel::imaging {
namespace {

std::uint32_t u16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

[[noreturn]] void bad(const std::string& why) {
    throw ImageError("Invalid bitmap: " + why);
}

// One colour channel held in a pixel mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (m != 0) {
            shift = std::countr_zero(m);
            bits = std::popcount(m);
        }
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (bits == 0) {
            return 0;
        }
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) {
            return static_cast<std::uint8_t>(v >> (bits - 8));
        }
        const std::uint32_t top = (1u << bits) - 1;
        return static_cast<std::uint8_t>((v * 255 + top / 2) / top);
    }
};

}  // namespace

Picture decodeBmp(std::span<const std::uint8_t> file, std::int64_t maxPixels) {
    if (file.size() < 26 || file[0] != 'B' || file[1] != 'M') {
        bad("not a bitmap file");
    }
    const std::uint32_t dataOffset = u32(file, 10);
    const std::uint32_t headerSize = u32(file, 14);
    if (headerSize < 12 || headerSize > file.size() - 14) {
        bad("truncated header");
    }
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bpp = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::size_t paletteEntry = 4;
    if (headerSize == 12) {
        width = u16(file, 18);
        height = static_cast<std::int16_t>(u16(file, 20));
        bpp = u16(file, 24);
        paletteEntry = 3;
    } else {
        if (headerSize < 40) {
            bad("unknown header");
        }
        width = static_cast<std::int32_t>(u32(file, 18));
        height = static_cast<std::int32_t>(u32(file, 22));
        bpp = u16(file, 28);
        compression = u32(file, 30);
        colorsUsed = u32(file, 46);
    }
    const bool topDown = height < 0;
    if (topDown) {
        height = -height;
    }
    checkPictureSize(width, height, maxPixels);

    std::array<std::uint32_t, 3> masks{};  // red, green, blue
    if (compression == 3 || compression == 6) {
        if (bpp != 16 && bpp != 32) {
            bad("colour masks need 16 or 32 bits per pixel");
        }
        const std::size_t at = 14 + 40;
        if (file.size() < at + 12) {
            bad("truncated colour masks");
        }
        masks = {u32(file, at), u32(file, at + 4), u32(file, at + 8)};
    } else if (compression != 0) {
        bad("compressed bitmaps are not supported");
    } else if (bpp == 16) {
        masks = {0x7C00, 0x03E0, 0x001F};
    } else if (bpp == 32) {
        masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        bad(std::to_string(bpp) + " bits per pixel");
    }

    std::array<std::array<std::uint8_t, 3>, 256> palette{};
    if (bpp <= 8) {
        const std::size_t most = std::size_t{1} << bpp;
        std::size_t count = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
        std::size_t at = 14 + headerSize;
        if (headerSize == 40 && (compression == 3 || compression == 6)) {
            at += 12;
        }
        // A palette cut short keeps black for the missing entries.
        if (at < file.size()) {
            count = std::min(count, (file.size() - at) / paletteEntry);
        } else {
            count = 0;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t e = at + i * paletteEntry;
            palette[i] = {file[e], file[e + 1], file[e + 2]};
        }
    }

    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
    const std::uint64_t used = (static_cast<std::uint64_t>(width) * bpp + 7) / 8;
    const std::uint64_t need = static_cast<std::uint64_t>(dataOffset) +
                               rowBytes * static_cast<std::uint64_t>(height - 1) + used;
    if (dataOffset >= file.size() || need > file.size()) {
        bad("the file is shorter than its pixels");
    }

    Picture picture(static_cast<int>(width), static_cast<int>(height));
    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    const bool plain32 =
        bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
    const int w = static_cast<int>(width);
    for (int y = 0; y < picture.height(); ++y) {
        const int fileRow = topDown ? y : picture.height() - 1 - y;
        const std::uint8_t* src =
            file.data() + dataOffset + rowBytes * static_cast<std::uint64_t>(fileRow);
        std::uint8_t* dst = picture.row(y);
        switch (bpp) {
            case 24:
                std::memcpy(dst, src, picture.stride());
                break;
            case 32:
                for (int x = 0; x < w; ++x, dst += 3, src += 4) {
                    if (plain32) {
                        dst[0] = src[0];
                        dst[1] = src[1];
                        dst[2] = src[2];
                    } else {
                        const std::uint32_t px = u32({src, 4}, 0);
                        dst[0] = blue(px);
                        dst[1] = green(px);
                        dst[2] = red(px);
                    }
                }
                break;
            case 16:
                for (int x = 0; x < w; ++x, dst += 3, src += 2) {
                    const std::uint32_t px = static_cast<std::uint32_t>(src[0] | (src[1] << 8));
                    dst[0] = blue(px);
                    dst[1] = green(px);
                    dst[2] = red(px);
                }
                break;
            default: {
                const int perByte = 8 / static_cast<int>(bpp);
                const unsigned valueMask = (1u << bpp) - 1;
                for (int x = 0; x < w; ++x, dst += 3) {
                    const int shift = 8 - static_cast<int>(bpp) * (x % perByte + 1);
                    const unsigned index = (src[x / perByte] >> shift) & valueMask;
                    dst[0] = palette[index][0];
                    dst[1] = palette[index][1];
                    dst[2] = palette[index][2];
                }
            }
        }
    }
    return picture;
}

namespace {

constexpr std::size_t kHeaders = 14 + 40;

std::array<std::uint8_t, kHeaders> bmpHeaders(const Picture& picture, std::size_t rowBytes) {
    if (picture.empty()) {
        throw ImageError("Cannot write an empty bitmap");
    }
    const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(picture.height());
    if (kHeaders + imageBytes > 0xFFFFFFFFu) {
        throw ImageError("Picture too large for a bitmap");
    }
    std::array<std::uint8_t, kHeaders> h{};
    std::uint8_t* p = h.data();
    p[0] = 'B';
    p[1] = 'M';
    put32(p + 2, static_cast<std::uint32_t>(kHeaders + imageBytes));
    put32(p + 10, static_cast<std::uint32_t>(kHeaders));
    put32(p + 14, 40);
    put32(p + 18, static_cast<std::uint32_t>(picture.width()));
    put32(p + 22, static_cast<std::uint32_t>(picture.height()));
    put16(p + 26, 1);
    put16(p + 28, 24);
    put32(p + 34, static_cast<std::uint32_t>(imageBytes));
    return h;
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Picture& picture) {
    const std::size_t rowBytes = (picture.stride() + 3) / 4 * 4;
    const auto headers = bmpHeaders(picture, rowBytes);
    std::vector<std::uint8_t> out(kHeaders + rowBytes * static_cast<std::size_t>(picture.height()));
    std::memcpy(out.data(), headers.data(), kHeaders);
    std::uint8_t* rows = out.data() + kHeaders;
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* dst = rows + rowBytes * static_cast<std::size_t>(picture.height() - 1 - y);
        std::memcpy(dst, picture.row(y), picture.stride());
    }
    return out;
}

Picture readBmpFile(const std::string& path) {
    return decodeBmp(readPictureFile(path));
}

void writeBmpFile(const std::string& path, const Picture& picture) {
    // Straight from the picture's rows, bottom row first: no copy of the whole picture.
    const std::size_t rowBytes = (picture.stride() + 3) / 4 * 4;
    const auto headers = bmpHeaders(picture, rowBytes);
    static constexpr std::uint8_t kPadding[3] = {0, 0, 0};
    std::vector<std::span<const std::uint8_t>> parts;
    parts.reserve(static_cast<std::size_t>(picture.height()) * 2 + 1);
    parts.emplace_back(headers.data(), headers.size());
    for (int y = picture.height() - 1; y >= 0; --y) {
        parts.emplace_back(picture.row(y), picture.stride());
        parts.emplace_back(kPadding, rowBytes - picture.stride());
    }
    writePictureFile(path, parts);
}

}  // namespace ambrel::imaging
