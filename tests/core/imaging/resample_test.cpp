#include "core/imaging/resample.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>

namespace ambrel::imaging {
namespace {

// The two-pass filter written plainly, step by step, one pixel and one channel at a time:
// what the fast engine must give bit for bit.
Picture referenceResample(const Picture& src, int wd, int hd, const ResamplingFilter& f) {
    auto lists = [&](int ws, int d) {
        const float scale = ws == 1 ? static_cast<float>(d) / static_cast<float>(ws)
                                    : static_cast<float>(d - 1) / static_cast<float>(ws - 1);
        std::vector<std::vector<std::pair<int, float>>> out(static_cast<std::size_t>(d));
        for (int i = 0; i < d; ++i) {
            const float centre = static_cast<float>(i) / scale;
            if (scale < 1.0F) {
                const float r = f.support / scale;
                const float fscale = 1.0F / scale;
                for (int j = static_cast<int>(std::floor(centre - r));
                     j <= static_cast<int>(std::ceil(centre + r)); ++j) {
                    const float arg = (centre - static_cast<float>(j)) / fscale;
                    const float w = f.filter(arg) / fscale;
                    if (w != 0.0F) {
                        int k = j < 0 ? -j : j >= ws ? 2 * ws - j - 1 : j;
                        k = k < 0 ? 0 : k >= ws ? ws - 1 : k;
                        out[static_cast<std::size_t>(i)].emplace_back(k, w);
                    }
                }
            } else {
                for (int j = static_cast<int>(std::floor(centre - f.support));
                     j <= static_cast<int>(std::ceil(centre + f.support)); ++j) {
                    const float w = f.filter(centre - static_cast<float>(j));
                    if (w != 0.0F) {
                        int k = j < 0 ? -j : j >= ws ? 2 * ws - j - 1 : j;
                        k = k < 0 ? 0 : k >= ws ? ws - 1 : k;
                        out[static_cast<std::size_t>(i)].emplace_back(k, w);
                    }
                }
            }
        }
        return out;
    };
    auto toByte = [](float sum) -> std::uint8_t {
        if (sum > 255.0F)
            return 255;
        if (sum < 0.0F)
            return 0;
        return static_cast<std::uint8_t>(std::nearbyint(sum));
    };
    Picture mid(wd, src.height());
    const auto cols = lists(src.width(), wd);
    for (int k = 0; k < src.height(); ++k) {
        for (int i = 0; i < wd; ++i) {
            for (int c = 0; c < 3; ++c) {
                float sum = 0.0F;
                for (const auto& [index, w] : cols[static_cast<std::size_t>(i)]) {
                    const float product = static_cast<float>(src.row(k)[index * 3 + c]) * w;
                    sum = sum + product;
                }
                mid.row(k)[i * 3 + c] = toByte(sum);
            }
        }
    }
    Picture dst(wd, hd);
    const auto rows = lists(src.height(), hd);
    for (int k = 0; k < wd; ++k) {
        for (int i = 0; i < hd; ++i) {
            for (int c = 0; c < 3; ++c) {
                float sum = 0.0F;
                for (const auto& [index, w] : rows[static_cast<std::size_t>(i)]) {
                    const float product = static_cast<float>(mid.row(index)[k * 3 + c]) * w;
                    sum = sum + product;
                }
                dst.row(i)[k * 3 + c] = toByte(sum);
            }
        }
    }
    return dst;
}

Picture randomPicture(int w, int h, unsigned seed) {
    Picture p(w, h);
    std::mt19937 gen(seed);
    // Hard edges between flat areas make the sharp filters overshoot below 0 and above 255.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w * 3; ++x) {
            p.row(y)[x] = gen() % 3 == 0 ? static_cast<std::uint8_t>(gen() % 2 * 255)
                                         : static_cast<std::uint8_t>(gen());
        }
    }
    return p;
}

