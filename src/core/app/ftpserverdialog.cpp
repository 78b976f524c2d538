#include "core/app/ftpserverdialog.h"

namespace ambrel::app {

namespace {
constexpr const char* kMessageCaption = "My Ambrel";
}  // namespace

FtpServerDialog::FtpServerDialog(Tmyambrel& app, servers::FtpDialogKind kind)
    : m_app(app),
      m_kind(kind),
      m_caption(kind == servers::FtpDialogKind::Add ? kAddCaption : kEditCaption) {}

platform::Window FtpServerDialog::window() const {
    return m_kind == servers::FtpDialogKind::Add ? platform::Window::AddFtpServer
                                                 : platform::Window::EditFtpServer;
}

void FtpServerDialog::setName(std::string name) {
    m_name = std::move(name);
    if (m_kind == servers::FtpDialogKind::Edit) {
        m_caption = m_name == m_app.uploadSettings().current() ? kEditCaption : kEditAsNewCaption;
    }
}

void FtpServerDialog::fill(const std::string& name, const servers::ServerDefinition& d) {
    m_values.url = d.field("url");
    m_values.port = d.field("port");
    m_values.host = d.field("host");
    m_values.login = d.field("login");
    m_values.pass = d.field("pass");
    m_values.dir = d.field("dir");
    m_values.notfound = d.field("notfound");
    m_values.startdirr = d.field("startdirr");
    setName(name);
    m_values.passive = d.field("passive") == "y";
    changed();
}

void FtpServerDialog::show() {
    m_app.services().ui.showWindow(window());
}

bool FtpServerDialog::ok() {
    const std::string& folder = m_app.programFolder();
    const std::string refusal = servers::ftpSaveRefusal(folder, m_name, m_values, m_kind);
    if (!refusal.empty()) {
        m_app.services().ui.message(refusal, kMessageCaption, platform::MessageIcon::Information);
        return false;
    }
    servers::writeDefinition(folder, m_name, servers::ftpDefinitionText(m_values));

    // A name already listed (the definition edited, or another one overwritten) is not
    // listed twice.
    servers::UploadSettingsList& list = m_app.uploadSettings();
    if (!list.contains(m_name)) {
        list.insert(m_name);
    }
    try {
        list.reselectDefault(folder);
    } catch (...) {
        if (m_listChanged) {
            m_listChanged();
        }
        throw;
    }
    if (m_listChanged) {
        m_listChanged();
    }
    m_app.services().ui.hideWindow(window());
    return true;
}

void FtpServerDialog::cancel() {
    if (m_kind == servers::FtpDialogKind::Edit) {
        m_values = servers::FtpDefinition{};
        setName({});
        changed();
    }
    m_app.services().ui.hideWindow(window());
}

void FtpServerDialog::changed() {
    if (m_changed) {
        m_changed();
    }
}

}  // namespace ambrel::app
