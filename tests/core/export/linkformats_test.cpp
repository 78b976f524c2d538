#include "core/export/linkformats.h"
#include "core/app/linkcopy.h"

#include <gtest/gtest.h>

#include "core/app/linkbuilder.h"
#include "core/export/linkbuilder.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using app::LinkBuilder;
using platform::Window;

class LinkFormatsTest : public AppFixture {
protected:
    void show(std::vector<list::Entry> entries, const std::vector<int>& selected) {
        core().pictures().assign(std::move(entries));
        core().pictures().setSelection(selected);
    }
    const std::vector<list::Entry> three = {
        {"one", "http://h/1.jpg"}, {"two", "/p/say \"cheese\" & 2.jpg"}, {"three", "c:\\p\\3.jpg"}};
};

TEST_F(LinkFormatsTest, FormsListTheSelectionLastFirst) {
    LinkBuilder builder(core());
    struct Case {
        const char* name;
        void (*run)(app::Tmyambrel&, LinkBuilder&);
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"url", [](app::Tmyambrel& a, LinkBuilder&) { app::copyurllinks(a); },
         "c:\\p\\3.jpg\r\n/p/say \"cheese\" & 2.jpg\r\nhttp://h/1.jpg"},
        {"html", [](app::Tmyambrel& a, LinkBuilder&) { app::copyhtmllinks(a); },
         "<img src=\"c:\\p\\3.jpg\"><br>\r\n<img src=\"/p/say \"cheese\" & 2.jpg\"><br>\r\n"
         "<img src=\"http://h/1.jpg\">"},
        {"bbcode", [](app::Tmyambrel& a, LinkBuilder& b) { app::bbcdecop(a, b); },
         "[img]c:\\p\\3.jpg[/img]\r\n[img]/p/say \"cheese\" & 2.jpg[/img]\r\n"
         "[img]http://h/1.jpg[/img]"},
    };
    show(three, {0, 1, 2});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clipboard.setText("before");
        c.run(core(), builder);
        EXPECT_EQ(clipboard.text(), c.expected);
    }
    EXPECT_FALSE(ui.isWindowVisible(Window::LinkBuilder));
}

TEST_F(LinkFormatsTest, EmptySelectionEmptiesTheClipboardExceptForBBCode) {
    LinkBuilder builder(core());
    show(three, {});
    clipboard.setText("before");
    app::bbcdecop(core(), builder);
    EXPECT_EQ(clipboard.text(), "before");
    EXPECT_FALSE(ui.isWindowVisible(Window::LinkBuilder));
    app::copyhtmllinks(core());
    EXPECT_EQ(clipboard.text(), "");
}

TEST_F(LinkFormatsTest, OneSelectedEntryOpensTheLinkBuilderForBBCode) {
    LinkBuilder builder(core());
    show(three, {1});
    clipboard.setText("before");
    app::bbcdecop(core(), builder);
    EXPECT_EQ(clipboard.text(), "before");
    EXPECT_TRUE(ui.isWindowVisible(Window::LinkBuilder));
    EXPECT_EQ(builder.thumbnail(), three[1].path);
    app::copyurllinks(core());
    EXPECT_EQ(clipboard.text(), three[1].path);
}

TEST_F(LinkFormatsTest, AnEmptyFirstPathStartsNoSeparator) {
    show({{"one", "http://h/1.jpg"}, {"two", "http://h/2.jpg"}, {"empty", ""}}, {0, 1, 2});
    app::copyurllinks(core());
    EXPECT_EQ(clipboard.text(), "http://h/2.jpg\r\nhttp://h/1.jpg");
}

}  // namespace
}  // namespace ambrel::test
