#include "core/app/app.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "core/integration/contextmenu.h"
#include "core/integration/handover.h"
#include "core/storage/filelock.h"
#include "core/storage/folderlist.h"
#include "core/storage/listfile.h"
#include "core/storage/names.h"
#include "core/storage/tagfile.h"
#include "core/storage/text.h"
#include "core/storage/textfile.h"

namespace ambrel::app {

namespace {

std::string nameBy(NameRule rule, const std::string& link) {
    return rule == NameRule::Url ? storage::exturlname(link) : storage::extfilename(link);
}

// Without a list on screen, a column fits its text at an average character width.
int averageTextWidth(const std::string& text) {
    return static_cast<int>(text.size()) * 7;
}

}  // namespace

std::string previewAddress(const std::string& path) {
    if (!storage::is_local_path(path)) {
        return path;
    }
    // A drive path keeps its backslashes behind "file:///"; a POSIX path brings its own "/".
    return path.starts_with('/') ? "file://" + path : "file:///" + path;
}

Tmyambrel::Tmyambrel(std::string programFolder, Services services)
    : m_programFolder(std::move(programFolder)),
      m_services(services),
      m_textWidth(averageTextWidth) {
    m_pictures.addObserver(this);
}

Tmyambrel::~Tmyambrel() {
    m_pictures.removeObserver(this);
}

bool Tmyambrel::optionsFileExists() const {
    return storage::fileExists(m_programFolder + storage::kOptionsFile);
}

void Tmyambrel::readGroups() {
    const std::string listing = m_programFolder + "listing/";
    // Named from the whole path, so a ":" or "\" in a file name stays in the group's name.
    for (const std::string& file : storage::sortedFolderFiles(listing, ".fifi")) {
        m_targetItems.push_back(storage::extfilename(listing + file));
    }
}

void Tmyambrel::startup(const std::vector<std::string>& arguments) {
    // The single-instance guard, the tray icon and the hand-over channel come first; the
    // platform sets them up before calling in here.
    m_linkList.clear();
    m_currentGroup = kDefaultGroup;
    readGroups();
    notify([](AppObserver& o) { o.groupsChanged(); });

    const std::string defaultList = listFileOf(kDefaultGroup);
    if (storage::fileExists(defaultList)) {
        loadpicmyfile(defaultList);
        m_currentGroup = kDefaultGroup;
        if (!m_pictures.empty()) {
            adresizescroll();
        }
    }

    m_startedWithArguments = !arguments.empty();
    if (m_startedWithArguments) {
        handoverlink(arguments.front());
    }

    std::string page;
    if (optionsFileExists()) {
        page = storage::readOption(m_programFolder, "defaultwebpage");
    }
    m_services.browser.navigate(page.empty() ? storage::kMakerStartPage : page);
}

void Tmyambrel::createWindows() {
    // A stored default that is not a number is reported once the settings are loaded too.
    std::string badDefault;
    try {
        m_uploadSettings.fill(m_programFolder);
    } catch (const servers::ConversionError& e) {
        badDefault = e.what();
    }
    m_fileSettings = storage::loadFileSettings(m_programFolder);
    storage::ContextKeysPresent keys{};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i] = m_services.registry.keyExists(
            integration::contextMenuKey(integration::kContextMenuEntries[i]));
    }
    m_generalSettings = storage::loadGeneralSettings(m_programFolder, keys);
    // Each entry switched on is written again, so it follows a data folder that moved.
    integration::installSwitchedOnEntries(m_services.registry, m_programFolder, m_generalSettings);
    if (!badDefault.empty()) {
        throw servers::ConversionError(badDefault);
    }
}

void Tmyambrel::onActivate() {
    if (!optionsFileExists()) {
        writeFirstRunOptions();
    }
    setCaption(kActiveCaption);
    // The windows that must stay in front of the main window are raised by the GUI.
}

void Tmyambrel::writeFirstRunOptions() {
    try {
        // Everything in one replace: a file left half written would be taken as the truth
        // by every later start, with each setting it lacks read as off.
        storage::OptionsEdit options(m_programFolder);
        if (options.existed()) {
            return;  // another copy wrote it in the meantime
        }
        storage::savesettingfilesettingcontext(options, m_fileSettings);
        m_uploadSettings.savedefaultcontext(options);
        storage::savegeneralsettingcontext(options, m_generalSettings);
        options.commit();
    } catch (const storage::IoError& e) {
        // Tried again at each activation, but said once: the program runs on with what it
        // can read, and a box at every activation would leave it unusable.
        if (m_dataFolderReported) {
            return;
        }
        m_dataFolderReported = true;
        const std::string why = e.reason().empty() ? std::string(e.what()) : e.reason();
        m_services.ui.message("The data folder " + m_programFolder + " cannot be written: " + why +
                                  ".\nMy Ambrel runs on with the lists and settings it can read "
                                  "there, but cannot save its settings.",
                              "My Ambrel", platform::MessageIcon::Warning);
    }
}

