#pragma once

#include <hwy/aligned_allocator.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/imaging/resample.h"

// The vector loops of ResampleBitmap, compiled for several instruction sets and chosen at
// run time. Every lane runs the additions of one pixel channel in the order of its weight
// list, so each instruction set gives the same bytes as the plain loop.
namespace ambrel::imaging::kernels {

// The horizontal pass works on blocks of this many rows, one row per vector lane.
inline constexpr int kBlockRows = 16;

// The column weight lists laid end to end: column i's entries are first[i] .. first[i+1]-1;
// offset is where the source pixel's blue channel lies in the block's float buffer.
struct ColumnTaps {
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> offset;
    std::vector<float> weight;
};
ColumnTaps flattenColumns(const std::vector<WeightList>& lists);

// Working memory of one thread in the horizontal pass.
struct BlockScratch {
    BlockScratch(int sourceWidth, int destinationWidth);
    std::size_t sourceBytes;       // 3 * source width, rounded up to 16
    std::size_t destinationBytes;  // 3 * destination width, rounded up to 16
    hwy::AlignedFreeUniquePtr<std::uint8_t[]> bytesIn;
    hwy::AlignedFreeUniquePtr<float[]> floatsIn;
    hwy::AlignedFreeUniquePtr<std::uint8_t[]> bytesOut;
};

// Filters kBlockRows source rows (rows[i]; repeat a row to fill a short block) of
// sourceWidth pixels into the first rowCount of outRows, destinationWidth pixels each.
void horizontalBlock(const std::uint8_t* const* rows, int sourceWidth, const ColumnTaps& taps,
                     int destinationWidth, std::uint8_t* const* outRows, int rowCount,
                     BlockScratch& scratch);

// Filters one destination row from the rows of the intermediate picture: bytes channels
// wide, row index k at rows + k * stride.
void verticalRow(const std::uint8_t* rows, std::size_t stride, const WeightEntry* taps,
                 std::size_t count, std::uint8_t* out, std::size_t bytes);

}  // namespace ambrel::imaging::kernels
