#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/list/picturelist.h"
#include "core/platform/browser.h"
#include "core/platform/clipboard.h"
#include "core/platform/registry.h"
#include "core/platform/shell.h"
#include "core/platform/ui.h"
#include "core/servers/uploadsettings.h"
#include "core/storage/settings.h"
#include "core/transfer/transfers.h"
#include "core/web/pattern.h"

namespace ambrel::app {

// Which name rule makes an entry's name from its link.
enum class NameRule { Url, File };

// What the platform gives the application object; it owns none of them.
struct Services {
    platform::Ui& ui;
    platform::Clipboard& clipboard;
    platform::Browser& browser;
    platform::RegistryStore& registry;
    platform::Shell& shell;
};

// Told of changes to what the main window shows besides the list.
class AppObserver {
public:
    virtual ~AppObserver() = default;
    virtual void captionChanged() {}
    virtual void groupsChanged() {}
    // An entry became the first selected one; told before the browser previews it.
    virtual void entrySelected(const std::string& path) { (void)path; }
};

// The operations and state of the main window (Tmyambrel): the picture list of the current
// group, the target group, the link list, the settings held for the run and the windows'
// state. Commands throw storage::IoError (or another std::exception) when they end on an
// error; the caller shows its text.
class Tmyambrel final : private list::PictureListObserver {
public:
    static constexpr const char* kDefaultGroup = "default";
    static constexpr const char* kInitialCaption = "My ambrel";
    static constexpr const char* kActiveCaption = "My ambrel v1.01";

    // programFolder is the data folder: an absolute path with its trailing "/".
    Tmyambrel(std::string programFolder, Services services);
    ~Tmyambrel() override;
    Tmyambrel(const Tmyambrel&) = delete;
    Tmyambrel& operator=(const Tmyambrel&) = delete;

    // The main window's own start-up: groups, the default list, the hand-over of the first
    // argument and the start page.
    void startup(const std::vector<std::string>& arguments);
    // The rest of start-up, as the other windows are created: the upload settings list with
    // its default, then the file settings and the general settings. A stored upload default
    // that is not a number selects nothing and, once the rest is loaded, throws
    // servers::ConversionError.
    void createWindows();
    // Each activation of the main window; while the options file is missing it writes the
    // first-run options, and when the data folder cannot take them it says so once and the
    // program runs on.
    void onActivate();
    void onClose();

    // Runs a command the person started; an error that ends it is shown in a message box
    // and the work already done stays. Returns false when the command ended on an error.
    bool runCommand(const std::function<void()>& command);

    // Adding links.
    void addonelink(const std::string& link);
    void addlinkifnew(const std::string& link, NameRule rule);
    void addtolistview(const std::string& link);
    void adresizescroll();
    // Adds the link list's web addresses that pass the grab filters; a text holding a line
    // break or NUL is skipped, as it would write lines of its own into the list file.
    void addinlistfromlinklist();
    // Runs adds with their list file lines held back and written in one atomic rewrite at
    // the end (also when adds throws): what the file holds afterwards is what adding the
    // links one after the other would have left. Nested calls join the outer one.
    void withBatchedAdds(const std::function<void()>& adds);
    // A text holding a line break or a NUL is refused with a message and changes nothing.
    void handoverlink(const std::string& text);
    // Waits at least ms milliseconds while the windows stay responsive.
    void pause(int ms);

    // List files.
    void loadpicmyfile(const std::string& file);
    void savepicmyfile(const std::string& file);
    bool newLinkFlag() const { return m_newLink; }

