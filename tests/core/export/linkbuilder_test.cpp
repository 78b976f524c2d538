#include "core/app/linkbuilder.h"
#include "core/export/linkbuilder.h"

#include <gtest/gtest.h>

#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using app::LinkBuilder;
using linkexport::Rect;
using linkexport::ThumbnailService;
using platform::Window;

class LinkBuilderTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        core().pictures().assign(
            {{"a", "http://h/a.jpg"}, {"b", "http://h/b.jpg"}, {"c", "/p/c.jpg"}});
        builder = std::make_unique<LinkBuilder>(core());
        builder->setChangeListener([this] { ++changes; });
    }
    void TearDown() override {
        builder.reset();
        AppFixture::TearDown();
    }
    void select(int row) { core().pictures().setSelection({row}); }

    std::unique_ptr<LinkBuilder> builder;
    int changes = 0;
};

TEST_F(LinkBuilderTest, SelectionFillsThumbnailThenLinkWhileVisible) {
    select(0);
    EXPECT_EQ(builder->thumbnail(), "") << "a hidden dialog takes nothing";

    ui.showWindow(Window::LinkBuilder);
    select(1);
    EXPECT_EQ(builder->thumbnail(), "http://h/b.jpg");
    EXPECT_EQ(builder->link(), "");
    select(2);
    EXPECT_EQ(builder->link(), "/p/c.jpg");
    select(0);
    EXPECT_EQ(builder->thumbnail(), "http://h/b.jpg");
    EXPECT_EQ(builder->link(), "http://h/a.jpg") << "further clicks replace the link";
    EXPECT_EQ(changes, 3);

    // The browser filter does not hold the feed back.
    core().fileSettings().webusetheextfeature = true;
    core().fileSettings().webexcextensions = ".jpg;";
    builder->clearThumbnail();
    select(2);
    EXPECT_EQ(builder->thumbnail(), "/p/c.jpg");
}

TEST_F(LinkBuilderTest, OpeningFillsAnEmptyThumbnailAndClosingEmptiesBoth) {
    core().pictures().setSelection({1, 2});
    builder->open();
    EXPECT_TRUE(ui.isWindowVisible(Window::LinkBuilder));
    EXPECT_EQ(builder->thumbnail(), "http://h/b.jpg");

    builder->setThumbnail("typed");
    builder->activated();
    EXPECT_EQ(builder->thumbnail(), "typed") << "a filled thumbnail is kept";

    builder->setLink("somewhere");
    builder->closed();
    EXPECT_EQ(builder->thumbnail(), "");
    EXPECT_EQ(builder->link(), "");
}

TEST_F(LinkBuilderTest, CopyFormsFollowTheFields) {
    struct Case {
        const char* link;
        const char* thumbnail;
        const char* html;
        const char* bbcode1;
        const char* bbcode2;
    };
    const std::vector<Case> cases = {
        {"http://l", "http://t", "<a href=\"http://l\"><img src=\"http://t\"></img></a>",
         "[url=http://l][img]http://t[/img][/url]", "[url=http://l][img=http://t][/url]"},
        {"", "http://t", "<img src=\"http://t\">", "[img]http://t[/img]", "[img]http://t[/img]"},
        {"http://l", "", "<a href=\"http://l\"><img src=\"\"></img></a>",
         "[url=http://l][img][/img][/url]", "[url=http://l][img=][/url]"},
        {"", "", "<a href=\"\"><img src=\"\"></img></a>", "[url=][img][/img][/url]",
         "[url=][img=][/url]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("link '") + c.link + "', thumbnail '" + c.thumbnail + "'");
        builder->setLink(c.link);
        builder->setThumbnail(c.thumbnail);
        builder->copyForHtml();
        EXPECT_EQ(clipboard.text(), c.html);
        builder->copyBBcode1();
        EXPECT_EQ(clipboard.text(), c.bbcode1);
        builder->copyBBcode2();
        EXPECT_EQ(clipboard.text(), c.bbcode2);
    }
}

TEST(ThumbnailAddress, RulesOfTheServices) {
    struct Case {
        ThumbnailService service;
        const char* in;
        const char* out;
    };
    const std::vector<Case> cases = {
        {ThumbnailService::Imageshack, "http://i.us/img/pic.jpg", "http://i.us/img/pic.th.jpg"},
        {ThumbnailService::Imageshack, "http://i.us/a.jpg/a.jpg", "http://i.us/a.th.jpg/a.th.jpg"},
        {ThumbnailService::Imageshack, "http://i.us/img/pic", "http://i.us/img/pic"},
        {ThumbnailService::Imageshack, "http://i.us/img/pic.JPG", "http://i.us/img/pic.th.JPG"},
        {ThumbnailService::Suprfile, "http://s.com/src/1/x/src/1/p.jpg",
         "http://s.com/src/2/x/src/2/p.jpg"},
        {ThumbnailService::Imagecraze, "http://c.com/uploads/p.jpg",
         "http://c.com/thumb/thumb_p.jpg"},
        {ThumbnailService::Imagecraze, "http://c.com/Uploads/p.jpg", "http://c.com/Uploads/p.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(linkexport::thumbnailAddress(c.service, c.in), c.out);
    }
}

TEST_F(LinkBuilderTest, ServiceCommandsRewriteTheFields) {
    struct Case {
        const char* name;
        ThumbnailService service;
        const char* thumbnailBefore;
        const char* linkBefore;
        const char* thumbnailAfter;
        const char* linkAfter;
    };
    const std::vector<Case> cases = {
        {"thumbnail only: it becomes the link", ThumbnailService::Imageshack, "http://i/pic.jpg",
         "", "http://i/pic.th.jpg", "http://i/pic.jpg"},
        {"link only: the thumbnail is made from it", ThumbnailService::Suprfile, "",
         "http://s/src/1/p.jpg", "http://s/src/2/p.jpg", "http://s/src/1/p.jpg"},
        {"both, imageshack: from the link", ThumbnailService::Imageshack, "http://x/old.png",
         "http://i/pic.jpg", "http://i/pic.th.jpg", "http://i/pic.jpg"},
        {"both, imagecraze: the thumbnail in place", ThumbnailService::Imagecraze,
         "http://c/uploads/t.jpg", "http://c/uploads/l.jpg", "http://c/thumb/thumb_t.jpg",
         "http://c/uploads/l.jpg"},
        {"both empty: nothing", ThumbnailService::Imagecraze, "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        builder->setThumbnail(c.thumbnailBefore);
        builder->setLink(c.linkBefore);
        builder->rewriteFor(c.service);
        EXPECT_EQ(builder->thumbnail(), c.thumbnailAfter);
        EXPECT_EQ(builder->link(), c.linkAfter);
    }
}

TEST(LinkBuilderPlacement, BesideTheMainWindowAndOnScreen) {
    const Rect screen{0, 0, 1920, 1080};
    struct Case {
        const char* name;
        Rect main;
        int left;
        int top;
    };
    const std::vector<Case> cases = {
        {"room on the left", {800, 100, 1000, 700}, 800 - 400 + 100, 100 + 300},
        {"main window at the screen's left edge", {0, 100, 1000, 700}, 0, 400},
        {"main window low on the screen", {800, 900, 1000, 700}, 500, 1080 - 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rect placed = linkexport::placeBesideMain(c.main, 400, 300, screen);
        EXPECT_EQ(placed.left, c.left);
        EXPECT_EQ(placed.top, c.top);
    }
}

}  // namespace
}  // namespace ambrel::test
