#include <gtest/gtest.h>

#include <string>

#include "core/imaging/bmpcodec.h"
#include "core/imaging/gifcodec.h"
#include "core/imaging/jpegcodec.h"
#include "core/imaging/pngcodec.h"
#include "imaging/picturefixtures.h"

namespace ambrel::imaging {
namespace {

using test::GifFrameSpec;
using test::gradientPicture;
using test::largestDifference;
using test::makeGif;
using test::makePng;

TEST(Bmp, WritesTwentyFourBitBottomUpAndReadsItBack) {
    for (int w : {1, 2, 3, 4, 5, 13}) {
        SCOPED_TRACE(w);
        const Picture p = gradientPicture(w, 3);
        const std::vector<std::uint8_t> file = encodeBmp(p);
        const std::size_t rowBytes = static_cast<std::size_t>((w * 3 + 3) / 4 * 4);
        ASSERT_EQ(file.size(), 54 + rowBytes * 3);
        EXPECT_EQ(file[28], 24);  // bits per pixel
        EXPECT_EQ(file[30], 0);   // no compression
        // The bottom row comes first.
        EXPECT_EQ(0, std::memcmp(file.data() + 54, p.row(2), p.stride()));
        EXPECT_TRUE(decodeBmp(file) == p);
    }
}

// A bitmap header for the reader's tests: bpp bits, an optional palette, rows as given.
std::vector<std::uint8_t> bmpFile(int w, int h, int bpp, const std::vector<std::uint8_t>& palette,
                                  const std::vector<std::uint8_t>& rows,
                                  std::uint32_t compression = 0,
                                  const std::vector<std::uint8_t>& masks = {}) {
    std::vector<std::uint8_t> f(54, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(10, static_cast<std::uint32_t>(54 + masks.size() + palette.size()));
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    f[26] = 1;
    f[28] = static_cast<std::uint8_t>(bpp);
    put32(30, compression);
    f.insert(f.end(), masks.begin(), masks.end());
    f.insert(f.end(), palette.begin(), palette.end());
    f.insert(f.end(), rows.begin(), rows.end());
    put32(2, static_cast<std::uint32_t>(f.size()));
    return f;
}

TEST(Bmp, ReadsPaletteMaskedAndTopDownBitmaps) {
    const std::vector<std::uint8_t> pal = {10, 20, 30, 0, 40, 50, 60, 0};  // two BGRx entries
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        std::vector<std::uint8_t> expected;  // 2 x 2 picture, top row first
    };
    const Case cases[] = {
        // Bottom row first: 1 bit, row "01", then row "10".
        {"1 bit",
         bmpFile(2, 2, 1, pal, {0x40, 0, 0, 0, 0x80, 0, 0, 0}),
         {40, 50, 60, 10, 20, 30, 10, 20, 30, 40, 50, 60}},
        {"4 bits",
         bmpFile(2, 2, 4, pal, {0x01, 0, 0, 0, 0x10, 0, 0, 0}),
         {40, 50, 60, 10, 20, 30, 10, 20, 30, 40, 50, 60}},
        {"8 bits",
         bmpFile(2, 2, 8, pal, {1, 1, 0, 0, 0, 0, 0, 0}),
         {10, 20, 30, 10, 20, 30, 40, 50, 60, 40, 50, 60}},
        {"top-down 24 bits",
         bmpFile(2, -2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        // 16 bits 5-5-5: pure red 0x7C00 and white 0x7FFF.
        {"16 bits",
         bmpFile(2, 2, 16, {}, {0x00, 0x7C, 0xFF, 0x7F, 0x00, 0x7C, 0xFF, 0x7F}),
         {0, 0, 255, 255, 255, 255, 0, 0, 255, 255, 255, 255}},
        // 16 bits with 5-6-5 masks: pure green.
        {"16 bits masked",
         bmpFile(2, 2, 16, {}, {0xE0, 0x07, 0, 0, 0xE0, 0x07, 0, 0}, 3,
                 {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}),
         {0, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0, 0}},
        {"32 bits",
         bmpFile(2, 2, 32, {}, {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99}),
         {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture p = decodeBmp(c.file);
        ASSERT_EQ(p.width(), 2);
        ASSERT_EQ(p.height(), 2);
        const std::vector<std::uint8_t> got(p.data(), p.data() + 12);
        EXPECT_EQ(got, c.expected);
    }
}

TEST(Bmp, RefusesWhatItCannotTrust) {
    const std::vector<std::uint8_t> good = encodeBmp(gradientPicture(5, 4));
    // Every cut into the pixels is refused (only the last row's padding may be missing).
    for (std::size_t n = 0; n + 1 < good.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_THROW(decodeBmp({good.data(), n}), ImageError);
    }
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
    };
    const Case cases[] = {
        {"huge size, no pixels", bmpFile(60000, 60000, 24, {}, {1, 2, 3})},
        {"negative width", bmpFile(-5, 2, 24, {}, std::vector<std::uint8_t>(64))},
        {"zero height", bmpFile(2, 0, 24, {}, {})},
        {"height of -2^31", bmpFile(2, INT32_MIN, 24, {}, std::vector<std::uint8_t>(64))},
        {"odd bits", bmpFile(2, 2, 7, {}, std::vector<std::uint8_t>(64))},
        {"run-length", bmpFile(2, 2, 8, {0, 0, 0, 0}, std::vector<std::uint8_t>(64), 1)},
        {"offset past the end",
         [] {
             auto f = bmpFile(2, 2, 24, {}, std::vector<std::uint8_t>(16));
             f[10] = 0xFF;
             f[11] = 0xFF;
             return f;
         }()},
        {"not a bitmap", {'P', 'K', 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(decodeBmp(c.file), ImageError);
    }
}

TEST(Jpeg, BaselineColourQualityNinety) {
    const Picture p = gradientPicture(37, 21);
    const std::vector<std::uint8_t> file = encodeJpeg(p);
    // A baseline frame header (FF C0) with three components, no progressive one (FF C2).
    bool baseline = false;
    bool progressive = false;
    for (std::size_t i = 0; i + 9 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            baseline = true;
            EXPECT_EQ(file[i + 9], 3);
        }
        progressive = progressive || (file[i] == 0xFF && file[i + 1] == 0xC2);
    }
    EXPECT_TRUE(baseline);
    EXPECT_FALSE(progressive);
    // The first quantisation table of quality 90 starts with 3 (50 * 10 / 100 ... of 16).
    for (std::size_t i = 0; i + 5 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xDB) {
            EXPECT_EQ(file[i + 5], 3);
            break;
        }
    }
    const Picture back = decodeJpeg(file);
    ASSERT_EQ(back.width(), 37);
    ASSERT_EQ(back.height(), 21);
    EXPECT_LE(largestDifference(back, p), 12);
}

TEST(Jpeg, RefusesDamagedAndCutShortFiles) {
    const std::vector<std::uint8_t> good = encodeJpeg(gradientPicture(40, 30));
    for (std::size_t n = 0; n < good.size(); n += 7) {
        SCOPED_TRACE(n);
        EXPECT_THROW(decodeJpeg({good.data(), n}), ImageError);
    }
    // A frame header that claims 60000 x 60000 pixels over a few bytes of data.
    std::vector<std::uint8_t> huge = good;
    for (std::size_t i = 0; i + 8 < huge.size(); ++i) {
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = 0xEA;
            huge[i + 6] = 0x60;
            huge[i + 7] = 0xEA;
            huge[i + 8] = 0x60;
            break;
        }
    }
    EXPECT_THROW(decodeJpeg(huge), ImageError);
    EXPECT_THROW(decodeJpeg(std::vector<std::uint8_t>{'G', 'I', 'F'}), ImageError);
}

TEST(Png, DecodesColourAndLaysTransparencyOverWhite) {
    const Picture p = gradientPicture(9, 7);
    EXPECT_TRUE(decodePng(makePng(p)) == p);
    Picture two(2, 1);
    two.fill(0, 0, 0);
    const Picture back = decodePng(makePng(two, {0, 255}));
    EXPECT_EQ(back.row(0)[0], 255);  // transparent black shows white
    EXPECT_EQ(back.row(0)[3], 0);    // opaque black stays black
}

TEST(Png, RefusesDamagedCutShortAndOverlargeFiles) {
    const std::vector<std::uint8_t> good = makePng(gradientPicture(20, 20));
    // Every cut before the end chunk loses pixels; the 12-byte end chunk itself holds none.
    for (std::size_t n = 0; n + 12 < good.size(); n += 3) {
        SCOPED_TRACE(n);
        EXPECT_THROW(decodePng({good.data(), n}), ImageError);
    }
    // Header chunk claiming 10000 x 10000 (its checksum made right so libpng reads it).
    std::vector<std::uint8_t> huge(good.begin(), good.begin() + 33);
    huge[16] = 0;
    huge[17] = 0;
    huge[18] = 0x27;
    huge[19] = 0x10;
    huge[20] = 0;
    huge[21] = 0;
    huge[22] = 0x27;
    huge[23] = 0x10;
    const png_uint_32 crc =
        static_cast<png_uint_32>(crc32(crc32(0, nullptr, 0), huge.data() + 12, 17));
    huge[29] = static_cast<std::uint8_t>(crc >> 24);
    huge[30] = static_cast<std::uint8_t>(crc >> 16);
    huge[31] = static_cast<std::uint8_t>(crc >> 8);
    huge[32] = static_cast<std::uint8_t>(crc);
    huge.insert(huge.end(), good.begin() + 33, good.end());
    try {
        decodePng(huge);
        FAIL();
    } catch (const ImageError& e) {
        EXPECT_NE(std::string(e.what()).find("shorter"), std::string::npos) << e.what();
    }
}

std::vector<std::uint8_t> filled(int n, std::uint8_t v) {
    return std::vector<std::uint8_t>(static_cast<std::size_t>(n), v);
}

TEST(Gif, ComposesEachFrameOnTheOnesBefore) {
    // 4 x 4 canvas: frame 0 all red; frame 1 a green 2 x 2 at (1,1) with a transparent
    // corner, disposed to background; frame 2 a blue pixel at (0,0), interlaced 1 x 1.
    GifFrameSpec f0{0, 0, 4, 4, filled(16, 1)};
    GifFrameSpec f1{1, 1, 2, 2, {2, 2, 2, 0}, 0, DISPOSE_BACKGROUND};
    GifFrameSpec f2{0, 0, 1, 1, {3}, -1, DISPOSAL_UNSPECIFIED, true};
    const GifFrames gif(makeGif(4, 4, {f0, f1, f2}));
    ASSERT_EQ(gif.frameCount(), 3);
    auto pixel = [](const Picture& p, int x, int y) {
        const std::uint8_t* q = p.row(y) + x * 3;
        return std::tuple(q[2], q[1], q[0]);  // red, green, blue
    };
    const Picture a = gif.frame(0);
    EXPECT_EQ(pixel(a, 3, 3), std::tuple(255, 0, 0));
    const Picture b = gif.frame(1);
    EXPECT_EQ(pixel(b, 1, 1), std::tuple(0, 255, 0));
    EXPECT_EQ(pixel(b, 2, 2), std::tuple(255, 0, 0));  // transparent: red shows through
    EXPECT_EQ(pixel(b, 0, 0), std::tuple(255, 0, 0));
    const Picture c = gif.frame(2);
    EXPECT_EQ(pixel(c, 0, 0), std::tuple(0, 0, 255));
    EXPECT_EQ(pixel(c, 1, 1), std::tuple(255, 255, 255));  // frame 1's area cleared to white
    EXPECT_EQ(pixel(c, 3, 0), std::tuple(255, 0, 0));
    EXPECT_THROW(gif.frame(3), std::out_of_range);

    // An interlaced frame's lines land on their rows.
    std::vector<std::uint8_t> stripes;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 2; ++x)
            stripes.push_back(static_cast<std::uint8_t>(y % 4));
    }
    const GifFrames tall(makeGif(2, 9, {GifFrameSpec{0, 0, 2, 9, stripes, -1, 0, true}}));
    const Picture t = tall.frame(0);
    for (int y = 0; y < 9; ++y) {
        SCOPED_TRACE(y);
        const std::tuple<int, int, int> colours[] = {
            {0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        EXPECT_EQ(pixel(t, 1, y), colours[y % 4]);
    }
}

TEST(Gif, RefusesDamagedCutShortAndOverlargeFiles) {
    const std::vector<std::uint8_t> good = makeGif(
        6, 5, {GifFrameSpec{0, 0, 6, 5, filled(30, 1)}, GifFrameSpec{1, 1, 2, 2, filled(4, 2)}});
    for (std::size_t n = 0; n + 1 < good.size(); ++n) {
        SCOPED_TRACE(n);
        try {
            const GifFrames gif(
                std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(n)));
            gif.frame(gif.frameCount() - 1);
            ADD_FAILURE() << "accepted a cut file";
        } catch (const ImageError&) {
        }
    }
    // A screen of 65535 x 65535 is refused before anything of that size is made.
    std::vector<std::uint8_t> huge = good;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;
    EXPECT_THROW(GifFrames{huge}, ImageError);
    // A frame far outside the screen is clipped away, not written outside the canvas.
    const GifFrames off(makeGif(
        3, 3,
        {GifFrameSpec{0, 0, 3, 3, filled(9, 3)}, GifFrameSpec{60000, 60000, 2, 2, filled(4, 1)}}));
    EXPECT_EQ(off.frame(1).row(2)[6], 255);
}

}  // namespace
}  // namespace ambrel::imaging
