#include "core/web/address.h"

#include <algorithm>

namespace ambrel::web {

namespace {

bool countedSlash(std::string_view a, std::size_t i) {
    if (a[i] != '/') {
        return false;
    }
    if (i >= 1 && a[i - 1] == ':' && i + 1 < a.size() && a[i + 1] == '/') {
        return false;
    }
    return !(i >= 2 && a[i - 2] == ':' && a[i - 1] == '/');
}

// Where the authority of an address starts (after "://") and ends (before "/", "?" or "#").
struct Authority {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool hasScheme = false;
};

Authority authorityOf(std::string_view a) {
    Authority r;
    const std::size_t sep = a.find("://");
    if (sep != std::string_view::npos) {
        r.begin = sep + 3;
        r.hasScheme = true;
    }
    r.end = std::min(a.find_first_of("/?#", r.begin), a.size());
    return r;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);
           });
}

}  // namespace

int geturlnumlevel(std::string_view address) {
    int n = 0;
    for (std::size_t i = 0; i < address.size(); ++i) {
        n += countedSlash(address, i) ? 1 : 0;
    }
    return n;
}

std::string geturlpathlevel(std::string_view address, int n) {
    if (n < 0) {
        return {};
    }
    int level = 0;
    std::size_t cut = 0;  // length of the result
    for (std::size_t i = 0; i < address.size(); ++i) {
        if (address[i] != '/') {
            continue;
        }
        if (countedSlash(address, i)) {
            ++level;
            if (level == n) {
                return std::string(address.substr(0, i + 1));
            }
            if (n == 0) {
                break;
            }
        } else if (n == 0) {
            cut = i + 1;
        }
    }
    return n == 0 ? std::string(address.substr(0, cut)) : std::string();
}

std::string directoryOf(std::string_view address) {
    return geturlpathlevel(address, geturlnumlevel(address));
}

std::string siteRootOf(std::string_view address) {
    return geturlpathlevel(address, 1);
}

std::string cleanslahdotslash(std::string_view address) {
    const int levels = geturlnumlevel(address);
    // Replacing the first "/.." by "/" again and again never makes a new "/.." before the
    // place of the last one, so one pass from the left does the same in linear time.
    std::string folded;
    folded.reserve(address.size());
    long long steps = 0;
    for (std::size_t i = 0; i < address.size();) {
        const char c = address[i++];
        folded.push_back(c);
        if (c == '/') {
            while (i + 1 < address.size() && address[i] == '.' && address[i + 1] == '.') {
                i += 2;
                ++steps;
            }
        }
    }
    const std::size_t lastCut = address.find_last_of("/\\:");
    const std::string_view file =
        lastCut == std::string_view::npos ? address : address.substr(lastCut + 1);
    // Counted in 64 bits: a hostile text may hold more steps than an int doubles safely.
    const long long k = std::max(1LL, static_cast<long long>(levels) - 2 * steps);
    return geturlpathlevel(folded, static_cast<int>(k)) + std::string(file);
}

std::string hostPrefix(std::string_view address) {
    const Authority auth = authorityOf(address);
    // A link made from the host is a web address whatever the page's spelling: https stays
    // https, anything else becomes http.
    const std::string_view scheme =
        auth.hasScheme && equalsNoCase(address.substr(0, auth.begin - 3), "https") ? "https"
                                                                                   : "http";
    std::string_view host = address.substr(auth.begin, auth.end - auth.begin);
    if (const std::size_t at = host.rfind('@'); at != std::string_view::npos) {
        host = host.substr(at + 1);
    }
    // Split off ":port", minding the brackets of an IPv6 literal.
    std::size_t colon = std::string_view::npos;
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        if (close != std::string_view::npos && close + 1 < host.size() && host[close + 1] == ':') {
            colon = close + 1;
        }
    } else {
        colon = host.find(':');
    }
    std::string_view port;
    if (colon != std::string_view::npos) {
        port = host.substr(colon + 1);
        host = host.substr(0, colon);
    }
    const bool defaultPort =
        port.empty() || (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
    std::string prefix;
    prefix.reserve(scheme.size() + 3 + host.size() + 1 + port.size());
    prefix.append(scheme).append("://").append(host);
    if (!defaultPort) {
        prefix.append(":").append(port);
    }
    return prefix;
}

std::string withoutCredentials(std::string_view address) {
    const Authority auth = authorityOf(address);
    const std::string_view authority = address.substr(auth.begin, auth.end - auth.begin);
    const std::size_t at = authority.rfind('@');
    if (!auth.hasScheme || at == std::string_view::npos) {
        return std::string(address);
    }
    return std::string(address.substr(0, auth.begin)) +
           std::string(address.substr(auth.begin + at + 1));
}

Credentials credentialsIn(std::string_view address) {
    const std::size_t sep = address.find("://");
    const std::size_t start =
        sep == std::string_view::npos ? std::min<std::size_t>(7, address.size()) : sep + 3;
    const std::size_t from = start == 0 ? 0 : start - 1;
    const std::size_t colon = address.find(':', from);
    const std::size_t at = address.find('@', from);
    Credentials c;
    if (colon == std::string_view::npos) {
        const std::size_t end = at == std::string_view::npos || at < start ? address.size() : at;
        c.user = std::string(address.substr(start, end - start));
        return c;
    }
    c.user = std::string(address.substr(start, colon >= start ? colon - start : 0));
    if (at != std::string_view::npos && at > colon) {
        c.password = std::string(address.substr(colon + 1, at - colon - 1));
    }
    return c;
}

}  // namespace ambrel::web
