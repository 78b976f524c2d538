#include "core/app/generalsettings.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "core/integration/contextmenu.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using app::PopupTicks;

PopupTicks ticked(std::initializer_list<int> nodes) {
    PopupTicks ticks{};
    for (int n : nodes) {
        ticks.at(static_cast<std::size_t>(n)) = true;
    }
    return ticks;
}

// A click in the tree: the ticks after the control changed the clicked node, and the ticks
// (and shown items) the rule leaves.
struct TreeCase {
    const char* name;
    PopupTicks afterClick;
    PopupTicks expected;
};

void PrintTo(const TreeCase& c, std::ostream* os) {
    *os << c.name;
}

class TreeRuleTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(TreeRuleTest, ParentsFollowTheirChildren) {
    storage::GeneralSettings s;
    const PopupTicks shown = app::treeClicked(s, GetParam().afterClick);
    EXPECT_EQ(shown, GetParam().expected);
    EXPECT_EQ(s.popupmenuitem, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeRuleTest,
    ::testing::Values(
        TreeCase{"childTicksItsParent", ticked({19}), ticked({18, 19})},
        TreeCase{"parentStaysWhileAChildIsTicked", ticked({18, 20}), ticked({18, 20})},
        TreeCase{"lastChildUntickedUnticksParent", ticked({18}), ticked({})},
        TreeCase{"parentAloneCannotBeTicked", ticked({15}), ticked({})},
        TreeCase{"eachGroupOnItsOwn", ticked({9, 11, 17, 43}), ticked({0, 9, 10, 11, 15, 17, 43})}),
    [](const auto& row) { return std::string(row.param.name); });

class GeneralFormTest : public AppFixture {};

TEST_F(GeneralFormTest, TreeChoicesAreStoredAsTrueAndFalse) {
    write("options.ini", "<thumbext>.tn</thumbext>");
    core().createWindows();
    app::treeClicked(core().generalSettings(), ticked({19}));
    app::saveGeneralSettings(core());
    EXPECT_EQ(storage::readOption(folder, "popupmenuitem18"), "true");
    EXPECT_EQ(storage::readOption(folder, "popupmenuitem19"), "true");
    app::treeClicked(core().generalSettings(), ticked({}));
    app::saveGeneralSettings(core());
    EXPECT_EQ(storage::readOption(folder, "popupmenuitem18"), "false");
    EXPECT_EQ(storage::readOption(folder, "popupmenuitem19"), "false");
    EXPECT_EQ(storage::readOption(folder, "popupmenuitem0"), "");
}

TEST_F(GeneralFormTest, CustomCopyBoxInstallsAndUntickingEmptiesItsTexts) {
    write("options.ini", "<ieccopyandaddbef>[b]</ieccopyandaddbef>");
    core().createWindows();
    storage::GeneralSettings& s = core().generalSettings();
    const std::string key = integration::contextMenuKey(integration::kContextMenuEntries[2]);

    app::contextBoxClicked(core(), 2, true);
    EXPECT_TRUE(app::prependAppendOffered(s));
    EXPECT_TRUE(registry->keyExists(key));
    EXPECT_EQ(storage::readOption(folder, "ieccopyandadd"), "yes");
    s.ieccopyandaddaft = "[/b]";

    app::contextBoxClicked(core(), 2, false);
    EXPECT_FALSE(app::prependAppendOffered(s));
    EXPECT_EQ(s.ieccopyandaddbef, "");
    EXPECT_EQ(s.ieccopyandaddaft, "");
    EXPECT_FALSE(registry->keyExists(key));
    EXPECT_EQ(storage::readOption(folder, "ieccopyandadd"), "no");
    // The stored texts change only with "Save".
    EXPECT_EQ(storage::readOption(folder, "ieccopyandaddbef"), "[b]");
}

TEST_F(GeneralFormTest, HelpOpensTheMakersHelpPage) {
    app::showHelp(core());
    EXPECT_EQ(shell.startedArguments(),
              (std::vector<std::string>{"http://www.corvane.net/zovururo_help_en.html"}));
}

}  // namespace
}  // namespace ambrel::test