void Tmyambrel::onClose() {
    m_pictures.clearSelection();
}

void Tmyambrel::setCaption(std::string caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = std::move(caption);
    notify([](AppObserver& o) { o.captionChanged(); });
}

bool Tmyambrel::runCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        m_services.ui.message(e.what(), "My Ambrel", platform::MessageIcon::Error);
        return false;
    }
}

void Tmyambrel::addonelink(const std::string& link) {
    // A link names a scheme or a drive in its first ten characters, or is an absolute path.
    if (link.substr(0, 10).find(':') == std::string::npos && !storage::is_local_path(link)) {
        return;
    }
    if (m_startedWithArguments) {
        if (!optionsFileExists()) {
            return;
        }
        if (storage::readOption(m_programFolder, "usetheextfeature") == "yes" &&
            storage::monextensionyest(link,
                                      storage::readOption(m_programFolder, "excextensions"))) {
            return;
        }
    } else if (m_fileSettings.usetheextfeature &&
               storage::monextensionyest(link, m_fileSettings.excextensions)) {
        return;
    }
    if (m_batch) {
        batchedAppend(link, targetListFile());
    } else {
        storage::appendtothisfile(link, targetListFile());
    }
    if (targetGroupName() == m_currentGroup && link.size() > 2) {
        addtolistview(link);
    }
}

void Tmyambrel::addlinkifnew(const std::string& link, NameRule rule) {
    // The test and the add under one lock, so that the same link handed to two processes at
    // once is written once. A folder that cannot take the lock cannot take the link either:
    // the add says why, and a link already there is still found without an error. A batch
    // holds its lines back and writes them under the lock when it ends.
    std::optional<storage::FileLock> lock;
    if (!m_batch) {
        try {
            lock.emplace(targetListFile());
        } catch (const storage::IoError&) {
        }
    }
    const std::string line = nameBy(rule, link) + "||" + link;
    m_newLink =
        m_batch ? batchedIsNew(line, targetListFile()) : storage::truc222(line, targetListFile());
    if (m_newLink) {
        addonelink(link);
    }
}

void Tmyambrel::addtolistview(const std::string& link) {
    const std::string name =
        link.size() > 1 && link[1] == ':' ? storage::extfilename(link) : storage::exturlname(link);
    m_pictures.append({name, link});
}

void Tmyambrel::adresizescroll() {
    if (m_pictures.empty()) {
        return;
    }
    const list::Entry& last = m_pictures.at(m_pictures.size() - 1);
    int nameWidth = m_pictures.nameWidth();
    int pathWidth = m_pictures.pathWidth();
    const int nameText = m_textWidth(last.name);
    if (nameWidth < nameText + 20) {
        nameWidth = nameText + 20;
    }
    const int pathText = m_textWidth(last.path);
    if (pathText > 20) {
        pathWidth = pathText + 20;
    }
    m_pictures.setColumnWidths(nameWidth, pathWidth);
}

void Tmyambrel::addinlistfromlinklist() {
    withBatchedAdds([this] {
        for (const std::string& text : std::vector(m_linkList)) {
            if (!storage::is_web_address(text) ||
                text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos ||
                !web::isgoodstringforpattern(text, m_grabFilters.include)) {
                continue;
            }
            if (!m_grabFilters.exclude.empty() &&
                web::isgoodstringforpattern(text, m_grabFilters.exclude)) {
                continue;
            }
            addlinkifnew(text, NameRule::Url);
        }
    });
}

void Tmyambrel::withBatchedAdds(const std::function<void()>& adds) {
    if (m_batch) {
        adds();
        return;
    }
    m_batch.emplace();
    try {
        adds();
    } catch (...) {
        // The links already shown stay in the file too; the first error is the one reported.
        try {
            flushBatch();
        } catch (...) {
        }
        m_batch.reset();
        throw;
    }
    try {
        flushBatch();
    } catch (...) {
        m_batch.reset();
        throw;
    }
    m_batch.reset();
}

bool Tmyambrel::batchedIsNew(const std::string& line, const std::string& file) {
    if (m_batch->file != file) {
        flushBatch();
        m_batch->file = file;
        m_batch->loaded = false;
    }
    if (!m_batch->loaded) {
        m_batch->lines.clear();
        m_batch->written.clear();
        m_batch->content = storage::fileExists(file) ? storage::readBytes(file) : std::string();
        const std::string& content = m_batch->content;
        m_batch->lines.reserve(
            static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1024);
        storage::forEachLine(content,
                             [this](std::string_view stored) { m_batch->lines.insert(stored); });
        m_batch->loaded = true;
    }
    return !m_batch->lines.contains(line);
}

