#include "core/app/grab.h"

#include "core/web/address.h"
#include "core/web/browseurl.h"
#include "core/web/scan.h"

namespace ambrel::app {

namespace {

bool beginsWithNoCase(const std::string& text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if ((text[i] | 0x20) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// The busy cursor for the length of a scope, whatever ends it.
class BusyCursor {
public:
    explicit BusyCursor(platform::Ui& ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyCursor() { m_ui.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    platform::Ui& m_ui;
};

}  // namespace

Grab::Grab(Tmyambrel& app, web::PageFetcher& pages) : m_app(app), m_pages(pages) {}

void Grab::open() {
    m_app.services().ui.showWindow(platform::Window::Grab);
}

void Grab::activated() {
    const std::string text = m_app.services().clipboard.text();
    if (beginsWithNoCase(text, "http://") || beginsWithNoCase(text, "https://")) {
        address = text;
    }
}

void Grab::grab() {
    const BusyCursor busy(m_app.services().ui);
    if (grabPictures) {
        GetimgInHTMLDoc(address);
    } else {
        GetLinksInHTMLDoc(address);
    }
    m_app.addinlistfromlinklist();
    if (!m_app.pictures().empty()) {
        m_app.adresizescroll();
    }
}

void Grab::help() {
    web::BrowseURL(m_app.services().registry, m_app.services().shell,
                   web::makerPage(web::kGrabHelpPage));
}

web::FetchedPage Grab::fetch(const std::string& pageAddress) {
    m_app.linkList().clear();
    platform::Ui& ui = m_app.services().ui;
    const auto report = [&ui](const web::FetchError& e) {
        ui.message(std::string("Error : ") + e.what(), "Information",
                   platform::MessageIcon::Information);
    };
    try {
        return m_pages.get(pageAddress);
    } catch (const web::FetchError& e) {
        if (e.code() != 401) {
            report(e);
            return {};
        }
    }
    if (pageAddress.find('@') == std::string::npos) {
        ui.showWindow(platform::Window::Authorization);
        while (ui.isWindowVisible(platform::Window::Authorization)) {
            m_app.pause(200);
        }
    } else {
        const web::Credentials c = web::credentialsIn(pageAddress);
        m_pages.setCredentials(c.user, c.password);
    }
    web::FetchedPage page;
    try {
        page = m_pages.relayb(pageAddress);
    } catch (const web::FetchError& e) {
        // The retry is not retried again.
        report(e);
        return {};
    }
    if (page.address.empty()) {
        page.address = pageAddress;
    }
    return page;
}

void Grab::GetimgInHTMLDoc(const std::string& pageAddress) {
    const web::FetchedPage page = fetch(pageAddress);
    m_app.linkList() = web::imageAddresses(page.text, page.address, useSrc);
}

void Grab::GetLinksInHTMLDoc(const std::string& pageAddress) {
    const web::FetchedPage page = fetch(pageAddress);
    m_app.linkList() = web::linkAddresses(page.text, page.address);
}

}  // namespace ambrel::app
