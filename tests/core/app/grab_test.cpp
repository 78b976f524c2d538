#include "core/app/grab.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "core/storage/listfile.h"
#include "core/web/browseurl.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using storage::Entry;

// Pages served from a table; a missing page is a 404, a page of status 401 asks for the
// authorization retry, which serves retryPage.
class FakePages final : public web::PageFetcher {
public:
    struct Reply {
        int status = 200;
        std::string text;
        std::string finalAddress;  // empty: the address asked for
    };
    std::map<std::string, Reply> pages;
    web::FetchedPage retryPage;
    std::vector<std::string> gets;
    std::vector<std::string> retries;
    std::optional<std::pair<std::string, std::string>> credentials;

    web::FetchedPage get(const std::string& address) override {
        gets.push_back(address);
        const auto it = pages.find(address);
        if (it == pages.end()) {
            throw web::FetchError("HTTP/1.1 404 Not Found", 404);
        }
        if (it->second.status != 200) {
            throw web::FetchError("HTTP/1.1 401 Unauthorized", it->second.status);
        }
        return {it->second.text,
                it->second.finalAddress.empty() ? address : it->second.finalAddress};
    }
    void setCredentials(const std::string& user, const std::string& password) override {
        credentials = {user, password};
    }
    web::FetchedPage relayb(const std::string& address) override {
        retries.push_back(address);
        return retryPage;
    }
};

class GrabTest : public AppFixture {
protected:
    app::Grab& grab() {
        if (!m_grab) {
            core().startup({});
            m_grab = std::make_unique<app::Grab>(core(), pages);
        }
        return *m_grab;
    }
    std::vector<std::string> shownPaths() {
        std::vector<std::string> paths;
        for (const Entry& e : core().pictures().entries()) {
            paths.push_back(e.path);
        }
        return paths;
    }

    FakePages pages;
    std::unique_ptr<app::Grab> m_grab;
};

const char* const kPage =
    R"(<img src="pic.jpg"><img src='/img/thumb_x.jpg'><IMG SRC="x">)"
    R"(<img src="https://cdn.net/y.jpg"><img src="pic.jpg"><img src="a.gif">)"
    R"(<a href="mailto:me@h"><a href="#top"><a href="../up.html"><a href="b.jpg">)";

