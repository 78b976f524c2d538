#pragma once

#include <string>

namespace ambrel::web {

// The include/exclude filter test: an empty pattern passes everything; a pattern without
// "*" must occur in the text; otherwise its "*"-separated pieces must be found in order,
// each searched from where the previous one started.
bool isgoodstringforpattern(const std::string& text, const std::string& pattern);

// The filters of the grab dialog "Add links from an address"; they are not stored.
struct GrabFilters {
    std::string include;
    std::string exclude;
};

}  // namespace ambrel::web
