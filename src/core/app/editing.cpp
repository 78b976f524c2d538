#include "core/app/editing.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <numeric>
#include <system_error>
#include <utility>

#include "core/export/linkformats.h"
#include "core/storage/names.h"
#include "core/storage/text.h"
#include "core/storage/textfile.h"
#include "core/web/browseurl.h"

namespace ambrel::app {

namespace fs = std::filesystem;

namespace {

constexpr const char* kCaption = "My Ambrel";

// A text holding a line break cannot be one link: written to a list file it would split
// into two lines and come back as two wrong entries.
bool holdsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

// The rest of a group name is kept: a "/" would reach outside the list folder, and the
// groups are read back from their file names up to the first ".".
bool isUsableGroupName(const std::string& name) {
    return name.find_first_of("/.\r\n") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// Copies a file to a fresh name beside target and returns that name; "" with error set when
// the copy failed, and then nothing of it is left behind.
std::string copyBeside(const std::string& from, const std::string& target, std::string& error) {
    static unsigned counter = 0;
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp =
            target + ".part" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        // Without overwriting, the copy creates its file exclusively: one that exists is
        // never written to, only a name not taken yet.
        fs::copy_file(from, temp, fs::copy_options::none, ec);
        if (!ec) {
            return temp;
        }
        if (ec != std::errc::file_exists) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            break;
        }
    }
    error = ec.message();
    return {};
}

// Moves a file without replacing one of the target's name; across file systems it is
// copied and the original removed. On failure the file stays where it was.
bool moveFile(const std::string& from, const std::string& to, std::string& error) {
    if (storage::anythingAt(to)) {
        error = "a file of that name is there already";
        return false;
    }
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec == std::errc::cross_device_link) {
        ec.clear();
        const std::string copy = copyBeside(from, to, error);
        if (copy.empty()) {
            return false;
        }
        if (storage::anythingAt(to)) {
            ec = std::make_error_code(std::errc::file_exists);
        } else {
            fs::rename(copy, to, ec);
        }
        std::error_code ignored;
        if (ec) {
            fs::remove(copy, ignored);
        } else {
            fs::remove(from, ec);
            if (ec) {
                fs::remove(to, ignored);
            }
        }
    }
    if (ec) {
        error = ec.message();
        return false;
    }
    return true;
}

// Copies a file over any file of the target's name. The copy is renamed over the old file
// only once it is whole, so a copy that fails halfway leaves the old file as it was.
bool copyFile(const std::string& from, const std::string& to, std::string& error) {
    std::error_code ec;
    if (storage::anythingAt(to) && fs::equivalent(from, to, ec)) {
        error = "the file would be copied onto itself";
        return false;
    }
    // The rename could replace a file the user made read-only; overwriting it could not.
    if (storage::anythingAt(to) && ::access(to.c_str(), W_OK) != 0) {
        error = std::generic_category().message(errno);
        return false;
    }
    const std::string copy = copyBeside(from, to, error);
    if (copy.empty()) {
        return false;
    }
    fs::rename(copy, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(copy, ignored);
        error = ec.message();
        return false;
    }
    return true;
}

}  // namespace

ListEditing::ListEditing(Tmyambrel& app) : m_app(app) {}

std::string ListEditing::currentListFile() const {
    return m_app.listFileOf(m_app.currentGroup());
}

void ListEditing::fxaddLocalFiles() {
    for (const std::string& file : m_app.services().ui.chooseFiles("Add picture")) {
        if (storage::fileExists(file) && !holdsLineBreak(file)) {
            m_app.addlinkifnew(file, NameRule::File);
        }
    }
    m_app.adresizescroll();
}

void ListEditing::dropFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (!holdsLineBreak(path)) {
            m_app.addlinkifnew(path, NameRule::File);
        }
    }
}

void ListEditing::fxpastee() {
    for (const std::string& line : storage::splitTypedLines(m_app.services().clipboard.text())) {
        m_app.addlinkifnew(line, storage::is_web_address(line) ? NameRule::Url : NameRule::File);
    }
    m_app.adresizescroll();
}

void ListEditing::fxcut() {
    list::PictureList& pictures = m_app.pictures();
    m_app.services().clipboard.setText(linkexport::gatherSelected(
        pictures, [](const std::string& path) { return path; }, "\r\n"));
    removeRows(pictures.selectedRows());
    m_app.savepicmyfile(currentListFile());
}

