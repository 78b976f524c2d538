// libFuzzer target: the page scans against their literal reading, and the address helpers
// and filter patterns on whatever bytes come in. Built with -DAMBREL_FUZZ=ON and clang.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/web/address.h"
#include "core/web/pattern.h"
#include "core/web/scan.h"
#include "core/web/textsearch.h"
#include "web/reference_scan.h"

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ambrel;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // "address \x01 page": the first part is the page's address, the rest its text.
    const std::size_t cut = input.find('\x01');
    const std::string_view address =
        cut == std::string_view::npos ? "http://h/a/b.html" : input.substr(0, cut);
    const std::string_view page = cut == std::string_view::npos ? input : input.substr(cut + 1);

    const test::ReferenceScan reference(page);
    for (bool useSrc : {false, true}) {
        const auto values = web::imageValues(page, useSrc);
        check(values == reference.images(useSrc));
        for (const web::ValueSpan& v : values) {
            check(v.offset <= page.size() && v.length <= page.size() - v.offset);
            (void)web::resolveImageValue(page.substr(v.offset, v.length), address);
        }
    }
    const auto links = web::linkValues(page);
    check(links == reference.links());
    for (const web::ValueSpan& v : links) {
        (void)web::resolveLinkValue(page.substr(v.offset, v.length), address);
    }

    for (std::string_view keyword : {"img", "src", "href"}) {
        const std::size_t from = size % 7;
        const std::size_t best = web::findKeyword(page, from, keyword);
        for (web::SimdLevel level :
             {web::SimdLevel::Scalar, web::SimdLevel::Sse2, web::SimdLevel::Avx2}) {
            check(web::findKeyword(level, page, from, keyword) == best);
        }
    }

    const int levels = web::geturlnumlevel(page);
    check(levels >= 0 && static_cast<std::size_t>(levels) <= page.size());
    for (int n = -1; n <= levels + 1 && n < 8; ++n) {
        const std::string cutAt = web::geturlpathlevel(page, n);
        check(cutAt.size() <= page.size() && page.substr(0, cutAt.size()) == cutAt);
    }
    check(web::cleanslahdotslash(page).size() <= page.size());
    (void)web::hostPrefix(page);
    const std::string bare = web::withoutCredentials(page);
    check(bare.size() <= page.size());
    const web::Credentials c = web::credentialsIn(page);
    check(c.user.size() + c.password.size() <= page.size());
    (void)web::isgoodstringforpattern(std::string(page), std::string(address));
    return 0;
}
