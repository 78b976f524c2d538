#include "core/storage/folderlist.h"

#include <algorithm>
#include <filesystem>

#include "core/storage/text.h"

namespace ambrel::storage {

bool folderOrderLess(const std::string& a, const std::string& b) {
    const std::string la = lowerAscii(a);
    const std::string lb = lowerAscii(b);
    return la != lb ? la < lb : a < b;
}

std::vector<std::string> sortedFolderFiles(const std::string& folder, const std::string& suffix) {
    std::vector<std::pair<std::string, std::string>> keyed;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            keyed.emplace_back(lowerAscii(name), std::move(name));
        }
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& [key, name] : keyed) {
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace ambrel::storage
