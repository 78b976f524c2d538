#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel::web {

// A value found in a page: where it lies in the page text. Values keep the page's case.
struct ValueSpan {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool operator==(const ValueSpan&) const = default;
};

// The page scans are plain text searches, not an HTML parser: keywords are found without
// regard to case; "=" and an opening quote must follow them across blanks (NUL, LF, CR and
// space); a value ends at the next quote of either kind or at the end of the page. Both run
// in time linear in the page and never read outside it.

// Image sources: the "src" values that follow an "img" (any "src" when useSrc is set).
// Link targets: the "href" values. Each value is handed to visit in page order as it is
// found; the vector forms collect them.
void forEachImageValue(std::string_view page, bool useSrc,
                       const std::function<void(const ValueSpan&)>& visit);
void forEachLinkValue(std::string_view page, const std::function<void(const ValueSpan&)>& visit);
std::vector<ValueSpan> imageValues(std::string_view page, bool useSrc);
std::vector<ValueSpan> linkValues(std::string_view page);

// A value made absolute against the address the page was fetched from; nullopt when the
// value adds nothing. A host-relative value keeps the page's scheme and port, and no link
// takes the page's credentials.
std::optional<std::string> resolveImageValue(std::string_view value, std::string_view pageAddress);
std::optional<std::string> resolveLinkValue(std::string_view value, std::string_view pageAddress);

// The link list of a page: its resolved image sources or link targets, in page order.
std::vector<std::string> imageAddresses(std::string_view page, std::string_view pageAddress,
                                        bool useSrc);
std::vector<std::string> linkAddresses(std::string_view page, std::string_view pageAddress);

// Whether a value counts as an absolute web address ("http://" or "https://").
bool isAbsoluteWebValue(std::string_view value);

}  // namespace ambrel::web