TEST(FilterTable, NamesSupportsAndOrder) {
    const char* names[] = {"Box",      "Triangle", "Hermite", "Bell",
                           "B-Spline", "Lanczos3", "Mitchell"};
    const float supports[] = {0.5F, 1.0F, 1.0F, 1.5F, 2.0F, 3.0F, 2.0F};
    for (std::size_t i = 0; i < kResamplingFilters.size(); ++i) {
        EXPECT_STREQ(kResamplingFilters[i].name, names[i]);
        EXPECT_EQ(kResamplingFilters[i].support, supports[i]);
        EXPECT_EQ(&filterByName(names[i]), &kResamplingFilters[i]);
    }
    EXPECT_STREQ(kResamplingFilters[kLanczos3].name, "Lanczos3");
    EXPECT_THROW(filterByName("Gauss"), std::out_of_range);
}

double sincD(double x) {
    return x == 0 ? 1 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

TEST(FilterTable, WeightsAtSamplePoints) {
    struct Case {
        const char* filter;
        float x;
        double expected;
    };
    const Case cases[] = {
        {"Box", 0.0F, 1},
        {"Box", 0.5F, 1},
        {"Box", -0.5F, 0},
        {"Box", 0.51F, 0},
        {"Triangle", 0.0F, 1},
        {"Triangle", -0.25F, 0.75},
        {"Triangle", 1.0F, 0},
        {"Hermite", 0.0F, 1},
        {"Hermite", 0.5F, 0.5},
        {"Hermite", -0.25F, (2 * 0.25 - 3) * 0.0625 + 1},
        {"Hermite", 1.0F, 0},
        {"Bell", 0.0F, 0.75},
        {"Bell", 0.25F, 0.6875},
        {"Bell", 0.5F, 0.5},
        {"Bell", -1.0F, 0.125},
        {"Bell", 1.5F, 0},
        {"B-Spline", 0.0F, 2.0 / 3},
        {"B-Spline", 0.5F, 0.0625 - 0.25 + 2.0 / 3},
        {"B-Spline", 1.0F, 1.0 / 6},
        {"B-Spline", -1.5F, 0.125 / 6},
        {"B-Spline", 2.0F, 0},
        {"Lanczos3", 0.0F, 1},
        {"Lanczos3", 0.5F, sincD(0.5) * sincD(0.5 / 3)},
        {"Lanczos3", -1.5F, sincD(1.5) * sincD(0.5)},
        {"Lanczos3", 2.5F, sincD(2.5) * sincD(2.5 / 3)},
        {"Lanczos3", 3.0F, 0},
        {"Lanczos3", 3.5F, 0},
        {"Mitchell", 0.0F, 16.0 / 18},
        {"Mitchell", 0.5F, (7 * 0.125 - 12 * 0.25 + 16.0 / 3) / 6},
        {"Mitchell", 1.0F, 1.0 / 18},
        {"Mitchell", -1.5F, (-(7.0 / 3) * 3.375 + 12 * 2.25 - 30 + 32.0 / 3) / 6},
        {"Mitchell", 2.0F, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.filter) + " at " + std::to_string(c.x));
        const float w = filterByName(c.filter).filter(c.x);
        EXPECT_NEAR(w, c.expected, 4e-7);
        if (c.expected == 0) {
            EXPECT_EQ(w, 0.0F);
        }
    }
    // sin of a 32-bit multiple of pi is not exactly 0: a same-size pass is near, not exact.
    for (float d : {1.0F, 2.0F}) {
        const float w = Lanczos3Filter(d);
        EXPECT_NE(w, 0.0F);
        EXPECT_LT(std::fabs(w), 1e-6F);
    }
}

