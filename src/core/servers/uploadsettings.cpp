#include "core/servers/uploadsettings.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "core/storage/settings.h"
#include "core/storage/tagfile.h"
#include "core/storage/textfile.h"

namespace ambrel::servers {

namespace {

std::vector<std::string> folderFiles(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = item.path().filename().string();
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            names.push_back(name);
        }
    }
    return names;
}

}  // namespace

void UploadSettingsList::fill(const std::string& programFolder) {
    m_names.clear();
    std::vector<std::string> files = folderFiles(programFolder + "upfiles", ".txt");
    // The listing order of the folder, made stable: by name, as the reference file system
    // returned them.
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        m_names.push_back(file.substr(0, file.find('.')));
    }
    m_selected = -1;
    if (storage::fileExists(programFolder + storage::kOptionsFile)) {
        std::string stored = storage::readOption(programFolder, "useupset");
        if (stored.empty()) {
            stored = "1";
        }
        int position = 0;
        const auto [end, ec] =
            std::from_chars(stored.data(), stored.data() + stored.size(), position);
        if (ec == std::errc() && end == stored.data() + stored.size()) {
            select(position - 1);
        }
    } else {
        select(0);
    }
}

void UploadSettingsList::select(int index) {
    m_selected = (index >= 0 && index < static_cast<int>(m_names.size())) ? index : -1;
}

std::string UploadSettingsList::current() const {
    return m_selected < 0 ? std::string() : m_names.at(static_cast<std::size_t>(m_selected));
}

void UploadSettingsList::savedefaultcontext(const std::string& programFolder) const {
    // With no definition yet, the default is the first one the person will add: storing
    // "0" would leave every later start without a current server.
    const std::string position = m_names.empty() ? "1" : std::to_string(m_selected + 1);
    if (storage::readOption(programFolder, "useupset") != position) {
        storage::updatexmlconfigfilefromxmlentry(programFolder + storage::kOptionsFile, "useupset",
                                                 position);
    }
}

}  // namespace ambrel::servers
