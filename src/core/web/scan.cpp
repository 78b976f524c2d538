#include "core/web/scan.h"

#include "core/web/address.h"
#include "core/web/textsearch.h"

namespace ambrel::web {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isBlank(char c) {
    return c == '\0' || c == '\n' || c == '\r' || c == ' ';
}

// Positions below are 1-based as the scans are defined; page[k - 1] is the character at k.
struct Reading {
    bool accepted = false;
    ValueSpan value;
    std::size_t reached = 0;  // where the scan goes on: the closing quote or the failed check
};

Reading readQuotedValue(std::string_view page, std::size_t k) {
    const std::size_t n = page.size();
    Reading r;
    while (k < n && isBlank(page[k - 1])) {
        ++k;
    }
    if (k > n || page[k - 1] != '=') {
        r.reached = k;
        return r;
    }
    ++k;
    while (k < n && isBlank(page[k - 1])) {
        ++k;
    }
    if (k > n || (page[k - 1] != '"' && page[k - 1] != '\'')) {
        r.reached = k;
        return r;
    }
    // The value starts at k + 1, which is index k.
    const std::size_t close = findQuote(page, k);
    r.accepted = true;
    r.value.offset = k;
    if (close == npos) {
        r.value.length = n - k;
        r.reached = n;
    } else {
        r.value.length = close - k;
        r.reached = close + 1;
    }
    return r;
}

// The 1-based position of the keyword's next occurrence after p (from p + 1 on); 0 if none.
std::size_t nextAfter(std::string_view page, std::size_t p, std::string_view keyword) {
    const std::size_t at = findKeyword(page, p, keyword);
    return at == npos ? 0 : at + 1;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool isAbsoluteWebValue(std::string_view value) {
    return startsWith(value, "http://") || startsWith(value, "https://");
}

void forEachImageValue(std::string_view page, bool useSrc,
                       const std::function<void(const ValueSpan&)>& visit) {
    std::size_t p = 0;
    // Once no "img" follows a position none follows a later one; the first "src" from
    // position 4 on is the same every time it is asked for.
    bool noMoreImg = false;
    std::size_t firstSrc = npos;
    while (true) {
        const std::size_t anchor = p;
        if (!useSrc) {
            const std::size_t img = noMoreImg ? 0 : nextAfter(page, p, "img");
            noMoreImg = img == 0;
            p = img + 3;
        }
        std::size_t src = 0;
        if (p == 3 && !useSrc) {
            if (firstSrc == npos) {
                firstSrc = nextAfter(page, 3, "src");
            }
            src = firstSrc;
        } else {
            src = nextAfter(page, p, "src");
        }
        if (src == 0 || src < anchor) {
            return;
        }
        const Reading r = readQuotedValue(page, src + 3);
        if (r.accepted) {
            visit(r.value);
        }
        p = r.reached;
    }
}

void forEachLinkValue(std::string_view page, const std::function<void(const ValueSpan&)>& visit) {
    std::size_t p = 0;
    while (true) {
        const std::size_t anchor = p;
        const std::size_t href = nextAfter(page, p, "href");
        if (href == 0 || href < anchor) {
            return;
        }
        const Reading r = readQuotedValue(page, href + 4);
        if (r.accepted) {
            visit(r.value);
        }
        p = r.reached;
    }
}

std::vector<ValueSpan> imageValues(std::string_view page, bool useSrc) {
    std::vector<ValueSpan> values;
    forEachImageValue(page, useSrc, [&values](const ValueSpan& v) { values.push_back(v); });
    return values;
}

std::vector<ValueSpan> linkValues(std::string_view page) {
    std::vector<ValueSpan> values;
    forEachLinkValue(page, [&values](const ValueSpan& v) { values.push_back(v); });
    return values;
}

std::optional<std::string> resolveImageValue(std::string_view value, std::string_view pageAddress) {
    const std::string page = withoutCredentials(pageAddress);
    std::string v(value);
    if (!v.empty() && v.front() == '/') {
        v = hostPrefix(page) + v;
    }
    if (v.size() > 2 && startsWith(v, "..")) {
        v = siteRootOf(page) + v.substr(2);
    }
    if (v.size() >= 2 && (startsWith(v, "mailto:") || v.front() == '#')) {
        v.clear();
    }
    if (v.empty()) {
        return std::nullopt;
    }
    if (v.size() >= 2 && !isAbsoluteWebValue(v)) {
        v = directoryOf(page) + v;
    }
    return cleanslahdotslash(v);
}

std::optional<std::string> resolveLinkValue(std::string_view value, std::string_view pageAddress) {
    const std::string page = withoutCredentials(pageAddress);
    std::string v(value);
    if (v.size() >= 2 && v.front() == '/') {
        v = hostPrefix(page) + v;
    }
    if (v.size() >= 2 && (startsWith(v, "mailto:") || v.front() == '#')) {
        v.clear();
    }
    if (v.size() > 2 && startsWith(v, "..")) {
        v = siteRootOf(page) + v.substr(2);
    }
    if (v.empty()) {
        return std::nullopt;
    }
    if (!isAbsoluteWebValue(v)) {
        v = directoryOf(page) + v;
    }
    return cleanslahdotslash(v);
}

std::vector<std::string> imageAddresses(std::string_view page, std::string_view pageAddress,
                                        bool useSrc) {
    std::vector<std::string> out;
    forEachImageValue(page, useSrc, [&](const ValueSpan& s) {
        if (auto a = resolveImageValue(page.substr(s.offset, s.length), pageAddress)) {
            out.push_back(std::move(*a));
        }
    });
    return out;
}

std::vector<std::string> linkAddresses(std::string_view page, std::string_view pageAddress) {
    std::vector<std::string> out;
    forEachLinkValue(page, [&](const ValueSpan& s) {
        if (auto a = resolveLinkValue(page.substr(s.offset, s.length), pageAddress)) {
            out.push_back(std::move(*a));
        }
    });
    return out;
}

}  // namespace ambrel::web
