#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/imaging/picture.h"

namespace ambrel::imaging {

// A filter's weight for a distance in source pixels. Every filter is even (only "Box" looks
// at the sign) and 0 outside its support.
using FilterFunction = float (*)(float);

struct ResamplingFilter {
    const char* name;
    FilterFunction filter;
    float support;
};

float BoxFilter(float x);
float TriangleFilter(float x);
float HermiteFilter(float x);
float BellFilter(float x);
float SplineFilter(float x);
float Lanczos3Filter(float x);
float MitchellFilter(float x);

// The filter table; callers pick a filter by its index, so the order is fixed: Box,
// Triangle, Hermite, Bell, B-Spline, Lanczos3, Mitchell.
inline constexpr std::array<ResamplingFilter, 7> kResamplingFilters = {{
    {"Box", BoxFilter, 0.5F},
    {"Triangle", TriangleFilter, 1.0F},
    {"Hermite", HermiteFilter, 1.0F},
    {"Bell", BellFilter, 1.5F},
    {"B-Spline", SplineFilter, 2.0F},
    {"Lanczos3", Lanczos3Filter, 3.0F},
    {"Mitchell", MitchellFilter, 2.0F},
}};
inline constexpr int kLanczos3 = 5;

// Throws std::out_of_range for a name that is not in the table.
const ResamplingFilter& filterByName(std::string_view name);

// One destination column's (or row's) contributions: source indices already folded into the
// picture, in the order of increasing unfolded index, zero weights left out.
struct WeightEntry {
    std::int32_t index;
    float weight;
};
using WeightList = std::vector<WeightEntry>;

// The scale factor of one direction: dst / src for a source of one pixel, else
// (dst - 1) / (src - 1), as a 32-bit float.
float scaleFactor(int sourceSize, int destinationSize);
// The weight lists of one direction, one per destination pixel. Throws ImageError when the
// scale factor is 0 (a destination of one pixel from a larger source).
std::vector<WeightList> buildWeightLists(int sourceSize, int destinationSize, FilterFunction filter,
                                         float support);
// The room a weight list is given: floor(2 r + 1) for the reach r of the direction.
int weightRoom(int sourceSize, int destinationSize, float support);
// A channel sum as a byte: above 255 gives 255, below 0 gives 0, otherwise the nearest
// integer with ties to the even one.
std::uint8_t channelByte(float sum);

// Scales source into destination, whose size the caller has set, with a separable two-pass
// filter in 32-bit floats: every row into an intermediate picture of the destination's
// width, then every column of it into the destination. Each channel sum is rounded to a
// 32-bit float after every addition, in the order of the weight list, so the result does not
// depend on the instruction set or the number of threads. threads 0 uses every processor.
// Throws ImageError "Source bitmap too small" (source without pixels, nothing touched), for a
// destination without pixels, and for a destination one pixel wide or high made from a
// larger source (a scale factor of 0); the destination is not written then.
void ResampleBitmap(const Picture& source, Picture& destination, FilterFunction filter,
                    float support, int threads = 0);

}  // namespace ambrel::imaging