TEST_F(GrabTest, PicturesPassingTheFiltersAreAddedOnceInPageOrder) {
    write("listing/default.fifi", "a||http://h/a/a.gif\r\nold||http://h/a/pic.jpg");
    pages.pages["http://h/a/b.html"] = {200, kPage, ""};
    grab().address = "http://h/a/b.html";
    core().grabFilters() = {"http*.jpg", "thumb"};
    grab().grab();

    EXPECT_EQ(core().linkList(),
              (std::vector<std::string>{"http://h/a/pic.jpg", "http://h/img/thumb_x.jpg", "x",
                                        "https://cdn.net/y.jpg", "http://h/a/pic.jpg",
                                        "http://h/a/a.gif"}));
    // pic.jpg is new as "pic||…": the list held it under another name.
    EXPECT_EQ(read("listing/default.fifi"),
              "a||http://h/a/a.gif\r\nold||http://h/a/pic.jpg\r\n"
              "pic||http://h/a/pic.jpg\r\ny||https://cdn.net/y.jpg\r\n");
    EXPECT_EQ(shownPaths(),
              (std::vector<std::string>{"http://h/a/a.gif", "http://h/a/pic.jpg",
                                        "http://h/a/pic.jpg", "https://cdn.net/y.jpg"}));
    EXPECT_EQ(ui.busyDepth, 0);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(GrabTest, LinksOfAPageReachedThroughARedirectResolveAgainstWhereItCameFrom) {
    pages.pages["http://h/old"] = {200, kPage, "https://new.h:8443/dir/page.html"};
    grab().address = "http://h/old";
    grab().grabPictures = false;
    grab().grab();
    EXPECT_EQ(core().linkList(), (std::vector<std::string>{"https://new.h:8443//up.html",
                                                           "https://new.h:8443/dir/b.jpg"}));
    EXPECT_EQ(shownPaths(), core().linkList());
}

TEST_F(GrabTest, BatchedAddsLeaveWhatAddsOneAfterTheOtherLeave) {
    // Duplicates within the batch and against the file, a file without its last line break,
    // a text with a line break in it and an excluded extension.
    const std::vector<std::string> links = {
        "http://h/1.jpg", "http://h/2.jpg",      "http://h/1.jpg", "http://h/old.jpg",
        "http://h/x.exe", "http://h/a\r\nb.jpg", "http://h/3.jpg", "https://h/2.jpg"};
    const std::string start = "old||http://h/old.jpg\r\nz||http://h/z.jpg";
    write("listing/default.fifi", start);
    core().startup({});
    core().fileSettings().usetheextfeature = true;
    core().fileSettings().excextensions = ".exe;";
    core().linkList() = links;
    core().addinlistfromlinklist();
    const std::string batched = read("listing/default.fifi");
    const auto batchedView = shownPaths();

    write("listing/default.fifi", start);
    core().startup({});
    for (const std::string& link : links) {
        if (link.find('\n') == std::string::npos) {
            core().addlinkifnew(link, app::NameRule::Url);
        }
    }
    EXPECT_EQ(batched, read("listing/default.fifi"));
    EXPECT_EQ(batchedView, shownPaths());
    EXPECT_EQ(batched, start +
                           "\r\n1||http://h/1.jpg\r\n2||http://h/2.jpg\r\n3||http://h/3.jpg\r\n"
                           "2||https://h/2.jpg\r\n");
}

TEST_F(GrabTest, AddsShownBeforeAnErrorAreWritten) {
    core().startup({});
    core().withBatchedAdds([&] {
        core().addlinkifnew("http://h/1.jpg", app::NameRule::Url);
        EXPECT_FALSE(exists("listing/default.fifi")) << "held back until the end";
        // Later adds see the held-back ones.
        core().addlinkifnew("http://h/1.jpg", app::NameRule::Url);
        EXPECT_FALSE(core().newLinkFlag());
    });
    EXPECT_EQ(read("listing/default.fifi"), "1||http://h/1.jpg\r\n");

    EXPECT_THROW(core().withBatchedAdds([&] {
        core().addlinkifnew("http://h/2.jpg", app::NameRule::Url);
        throw std::runtime_error("cut");
    }),
                 std::runtime_error);
    EXPECT_EQ(read("listing/default.fifi"), "1||http://h/1.jpg\r\n2||http://h/2.jpg\r\n");
}

TEST_F(GrabTest, FailuresAndTheAuthorizationRetry) {
    struct Case {
        const char* name;
        std::string address;
        int status;  // 0: no such page
        bool dialogShown;
        std::optional<std::pair<std::string, std::string>> credentials;
        std::vector<std::string> messages;
        std::vector<std::string> linkList;
    } cases[] = {
        {"a 404 is reported once",
         "http://h/missing.html",
         0,
         false,
         std::nullopt,
         {"Error : HTTP/1.1 404 Not Found"},
         {}},
        {"a 401 asks the dialog",
         "http://h/a/p.html",
         401,
         true,
         std::nullopt,
         {},
         {"http://h/a/ok.jpg"}},
        {"a 401 takes the address's credentials",
         "http://me:pw@h/a/p.html",
         401,
         false,
         std::pair<std::string, std::string>{"me", "pw"},
         {},
         {"http://h/a/ok.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pages = FakePages();
        if (c.status != 0) {
            pages.pages[c.address] = {c.status, "", ""};
        }
        pages.retryPage = {R"(<img src="ok.jpg">)", ""};
        ui.messages.clear();
        int waits = 0;
        ui.onProcessEvents = [&] {
            if (++waits == 3) {
                ui.hideWindow(platform::Window::Authorization);
            }
        };
        grab().address = c.address;
        grab().grab();
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) {
            texts.push_back(m.text);
            EXPECT_EQ(m.icon, platform::MessageIcon::Information);
        }
        EXPECT_EQ(texts, c.messages);
        EXPECT_EQ(waits >= 3, c.dialogShown);
        EXPECT_FALSE(ui.isWindowVisible(platform::Window::Authorization));
        EXPECT_EQ(pages.credentials, c.credentials);
        EXPECT_EQ(pages.retries.size(), c.status == 401 ? 1U : 0U);
        EXPECT_EQ(core().linkList(), c.linkList);
        EXPECT_EQ(ui.busyDepth, 0);
    }
}

TEST_F(GrabTest, ActivationTakesAWebAddressFromTheClipboard) {
    struct Case {
        const char* clipboard;
        const char* address;
    } cases[] = {
        {"HTTP://h/page.html", "HTTP://h/page.html"},
        {"https://h/page.html", "https://h/page.html"},
        {"http://h/two\nlines", "http://h/two\nlines"},
        {"ftp://h/page.html", "kept"},
        {"http:/", "kept"},
        {"", "kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard);
        grab().address = "kept";
        clipboard.setText(c.clipboard);
        grab().activated();
        EXPECT_EQ(grab().address, c.address);
    }
}

TEST_F(GrabTest, OpenShowsTheDialogAndHelpOpensItsPage) {
    grab().open();
    EXPECT_TRUE(ui.isWindowVisible(platform::Window::Grab));
    grab().help();
    EXPECT_EQ(shell.startedArguments(),
              std::vector<std::string>{
                  "http://www.corvane.net/diderozeroz/how_to_extract_links_from_a_webpage.html"});
}

}  // namespace
}  // namespace ambrel::test
