// Compiled once per instruction set through Highway's foreach_target; built with
// -ffp-contract=off so no multiply and add are fused into one rounding.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "core/imaging/resample_kernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

#include <algorithm>
#include <cstring>

#include "core/imaging/resample_kernels.h"

HWY_BEFORE_NAMESPACE();
namespace ambrel::imaging::kernels::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

#if HWY_TARGET == HWY_SCALAR
// Without vectors: the same sums, one channel at a time.
void HorizontalBlockImpl(const std::uint8_t* const* rows, int sourceWidth, const ColumnTaps& taps,
                         int destinationWidth, std::uint8_t* const* outRows, int rowCount,
                         BlockScratch& scratch) {
    (void)sourceWidth;
    (void)scratch;
    for (int r = 0; r < rowCount; ++r) {
        for (int col = 0; col < destinationWidth; ++col) {
            float sum[3] = {0.0F, 0.0F, 0.0F};
            const std::int32_t end = taps.first[static_cast<std::size_t>(col) + 1];
            for (std::int32_t t = taps.first[static_cast<std::size_t>(col)]; t < end; ++t) {
                const std::uint8_t* s = rows[r] + taps.offset[static_cast<std::size_t>(t)] / 16;
                const float w = taps.weight[static_cast<std::size_t>(t)];
                for (int c = 0; c < 3; ++c) {
                    const float product = static_cast<float>(s[c]) * w;
                    sum[c] = sum[c] + product;
                }
            }
            for (int c = 0; c < 3; ++c) {
                outRows[r][col * 3 + c] = channelByte(sum[c]);
            }
        }
    }
}

void VerticalRowImpl(const std::uint8_t* rows, std::size_t stride, const WeightEntry* taps,
                     std::size_t count, std::uint8_t* out, std::size_t bytes) {
    for (std::size_t p = 0; p < bytes; ++p) {
        float sum = 0.0F;
        for (std::size_t t = 0; t < count; ++t) {
            const float product =
                static_cast<float>(rows[static_cast<std::size_t>(taps[t].index) * stride + p]) *
                taps[t].weight;
            sum = sum + product;
        }
        out[p] = channelByte(sum);
    }
}
#else
using D8x16 = hn::Full128<std::uint8_t>;
using V8x16 = hn::Vec<D8x16>;

template <typename Wide>
HWY_INLINE V8x16 lower(V8x16 a, V8x16 b) {
    const D8x16 d8;
    const Wide dw;
    return hn::BitCast(d8, hn::InterleaveLower(dw, hn::BitCast(dw, a), hn::BitCast(dw, b)));
}
template <typename Wide>
HWY_INLINE V8x16 upper(V8x16 a, V8x16 b) {
    const D8x16 d8;
    const Wide dw;
    return hn::BitCast(d8, hn::InterleaveUpper(dw, hn::BitCast(dw, a), hn::BitCast(dw, b)));
}

// Transposes a 16 x 16 byte block: in[r] holds 16 bytes of row r; out[p] receives byte p of
// the 16 rows.
HWY_INLINE void transpose16(const V8x16 (&in)[16], V8x16 (&out)[16]) {
    using D16 = hn::Full128<std::uint16_t>;
    using D32 = hn::Full128<std::uint32_t>;
    using D64 = hn::Full128<std::uint64_t>;
    V8x16 s1[16];
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k) {
        s1[2 * k] = lower<D8x16>(in[2 * k], in[2 * k + 1]);
        s1[2 * k + 1] = upper<D8x16>(in[2 * k], in[2 * k + 1]);
    }
    // s1[2k + h]: rows 2k, 2k+1 at positions 8h .. 8h+7.
    V8x16 s2[16];
#pragma GCC unroll 4
    for (int m = 0; m < 4; ++m) {
#pragma GCC unroll 2
        for (int h = 0; h < 2; ++h) {
            const V8x16 a = s1[4 * m + h];
            const V8x16 b = s1[4 * m + 2 + h];
            s2[4 * m + 2 * h] = lower<D16>(a, b);
            s2[4 * m + 2 * h + 1] = upper<D16>(a, b);
        }
    }
    // s2[4m + b]: rows 4m .. 4m+3 at positions 4b .. 4b+3.
    V8x16 s3[16];
