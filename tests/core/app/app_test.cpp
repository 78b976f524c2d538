#include <gtest/gtest.h>

#include "core/integration/contextmenu.h"
#include "core/storage/names.h"
#include "core/storage/tagfile.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using app::NameRule;
using storage::Entry;

class StartupTest : public AppFixture {};

TEST_F(StartupTest, WithoutDefaultListStartsEmptyAndFirstAddCreatesIt) {
    core().startup({});
    EXPECT_TRUE(core().pictures().empty());
    EXPECT_EQ(core().currentGroup(), "default");
    EXPECT_FALSE(exists("listing/default.fifi"));

    core().addonelink("http://host/a/pic.jpg");
    EXPECT_EQ(read("listing/default.fifi"), "pic||http://host/a/pic.jpg\r\n");
    ASSERT_EQ(core().pictures().size(), 1);
    EXPECT_EQ(core().pictures().at(0), (Entry{"pic", "http://host/a/pic.jpg"}));
}

TEST_F(StartupTest, LoadsDefaultListListsGroupsAndOpensTheStartPage) {
    write("listing/default.fifi", "a||http://h/a.jpg\r\nb||/home/u/b.png\r\n");
    write("listing/zoo.fifi", "");
    write("listing/Holiday.fifi", "");
    write("listing/notes.txt", "");
    core().startup({});

    EXPECT_EQ(core().pictures().entries(),
              (std::vector<Entry>{{"a", "http://h/a.jpg"}, {"b", "/home/u/b.png"}}));
    EXPECT_EQ(core().targetItems(), (std::vector<std::string>{"", "default", "Holiday", "zoo"}));
    EXPECT_EQ(core().targetIndex(), 0);
    EXPECT_EQ(core().targetListFile(), folder + "listing/default.fifi");
    EXPECT_GT(core().pictures().nameWidth(), list::PictureList::kInitialNameWidth - 1);
    ASSERT_EQ(browser.navigations.size(), 1U);
    EXPECT_EQ(browser.navigations[0], storage::kMakerStartPage);
}

TEST_F(StartupTest, StartPageComesFromTheOptionsWhenSet) {
    write("options.ini", "<defaultwebpage>http://my/start.html</defaultwebpage>");
    core().startup({});
    EXPECT_EQ(browser.navigations.back(), "http://my/start.html");
}

TEST_F(StartupTest, AListThatCannotBeReadLeavesThePictureListAsItWas) {
    core().startup({});
    core().addonelink("http://h/kept.jpg");
    EXPECT_FALSE(core().runCommand([&] { core().loadpicmyfile(folder + "listing/gone.fifi"); }));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages[0].text.find("gone.fifi"), std::string::npos);
    EXPECT_EQ(core().pictures().size(), 1);
}

// The start-up hand-over: add first, then the clipboard; nothing at all without options.
struct HandOverCase {
    const char* name;
    bool options;
    const char* ifcopyaddlist;
    const char* argument;
    const char* expectedList;
    const char* expectedClipboard;
};

void PrintTo(const HandOverCase& c, std::ostream* os) {
    *os << c.name;
}

class HandOverTest : public AppFixture, public ::testing::WithParamInterface<HandOverCase> {};

