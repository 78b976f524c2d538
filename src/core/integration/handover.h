#pragma once

#include <cstddef>
#include <string>

#include "core/list/app.h"

namespace ambrel::integration {

// The longest hand-over text a running copy takes from a message; the rest is cut off.
inline constexpr std::size_t kHandOverTextMax = 254;

// A hand-over text that reached the running copy as a message ("ambrel.WM_NEWDOWNLOAD"):
// unlike the start-up argument it copies first and adds afterwards, uses the prepend and
// append texts and the add-when-copying setting held for the run (saved or not), and works
// without an options file. Throws what adding throws (storage::IoError).
void receiveHandOver(list::Tmyambrel& app, const std::string& text);

}  // namespace ambrel::integration
