#pragma once

#include <cstddef>
#include <string_view>

namespace ambrel::integration {

// The longest hand-over text a running copy takes from a message; the rest is cut off.
inline constexpr std::size_t kHandOverTextMax = 254;

// A hand-over text is one line. A CR or LF in it would let whoever sends it (any web page
// can open an "ambrel:" link) write lines of its choosing into a list file; a NUL has no
// place in an address. Such a text is refused on every path, before anything is done.
inline bool isOneLineHandOver(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// What the person is told when a hand-over text is refused.
inline constexpr const char* kMultiLineHandOver =
    "A link handed over to My Ambrel was refused: it holds a line break or a NUL character, "
    "which would write more than one line into the list. Nothing was added or copied.";

}  // namespace ambrel::integration