void Tmyambrel::batchedAppend(const std::string& link, const std::string& file) {
    if (m_batch->file != file || !m_batch->loaded) {
        // A direct addonelink in the batch: the duplicate test reads the file first.
        batchedIsNew(std::string(), file);
    }
    m_batch->links.push_back(link);
    // Views into a deque stay valid as it grows at its end.
    m_batch->written.push_back(storage::listLineFor(link));
    storage::forEachLine(m_batch->written.back(),
                         [this](std::string_view line) { m_batch->lines.insert(line); });
}

void Tmyambrel::flushBatch() {
    if (m_batch->links.empty()) {
        return;
    }
    std::vector<std::string> links;
    links.swap(m_batch->links);
    storage::appendtothisfile(links, m_batch->file);
}

void Tmyambrel::handoverlink(const std::string& text) {
    if (!integration::isOneLineHandOver(text)) {
        m_services.ui.message(integration::kMultiLineHandOver, "My Ambrel",
                              platform::MessageIcon::Warning);
        return;
    }
    std::string link = text;
    char marker = 0;
    if (!text.empty() && (text[0] == '$' || text[0] == '@')) {
        marker = text[0];
        link = text.substr(1);
    }
    if (!optionsFileExists()) {
        return;
    }
    if (marker == 0 || storage::readOption(m_programFolder, "ifcopyaddlist") == "yes") {
        addlinkifnew(link, NameRule::Url);
        adresizescroll();
    }
    if (marker == '@') {
        m_services.clipboard.setText(link);
    } else if (marker == '$') {
        m_services.clipboard.setText(storage::readOption(m_programFolder, "ieccopyandaddbef") +
                                     link +
                                     storage::readOption(m_programFolder, "ieccopyandaddaft"));
    }
}

void Tmyambrel::pause(int ms) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    do {
        const auto left = ms - elapsed();
        m_services.ui.processEvents(static_cast<int>(std::max<decltype(left)>(left, 1)));
    } while (elapsed() <= ms);
}

void Tmyambrel::loadpicmyfile(const std::string& file) {
    m_pictures.assign(storage::readListFile(file));
}

void Tmyambrel::savepicmyfile(const std::string& file) {
    storage::writeListFile(file, m_pictures.entries());
}

void Tmyambrel::setTargetIndex(int index) {
    if (index < 0 || index >= static_cast<int>(m_targetItems.size())) {
        index = 0;
    }
    m_targetIndex = index;
}

std::string Tmyambrel::targetGroupName() const {
    const std::string& item = m_targetItems.at(static_cast<std::size_t>(m_targetIndex));
    return item.empty() ? std::string(kDefaultGroup) : item;
}

std::string Tmyambrel::targetListFile() const {
    return listFileOf(targetGroupName());
}

std::string Tmyambrel::listFileOf(const std::string& group) const {
    return m_programFolder + "listing/" + group + ".fifi";
}

void Tmyambrel::previewSelection() {
    const int row = m_pictures.firstSelected();
    if (row < 0) {
        return;
    }
    // The link builder takes the entry first, whatever the browser filter says.
    const std::string path = m_pictures.at(row).path;
    notify([&path](AppObserver& o) { o.entrySelected(path); });
    // The address of a local file ends as its path does; the path's own cuts find the
    // extension.
    const std::string address = previewAddress(path);
    if (m_fileSettings.webusetheextfeature &&
        storage::monextensionyest(path, m_fileSettings.webexcextensions)) {
        return;
    }
    m_services.browser.navigate(address);
}

void Tmyambrel::showAddUrl() {
    m_services.ui.hideWindow(platform::Window::Main);
    m_services.ui.showWindow(platform::Window::AddUrl);
}

void Tmyambrel::addUrlAdd(const std::string& fieldText) {
    for (const std::string& line : storage::splitTypedLines(fieldText)) {
        if (storage::is_web_address(line)) {
            addlinkifnew(line, NameRule::Url);
        }
    }
    m_addUrlText.clear();
    adresizescroll();
    m_services.ui.hideWindow(platform::Window::AddUrl);
}

void Tmyambrel::addUrlCancel() {
    m_addUrlText.clear();
    m_services.ui.hideWindow(platform::Window::AddUrl);
}

void Tmyambrel::addUrlClosed() {
    m_services.ui.showWindow(platform::Window::Main);
}

void Tmyambrel::setTextWidthMeasure(std::function<int(const std::string&)> measure) {
    m_textWidth = measure ? std::move(measure) : averageTextWidth;
}

}  // namespace ambrel::app