TEST_P(HandOverTest, AddsAndCopiesAsTheMarkerSays) {
    const HandOverCase& c = GetParam();
    if (c.options) {
        write("options.ini", std::string("<ifcopyaddlist>") + c.ifcopyaddlist +
                                 "</ifcopyaddlist>\r\n<ieccopyandaddbef>[img]</ieccopyandaddbef>"
                                 "\r\n<ieccopyandaddaft>[/img]</ieccopyandaddaft>");
    }
    clipboard.setText("untouched");
    core().startup({c.argument, "ignored-second-argument"});
    EXPECT_EQ(exists("listing/default.fifi") ? read("listing/default.fifi") : "", c.expectedList);
    EXPECT_EQ(clipboard.text(), c.expectedClipboard);
    EXPECT_EQ(core().pictures().size(), std::string(c.expectedList).empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOverTest,
    ::testing::Values(
        HandOverCase{"plain", true, "no", "http://h/p.jpg", "p||http://h/p.jpg\r\n", "untouched"},
        HandOverCase{"copyOnly", true, "no", "@http://h/p.jpg", "", "http://h/p.jpg"},
        HandOverCase{"copyAndAdd", true, "yes", "@http://h/p.jpg", "p||http://h/p.jpg\r\n",
                     "http://h/p.jpg"},
        HandOverCase{"wrapped", true, "no", "$http://h/p.jpg", "", "[img]http://h/p.jpg[/img]"},
        HandOverCase{"wrappedAndAdded", true, "yes", "$http://h/p.jpg", "p||http://h/p.jpg\r\n",
                     "[img]http://h/p.jpg[/img]"},
        HandOverCase{"noOptionsPlain", false, "", "http://h/p.jpg", "", "untouched"},
        HandOverCase{"noOptionsCopy", false, "", "@http://h/p.jpg", "", "untouched"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(StartupTest, ExcludedExtensionIsReadFromTheOptionsWhenStartedWithAnArgument) {
    write("options.ini",
          "<usetheextfeature>yes</usetheextfeature><excextensions>.gif;"
          "</excextensions>");
    core().startup({"http://h/a.gif"});
    EXPECT_FALSE(exists("listing/default.fifi"));
    core().addonelink("http://h/b.css");  // the held first-run list is not what counts here
    EXPECT_EQ(read("listing/default.fifi"), "b||http://h/b.css\r\n");
}

TEST_F(StartupTest, ALinkAlreadyInTheListIsNotAddedAgain) {
    write("options.ini", "<ifcopyaddlist>yes</ifcopyaddlist>");
    write("listing/default.fifi", "p||http://h/p.jpg\r\n");
    core().startup({"http://h/p.jpg"});
    EXPECT_EQ(read("listing/default.fifi"), "p||http://h/p.jpg\r\n");
    EXPECT_EQ(core().pictures().size(), 1);
}

class AddTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        write("listing/default.fifi", "");
        write("listing/other.fifi", "");
        core().startup({});
        core().createWindows();
    }
};

TEST_F(AddTest, LinksWithoutSchemeOrPathAreIgnored) {
    for (const char* link : {"www.host.com/pic.jpg", "", "x", "relative/p.jpg"}) {
        SCOPED_TRACE(link);
        core().addonelink(link);
    }
    EXPECT_EQ(read("listing/default.fifi"), "");
    EXPECT_TRUE(core().pictures().empty());
}

TEST_F(AddTest, SecureAndLocalLinksAreShownAndWritten) {
    core().addonelink("https://h/s.png");
    core().addonelink("/home/u/my pics/cat.2005.jpg");
    core().addonelink("C:\\pics\\dog.jpg");
    EXPECT_EQ(read("listing/default.fifi"),
              "s||https://h/s.png\r\ncat||/home/u/my pics/cat.2005.jpg\r\n"
              "dog||C:\\pics\\dog.jpg\r\n");
    EXPECT_EQ(core().pictures().size(), 3);
    // Reloading shows exactly what was shown.
    const auto shown = core().pictures().entries();
    core().loadpicmyfile(core().targetListFile());
    EXPECT_EQ(core().pictures().entries(), shown);
}

TEST_F(AddTest, HeldExtensionFilterAppliesWithoutArguments) {
    core().addonelink("http://h/script.js");
    EXPECT_TRUE(core().pictures().empty());
    core().fileSettings().usetheextfeature = false;  // unsaved change in the dialog counts
    core().addonelink("http://h/script.js");
    EXPECT_EQ(core().pictures().size(), 1);
}

TEST_F(AddTest, ALinkForAnotherGroupGoesOnlyIntoItsFile) {
    core().setTargetIndex(2);  // "", "default", "other"
    ASSERT_EQ(core().targetGroupName(), "other");
    core().addonelink("http://h/o.jpg");
    EXPECT_EQ(read("listing/other.fifi"), "o||http://h/o.jpg\r\n");
    EXPECT_TRUE(core().pictures().empty());
    // Choosing "default" by name is the same group as the empty first item.
    core().setTargetIndex(1);
    core().addonelink("http://h/d.jpg");
    EXPECT_EQ(core().pictures().size(), 1);
}

TEST_F(AddTest, AddLinkIfNewUsesTheGivenNameRuleForTheDuplicateTest) {
    write("listing/default.fifi", "pic||/data/pic.x.jpg\r\n");
    core().addlinkifnew("/data/pic.x.jpg", NameRule::File);
    EXPECT_FALSE(core().newLinkFlag());
    core().addlinkifnew("http://h/Pic.jpg", NameRule::Url);
    EXPECT_TRUE(core().newLinkFlag());
    core().addlinkifnew("http://h/Pic.jpg", NameRule::Url);
    EXPECT_FALSE(core().newLinkFlag());
    EXPECT_EQ(read("listing/default.fifi"), "pic||/data/pic.x.jpg\r\nPic||http://h/Pic.jpg\r\n");
}

TEST_F(AddTest, LinkListAddsWebLinksThroughTheGrabFilters) {
    core().linkList() = {"http://h/a/1.jpg", "http://h/b/2.jpg", "ftp://h/3.jpg",
                         "HTTP://h/a/4.jpg", "http://h/a/5.gif", "http://h/a/1.jpg"};
    core().grabFilters().include = "/a/*.";
    core().grabFilters().exclude = ".gif";
    core().addinlistfromlinklist();
    EXPECT_EQ(read("listing/default.fifi"), "1||http://h/a/1.jpg\r\n");
    EXPECT_EQ(core().linkList().size(), 6U);  // the link list is kept
}

TEST_F(AddTest, AddUrlDialogAddsWebLinesOnlyThenClearsAndCloses) {
    core().showAddUrl();
    EXPECT_TRUE(ui.isWindowVisible(platform::Window::AddUrl));
    EXPECT_FALSE(ui.isWindowVisible(platform::Window::Main));
    core().setAddUrlText("x");
    core().addUrlAdd(
        "http://h/one.jpg\r\nHTTP://h/caps.jpg\nnot a link\n https://h/sp.jpg\n"
        "https://h/two.png\n");
    EXPECT_EQ(read("listing/default.fifi"), "one||http://h/one.jpg\r\ntwo||https://h/two.png\r\n");
    EXPECT_EQ(core().addUrlText(), "");
    EXPECT_FALSE(ui.isWindowVisible(platform::Window::AddUrl));
    core().addUrlClosed();
    EXPECT_TRUE(ui.isWindowVisible(platform::Window::Main));
}

TEST_F(AddTest, ColumnsWidenForLongNamesButNeverShrinkTheNameColumn) {
    core().setTextWidthMeasure([](const std::string& s) { return static_cast<int>(s.size()); });
    core().addonelink("http://h/" + std::string(100, 'n') + ".jpg");
    core().adresizescroll();
    EXPECT_EQ(core().pictures().nameWidth(), 120);
    EXPECT_EQ(core().pictures().pathWidth(), 9 + 104 + 20);
    core().addonelink("http://h/s.jpg");  // a path no wider than 20 leaves the column
    core().adresizescroll();
    EXPECT_EQ(core().pictures().pathWidth(), 133);
    core().addonelink("http://h/shortest.jpg");
    core().adresizescroll();
    EXPECT_EQ(core().pictures().nameWidth(), 120);
    EXPECT_EQ(core().pictures().pathWidth(), 21 + 20);
}

class PreviewTest : public AddTest {};

TEST_F(PreviewTest, NavigatesToTheFirstSelectedEntryUnlessFiltered) {
    for (const char* link : {"http://h/a.jpg", "/home/u/b c.png", "C:\\v\\clip.avi",
                             "/home/u/clip.AVI", "https://h/s.png", "/home/u/take.2:30"}) {
        core().addonelink(link);
    }
    core().fileSettings().excextensions.clear();
    browser.navigations.clear();
    struct Case {
        std::vector<int> rows;
        const char* expected;  // "" when the browser must stay where it was
    } cases[] = {{{1, 0}, "http://h/a.jpg"},
                 {{1}, "file:///home/u/b c.png"},
                 {{2}, ""},
                 {{3}, ""},
                 {{4}, "https://h/s.png"},
                 // Its extension is ".2:30": no extension would count as listed.
                 {{5}, "file:///home/u/take.2:30"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows.front());
        browser.navigations.clear();
        core().pictures().setSelection(c.rows);
        if (*c.expected == '\0') {
            EXPECT_TRUE(browser.navigations.empty());
        } else {
            EXPECT_EQ(browser.navigations, std::vector<std::string>{c.expected});
        }
    }
    core().fileSettings().webusetheextfeature = false;
    core().pictures().setSelection({2});
    EXPECT_EQ(browser.navigations.back(), "file:///C:\\v\\clip.avi");
}

TEST_F(AppFixture, FirstActivationWritesTheOptionsFileOnceAndSetsTheCaption) {
    registry->createKey(integration::contextMenuKey(integration::kContextMenuEntries[2]));
    core().startup({});
    core().createWindows();
    EXPECT_EQ(core().caption(), "My ambrel");
    core().onActivate();
    EXPECT_EQ(core().caption(), "My ambrel v1.01");
    const std::string text = read("options.ini");
    EXPECT_EQ(storage::getfromstrxml(text, "useupset"), "1");
    EXPECT_EQ(storage::getfromstrxml(text, "ieccopyandadd"), "yes");
    EXPECT_EQ(storage::getfromstrxml(text, "ieccopyandaddbef"), "[img]");
    EXPECT_EQ(storage::getfromstrxml(text, "iecaddtolist"), "");
    EXPECT_TRUE(text.starts_with("<downdir>" + folder + "down</downdir>\r\n"));
    core().fileSettings().thumbext = ".changed";
    core().onActivate();  // the file exists now: nothing more is written
    EXPECT_EQ(read("options.ini"), text);
}

TEST_F(AppFixture, UploadDefaultSelectsTheStoredPosition) {
    write("upfiles/alpha.txt", "<url>u</url>\r\n<ftp>\r\n");
    write("upfiles/beta.txt", "<url>u</url>\r\n<ftp>\r\n");
    write("options.ini", "<useupset>2</useupset>");
    core().createWindows();
    EXPECT_EQ(core().uploadSettings().current(), "beta");
    write("options.ini", "<useupset>7</useupset>");
    core().createWindows();
    EXPECT_EQ(core().uploadSettings().current(), "");
    std::filesystem::remove(folder + "options.ini");
    core().createWindows();
    EXPECT_EQ(core().uploadSettings().current(), "alpha");
}

TEST_F(AppFixture, GroupsAndUploadDefinitionsComeInTheSameFolderOrder) {
    for (const std::string name : {"zeta", "Alpha", "a_b", "ab"}) {
        write("listing/" + name + ".fifi", "");
        write("upfiles/" + name + ".txt", "<url>u</url>\r\n<ftp>\r\n");
    }
    core().startup({});
    core().createWindows();
    const std::vector<std::string> order = {"a_b", "ab", "Alpha", "zeta"};
    EXPECT_EQ(core().uploadSettings().names(), order);
    EXPECT_EQ(core().targetItems(), (std::vector<std::string>{"", "a_b", "ab", "Alpha", "zeta"}));
}

TEST_F(AppFixture, PauseKeepsProcessingEventsUntilTheTimeHasPassed) {
    int seen = 0;
    ui.onProcessEvents = [&] { ++seen; };
    core().pause(0);
    EXPECT_GE(seen, 1);
    const auto start = std::chrono::steady_clock::now();
    core().pause(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

TEST_F(AppFixture, ClosingDeselectsEverything) {
    core().addonelink("http://h/a.jpg");
    core().addonelink("http://h/b.jpg");
    core().pictures().setSelection({0, 1});
    core().onClose();
    EXPECT_TRUE(core().pictures().selectedRows().empty());
}

}  // namespace
}  // namespace ambrel::test
