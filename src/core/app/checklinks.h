#pragma once

namespace ambrel::app {

class Tmyambrel;

// Check links (fxChecklinks): removes the selected entries whose picture is gone, a local
// file that no longer exists or an address whose request fails with the current server
// definition's not-found code ("404" by default), then saves the list and says "done".
// Nothing happens without a selection.
void fxChecklinks(Tmyambrel& app);

}  // namespace ambrel::app
