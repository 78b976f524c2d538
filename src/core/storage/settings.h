#pragma once

#include <array>
#include <string>

namespace ambrel::storage {

inline constexpr const char* kOptionsFile = "options.ini";
inline constexpr int kPopupMenuItems = 44;
// The maker's start page, shown when the options name none.
inline constexpr const char* kMakerSite = "http://www.corvane.net/";
inline constexpr const char* kMakerStartPage = "http://www.corvane.net/ambrelstart.html";

struct FileSettings {
    std::string downdir;
    std::string convdir;
    std::string thumbext;
    std::string excextensions;
    bool usetheextfeature = false;
    std::string webexcextensions;
    bool webusetheextfeature = false;
    bool ifcopyaddlist = false;
    bool renamefile = false;
    bool renameandoverwrite = false;
};

struct GeneralSettings {
    std::string timebetweenpictures;
    bool resizetoscreen = false;
    bool minimizetotray = false;
    bool iecaddtolist = false;
    bool ieccopytoclip = false;
    bool ieccopyandadd = false;
    std::string ieccopyandaddbef;
    std::string ieccopyandaddaft;
    std::string defaultwebpage;
    std::array<bool, kPopupMenuItems> popupmenuitem{};
};

// Which of the three browser context-menu entries already have their registry key, in the
// order add, copy, custom copy; read only when there is no options file.
using ContextKeysPresent = std::array<bool, 3>;

// programFolder ends with "/"; the options file is programFolder + "options.ini".
FileSettings loadFileSettings(const std::string& programFolder);
GeneralSettings loadGeneralSettings(const std::string& programFolder,
                                    const ContextKeysPresent& contextKeys);

// Write only the keys whose held value differs from the stored one. Throw IoError.
void savesettingfilesettingcontext(const std::string& programFolder, const FileSettings& s);
void savegeneralsettingcontext(const std::string& programFolder, const GeneralSettings& s);

// One key of the options file, read afresh ("" when the file or key is missing).
std::string readOption(const std::string& programFolder, const std::string& key);

}  // namespace ambrel::storage
