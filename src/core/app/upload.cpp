#include "core/app/upload.h"

#include <cstdio>

#include "core/app/app.h"
#include "core/servers/definition.h"
#include "core/storage/names.h"
#include "core/transfer/download.h"
#include "core/transfer/textrules.h"
#include "core/transfer/upload.h"

namespace ambrel::app {

using platform::Window;

void fxupload(Tmyambrel& app) {
    platform::Ui& ui = app.services().ui;
    transfer::Transfers& transfers = app.transfers();
    transfer::ProgressState& progress = transfers.progress();
    progress.cancelFlag = 'y';
    transfers.ftpPassword.clear();

    const std::string name = app.uploadSettings().current();
    const std::string definition = servers::definitionPath(app.programFolder(), name);
    std::string directory;
    if (servers::loadDefinition(app.programFolder(), name).isFtp()) {
        directory = transfer::ftpprepare(transfers, definition);
    }
    ui.showWindow(Window::Progress);
    progress.setOverall(0);

    list::PictureList& pictures = app.pictures();
    int k = 0;
    // Positions are read afresh at each step: the list may change while a transfer waits.
    for (int row = 0; row < pictures.size(); ++row) {
        if (progress.cancelFlag == 'n') {
            break;
        }
        if (!pictures.isSelected(row)) {
            continue;
        }
        ++k;
        const int selected = static_cast<int>(pictures.selectedRows().size());
        progress.setOverall(selected > 0 ? k * 100 / selected : 100);
        ui.processEvents(0);
        const std::string path = pictures.at(row).path;
        if (storage::is_local_path(path)) {
            const servers::ServerDefinition def =
                servers::loadDefinition(app.programFolder(), name);
            if (def.isHtml()) {
                app.addonelink(transfer::htmluploadfile(transfers, definition, path));
            } else if (def.isFtp()) {
                app.addonelink(
                    transfer::ftpuploadfile(transfers, definition, path, path, directory));
            }
        } else if (storage::is_web_address(path)) {
            const std::string fileName = storage::exturlnamewe(path);
            if (!transfer::isUsableFileName(fileName)) {
                transfer::showTransferError(transfers, "The address names no file: " + path);
                break;
            }
            const std::string copy = app.programFolder() + "temp/" + fileName;
            transfer::filetodownload(transfers, path, copy);
            if (transfer::GetFileSize(copy) == 0) {
                break;
            }
            ui.processEvents(0);
            const servers::ServerDefinition def =
                servers::loadDefinition(app.programFolder(), name);
            if (def.isHtml()) {
                app.addonelink(transfer::htmluploadfile(transfers, definition, copy));
            } else if (def.isFtp()) {
                app.addonelink(
                    transfer::ftpuploadfile(transfers, definition, copy, path, directory));
                std::remove(copy.c_str());
            }
        }
    }
    transfer::ftpdisconnect(transfers);
    app.adresizescroll();
    progress.cancelFlag = 'y';
    ui.hideWindow(Window::Progress);
}

}  // namespace ambrel::app