TEST(WeightLists, ShrinkingThousandToHundred) {
    EXPECT_EQ(scaleFactor(1000, 100), 99.0F / 999.0F);
    EXPECT_EQ(weightRoom(1000, 100, 3.0F), 61);
    const auto lists = buildWeightLists(1000, 100, Lanczos3Filter, 3.0F);
    ASSERT_EQ(lists.size(), 100U);
    std::size_t most = 0;
    for (std::size_t c = 0; c < lists.size(); ++c) {
        const WeightList& l = lists[c];
        EXPECT_LE(l.size(), 61U);
        most = std::max(most, l.size());
        // Away from the edges the entries follow the source pixels one by one.
        for (std::size_t i = 1; c >= 4 && c < 96 && i < l.size(); ++i) {
            EXPECT_EQ(l[i - 1].index + 1, l[i].index) << "column " << c;
        }
    }
    EXPECT_EQ(most, 61U);
    // The last column sits on the last source pixel.
    EXPECT_EQ(lists.back()[lists.back().size() / 2].index, 999);
}

TEST(WeightLists, ReflectionAtBothEdges) {
    const auto lists = buildWeightLists(10, 10, TriangleFilter, 3.0F);
    // Same size, Triangle with a reach of 3: the lists hold j - 2 .. j + 2 (distances 3 give 0).
    auto indices = [](const WeightList& l) {
        std::vector<int> v;
        for (const auto& e : l)
            v.push_back(e.index);
        return v;
    };
    const auto lanczos = buildWeightLists(10, 10, Lanczos3Filter, 3.0F);
    EXPECT_EQ(indices(lanczos[0]), (std::vector<int>{2, 1, 0, 1, 2}));  // j = -2, -1, 0, 1, 2
    EXPECT_EQ(indices(lanczos[9]), (std::vector<int>{7, 8, 9, 9, 8}));  // j = 7 .. 11
    EXPECT_EQ(indices(lists[0]), (std::vector<int>{0}));
    // A reach wider than the picture is brought back inside after the reflection.
    const auto wide = buildWeightLists(2, 7, Lanczos3Filter, 3.0F);
    for (const WeightList& l : wide) {
        for (const auto& e : l) {
            EXPECT_GE(e.index, 0);
            EXPECT_LE(e.index, 1);
        }
    }
}

TEST(ChannelRounding, ClampsAndTiesToEven) {
    const std::pair<float, int> cases[] = {{254.5F, 254}, {253.5F, 254}, {-0.4F, 0},
                                           {-20.0F, 0},   {255.2F, 255}, {300.0F, 255},
                                           {0.5F, 0},     {1.5F, 2},     {127.49F, 127}};
    for (const auto& [sum, expected] : cases) {
        SCOPED_TRACE(sum);
        EXPECT_EQ(channelByte(sum), expected);
    }
}

// A filter for checking the engine's rounding: 1 at distance 0, m_half at distance 1/2.
float g_halfWeight = 0.0F;
float halfStepFilter(float x) {
    const float a = std::fabs(x);
    return a == 0.0F ? 1.0F : a == 0.5F ? g_halfWeight : 0.0F;
}

TEST(ResampleBitmap, RoundsEverySumLikeTheDefinition) {
    // A one-pixel source doubled in width: the second column sums v * w twice.
    const std::pair<float, int> cases[] = {{127.25F, 254}, {126.75F, 254}, {-1.0F, 0},
                                           {200.0F, 255},  {0.75F, 2},     {0.25F, 0}};
    for (const auto& [w, expected] : cases) {
        SCOPED_TRACE(w);
        g_halfWeight = w;
        Picture src(1, 1);
        src.fill(1, 1, 1);
        Picture dst(2, 1);
        ResampleBitmap(src, dst, halfStepFilter, 1.0F);
        EXPECT_EQ(dst.row(0)[0], 1);
        EXPECT_EQ(dst.row(0)[3], expected);
        EXPECT_EQ(dst.row(0)[5], expected);
    }
}

