#pragma once

#include <functional>
#include <string>

#include "core/list/picturelist.h"

namespace ambrel::linkexport {

// The pieces of the selected entries' paths, last entry first, joined by separator. A piece
// starts the text when nothing is gathered yet, so an empty first piece adds no separator.
std::string gatherSelected(const list::PictureList& pictures,
                           const std::function<std::string(const std::string&)>& piece,
                           const std::string& separator);

}  // namespace ambrel::linkexport
