#pragma once

#include <string>

#include "core/app/app.h"
#include "core/integration/handover.h"

namespace ambrel::app {

// A hand-over text that reached the running copy as a message ("ambrel.WM_NEWDOWNLOAD"):
// unlike the start-up argument it copies first and adds afterwards, uses the prepend and
// append texts and the add-when-copying setting held for the run (saved or not), and works
// without an options file. A text holding a line break or a NUL (within its first 254
// bytes) is refused with a message, changing nothing: then it returns false. Throws what
// adding throws (storage::IoError).
bool receiveHandOver(Tmyambrel& app, const std::string& text);

}  // namespace ambrel::app
