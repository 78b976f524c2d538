#include "core/app/uploadsettingswindow.h"

#include "core/servers/definition.h"
#include "core/storage/settings.h"

namespace ambrel::app {

UploadSettingsWindow::UploadSettingsWindow(Tmyambrel& app)
    : m_app(app),
      m_ftpAdd(app, servers::FtpDialogKind::Add),
      m_ftpEdit(app, servers::FtpDialogKind::Edit) {
    const auto relay = [this] { listChanged(); };
    m_ftpAdd.setListListener(relay);
    m_ftpEdit.setListListener(relay);
}

void UploadSettingsWindow::show() {
    m_app.services().ui.showWindow(platform::Window::UploadSettings);
}

void UploadSettingsWindow::select(int index) {
    m_app.uploadSettings().select(index);
}

void UploadSettingsWindow::edit() {
    const std::string name = m_app.uploadSettings().current();
    const servers::ServerDefinition definition =
        servers::loadDefinition(m_app.programFolder(), name);
    if (!definition.isFtp()) {
        m_app.services().ui.message(kNotEditableYet, "Upload settings",
                                    platform::MessageIcon::Information);
        return;
    }
    m_ftpEdit.fill(name, definition);
    m_ftpEdit.show();
}

void UploadSettingsWindow::deleteSelected() {
    servers::UploadSettingsList& list = m_app.uploadSettings();
    if (list.selected() < 0) {
        return;
    }
    if (!m_app.services().ui.askYesNo("Confirmation to delete ?", "Confirm")) {
        return;
    }
    list.deleteSelected(m_app.programFolder());
    listChanged();
}

void UploadSettingsWindow::setDefault() {
    const std::string& folder = m_app.programFolder();
    if (!m_app.optionsFileExists()) {
        storage::savesettingfilesettingcontext(folder, m_app.fileSettings());
        storage::savegeneralsettingcontext(folder, m_app.generalSettings());
    }
    m_app.uploadSettings().savedefaultcontext(folder);
}

void UploadSettingsWindow::addFtpUpload() {
    m_ftpAdd.show();
}

std::vector<platform::Window> UploadSettingsWindow::editorsToBringInFront() const {
    std::vector<platform::Window> visible;
    for (platform::Window w : {platform::Window::AddFtpServer, platform::Window::EditFtpServer,
                               platform::Window::GetFormData, platform::Window::EditFormData}) {
        if (m_app.services().ui.isWindowVisible(w)) {
            visible.push_back(w);
        }
    }
    return visible;
}

void UploadSettingsWindow::setListListener(std::function<void()> listener) {
    m_listChanged = std::move(listener);
}

void UploadSettingsWindow::listChanged() {
    if (m_listChanged) {
        m_listChanged();
    }
}

}  // namespace ambrel::app
