#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "core/storage/settings.h"

namespace ambrel::servers {

// A stored default position that is not a decimal number.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The list of the "Upload settings" window: the server definitions of "upfiles/" and the
// selected one, which is the current server definition. Its order is the order in which the
// folder is listed (storage::sortedFolderFiles), so a stored default position means the same
// entry in the list shown and at the next start; names added later take their place in it.
class UploadSettingsList {
public:
    // Lists "upfiles/*.txt" (names before their first ".") and selects the default: the
    // stored "useupset" position (empty counts as 1), or the first entry without options.
    // A stored position that is not a number selects nothing and throws ConversionError
    // once the list is filled.
    void fill(const std::string& programFolder);

    const std::vector<std::string>& names() const { return m_names; }
    int selected() const { return m_selected; }  // -1 when nothing is selected
    void select(int index);                      // outside the list: nothing selected
    // The current server definition's name, "" when nothing is selected.
    std::string current() const;
    bool contains(const std::string& name) const;

    // Puts a newly saved name at its place in the folder order; the selected name stays
    // selected.
    void insert(const std::string& name);
    // After a definition was saved: when the options file holds a "useupset" value, that
    // position is selected again. Throws ConversionError when it is not a number (the
    // selection then stays).
    void reselectDefault(const std::string& programFolder);

    // Deletes the selected definition's file (a file already gone is no error), removes its
    // name and selects the second entry (nothing when fewer than two remain). The stored
    // default position is left as it is. Nothing happens when nothing is selected. Throws
    // storage::IoError, leaving the list as it was, when the file stays.
    void deleteSelected(const std::string& programFolder);

    // Stores the selected position (counted from 1; "0" for none, "1" while the list is
    // empty) as "useupset" when it differs from the stored text. Throws storage::IoError.
    void savedefaultcontext(const std::string& programFolder) const;
    // The same as part of a larger edit of the options file, which the caller commits.
    void savedefaultcontext(storage::OptionsEdit& options) const;

private:
    std::vector<std::string> m_names;
    int m_selected = -1;
};

}  // namespace ambrel::servers
