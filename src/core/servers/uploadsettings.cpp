#include "core/servers/uploadsettings.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "core/servers/definition.h"
#include "core/storage/folderlist.h"
#include "core/storage/settings.h"
#include "core/storage/tagfile.h"
#include "core/storage/textfile.h"

namespace ambrel::servers {

namespace {

// A stored position as a number, the way the options file's decimal values are read.
int position(const std::string& stored) {
    int value = 0;
    const char* const end = stored.data() + stored.size();
    const auto [stop, ec] = std::from_chars(stored.data(), end, value);
    if (stored.empty() || ec != std::errc() || stop != end) {
        throw ConversionError("'" + stored + "' is not a valid integer value");
    }
    return value;
}

}  // namespace

void UploadSettingsList::fill(const std::string& programFolder) {
    m_names.clear();
    m_selected = -1;
    for (const std::string& file : storage::sortedFolderFiles(programFolder + "upfiles", ".txt")) {
        m_names.push_back(file.substr(0, file.find('.')));
    }
    if (storage::fileExists(programFolder + storage::kOptionsFile)) {
        std::string stored = storage::readOption(programFolder, "useupset");
        if (stored.empty()) {
            stored = "1";
        }
        select(position(stored) - 1);
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

bool UploadSettingsList::contains(const std::string& name) const {
    return std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

void UploadSettingsList::insert(const std::string& name) {
    const std::string file = name + ".txt";
    const auto at = std::find_if(m_names.begin(), m_names.end(), [&file](const std::string& n) {
        return storage::folderOrderLess(file, n + ".txt");
    });
    const int index = static_cast<int>(at - m_names.begin());
    m_names.insert(at, name);
    if (m_selected >= index) {
        ++m_selected;
    }
}

void UploadSettingsList::reselectDefault(const std::string& programFolder) {
    if (!storage::fileExists(programFolder + storage::kOptionsFile)) {
        return;
    }
    const std::string stored = storage::readOption(programFolder, "useupset");
    if (!stored.empty()) {
        select(position(stored) - 1);
    }
}

void UploadSettingsList::deleteSelected(const std::string& programFolder) {
    if (m_selected < 0) {
        return;
    }
    const std::string path = definitionPath(programFolder, current());
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) {
        throw storage::IoError("Cannot delete " + path + ": " + ec.message());
    }
    m_names.erase(m_names.begin() + m_selected);
    select(1);
}

void UploadSettingsList::savedefaultcontext(const std::string& programFolder) const {
    storage::OptionsEdit options(programFolder);
    savedefaultcontext(options);
    options.commit();
}

void UploadSettingsList::savedefaultcontext(storage::OptionsEdit& options) const {
    // With no definition yet, the default is the first one the person will add: storing
    // "0" would leave every later start without a current server.
    options.text("useupset", m_names.empty() ? "1" : std::to_string(m_selected + 1));
}

}  // namespace ambrel::servers
