#include "core/app/downloadlist.h"

#include <vector>

#include "core/app/app.h"
#include "core/storage/names.h"
#include "core/storage/textfile.h"
#include "core/transfer/download.h"
#include "core/transfer/textrules.h"

namespace ambrel::app {

using platform::Window;

void DownloadList::fxdownload() {
    std::string lines;
    storage::forEachLine(m_app.services().clipboard.text(), [&lines](std::string_view line) {
        if (storage::is_web_address(line)) {
            lines.append(line);
            lines += '\n';
        }
    });
    m_text = std::move(lines);
    changed();
    m_app.services().ui.showWindow(Window::DownloadList);
}

void DownloadList::cancel() {
    m_app.services().ui.hideWindow(Window::DownloadList);
}

void DownloadList::download() {
    platform::Ui& ui = m_app.services().ui;
    transfer::Transfers& transfers = m_app.transfers();
    transfer::ProgressState& progress = transfers.progress();
    progress.cancelFlag = 'y';
    ui.hideWindow(Window::DownloadList);
    ui.showWindow(Window::Progress);
    progress.setOverall(0);

    std::vector<std::string> lines;
    storage::forEachLine(m_text, [&lines](std::string_view line) { lines.emplace_back(line); });
    const std::size_t n = lines.size();
    const bool addToList = m_addToList;
    const std::string folder = m_app.fileSettings().downdir;
    for (std::size_t i = 0; i < n; ++i) {
        if (progress.cancelFlag == 'n') {
            break;
        }
        const std::string& url = lines[i];
        if (!storage::is_web_address(url)) {
            continue;
        }
        progress.setOverall(static_cast<int>(i * 100 / n));
        const std::string urlName = storage::exturlnamewe(url);
        if (!transfer::isUsableFileName(urlName)) {
            // "", "." or ".." would name the folder itself, not a file in it.
            transfer::showTransferError(transfers, "The address names no file: " + url);
            continue;
        }
        const std::string file = folder + "/" + transfer::freelocalname(folder, urlName);
        ui.processEvents(0);
        try {
            transfer::filetodownload(transfers, url, file);
        } catch (const storage::IoError&) {
            ui.hideWindow(Window::Progress);
            throw;
        }
        if (addToList && transfer::GetFileSize(file) > 0) {
            m_app.addonelink(file);
            m_app.adresizescroll();
        }
    }
    ui.hideWindow(Window::Progress);
    ui.hideWindow(Window::DownloadList);
}

}  // namespace ambrel::app