#pragma GCC unroll 2
    for (int g = 0; g < 2; ++g) {
#pragma GCC unroll 4
        for (int b = 0; b < 4; ++b) {
            const V8x16 x = s2[8 * g + b];
            const V8x16 y = s2[8 * g + 4 + b];
            s3[8 * g + 2 * b] = lower<D32>(x, y);
            s3[8 * g + 2 * b + 1] = upper<D32>(x, y);
        }
    }
    // s3[8g + c]: rows 8g .. 8g+7 at positions 2c, 2c+1.
#pragma GCC unroll 8
    for (int c = 0; c < 8; ++c) {
        out[2 * c] = lower<D64>(s3[c], s3[8 + c]);
        out[2 * c + 1] = upper<D64>(s3[c], s3[8 + c]);
    }
}

// Sums as bytes: clamped to 0 .. 255, then rounded to nearest with ties to even.
template <class DF, class VF>
HWY_INLINE void storeBytes(DF df, VF sum, std::uint8_t* out) {
    const hn::Rebind<std::uint8_t, DF> d8;
    const VF clamped = hn::Min(hn::Max(sum, hn::Zero(df)), hn::Set(df, 255.0F));
    hn::StoreU(hn::DemoteTo(d8, hn::NearestInt(clamped)), d8, out);
}

