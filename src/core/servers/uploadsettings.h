#pragma once

#include <string>
#include <vector>

namespace ambrel::servers {

// The list of the "Upload settings" window: the server definitions of "upfiles/" and the
// selected one, which is the current server definition.
class UploadSettingsList {
public:
    // Lists "upfiles/*.txt" (names before their first ".") and selects the default: the
    // stored "useupset" position (empty counts as 1), or the first entry without options.
    void fill(const std::string& programFolder);

    const std::vector<std::string>& names() const { return m_names; }
    int selected() const { return m_selected; }  // -1 when nothing is selected
    void select(int index);
    // The current server definition's name, "" when nothing is selected.
    std::string current() const;

    // Stores the selected position (counted from 1; "0" for none, "1" while the list is
    // empty) as "useupset" when it differs from the stored text. Throws storage::IoError.
    void savedefaultcontext(const std::string& programFolder) const;

private:
    std::vector<std::string> m_names;
    int m_selected = -1;
};

}  // namespace ambrel::servers