void ListEditing::removeRows(const std::vector<int>& rows) {
    if (rows.empty()) {
        return;
    }
    const list::PictureList& pictures = m_app.pictures();
    std::vector<list::Entry> kept;
    kept.reserve(pictures.entries().size());
    for (int row = 0; row < pictures.size(); ++row) {
        if (!std::binary_search(rows.begin(), rows.end(), row)) {
            kept.push_back(pictures.at(row));
        }
    }
    m_app.pictures().assign(std::move(kept));
}

int ListEditing::fxedit() {
    const int row = m_app.pictures().firstSelected();
    if (row >= 0) {
        beginRename(row);
    }
    return row;
}

void ListEditing::beginRename(int row) {
    if (row >= 0 && row < m_app.pictures().size()) {
        m_rename = {m_app.pictures().at(row).path, row};
    }
}

bool ListEditing::endRename(const std::string& newName) {
    list::PictureList& pictures = m_app.pictures();
    const RenameState kept = std::exchange(m_rename, {});
    // Something else changed the list during the edit: the name no longer belongs to the
    // entry it was typed for, and its file must not be touched.
    if (kept.position < 0 || kept.position >= pictures.size() ||
        pictures.at(kept.position).path != kept.path) {
        return false;
    }
    // A list file line is name "||" path: such a name would cut the path short on reading.
    if (newName.find("||") != std::string::npos || holdsLineBreak(newName)) {
        m_app.services().ui.message("A name cannot hold \"||\" or a line break", kCaption,
                                    platform::MessageIcon::Information);
        return false;
    }
    list::Entry entry = pictures.at(kept.position);
    entry.name = newName;
    bool save = true;
    const storage::FileSettings& settings = m_app.fileSettings();
    if (settings.renamefile && storage::is_local_path(kept.path)) {
        const std::string& oldPath = kept.path;
        const std::string newPath =
            storage::folderpart(oldPath) + newName + storage::extensionpart(oldPath);
        const bool oldExists = storage::fileExists(oldPath);
        const bool newExists = storage::fileExists(newPath);
        std::error_code ec;
        // The name accepted as it was, or changed in letter case on a file system that
        // ignores case, names the entry's own file: there is nothing to replace.
        const bool sameFile =
            newPath == oldPath || (oldExists && newExists && fs::equivalent(oldPath, newPath, ec));
        if (newExists && !sameFile && oldExists && !settings.renameandoverwrite) {
            m_app.services().ui.message("Filename exist: result is not saved", kCaption,
                                        platform::MessageIcon::Information);
            save = false;
        } else if (oldExists && !sameFile) {
            // rename() replaces a file of the new name in the same step, so overwriting
            // never deletes a file without putting the renamed one in its place.
            fs::rename(oldPath, newPath, ec);
            if (ec) {
                m_app.services().ui.message("Cannot rename " + oldPath + ": " + ec.message(),
                                            kCaption, platform::MessageIcon::Warning);
                save = false;
            } else {
                entry.path = newPath;
            }
        } else {
            entry.path = newPath;
        }
    }
    pictures.setEntry(kept.position, std::move(entry));
    m_savePending = m_savePending || save;
    return save;
}

void ListEditing::deferredSave() {
    if (!m_savePending) {
        return;
    }
    m_savePending = false;
    m_app.savepicmyfile(currentListFile());
}

void ListEditing::openFolder() {
    const int row = m_app.pictures().firstSelected();
    if (row < 0) {
        return;
    }
    const std::string path = m_app.pictures().at(row).path;
    platform::Shell& shell = m_app.services().shell;
    if (storage::is_web_address(path)) {
        web::BrowseURL(m_app.services().registry, shell, path);
    } else if (storage::is_local_path(path)) {
        shell.openFolder(platform::folderToOpen(storage::folderpart(path)));
    }
}

void ListEditing::moveToFolder() {
    toFolder(true);
}

void ListEditing::copyToFolder() {
    toFolder(false);
}

