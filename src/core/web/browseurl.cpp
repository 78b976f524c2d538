#include "core/web/browseurl.h"

#include <exception>

#include "core/storage/settings.h"

namespace ambrel::web {

bool BrowseURL(platform::RegistryStore& registry, platform::Shell& shell,
               const std::string& address) {
    try {
        // Another program may have registered a browser since the store was read.
        registry.reload();
    } catch (const std::exception&) {
        // What the store held stays in use.
    }
    std::string command = kDefaultHtmlOpenCommand;
    if (registry.keyExists(kHtmlOpenCommandKey)) {
        const auto value = registry.value(kHtmlOpenCommandKey, "");
        if (!value || value->type != platform::RegistryStore::Type::String) {
            return false;
        }
        command = value->data;
    }
    const std::size_t open = command.find('"');
    const std::size_t close = open == std::string::npos ? open : command.find('"', open + 1);
    if (close == std::string::npos) {
        return false;
    }
    try {
        shell.startProgram(command.substr(open + 1, close - open - 1), {address});
    } catch (const std::exception&) {
        // A browser that fails to start is not reported.
    }
    return true;
}

std::string makerPage(const std::string& path) {
    return std::string(storage::kMakerSite) + path;
}

}  // namespace ambrel::web
