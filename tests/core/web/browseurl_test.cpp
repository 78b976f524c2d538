#include "core/web/browseurl.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/tempfolder.h"

namespace ambrel::test {
namespace {

class BrowseUrlTest : public TempFolderTest {};

TEST_F(BrowseUrlTest, StartsTheQuotedProgramWithTheAddressAsItsOneArgument) {
    using Start = platform::FakeShell::Start;
    struct Case {
        const char* name;
        std::optional<std::string> command;  // nullopt: no key in the store
        bool opened;
        std::vector<Start> started;
    } cases[] = {
        {"nothing registered: the desktop's opener",
         std::nullopt,
         true,
         {{"/usr/bin/xdg-open", {"http://h/a b.html"}}}},
        {"options after the path are dropped",
         R"("/opt/ff/firefox" -osint -url "%1")",
         true,
         {{"/opt/ff/firefox", {"http://h/a b.html"}}}},
        {"an empty command opens nothing", "", false, {}},
        {"a path without quotes opens nothing", "/usr/bin/firefox %1", false, {}},
        {"one quote alone opens nothing", "\"/usr/bin/firefox %1", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::RegistryStore registry(m_dir + "store.reg");
        registry.deleteKey(web::kHtmlOpenCommandKey);
        if (c.command) {
            ASSERT_TRUE(registry.createKey(web::kHtmlOpenCommandKey));
            ASSERT_TRUE(registry.setString(web::kHtmlOpenCommandKey, "", *c.command));
        }
        platform::FakeShell shell;
        EXPECT_EQ(web::BrowseURL(registry, shell, "http://h/a b.html"), c.opened);
        EXPECT_EQ(shell.started, c.started);
    }
}

TEST_F(BrowseUrlTest, ABrowserThatCannotStartIsNotReported) {
    platform::RegistryStore registry(m_dir + "store.reg");
    ASSERT_TRUE(registry.createKey(web::kHtmlOpenCommandKey));
    ASSERT_TRUE(registry.setString(web::kHtmlOpenCommandKey, "", "\"" + m_dir + "none\" \"%1\""));
    platform::XdgShell shell;
    EXPECT_TRUE(web::BrowseURL(registry, shell, "http://h/"));
}

TEST_F(BrowseUrlTest, ACommandRegisteredByAnotherProgramIsSeen) {
    platform::RegistryStore mine(m_dir + "store.reg");
    platform::RegistryStore other(m_dir + "store.reg");
    ASSERT_TRUE(other.createKey(web::kHtmlOpenCommandKey));
    ASSERT_TRUE(other.setString(web::kHtmlOpenCommandKey, "", "\"/usr/bin/links\""));
    platform::FakeShell shell;
    EXPECT_TRUE(web::BrowseURL(mine, shell, "http://h/"));
    EXPECT_EQ(shell.startedArguments(), std::vector<std::string>{"http://h/"});
    ASSERT_EQ(shell.started.size(), 1U);
    EXPECT_EQ(shell.started[0].program, "/usr/bin/links");
}

}  // namespace
}  // namespace ambrel::test
