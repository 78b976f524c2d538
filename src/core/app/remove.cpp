#include "core/app/remove.h"

#include <algorithm>
#include <filesystem>

#include <unistd.h>

#include "core/app/app.h"
#include "core/servers/definition.h"
#include "core/storage/names.h"
#include "core/transfer/upload.h"

namespace ambrel::app {

using platform::Window;

namespace {

// The address up to and including its last slash that is not one of the two of a "://";
// without such a slash, up to the "://".
std::string directoryOf(const std::string& path) {
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '/') {
            continue;
        }
        const bool firstOfScheme =
            i > 0 && path[i - 1] == ':' && i + 1 < path.size() && path[i + 1] == '/';
        const bool secondOfScheme = i > 1 && path[i - 2] == ':' && path[i - 1] == '/';
        if (!firstOfScheme && !secondOfScheme) {
            cut = i;
        }
    }
    if (cut != std::string::npos) {
        return path.substr(0, cut + 1);
    }
    const std::size_t scheme = path.find("://");
    return scheme == std::string::npos ? std::string() : path.substr(0, scheme + 3);
}

}  // namespace

RemotePlace remotePlaceOf(const std::string& path, const std::string& root) {
    RemotePlace place;
    std::string prefix = directoryOf(path);
    prefix.erase(0, std::min(root.size(), prefix.size()));
    if (!prefix.empty() && prefix.back() == '/') {
        prefix.pop_back();
    }
    place.folder = prefix;
    place.name = storage::exturlnamewe(path);
    return place;
}

void RemoveOnline::activate() {
    m_answer = 'x';
    m_servers.clear();
    std::error_code ec;
    for (const auto& item :
         std::filesystem::directory_iterator(m_app.programFolder() + "upfiles", ec)) {
        const std::string file = item.path().filename().string();
        if (!file.ends_with(".txt")) {
            continue;
        }
        const std::string name = file.substr(0, file.find('.'));
        if (servers::loadDefinition(m_app.programFolder(), name).isFtp()) {
            m_servers.push_back(name);
        }
    }
    m_chosen = m_servers.empty() ? -1 : 0;
    changed();
}

void RemoveOnline::choose(int index) {
    m_chosen = index >= 0 && index < static_cast<int>(m_servers.size()) ? index : -1;
}

void RemoveOnline::close() {
    m_app.services().ui.hideWindow(Window::RemoveOnline);
}

void RemoveOnline::yes() {
    if (!m_servers.empty()) {
        m_answer = 'y';
    }
    close();
}

void RemoveOnline::no() {
    m_answer = 'n';
    close();
}

void RemoveOnline::cancelDeletion() {
    m_answer = 'x';
    close();
}

void RemoveOnline::serverStep(const std::string& path, const std::string& root,
                              const std::string& start, const std::string& home) {
    if (root.empty() || path.find(root) == std::string::npos) {
        return;
    }
    transfer::FtpClient& ftp = m_app.transfers().ftp();
    const RemotePlace place = remotePlaceOf(path, root);
    if (!place.folder.empty()) {
        // The root address serves the start folder, so the entry's folder lies below it,
        // where the upload put the file, and not below the server's own root.
        std::string folder = home;
        if (!folder.ends_with('/')) {
            folder += '/';
        }
        folder += place.folder.starts_with('/') ? place.folder.substr(1) : place.folder;
        ftp.cwd(folder);
    }
    ftp.dele(place.name);
    ftp.cwd("/");
    if (!start.empty()) {
        ftp.cwd(start);
    }
}

void RemoveOnline::fxremove() {
    platform::Ui& ui = m_app.services().ui;
    activate();
    ui.showWindow(Window::RemoveOnline);
    while (ui.isWindowVisible(Window::RemoveOnline)) {
        m_app.pause(1000);
    }
    if (m_answer == 'x') {
        m_answer = 'n';
        return;
    }
    transfer::Transfers& transfers = m_app.transfers();
    std::string root;
    std::string start;
    std::string home;
    if (m_answer == 'y') {
        const std::string name = m_chosen >= 0 && m_chosen < static_cast<int>(m_servers.size())
                                     ? m_servers[m_chosen]
                                     : std::string();
        const std::string definition = servers::definitionPath(m_app.programFolder(), name);
        transfers.ftpPassword.clear();
        transfers.ftpPassword = servers::loadDefinition(m_app.programFolder(), name).field("pass");
        if (transfers.ftpPassword.empty()) {
            transfers.ftpPassword =
                ui.prompt("Enter a password", "Leave blank for anonymous", "").value_or("");
        }
        transfer::ftpconnect(transfers, definition);
        ui.processEvents(0);
        home = transfers.ftp().pwd();
        start = servers::loadDefinition(m_app.programFolder(), name).field("startdirr");
        root = servers::loadDefinition(m_app.programFolder(), name).field("url");
    }
    const bool online = m_answer == 'y';
    list::PictureList& pictures = m_app.pictures();
    for (int row = pictures.size() - 1; row >= 0; --row) {
        if (row >= pictures.size() || !pictures.isSelected(row)) {
            continue;
        }
        const std::string path = pictures.at(row).path;
        if (online) {
            serverStep(path, root, start, home);
        }
        if (m_removeLocal && storage::is_local_path(path)) {
            // A failure leaves the file; a folder is never removed.
            ::unlink(path.c_str());
        }
        if (row < pictures.size() && pictures.at(row).path == path) {
            pictures.remove(row);
        }
    }
    m_app.savepicmyfile(m_app.listFileOf(m_app.currentGroup()));
    m_answer = 'n';
    transfer::ftpdisconnect(transfers);
    ui.message("Done !", transfer::kMessageCaption, platform::MessageIcon::Information);
}

}  // namespace ambrel::app
