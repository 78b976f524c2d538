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

// The wider searches test the keyword's first and last letters at every start and check the
// letters between only where both match, which in page text is almost only at a hit.
inline bool middleMatches(const char* at, std::string_view kw) {
    for (std::size_t j = 1; j + 1 < kw.size(); ++j) {
        if (!letterAt(at, j, kw[j])) {
            return false;
        }
    }
    return true;
}

// The first start in mask (bit k: start i + k) whose middle letters match too; npos if none.
inline std::size_t firstConfirmed(const char* p, std::size_t i, std::uint64_t mask,
                                  std::string_view kw) {
    while (mask != 0) {
        const std::size_t at = i + static_cast<std::size_t>(__builtin_ctzll(mask));
        if (middleMatches(p + at, kw)) {
            return at;
        }
        mask &= mask - 1;
    }
    return npos;
}

[[gnu::target("avx2")]] inline std::uint32_t avx2Ends(const char* at, std::size_t last,
                                                      __m256i first, __m256i final) {
    const __m256i lower = _mm256_set1_epi8(0x20);
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + last));
    const __m256i m = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(a, lower), first),
                                       _mm256_cmpeq_epi8(_mm256_or_si256(b, lower), final));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(m));
}

[[gnu::target("avx2")]] std::size_t avx2Keyword(const char* p, std::size_t n, std::size_t from,
                                                std::string_view kw) {
    const std::size_t last = kw.size() - 1;
    const __m256i first = _mm256_set1_epi8(kw.front());
    const __m256i final = _mm256_set1_epi8(kw.back());
    std::size_t i = from;
    for (; i + 64 + last <= n; i += 64) {
        const std::uint64_t mask =
            avx2Ends(p + i, last, first, final) |
            static_cast<std::uint64_t>(avx2Ends(p + i + 32, last, first, final)) << 32;
        if (mask != 0) {
            if (const std::size_t at = firstConfirmed(p, i, mask, kw); at != npos) {
                return at;
            }
        }
    }
    return scalarKeyword(p, n, i, kw);
}

[[gnu::target("avx512f,avx512bw")]] std::size_t avx512Keyword(const char* p, std::size_t n,
                                                              std::size_t from,
                                                              std::string_view kw) {
    const std::size_t last = kw.size() - 1;
    const __m512i lower = _mm512_set1_epi8(0x20);
    const __m512i first = _mm512_set1_epi8(kw.front());
    const __m512i final = _mm512_set1_epi8(kw.back());
    std::size_t i = from;
    for (; i + 64 + last <= n; i += 64) {
        const __m512i a = _mm512_loadu_si512(p + i);
        const __m512i b = _mm512_loadu_si512(p + i + last);
        const std::uint64_t mask = _mm512_cmpeq_epi8_mask(_mm512_or_si512(a, lower), first) &
                                   _mm512_cmpeq_epi8_mask(_mm512_or_si512(b, lower), final);
        if (mask != 0) {
            if (const std::size_t at = firstConfirmed(p, i, mask, kw); at != npos) {
                return at;
            }
        }
    }
    return scalarKeyword(p, n, i, kw);
}

[[gnu::target("avx512f,avx512bw")]] std::size_t avx512Quote(const char* p, std::size_t n,
                                                            std::size_t from) {
    const __m512i dq = _mm512_set1_epi8('"');
    const __m512i sq = _mm512_set1_epi8('\'');
    std::size_t i = from;
    for (; i + 64 <= n; i += 64) {
        const __m512i bytes = _mm512_loadu_si512(p + i);
        const std::uint64_t mask =
            _mm512_cmpeq_epi8_mask(bytes, dq) | _mm512_cmpeq_epi8_mask(bytes, sq);
        if (mask != 0) {
            return i + static_cast<std::size_t>(__builtin_ctzll(mask));
        }
    }
    return scalarQuote(p, n, i);
}

[[gnu::target("avx2")]] std::size_t avx2Quote(const char* p, std::size_t n, std::size_t from) {
    const __m256i dq = _mm256_set1_epi8('"');
    const __m256i sq = _mm256_set1_epi8('\'');
    std::size_t i = from;
    for (; i + 32 <= n; i += 32) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i m =
            _mm256_or_si256(_mm256_cmpeq_epi8(bytes, dq), _mm256_cmpeq_epi8(bytes, sq));
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
        __builtin_cpu_supports("avx512bw") != 0 && __builtin_cpu_supports("avx512f") != 0
            ? SimdLevel::Avx512
        : __builtin_cpu_supports("avx2") != 0 ? SimdLevel::Avx2
                                              : SimdLevel::Sse2;
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
    if (level == SimdLevel::Avx512) {
        return avx512Keyword(p, n, from, keyword);
    }
    if (level == SimdLevel::Avx2) {
        return avx2Keyword(p, n, from, keyword);
    }
    if (level == SimdLevel::Sse2 && keyword.size() == 3) {
        return sse2Keyword<3>(p, n, from, keyword);
    }
    if (level == SimdLevel::Sse2 && keyword.size() == 4) {
        return sse2Keyword<4>(p, n, from, keyword);
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
    if (level == SimdLevel::Avx512) {
        return avx512Quote(text.data(), text.size(), from);
    }
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
