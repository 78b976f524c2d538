#pragma once

#include "core/app/app.h"
#include "core/app/linkbuilder.h"

namespace ambrel::app {

// The selected paths, one per CR LF line, last entry first, onto the clipboard.
void copyurllinks(Tmyambrel& app);
// The selected paths as HTML image tags joined by "<br>" CR LF, last entry first.
void copyhtmllinks(Tmyambrel& app);
// Two or more selected: their BBCode image tags, last entry first. Exactly one: opens the
// link builder and leaves the clipboard alone. None: nothing.
void bbcdecop(Tmyambrel& app, LinkBuilder& builder);

}  // namespace ambrel::app
