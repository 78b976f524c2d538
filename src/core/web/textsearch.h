#pragma once

#include <cstddef>
#include <string_view>

namespace ambrel::web {

// Searches over a page text as if it were lower-cased, without making the lower-cased copy:
// a byte b matches the lower-case ASCII letter l when (b | 0x20) == l, which holds for l and
// its capital only. Each returns the first index at or after from, or npos.

// keyword: 1 to 8 lower-case ASCII letters.
std::size_t findKeyword(std::string_view text, std::size_t from, std::string_view keyword);
// The first double or single quote.
std::size_t findQuote(std::string_view text, std::size_t from);

// The same searches on a chosen instruction set, so tests reach every one of them; a level
// the processor lacks falls back to the next lower one.
enum class SimdLevel { Scalar, Sse2, Avx2, Avx512 };
std::size_t findKeyword(SimdLevel level, std::string_view text, std::size_t from,
                        std::string_view keyword);
std::size_t findQuote(SimdLevel level, std::string_view text, std::size_t from);

}  // namespace ambrel::web
