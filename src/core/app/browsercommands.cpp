#include "core/app/browsercommands.h"

#include "core/web/browseurl.h"

namespace ambrel::app {

BrowserCommands::BrowserCommands(Tmyambrel& app) : m_app(app) {
    m_app.services().browser.setListener(this);
}

BrowserCommands::~BrowserCommands() {
    m_app.services().browser.setListener(nullptr);
}

void BrowserCommands::goToUrl() {
    const auto address = m_app.services().ui.prompt("Go to this url", "Please your link", "");
    if (address) {
        m_app.services().browser.navigate(*address);
    }
}

void BrowserCommands::goForward() {
    m_app.services().browser.goForward();
}

void BrowserCommands::goBack() {
    m_app.services().browser.goBack();
}

void BrowserCommands::stop() {
    m_app.services().browser.stop();
    if (m_stopTransfers) {
        m_stopTransfers();
    }
}

void BrowserCommands::openInExternalBrowser() {
    const Services& s = m_app.services();
    web::BrowseURL(s.registry, s.shell, s.browser.currentAddress());
}

void BrowserCommands::openMakersSite() {
    const Services& s = m_app.services();
    web::BrowseURL(s.registry, s.shell, web::makerPage(""));
}

void BrowserCommands::help() {
    const Services& s = m_app.services();
    web::BrowseURL(s.registry, s.shell, web::makerPage(web::kAddPicturesHelpPage));
}

void BrowserCommands::setHistoryListener(std::function<void(bool, bool)> listener) {
    m_historyListener = std::move(listener);
    if (m_historyListener) {
        m_historyListener(m_forward, m_back);
    }
}

void BrowserCommands::documentComplete() {
    platform::Browser& browser = m_app.services().browser;
    if (browser.imageCount() == 1 && browser.imageWidth(0) > kFittedWidth) {
        browser.setImageWidth(0, kFittedWidth);
    }
}

void BrowserCommands::commandStateChange(int command, bool enabled) {
    if (command == platform::kCommandForward) {
        m_forward = enabled;
    } else if (command == platform::kCommandBack) {
        m_back = enabled;
    } else {
        return;
    }
    if (m_historyListener) {
        m_historyListener(m_forward, m_back);
    }
}

}  // namespace ambrel::app
