#include "core/app/browsercommands.h"

#include <gtest/gtest.h>

#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using Image = platform::FakeBrowser::Image;

class BrowserCommandsTest : public AppFixture {
protected:
    app::BrowserCommands& commands() {
        if (!m_commands) {
            m_commands = std::make_unique<app::BrowserCommands>(core());
        }
        return *m_commands;
    }
    std::unique_ptr<app::BrowserCommands> m_commands;
};

TEST_F(BrowserCommandsTest, APictureShownAloneIsFittedTo270Wide) {
    struct Case {
        const char* name;
        std::vector<Image> images;
        std::vector<Image> after;
    } cases[] = {
        {"800 wide", {{800, 600}}, {{270, 202}}},
        {"271 wide", {{271, 100}}, {{270, 99}}},
        {"270 wide", {{270, 100}}, {{270, 100}}},
        {"200 wide", {{200, 100}}, {{200, 100}}},
        {"two pictures", {{800, 600}, {900, 10}}, {{800, 600}, {900, 10}}},
        {"no picture", {}, {}},
    };
    commands();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        browser.images = c.images;
        browser.completeLoad();
        ASSERT_EQ(browser.images.size(), c.after.size());
        for (std::size_t i = 0; i < c.after.size(); ++i) {
            EXPECT_EQ(browser.images[i].width, c.after[i].width);
            EXPECT_EQ(browser.images[i].height, c.after[i].height);
        }
    }
}

TEST_F(BrowserCommandsTest, ForwardAndBackFollowTheHistory) {
    std::vector<std::pair<bool, bool>> states;
    commands().setHistoryListener([&](bool f, bool b) { states.emplace_back(f, b); });
    browser.navigate("http://h/1");
    browser.navigate("http://h/2");
    browser.completeLoad();
    commands().goBack();
    browser.completeLoad();
    commands().goForward();
    browser.completeLoad();
    commands().commandStateChange(3, true);
    commands().commandStateChange(-1, true);
    EXPECT_EQ(states, (std::vector<std::pair<bool, bool>>{{false, false},
                                                          {false, false},
                                                          {false, true},
                                                          {true, true},
                                                          {true, true},
                                                          {false, true},
                                                          {false, true}}));
    EXPECT_EQ(browser.currentAddress(), "http://h/2");
}

TEST_F(BrowserCommandsTest, GoToUrlNavigatesToTheAnswerAsTyped) {
    ui.promptAnswers = {std::string(), std::nullopt, std::string(" http://h/x ")};
    commands().goToUrl();
    commands().goToUrl();
    commands().goToUrl();
    EXPECT_EQ(browser.navigations, (std::vector<std::string>{"", " http://h/x "}));
}

TEST_F(BrowserCommandsTest, StopCutsThePageAndTheTransfers) {
    int transfersStopped = 0;
    commands().setTransferStop([&] { ++transfersStopped; });
    commands().stop();
    EXPECT_EQ(browser.stops, 1);
    EXPECT_EQ(transfersStopped, 1);
}

TEST_F(BrowserCommandsTest, ExternalBrowserAndHelpPages) {
    browser.navigate("http://h/page one.html");
    commands().openInExternalBrowser();
    commands().openMakersSite();
    commands().help();
    EXPECT_EQ(shell.startedArguments(),
              (std::vector<std::string>{"http://h/page one.html", "http://www.corvane.net/",
                                        "http://www.corvane.net/diderozeroz/add_pictures.html"}));
}

}  // namespace
}  // namespace ambrel::test
