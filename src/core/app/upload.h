#pragma once

namespace ambrel::app {

class Tmyambrel;

// The Upload command (fxupload): every selected entry to the current server definition, the
// link of each uploaded picture added to the list. Local entries are sent as they are, web
// entries fetched into "temp/" first. FTP, HTTP and file errors end the run by throwing, the
// links added so far staying; a web entry that cannot be fetched ends it quietly.
void fxupload(Tmyambrel& app);

}  // namespace ambrel::app
