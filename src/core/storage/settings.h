#pragma once

#include <array>
#include <string>

#include "core/storage/filelock.h"

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

// One save of the options file: holds the file's lock, changes its text in memory by the save
// rules and writes it back in one atomic replace, so a save lands whole or not at all and
// no other process's change slips in between its read and its write.
class OptionsEdit {
public:
    // Takes the lock and reads the file. Throws IoError.
    explicit OptionsEdit(const std::string& programFolder);

    // Whether the file existed when the edit began.
    bool existed() const { return m_existed; }
    // A key as the file holds it with the changes made so far ("" when missing).
    std::string stored(const std::string& key) const;
    // Sets a key the way updatexmlconfigfilefromxmlentry would.
    void set(const std::string& key, const std::string& value);
    // The save rules: a text is written when it differs from the stored one; a flag only
    // when it changes what the stored value means, so off over a missing or unknown value
    // writes nothing (a first run leaves the keys of every off setting out).
    void text(const std::string& key, const std::string& value);
    void flag(const std::string& key, bool on, const char* yes = "yes", const char* no = "no");

    // Writes the file when anything changed or it did not exist (a save creates it).
    // Throws IoError, leaving the file as it was.
    void commit();

private:
    std::string m_path;
    FileLock m_lock;
    bool m_existed = false;
    bool m_changed = false;
    std::string m_text;  // the file's bytes with the changes made so far
};

// Write only the keys whose held value differs from the stored one, in one replace of the
// file. Throw IoError.
void savesettingfilesettingcontext(const std::string& programFolder, const FileSettings& s);
void savegeneralsettingcontext(const std::string& programFolder, const GeneralSettings& s);
// The same as part of a larger edit, which the caller commits.
void savesettingfilesettingcontext(OptionsEdit& options, const FileSettings& s);
void savegeneralsettingcontext(OptionsEdit& options, const GeneralSettings& s);

// One key of the options file, read afresh ("" when the file or key is missing).
std::string readOption(const std::string& programFolder, const std::string& key);

}  // namespace ambrel::storage