void HorizontalBlockImpl(const std::uint8_t* const* rows, int sourceWidth, const ColumnTaps& taps,
                         int destinationWidth, std::uint8_t* const* outRows, int rowCount,
                         BlockScratch& scratch) {
    const D8x16 d8;
    const std::size_t inBytes = static_cast<std::size_t>(sourceWidth) * 3;
    std::uint8_t* bytesIn = scratch.bytesIn.get();
    // Byte p of the 16 rows side by side; rows may be read past their end into the next
    // row or the picture's spare tail, which only fills positions that are never used.
    for (std::size_t p = 0; p < inBytes; p += 16) {
        V8x16 in[16];
        V8x16 out[16];
#pragma GCC unroll 16
        for (int r = 0; r < 16; ++r) {
            in[r] = hn::LoadU(d8, rows[r] + p);
        }
        transpose16(in, out);
#pragma GCC unroll 16
        for (int q = 0; q < 16; ++q) {
            hn::Store(out[q], d8, bytesIn + (p + static_cast<std::size_t>(q)) * 16);
        }
    }
    const hn::CappedTag<float, 16> df;
    constexpr std::size_t N = hn::MaxLanes(decltype(df)());
    constexpr std::size_t K = 16 / N;
    const hn::Rebind<std::uint8_t, decltype(df)> dn8;
    const hn::Rebind<std::int32_t, decltype(df)> di;
    float* floatsIn = scratch.floatsIn.get();
    const std::size_t total = ((inBytes + 15) & ~std::size_t{15}) * 16;
    for (std::size_t i = 0; i < total; i += N) {
        hn::Store(hn::ConvertTo(df, hn::PromoteTo(di, hn::LoadU(dn8, bytesIn + i))), df,
                  floatsIn + i);
    }

    using VF = hn::Vec<decltype(df)>;
    std::uint8_t* bytesOut = scratch.bytesOut.get();
    const std::int32_t* first = taps.first.data();
    const std::int32_t* offset = taps.offset.data();
    const float* weight = taps.weight.data();
    // Two columns at a time give six independent sums to hide the additions' latency; each
    // column's own additions keep their order.
    int col = 0;
    for (; col + 1 < destinationWidth; col += 2) {
        const std::int32_t b0 = first[col], e0 = first[col + 1];
        const std::int32_t b1 = first[col + 1], e1 = first[col + 2];
        const std::int32_t common = std::min(e0 - b0, e1 - b1);
        for (std::size_t k = 0; k < K; ++k) {
            VF x0 = hn::Zero(df), x1 = hn::Zero(df), x2 = hn::Zero(df);
            VF y0 = hn::Zero(df), y1 = hn::Zero(df), y2 = hn::Zero(df);
            const float* base = floatsIn + k * N;
            for (std::int32_t t = 0; t < common; ++t) {
                const VF wx = hn::Set(df, weight[b0 + t]);
                const VF wy = hn::Set(df, weight[b1 + t]);
                const float* sx = base + offset[b0 + t];
                const float* sy = base + offset[b1 + t];
                x0 = hn::Add(x0, hn::Mul(hn::Load(df, sx), wx));
                y0 = hn::Add(y0, hn::Mul(hn::Load(df, sy), wy));
                x1 = hn::Add(x1, hn::Mul(hn::Load(df, sx + 16), wx));
                y1 = hn::Add(y1, hn::Mul(hn::Load(df, sy + 16), wy));
                x2 = hn::Add(x2, hn::Mul(hn::Load(df, sx + 32), wx));
                y2 = hn::Add(y2, hn::Mul(hn::Load(df, sy + 32), wy));
            }
            for (std::int32_t t = b0 + common; t < e0; ++t) {
                const VF w = hn::Set(df, weight[t]);
                const float* s = base + offset[t];
                x0 = hn::Add(x0, hn::Mul(hn::Load(df, s), w));
                x1 = hn::Add(x1, hn::Mul(hn::Load(df, s + 16), w));
                x2 = hn::Add(x2, hn::Mul(hn::Load(df, s + 32), w));
            }
            for (std::int32_t t = b1 + common; t < e1; ++t) {
                const VF w = hn::Set(df, weight[t]);
                const float* s = base + offset[t];
                y0 = hn::Add(y0, hn::Mul(hn::Load(df, s), w));
                y1 = hn::Add(y1, hn::Mul(hn::Load(df, s + 16), w));
                y2 = hn::Add(y2, hn::Mul(hn::Load(df, s + 32), w));
            }
            std::uint8_t* o = bytesOut + static_cast<std::size_t>(col) * 48 + k * N;
            storeBytes(df, x0, o);
            storeBytes(df, x1, o + 16);
            storeBytes(df, x2, o + 32);
            storeBytes(df, y0, o + 48);
            storeBytes(df, y1, o + 64);
            storeBytes(df, y2, o + 80);
        }
    }
    for (; col < destinationWidth; ++col) {
        for (std::size_t k = 0; k < K; ++k) {
            VF x0 = hn::Zero(df), x1 = hn::Zero(df), x2 = hn::Zero(df);
            const float* base = floatsIn + k * N;
            for (std::int32_t t = first[col]; t < first[col + 1]; ++t) {
                const VF w = hn::Set(df, weight[t]);
                const float* s = base + offset[t];
                x0 = hn::Add(x0, hn::Mul(hn::Load(df, s), w));
                x1 = hn::Add(x1, hn::Mul(hn::Load(df, s + 16), w));
                x2 = hn::Add(x2, hn::Mul(hn::Load(df, s + 32), w));
            }
            std::uint8_t* o = bytesOut + static_cast<std::size_t>(col) * 48 + k * N;
            storeBytes(df, x0, o);
            storeBytes(df, x1, o + 16);
            storeBytes(df, x2, o + 32);
        }
    }

    // Back from byte-major to rows.
    const std::size_t outBytes = static_cast<std::size_t>(destinationWidth) * 3;
    for (std::size_t p = 0; p < outBytes; p += 16) {
        V8x16 in[16];
        V8x16 out[16];
#pragma GCC unroll 16
        for (int q = 0; q < 16; ++q) {
            in[q] = hn::Load(d8, bytesOut + (p + static_cast<std::size_t>(q)) * 16);
        }
        transpose16(in, out);
        const std::size_t n = outBytes - p < 16 ? outBytes - p : 16;
        for (int r = 0; r < rowCount; ++r) {
            if (n == 16) {
                hn::StoreU(out[r], d8, outRows[r] + p);
            } else {
                alignas(16) std::uint8_t tail[16];
                hn::Store(out[r], d8, tail);
                std::memcpy(outRows[r] + p, tail, n);
            }
        }
    }
}

