#include "core/app/handover.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

#include "support/appfixture.h"

namespace ambrel::test {
namespace {

// The message path works from the settings held for the run: the prepend and append texts and
// "add when copying" as the dialogs hold them, whatever the options file says.
struct MessageCase {
    const char* name;
    const char* options;  // nullptr: no options file
    bool heldAddWhenCopying;
    const char* text;
    const char* expectedList;
    const char* expectedClipboard;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class HandOverMessageTest : public AppFixture, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(HandOverMessageTest, CopiesAndAddsFromTheHeldSettings) {
    const MessageCase& c = GetParam();
    if (c.options != nullptr) {
        write("options.ini", c.options);
    }
    core().startup({});
    core().createWindows();
    core().fileSettings().ifcopyaddlist = c.heldAddWhenCopying;
    core().generalSettings().ieccopyandaddbef = "<held>";
    core().generalSettings().ieccopyandaddaft = "</held>";
    clipboard.setText("untouched");

    app::receiveHandOver(core(), c.text);

    EXPECT_EQ(exists("listing/default.fifi") ? read("listing/default.fifi") : "", c.expectedList);
    EXPECT_EQ(clipboard.text(), c.expectedClipboard);
}

constexpr const char* kStoredOptions =
    "<ifcopyaddlist>yes</ifcopyaddlist>\r\n<ieccopyandaddbef>[img]</ieccopyandaddbef>\r\n"
    "<ieccopyandaddaft>[/img]</ieccopyandaddaft>";
constexpr const char* kAdded = "p||http://h/p.jpg\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOverMessageTest,
    ::testing::Values(MessageCase{"plainAdds", kStoredOptions, false, "http://h/p.jpg", kAdded,
                                  "untouched"},
                      MessageCase{"noOptionsStillCopiesAndAdds", nullptr, true, "@http://h/p.jpg",
                                  kAdded, "http://h/p.jpg"},
                      MessageCase{"copyWithHeldAddOff", kStoredOptions, false, "@http://h/p.jpg",
                                  "", "http://h/p.jpg"},
                      MessageCase{"heldTextsNotStoredOnes", kStoredOptions, false,
                                  "$http://h/p.jpg", "", "<held>http://h/p.jpg</held>"},
                      MessageCase{"heldAddOnOverStoredNo", "<ifcopyaddlist>no</ifcopyaddlist>",
                                  true, "$http://h/p.jpg", kAdded, "<held>http://h/p.jpg</held>"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(AppFixture, HandOverMessageArrivesCutTo254Bytes) {
    core().startup({});
    core().createWindows();
    const std::string link = "http://h/p.jpg?" + std::string(300, 'x');
    app::receiveHandOver(core(), "@" + link);
    EXPECT_EQ(clipboard.text(), link.substr(0, 253));
    ASSERT_EQ(core().pictures().size(), 1);
    EXPECT_EQ(core().pictures().at(0).path, link.substr(0, 253));
}

TEST_F(AppFixture, HandOverMessageOfAListedAddressAddsNothingButFitsTheColumns) {
    write("listing/default.fifi", "p||http://h/p.jpg\r\n");
    core().startup({});
    core().createWindows();
    core().pictures().setColumnWidths(5, 5);
    app::receiveHandOver(core(), "http://h/p.jpg");
    EXPECT_EQ(read("listing/default.fifi"), kAdded);
    EXPECT_EQ(core().pictures().size(), 1);
    EXPECT_GT(core().pictures().nameWidth(), 5);
}

// The start-up argument adds first and copies afterwards; the message copies first. So when
// the list cannot be written, only the message has already put the address on the clipboard.
TEST_F(AppFixture, OnlyTheMessageCopiesBeforeAFailingAdd) {
    write("options.ini", "<ifcopyaddlist>yes</ifcopyaddlist>");
    std::filesystem::create_directory(folder + "listing/default.fifi");
    clipboard.setText("untouched");
    EXPECT_THROW(core().startup({"@http://h/p.jpg"}), storage::IoError);
    EXPECT_EQ(clipboard.text(), "untouched");

    core().createWindows();
    EXPECT_FALSE(core().runCommand([&] { app::receiveHandOver(core(), "@http://h/q.jpg"); }));
    EXPECT_EQ(clipboard.text(), "http://h/q.jpg");
    ASSERT_EQ(ui.messages.size(), 1);
}

// A hand-over text is one line on every path: one holding CR, LF or NUL would write a line
// of the sender's choosing into the list file. It is refused with a message and changes
// neither the list nor the clipboard.
TEST_F(AppFixture, HandOverTextsHoldingLineBreaksAreRefusedOnEveryPath) {
    using namespace std::string_view_literals;
    const std::string texts[] = {
        "http://h/a\r\nevil||/home/user/secret.jpg",
        "http://h/a\nevil||/x.jpg",
        "http://h/a\revil||/x.jpg",
        "@http://h/a\r\nevil||/x.jpg",
        "$http://h/a\r\nevil||/x.jpg",
        std::string("http://h/a\0evil.jpg"sv),
    };
    struct Path {
        const char* name;
        std::function<void(const std::string&)> handOver;
    };
    const Path paths[] = {
        {"start-up argument", [&](const std::string& text) { core().startup({text}); }},
        {"message",
         [&](const std::string& text) { EXPECT_FALSE(app::receiveHandOver(core(), text)); }},
    };
    write("options.ini", kStoredOptions);
    for (const Path& path : paths) {
        for (const std::string& text : texts) {
            SCOPED_TRACE(std::string(path.name) + ": " + text);
            app.reset();
            ui.messages.clear();
            clipboard.setText("untouched");
            core().createWindows();
            core().fileSettings().ifcopyaddlist = true;

            path.handOver(text);

            EXPECT_FALSE(exists("listing/default.fifi"));
            EXPECT_EQ(core().pictures().size(), 0);
            EXPECT_EQ(clipboard.text(), "untouched");
            ASSERT_EQ(ui.messages.size(), 1U);
            EXPECT_EQ(ui.messages[0].text, integration::kMultiLineHandOver);
        }
    }
}

}  // namespace
}  // namespace ambrel::test