TEST(ResampleBitmap, Failures) {
    Picture empty(0, 5);
    Picture dst(4, 4);
    dst.fill(7, 7, 7);
    const Picture before = dst.clone();
    try {
        ResampleBitmap(empty, dst, Lanczos3Filter, 3.0F);
        FAIL();
    } catch (const ImageError& e) {
        EXPECT_STREQ(e.what(), "Source bitmap too small");
    }
    EXPECT_TRUE(dst == before);

    Picture src = randomPicture(5, 5, 1);
    Picture zero(0, 3);
    EXPECT_THROW(ResampleBitmap(src, zero, Lanczos3Filter, 3.0F), ImageError);
    for (auto [w, h] : {std::pair{1, 4}, std::pair{4, 1}}) {
        Picture thin(w, h);
        thin.fill(7, 7, 7);
        const Picture untouched = thin.clone();
        try {
            ResampleBitmap(src, thin, Lanczos3Filter, 3.0F);
            FAIL();
        } catch (const ImageError& e) {
            EXPECT_STREQ(e.what(), "Floating point division by zero");
        }
        EXPECT_TRUE(thin == untouched);
    }
}

TEST(ResampleBitmap, SinglePixelSourcesUseTheDestinationSize) {
    EXPECT_EQ(scaleFactor(1, 4), 4.0F);
    const Picture column = randomPicture(1, 9, 2);
    const Picture row = randomPicture(9, 1, 3);
    for (const auto& [src, w, h] : {std::tuple{&column, 4, 5}, std::tuple{&row, 3, 6},
                                    std::tuple{&column, 1, 9}, std::tuple{&row, 9, 1}}) {
        Picture dst(w, h);
        ResampleBitmap(*src, dst, Lanczos3Filter, 3.0F);
        EXPECT_TRUE(dst == referenceResample(*src, w, h, kResamplingFilters[kLanczos3]));
    }
    // A flat source stays flat under Triangle, whose weights sum to 1.
    Picture flat(1, 1);
    flat.fill(10, 100, 200);
    Picture big(3, 3);
    ResampleBitmap(flat, big, TriangleFilter, 1.0F);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(big.row(y)[x * 3 + 2], 200);
        }
    }
}

TEST(ResampleBitmap, SameSizeLanczosKeepsThePicture) {
    const Picture src = randomPicture(23, 17, 4);
    Picture dst(23, 17);
    ResampleBitmap(src, dst, Lanczos3Filter, 3.0F);
    EXPECT_TRUE(dst == src);
}

// The fast engine against the plain one, on every instruction set this machine runs, every
// filter, sizes around the vector and block widths, one to three threads.
TEST(ResampleBitmap, MatchesThePlainDefinitionBitForBit) {
    struct Size {
        int ws, hs, wd, hd;
    };
    const Size sizes[] = {{1, 1, 5, 3},     {2, 3, 7, 8},       {17, 33, 5, 4},
                          {40, 31, 16, 17}, {64, 48, 200, 150}, {333, 100, 31, 99},
                          {100, 20, 3, 2},  {15, 16, 15, 16},   {50, 70, 49, 71}};
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        std::printf("instruction set %s\n", hwy::TargetName(target));
        for (std::size_t f = 0; f < kResamplingFilters.size(); ++f) {
            for (std::size_t s = 0; s < std::size(sizes); ++s) {
                const Size& z = sizes[s];
                SCOPED_TRACE(std::string(hwy::TargetName(target)) + " " +
                             kResamplingFilters[f].name + " " + std::to_string(z.ws) + "x" +
                             std::to_string(z.hs) + " -> " + std::to_string(z.wd) + "x" +
                             std::to_string(z.hd));
                const Picture src = randomPicture(z.ws, z.hs, static_cast<unsigned>(s * 7 + f));
                const Picture expected = referenceResample(src, z.wd, z.hd, kResamplingFilters[f]);
                for (int threads = 1; threads <= 3; ++threads) {
                    Picture dst(z.wd, z.hd);
                    ResampleBitmap(src, dst, kResamplingFilters[f].filter,
                                   kResamplingFilters[f].support, threads);
                    ASSERT_TRUE(dst == expected) << threads << " threads";
                }
            }
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}

}  // namespace
}  // namespace ambrel::imaging