void VerticalRowImpl(const std::uint8_t* rows, std::size_t stride, const WeightEntry* taps,
                     std::size_t count, std::uint8_t* out, std::size_t bytes) {
    const hn::ScalableTag<float> df;
    const std::size_t N = hn::Lanes(df);
    const hn::Rebind<std::uint8_t, decltype(df)> d8;
    const hn::Rebind<std::int32_t, decltype(df)> di;
    using VF = hn::Vec<decltype(df)>;
    auto load = [&](const std::uint8_t* p) {
        return hn::ConvertTo(df, hn::PromoteTo(di, hn::LoadU(d8, p)));
    };
    std::size_t p = 0;
    for (; p + 4 * N <= bytes; p += 4 * N) {
        VF a0 = hn::Zero(df), a1 = hn::Zero(df), a2 = hn::Zero(df), a3 = hn::Zero(df);
        for (std::size_t t = 0; t < count; ++t) {
            const VF w = hn::Set(df, taps[t].weight);
            const std::uint8_t* s = rows + static_cast<std::size_t>(taps[t].index) * stride + p;
            a0 = hn::Add(a0, hn::Mul(load(s), w));
            a1 = hn::Add(a1, hn::Mul(load(s + N), w));
            a2 = hn::Add(a2, hn::Mul(load(s + 2 * N), w));
            a3 = hn::Add(a3, hn::Mul(load(s + 3 * N), w));
        }
        storeBytes(df, a0, out + p);
        storeBytes(df, a1, out + p + N);
        storeBytes(df, a2, out + p + 2 * N);
        storeBytes(df, a3, out + p + 3 * N);
    }
    // The rest, a vector at a time; the last one goes through a buffer so nothing beyond the
    // row is written (the next row may belong to another thread). Reads may pass the row's
    // end into the picture's spare tail.
    for (; p < bytes; p += N) {
        VF a = hn::Zero(df);
        for (std::size_t t = 0; t < count; ++t) {
            const std::uint8_t* s = rows + static_cast<std::size_t>(taps[t].index) * stride + p;
            a = hn::Add(a, hn::Mul(load(s), hn::Set(df, taps[t].weight)));
        }
        if (p + N <= bytes) {
            storeBytes(df, a, out + p);
        } else {
            std::uint8_t tail[64];
            storeBytes(df, a, tail);
            std::memcpy(out + p, tail, bytes - p);
        }
    }
}

#endif

}  // namespace ambrel::imaging::kernels::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace ambrel::imaging::kernels {

HWY_EXPORT(HorizontalBlockImpl);
HWY_EXPORT(VerticalRowImpl);

ColumnTaps flattenColumns(const std::vector<WeightList>& lists) {
    ColumnTaps taps;
    taps.first.reserve(lists.size() + 1);
    taps.first.push_back(0);
    for (const WeightList& list : lists) {
        for (const WeightEntry& e : list) {
            taps.offset.push_back(e.index * 48);
            taps.weight.push_back(e.weight);
        }
        taps.first.push_back(static_cast<std::int32_t>(taps.weight.size()));
    }
    return taps;
}

namespace {
std::size_t roundUp16(std::size_t n) {
    return (n + 15) & ~std::size_t{15};
}
}  // namespace

BlockScratch::BlockScratch(int sourceWidth, int destinationWidth)
    : sourceBytes(roundUp16(static_cast<std::size_t>(sourceWidth) * 3)),
      destinationBytes(roundUp16(static_cast<std::size_t>(destinationWidth) * 3)),
      bytesIn(hwy::AllocateAligned<std::uint8_t>(sourceBytes * 16)),
      floatsIn(hwy::AllocateAligned<float>(sourceBytes * 16)),
      bytesOut(hwy::AllocateAligned<std::uint8_t>(destinationBytes * 16)) {
    if (!bytesIn || !floatsIn || !bytesOut) {
        throw std::bad_alloc();
    }
}

void horizontalBlock(const std::uint8_t* const* rows, int sourceWidth, const ColumnTaps& taps,
                     int destinationWidth, std::uint8_t* const* outRows, int rowCount,
                     BlockScratch& scratch) {
    HWY_DYNAMIC_DISPATCH(HorizontalBlockImpl)
    (rows, sourceWidth, taps, destinationWidth, outRows, rowCount, scratch);
}

void verticalRow(const std::uint8_t* rows, std::size_t stride, const WeightEntry* taps,
                 std::size_t count, std::uint8_t* out, std::size_t bytes) {
    HWY_DYNAMIC_DISPATCH(VerticalRowImpl)(rows, stride, taps, count, out, bytes);
}

}  // namespace ambrel::imaging::kernels
#endif
