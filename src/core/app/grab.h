#pragma once

#include <string>

#include "core/app/app.h"
#include "core/web/pagefetch.h"

namespace ambrel::app {

// "Add links from an address" (Form4): an address, what to grab, the filters (held by the
// application object, never stored) and the "use "src"" box.
class Grab final {
public:
    static constexpr const char* kCaption = "Add links from an address";

    Grab(Tmyambrel& app, web::PageFetcher& pages);

    std::string address;
    bool grabPictures = true;  // "Grab pictures", else "Grab links"
    bool useSrc = false;       // "use "src""

    web::GrabFilters& filters() { return m_app.grabFilters(); }

    // Shows the dialog (the main window's "Grab from url" and the popup's two items).
    void open();
    // The dialog became active: a web address on the clipboard becomes the address.
    void activated();
    // "Grab !": scans the page for pictures or links and adds what passes the filters, under
    // the busy cursor, which is back to normal when it ends however it ends.
    void grab();
    // "help": the maker's page about this dialog in the external browser.
    void help();

    // The scans: fetch the page at the address as typed and fill the link list.
    void GetimgInHTMLDoc(const std::string& pageAddress);
    void GetLinksInHTMLDoc(const std::string& pageAddress);

private:
    web::FetchedPage fetch(const std::string& pageAddress);

    Tmyambrel& m_app;
    web::PageFetcher& m_pages;
};

}  // namespace ambrel::app
