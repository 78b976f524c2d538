#include "core/integration/contextmenu.h"

#include "core/storage/tagfile.h"
#include "core/storage/textfile.h"

namespace ambrel::integration {

namespace {

constexpr std::array<bool storage::GeneralSettings::*, kContextMenuEntries.size()> kFlags = {
    &storage::GeneralSettings::iecaddtolist, &storage::GeneralSettings::ieccopytoclip,
    &storage::GeneralSettings::ieccopyandadd};

// Another process (a second start, the hand-over tool) may have changed the store since it
// was loaded; a change made from an old view would undo theirs.
bool refresh(platform::RegistryStore& registry) {
    try {
        registry.reload();
        return true;
    } catch (const storage::IoError&) {
        return false;
    }
}

}  // namespace

std::string contextMenuTarget(const std::string& programFolder, const ContextMenuEntry& entry) {
    std::string target;
    for (char c : programFolder) {
        target += c;
        if (c == '\\') {
            target += '\\';
        }
    }
    return target + entry.scriptFile;
}

bool& contextMenuFlag(storage::GeneralSettings& settings, std::size_t index) {
    return settings.*kFlags.at(index);
}

bool contextMenuFlag(const storage::GeneralSettings& settings, std::size_t index) {
    return settings.*kFlags.at(index);
}

bool installContextEntry(platform::RegistryStore& registry, const std::string& programFolder,
                         const ContextMenuEntry& entry) {
    const std::string key = contextMenuKey(entry);
    if (!refresh(registry) || !registry.createKey(key) || !registry.keyExists(key)) {
        return false;
    }
    return registry.setString(key, "", contextMenuTarget(programFolder, entry)) &&
           registry.setBinary(key, "Contexts", std::string(1, kImageContext));
}

bool removeContextEntry(platform::RegistryStore& registry, const ContextMenuEntry& entry) {
    const std::string key = contextMenuKey(entry);
    if (!refresh(registry) || !registry.keyExists(key)) {
        return false;
    }
    return registry.deleteKey(key);
}

void switchContextEntry(platform::RegistryStore& registry, const std::string& programFolder,
                        std::size_t index, bool on) {
    const ContextMenuEntry& entry = kContextMenuEntries.at(index);
    const bool done = on ? installContextEntry(registry, programFolder, entry)
                         : removeContextEntry(registry, entry);
    const std::string options = programFolder + storage::kOptionsFile;
    if (!done || !storage::fileExists(options)) {
        return;
    }
    storage::OptionsEdit edit(programFolder);
    if (edit.existed()) {
        edit.flag(entry.optionKey, on);
        edit.commit();
    }
}

void installSwitchedOnEntries(platform::RegistryStore& registry, const std::string& programFolder,
                              const storage::GeneralSettings& settings) {
    for (std::size_t i = 0; i < kContextMenuEntries.size(); ++i) {
        if (contextMenuFlag(settings, i)) {
            switchContextEntry(registry, programFolder, i, true);
        }
    }
}

}  // namespace ambrel::integration
