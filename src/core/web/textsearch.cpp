#include "core/web/textsearch.h"

#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define AMBREL_X86_SIMD 1
#endif

namespace ambrel::web {

namespace {

constexpr std::size_t npos = std::string_view::npos;

inline bool letterAt(const char* p, std::size_t i, char letter) {
    return (static_cast<unsigned char>(p[i]) | 0x20U) == static_cast<unsigned char>(letter);
}

inline bool isQuote(char c) {
    return c == '"' || c == '\'';
}

std::size_t scalarKeyword(const char* p, std::size_t n, std::size_t from, std::string_view kw) {
    const std::size_t len = kw.size();
    for (std::size_t i = from; i + len <= n; ++i) {
        std::size_t j = 0;
        while (j < len && letterAt(p, i + j, kw[j])) {
            ++j;
        }
        if (j == len) {
            return i;
        }
    }
    return npos;
}

std::size_t scalarQuote(const char* p, std::size_t n, std::size_t from) {
    for (std::size_t i = from; i < n; ++i) {
        if (isQuote(p[i])) {
            return i;
        }
    }
    return npos;
}

#ifdef AMBREL_X86_SIMD

// Every letter of the keyword is compared at 16 (or 32) starts at once; a start matches when
// all its letters do, so a set bit of the mask is a hit, never a candidate to check again.
template <std::size_t L>
std::size_t sse2Keyword(const char* p, std::size_t n, std::size_t from, std::string_view kw) {
    const __m128i lower = _mm_set1_epi8(0x20);
    __m128i letters[L];
    for (std::size_t j = 0; j < L; ++j) {
        letters[j] = _mm_set1_epi8(kw[j]);
    }
    std::size_t i = from;
    for (; i + 16 + L - 1 <= n; i += 16) {
        __m128i m = _mm_set1_epi8(-1);
        for (std::size_t j = 0; j < L; ++j) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + j));
            m = _mm_and_si128(m, _mm_cmpeq_epi8(_mm_or_si128(bytes, lower), letters[j]));
        }
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(m)); mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        }
    }
    return scalarKeyword(p, n, i, kw);
}

std::size_t sse2Quote(const char* p, std::size_t n, std::size_t from) {
    const __m128i dq = _mm_set1_epi8('"');
    const __m128i sq = _mm_set1_epi8('\'');
    std::size_t i = from;
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i m = _mm_or_si128(_mm_cmpeq_epi8(bytes, dq), _mm_cmpeq_epi8(bytes, sq));
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(m)); mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        }
    }
    return scalarQuote(p, n, i);
}

template <std::size_t L>
[[gnu::target("avx2")]] inline __m256i avx2Match(const char* at, const __m256i (&letters)[L]) {
    const __m256i lower = _mm256_set1_epi8(0x20);
    __m256i m = _mm256_set1_epi8(-1);
    for (std::size_t j = 0; j < L; ++j) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + j));
        m = _mm256_and_si256(m, _mm256_cmpeq_epi8(_mm256_or_si256(bytes, lower), letters[j]));
    }
    return m;
}

template <std::size_t L>
[[gnu::target("avx2")]] std::size_t avx2Keyword(const char* p, std::size_t n, std::size_t from,
                                                std::string_view kw) {
    __m256i letters[L];
    for (std::size_t j = 0; j < L; ++j) {
        letters[j] = _mm256_set1_epi8(kw[j]);
    }
    std::size_t i = from;
    // Two blocks a round: one test of the combined masks for 64 starts.
    for (; i + 64 + L - 1 <= n; i += 64) {
        const __m256i a = avx2Match<L>(p + i, letters);
        const __m256i b = avx2Match<L>(p + i + 32, letters);
        if (!_mm256_testz_si256(_mm256_or_si256(a, b), _mm256_or_si256(a, b))) {
            const auto lo = static_cast<std::uint32_t>(_mm256_movemask_epi8(a));
            const auto hi = static_cast<std::uint32_t>(_mm256_movemask_epi8(b));
            const std::uint64_t mask = (static_cast<std::uint64_t>(hi) << 32) | lo;
            return i + static_cast<std::size_t>(__builtin_ctzll(mask));
        }
    }
    for (; i + 32 + L - 1 <= n; i += 32) {
        const auto mask = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(avx2Match<L>(p + i, letters)));
        if (mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        }
    }
    return scalarKeyword(p, n, i, kw);
}

[[gnu::target("avx2")]] std::size_t avx2Quote(const char* p, std::size_t n, std::size_t from) {
    const __m256i dq = _mm256_set1_epi8('"');
    const __m256i sq = _mm256_set1_epi8('\'');
    std::size_t i = from;
    for (; i + 32 <= n; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i m = _mm256_or_si256(_mm256_cmpeq_epi8(bytes, dq), _mm256_cmpeq_epi8(bytes, sq));
        if (const auto mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(m)); mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctz(mask));
        }
    }
    return scalarQuote(p, n, i);
}

#endif

SimdLevel bestLevel() {
#ifdef AMBREL_X86_SIMD
    static const SimdLevel best =
        __builtin_cpu_supports("avx2") != 0 ? SimdLevel::Avx2 : SimdLevel::Sse2;
    return best;
#else
    return SimdLevel::Scalar;
#endif
}

}  // namespace

std::size_t findKeyword(SimdLevel level, std::string_view text, std::size_t from,
                        std::string_view keyword) {
    const char* p = text.data();
    const std::size_t n = text.size();
    if (keyword.empty() || from >= n || n - from < keyword.size()) {
        return npos;
    }
    if (level > bestLevel()) {
        level = bestLevel();
    }
#ifdef AMBREL_X86_SIMD
    const bool avx2 = level == SimdLevel::Avx2;
    if (level != SimdLevel::Scalar && keyword.size() == 3) {
        return avx2 ? avx2Keyword<3>(p, n, from, keyword) : sse2Keyword<3>(p, n, from, keyword);
    }
    if (level != SimdLevel::Scalar && keyword.size() == 4) {
        return avx2 ? avx2Keyword<4>(p, n, from, keyword) : sse2Keyword<4>(p, n, from, keyword);
    }
#endif
    return scalarKeyword(p, n, from, keyword);
}

std::size_t findQuote(SimdLevel level, std::string_view text, std::size_t from) {
    if (from >= text.size()) {
        return npos;
    }
    if (level > bestLevel()) {
        level = bestLevel();
    }
#ifdef AMBREL_X86_SIMD
    if (level == SimdLevel::Avx2) {
        return avx2Quote(text.data(), text.size(), from);
    }
    if (level == SimdLevel::Sse2) {
        return sse2Quote(text.data(), text.size(), from);
    }
#endif
    return scalarQuote(text.data(), text.size(), from);
}

std::size_t findKeyword(std::string_view text, std::size_t from, std::string_view keyword) {
    return findKeyword(bestLevel(), text, from, keyword);
}

std::size_t findQuote(std::string_view text, std::size_t from) {
    return findQuote(bestLevel(), text, from);
}

}  // namespace ambrel::web
