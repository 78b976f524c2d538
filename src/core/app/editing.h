#pragma once

#include <string>
#include <vector>

#include "core/app/app.h"

namespace ambrel::app {

// The commands that change the picture list or the set of groups: adding local files,
// dropping, pasting, cutting, renaming in place, the folder commands, sorting, saving and
// the group commands. Errors that end a command are thrown (storage::IoError for files);
// the caller runs them through Tmyambrel::runCommand.
class ListEditing final {
public:
    static constexpr int kNameColumn = 0;
    static constexpr int kPathColumn = 1;

    explicit ListEditing(Tmyambrel& app);

    // Adding.
    void fxaddLocalFiles();
    // Files dropped from the file manager, in the order given; no existence test.
    void dropFiles(const std::vector<std::string>& paths);
    void fxpastee();

    // The selected paths onto the clipboard (last entry first), then those entries leave
    // the list and the list is saved to the current group's file.
    void fxcut();

    // Renaming in place. fxedit returns the row whose name is to be edited (the first
    // selected one) or -1; beginRename runs at every start of an edit, whatever started it.
    int fxedit();
    void beginRename(int row);
    // The person accepted newName: renames the local file too when the file settings say
    // so. Returns false when the list file must not be saved for it.
    bool endRename(const std::string& newName);
    bool savePending() const { return m_savePending; }
    // Runs once the list has taken the new name: saves the list when a rename asked for it.
    void deferredSave();

    // Folder commands: "o", "M" and "C".
    void openFolder();
    void moveToFolder();
    void copyToFolder();

    // Sorting by a column header: the same column again flips the order. Selected entries
    // stay selected where they land.
    void sortByColumn(int column);
    int sortColumn() const { return m_sortColumn; }
    bool sortAscending() const { return m_sortAscending; }

    void saveList();

    // Groups: the item selected in the target list is the group worked on.
    void showGroup();
    void createGroup();
    void deleteGroup();

private:
    struct RenameState {
        std::string path;
        int position = -1;
    };
    void toFolder(bool move);
    void removeRows(const std::vector<int>& rows);
    std::string currentListFile() const;

    Tmyambrel& m_app;
    RenameState m_rename;
    bool m_savePending = false;
    int m_sortColumn = kNameColumn;
    bool m_sortAscending = true;
};

}  // namespace ambrel::app