void ListEditing::toFolder(bool move) {
    platform::Ui& ui = m_app.services().ui;
    const std::optional<std::string> folder =
        ui.chooseFolder(move ? "Move to this directory" : "Cut to this directory", "");
    const std::vector<int> selected = m_app.pictures().selectedRows();
    std::vector<int> moved;
    std::string failures;
    std::error_code ec;
    std::exception_ptr failed;
    if (folder && !folder->empty() && !selected.empty() && fs::is_directory(*folder, ec)) {
        try {
            for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
                const std::string path = m_app.pictures().at(*row).path;
                if (!storage::is_local_path(path) || !storage::fileExists(path)) {
                    continue;
                }
                const std::string target =
                    storage::withTrailingSlash(*folder) + storage::filenamepart(path);
                std::string error;
                if (!(move ? moveFile(path, target, error) : copyFile(path, target, error))) {
                    failures.append("\n").append(path).append(": ").append(error);
                    continue;
                }
                if (move) {
                    moved.insert(moved.begin(), *row);
                }
                m_app.addonelink(target);
            }
        } catch (...) {
            failed = std::current_exception();
        }
    }
    // The files moved so far are gone from their old place, so their entries go too, even
    // when an error ended the run. Entries added on the way stand after every selected row.
    removeRows(moved);
    m_app.savepicmyfile(currentListFile());
    if (failed) {
        std::rethrow_exception(failed);
    }
    if (!failures.empty()) {
        ui.message(
            std::string(move ? "These files were not moved:" : "These files were not copied:") +
                failures,
            kCaption, platform::MessageIcon::Warning);
    }
}

void ListEditing::sortByColumn(int column) {
    if (column != kNameColumn && column != kPathColumn) {
        return;
    }
    if (column == m_sortColumn) {
        m_sortAscending = !m_sortAscending;
    } else {
        m_sortColumn = column;
        m_sortAscending = true;
    }
    const std::vector<list::Entry>& entries = m_app.pictures().entries();
    const auto key = [&entries, column](int row) -> const std::string& {
        const list::Entry& e = entries.at(static_cast<std::size_t>(row));
        return column == kNameColumn ? e.name : e.path;
    };
    std::vector<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    // std::string compares as unsigned bytes: byte by byte and case-sensitive.
    if (m_sortAscending) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(b) < key(a); });
    }
    // The selection goes with its entries, as the person sees them move.
    m_app.pictures().reorder(order);
}

void ListEditing::saveList() {
    m_app.savepicmyfile(currentListFile());
}

void ListEditing::showGroup() {
    const int index = m_app.targetIndex();
    if (index > 0) {
        const std::string name = m_app.targetItems().at(static_cast<std::size_t>(index));
        m_app.loadpicmyfile(m_app.listFileOf(name));
        m_app.setCurrentGroup(name);
        return;
    }
    const std::string defaultList = m_app.listFileOf(Tmyambrel::kDefaultGroup);
    if (storage::fileExists(defaultList)) {
        m_app.loadpicmyfile(defaultList);
        m_app.setCurrentGroup(Tmyambrel::kDefaultGroup);
    } else {
        m_app.pictures().assign({});
    }
}

void ListEditing::createGroup() {
    platform::Ui& ui = m_app.services().ui;
    const std::optional<std::string> name =
        ui.prompt("Add a new group", "Please type the name of the new group", "");
    if (!name || name->empty()) {
        return;
    }
    if (!isUsableGroupName(*name)) {
        ui.message("Please choose another name: a group name cannot hold \"/\" or \".\"", kCaption,
                   platform::MessageIcon::Information);
        return;
    }
    const std::string file = m_app.listFileOf(*name);
    if (storage::anythingAt(file)) {
        ui.message("Please choose another name", kCaption, platform::MessageIcon::Information);
        return;
    }
    storage::writeFileAtomically(file, "");
    std::vector<std::string> items = m_app.targetItems();
    items.push_back(*name);
    m_app.setTargetItems(std::move(items), m_app.targetIndex());
}

void ListEditing::deleteGroup() {
    platform::Ui& ui = m_app.services().ui;
    const int index = m_app.targetIndex();
    if (index <= 0) {
        ui.message("Impossible to delete the main list", kCaption,
                   platform::MessageIcon::Information);
        return;
    }
    if (!ui.askYesNo("Confirmation to delete ?", "Confirm")) {
        return;
    }
    std::vector<std::string> items = m_app.targetItems();
    const std::string name = items.at(static_cast<std::size_t>(index));
    const std::string file = m_app.listFileOf(name);
    std::error_code ec;
    fs::remove(file, ec);
    if (ec) {
        // Keeping the item shows the person the group is still there.
        throw storage::IoError("Cannot delete " + file + ": " + ec.message());
    }
    items.erase(items.begin() + index);
    if (name != m_app.currentGroup()) {
        m_app.setTargetItems(std::move(items), 0);
        return;
    }
    m_app.pictures().assign({});
    m_app.setTargetItems(std::move(items), 0);
    const std::string defaultList = m_app.listFileOf(Tmyambrel::kDefaultGroup);
    if (storage::fileExists(defaultList)) {
        m_app.loadpicmyfile(defaultList);
        m_app.setCurrentGroup(Tmyambrel::kDefaultGroup);
    }
}

}  // namespace ambrel::app
