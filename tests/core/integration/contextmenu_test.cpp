#include "core/integration/contextmenu.h"

#include <gtest/gtest.h>

#include "core/platform/datafolder.h"
#include "core/storage/settings.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using integration::kContextMenuEntries;

class ContextMenuTest : public AppFixture {
protected:
    std::string key(std::size_t i) const {
        return integration::contextMenuKey(kContextMenuEntries.at(i));
    }
    std::string option(const char* name) const { return storage::readOption(folder, name); }
};

TEST_F(ContextMenuTest, InstallWritesTheTargetAndTheImageContext) {
    integration::switchContextEntry(*registry, folder, 0, true);
    EXPECT_EQ(key(0),
              "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\"
              "&Add to Zovururo");
    EXPECT_EQ(registry->stringValue(key(0), ""), folder + "add.htm");
    const auto contexts = registry->value(key(0), "Contexts");
    ASSERT_TRUE(contexts.has_value());
    EXPECT_EQ(contexts->type, platform::RegistryStore::Type::Binary);
    EXPECT_EQ(contexts->data, std::string(1, '\x02'));
    // What another process reads from the store's file.
    platform::RegistryStore other(registry->file());
    EXPECT_EQ(other.stringValue(key(0), ""), folder + "add.htm");
    EXPECT_FALSE(other.keyExists(key(1)));
}

TEST(ContextMenuTarget, DoublesEveryBackslashOfTheFolder) {
    EXPECT_EQ(integration::contextMenuTarget("C:\\Tools\\Pix\\", kContextMenuEntries[0]),
              "C:\\\\Tools\\\\Pix\\\\add.htm");
    EXPECT_EQ(integration::contextMenuTarget("/home/u/pix/", kContextMenuEntries[2]),
              "/home/u/pix/add3.htm");
}

// Switching a box: the registry first, then the options key only when the registry step
// went through and the options file exists.
struct SwitchCase {
    const char* name;
    const char* options;  // nullptr: no options file
    bool keyBefore;
    bool on;
    bool keyAfter;
    const char* optionAfter;  // nullptr: no options file afterwards
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class SwitchTest : public ContextMenuTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchTest, KeepsRegistryAndOptionsInLine) {
    const SwitchCase& c = GetParam();
    if (c.options != nullptr) {
        write("options.ini", c.options);
    }
    if (c.keyBefore) {
        ASSERT_TRUE(integration::installContextEntry(*registry, folder, kContextMenuEntries[1]));
    }
    integration::switchContextEntry(*registry, folder, 1, c.on);
    EXPECT_EQ(registry->keyExists(key(1)), c.keyAfter);
    if (c.optionAfter == nullptr) {
        EXPECT_FALSE(exists("options.ini"));
    } else {
        EXPECT_EQ(option("ieccopytoclip"), c.optionAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwitchTest,
    ::testing::Values(
        SwitchCase{"onWritesYes", "<thumbext>.tn</thumbext>", false, true, true, "yes"},
        SwitchCase{"onWithoutOptionsWritesNoFile", nullptr, false, true, true, nullptr},
        SwitchCase{"offOverYesWritesNo", "<ieccopytoclip>yes</ieccopytoclip>", true, false, false,
                   "no"},
        // The key was deleted by hand: the box's click ends there, so the next start
        // installs the entry again.
        SwitchCase{"offWithoutKeyKeepsYes", "<ieccopytoclip>yes</ieccopytoclip>", false, false,
                   false, "yes"},
        SwitchCase{"offOverOtherValueWritesNothing", "<ieccopytoclip>maybe</ieccopytoclip>", true,
                   false, false, "maybe"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ContextMenuTest, AStoreThatCannotBeWrittenLeavesTheOptionsAlone) {
    write("options.ini", "<ieccopytoclip>no</ieccopytoclip>");
    write("blocker", "a file where the store's folder should be");
    platform::RegistryStore blocked(folder + "blocker/registry.reg");
    integration::switchContextEntry(blocked, folder, 1, true);
    EXPECT_FALSE(blocked.keyExists(key(1)));
    EXPECT_EQ(option("ieccopytoclip"), "no");
}

TEST_F(ContextMenuTest, StartUpRewritesEveryEntrySwitchedOn) {
    write("options.ini",
          "<iecaddtolist>yes</iecaddtolist>\r\n<ieccopytoclip>no</ieccopytoclip>\r\n"
          "<ieccopyandadd>yes</ieccopyandadd>");
    // An entry left behind by a copy that lived in another folder.
    ASSERT_TRUE(registry->createKey(key(2)));
    ASSERT_TRUE(registry->setString(key(2), "", "/old/place/add3.htm"));
    core().createWindows();
    EXPECT_EQ(registry->stringValue(key(0), ""), folder + "add.htm");
    EXPECT_FALSE(registry->keyExists(key(1)));
    EXPECT_EQ(registry->stringValue(key(2), ""), folder + "add3.htm");
}

TEST_F(ContextMenuTest, WithoutOptionsAnExistingEntryIsSwitchedOnAndRewritten) {
    ASSERT_TRUE(registry->createKey(key(2)));
    ASSERT_TRUE(registry->setString(key(2), "", "/old/place/add3.htm"));
    core().createWindows();
    const storage::GeneralSettings& general = core().generalSettings();
    EXPECT_TRUE(general.ieccopyandadd);
    EXPECT_FALSE(general.iecaddtolist);
    EXPECT_EQ(general.ieccopyandaddbef, "[img]");
    EXPECT_EQ(general.ieccopyandaddaft, "[/img]");
    EXPECT_EQ(registry->stringValue(key(2), ""), folder + "add3.htm");
    EXPECT_FALSE(registry->keyExists(key(0)));
    EXPECT_FALSE(exists("options.ini"));
}

TEST_F(ContextMenuTest, EachEntrysPageHandsOverWithItsMarkerAndSaysHowByHand) {
    for (const integration::ContextMenuEntry& entry : kContextMenuEntries) {
        SCOPED_TRACE(entry.scriptFile);
        const std::string page = read(entry.scriptFile);
        EXPECT_EQ(page, platform::handOverPage(entry.marker));
        std::string menuText = entry.keyName;
        menuText.replace(0, 1, "&amp;");
        EXPECT_NE(page.find(menuText), std::string::npos);
        EXPECT_NE(page.find("var marker = \"" + std::string(entry.marker) + "\";"),
                  std::string::npos);
        EXPECT_NE(page.find("encodeURIComponent(marker + picture.src)"), std::string::npos);
        EXPECT_NE(page.find("ambrel-send '" + std::string(entry.marker) + "http://"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace ambrel::test
