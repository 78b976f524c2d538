#pragma once

#include <cstddef>

namespace ambrel::integration {

// The longest hand-over text a running copy takes from a message; the rest is cut off.
inline constexpr std::size_t kHandOverTextMax = 254;

}  // namespace ambrel::integration