    // Groups: the target list's items are "" followed by the group names.
    const std::vector<std::string>& targetItems() const { return m_targetItems; }
    int targetIndex() const { return m_targetIndex; }
    void setTargetIndex(int index);
    std::string targetGroupName() const;
    std::string targetListFile() const;
    const std::string& currentGroup() const { return m_currentGroup; }
    void setCurrentGroup(std::string group) { m_currentGroup = std::move(group); }
    // Replaces the target list's items (the first one stays "") and selects index.
    void setTargetItems(std::vector<std::string> items, int index) {
        m_targetItems = std::move(items);
        if (m_targetItems.empty() || !m_targetItems.front().empty()) {
            m_targetItems.insert(m_targetItems.begin(), std::string());
        }
        setTargetIndex(index);
        notify([](AppObserver& o) { o.groupsChanged(); });
    }
    std::string listFileOf(const std::string& group) const;

    // The selection changed: preview the first selected entry in the browser.
    void previewSelection();

    // "Add url to my ambrel".
    void showAddUrl();
    void addUrlAdd(const std::string& fieldText);
    void addUrlCancel();
    void addUrlClosed();
    const std::string& addUrlText() const { return m_addUrlText; }
    void setAddUrlText(std::string text) { m_addUrlText = std::move(text); }

    const std::string& caption() const { return m_caption; }
    const std::string& programFolder() const { return m_programFolder; }
    bool optionsFileExists() const;
    bool startedWithArguments() const { return m_startedWithArguments; }

    list::PictureList& pictures() { return m_pictures; }
    const list::PictureList& pictures() const { return m_pictures; }
    std::vector<std::string>& linkList() { return m_linkList; }
    storage::FileSettings& fileSettings() { return m_fileSettings; }
    storage::GeneralSettings& generalSettings() { return m_generalSettings; }
    servers::UploadSettingsList& uploadSettings() { return m_uploadSettings; }
    web::GrabFilters& grabFilters() { return m_grabFilters; }
    const Services& services() const { return m_services; }
    // The progress window's state, the HTTP and FTP clients and what transfers share.
    transfer::Transfers& transfers() { return m_transfers; }

    // The text width of the list's font, for fitting the columns; an empty function goes
    // back to an average character width.
    void setTextWidthMeasure(std::function<int(const std::string&)> measure);
    void addObserver(AppObserver* observer) { m_observers.push_back(observer); }
    void removeObserver(AppObserver* observer) { std::erase(m_observers, observer); }

private:
    void selectionChanged() override { previewSelection(); }
    void setCaption(std::string caption);
    void readGroups();
    void writeFirstRunOptions();
    template <typename F>
    void notify(F f) {
        for (auto* o : std::vector(m_observers)) {
            f(*o);
        }
    }

    // Lines held back by withBatchedAdds, with the lines of their list file for the
    // duplicate test.
    struct PendingAdds {
        std::string file;
        bool loaded = false;
        std::string content;              // the file as read; lines points into it
        std::deque<std::string> written;  // the lines held back; lines points into them too
        std::unordered_set<std::string_view> lines;
        std::vector<std::string> links;
    };
    bool batchedIsNew(const std::string& line, const std::string& file);
    void batchedAppend(const std::string& link, const std::string& file);
    void flushBatch();

    std::string m_programFolder;
    std::optional<PendingAdds> m_batch;
    Services m_services;
    transfer::Transfers m_transfers{m_services.ui};
    list::PictureList m_pictures;
    std::string m_currentGroup = kDefaultGroup;
    std::vector<std::string> m_targetItems{""};
    int m_targetIndex = 0;
    std::vector<std::string> m_linkList;
    bool m_newLink = false;
    bool m_startedWithArguments = false;
    bool m_dataFolderReported = false;
    storage::FileSettings m_fileSettings;
    storage::GeneralSettings m_generalSettings;
    servers::UploadSettingsList m_uploadSettings;
    web::GrabFilters m_grabFilters;
    std::string m_addUrlText;
    std::string m_caption = kInitialCaption;
    std::function<int(const std::string&)> m_textWidth;
    std::vector<AppObserver*> m_observers;
};

// The browser address of a list path: "file://" + a local path, else the path itself.
std::string previewAddress(const std::string& path);

}  // namespace ambrel::app
