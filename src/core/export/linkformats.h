#pragma once

#include <functional>
#include <string>

#include "core/list/picturelist.h"

namespace ambrel::list {
class Tmyambrel;
}

namespace ambrel::linkexport {

class LinkBuilder;

// The pieces of the selected entries' paths, last entry first, joined by separator. A piece
// starts the text when nothing is gathered yet, so an empty first piece adds no separator.
std::string gatherSelected(const list::PictureList& pictures,
                           const std::function<std::string(const std::string&)>& piece,
                           const std::string& separator);

// The selected paths, one per CR LF line, last entry first, onto the clipboard.
void copyurllinks(list::Tmyambrel& app);
// The selected paths as HTML image tags joined by "<br>" CR LF, last entry first.
void copyhtmllinks(list::Tmyambrel& app);
// Two or more selected: their BBCode image tags, last entry first. Exactly one: opens the
// link builder and leaves the clipboard alone. None: nothing.
void bbcdecop(list::Tmyambrel& app, LinkBuilder& builder);

}  // namespace ambrel::linkexport
