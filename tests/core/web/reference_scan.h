#pragma once

// The page scans read literally: a lower-cased copy of the page, 1-based positions and a
// plain substring search for each step. Slow, but plainly right; the fast scans must give
// the same values on every page.

#include <string>
#include <string_view>
#include <vector>

#include "core/web/scan.h"

namespace ambrel::test {

class ReferenceScan {
public:
    explicit ReferenceScan(std::string_view page) : m_copy(page) {
        for (char& c : m_copy) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + ('a' - 'A'));
            }
        }
    }

    std::vector<web::ValueSpan> images(bool useSrc) const {
        std::vector<web::ValueSpan> values;
        std::size_t p = 0;
        while (true) {
            const std::size_t anchor = p;
            if (!useSrc) {
                p = pos("img", p + 1) + 3;
            }
            const std::size_t s = pos("src", p + 1);
            if (s == 0 || s < anchor) {
                return values;
            }
            p = read(s + 3, values);
        }
    }

    std::vector<web::ValueSpan> links() const {
        std::vector<web::ValueSpan> values;
        std::size_t p = 0;
        while (true) {
            const std::size_t anchor = p;
            const std::size_t h = pos("href", p + 1);
            if (h == 0 || h < anchor) {
                return values;
            }
            p = read(h + 4, values);
        }
    }

private:
    // The 1-based position of the first occurrence at or after from; 0 when none.
    std::size_t pos(const char* what, std::size_t from) const {
        if (from > m_copy.size()) {
            return 0;
        }
        const std::size_t i = m_copy.find(what, from - 1);
        return i == std::string::npos ? 0 : i + 1;
    }
    char at(std::size_t k) const { return m_copy[k - 1]; }
    static bool blank(char c) { return c == '\0' || c == '\n' || c == '\r' || c == ' '; }

    std::size_t read(std::size_t k, std::vector<web::ValueSpan>& values) const {
        const std::size_t n = m_copy.size();
        while (k < n && blank(at(k))) {
            ++k;
        }
        if (k > n || at(k) != '=') {
            return k;
        }
        ++k;
        while (k < n && blank(at(k))) {
            ++k;
        }
        if (k > n || (at(k) != '"' && at(k) != '\'')) {
            return k;
        }
        const std::size_t start = k + 1;
        std::size_t end = start;
        while (end <= n && at(end) != '"' && at(end) != '\'') {
            ++end;
        }
        values.push_back({start - 1, end - start});
        return end <= n ? end : n;
    }

    std::string m_copy;
};

}  // namespace ambrel::test
