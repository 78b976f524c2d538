#pragma once

#include <optional>
#include <string>

namespace ambrel::platform {

// The folder that holds the options, the lists and the working folders, with a trailing
// "/". Chosen in this order: the --home argument, $AMBREL_HOME, the executable's folder when
// it is writable and holds "listing/", else $XDG_DATA_HOME/myambrel/ (~/.local/share).
std::string resolveDataFolder(const std::optional<std::string>& homeArgument,
                              const std::string& executableFolder);

// Creates what is missing of the layout: listing/, upfiles/, temp/, wall/, down/, conv/ and
// the three pages the browser context-menu entries run. Throws storage::IoError.
void ensureDataLayout(const std::string& dataFolder);

// The page a browser context-menu entry runs; marker is "", "@" or "$".
std::string handOverPage(const std::string& marker);

}  // namespace ambrel::platform
