#include "core/app/filesettings.h"

#include <gtest/gtest.h>

#include <regex>

#include "core/app/generalsettings.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using app::FolderField;

// The keys of the options file in the order they stand.
std::string keysOf(const std::string& text) {
    std::string keys;
    const std::regex open("<([a-z0-9]+)>");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), open);
         it != std::sregex_iterator(); ++it) {
        keys += (keys.empty() ? "" : " ") + (*it)[1].str();
    }
    return keys;
}

class SettingsFormTest : public AppFixture {
protected:
    app::Tmyambrel& started() {
        core().startup({});
        core().createWindows();
        return core();
    }
};

struct FolderCase {
    const char* name;
    std::optional<std::string> chosen;
    bool changed;
    const char* field;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class ChooseFolderTest : public SettingsFormTest,
                         public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ChooseFolderTest, PutsTheChosenFolderIntoTheField) {
    const FolderCase& c = GetParam();
    started().fileSettings().convdir = "/before";
    ui.folderAnswers.push_back(c.chosen);
    EXPECT_EQ(app::chooseFolder(core(), FolderField::Conversion), c.changed);
    EXPECT_EQ(core().fileSettings().convdir, c.field);
    EXPECT_EQ(core().fileSettings().downdir, folder + "down");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseFolderTest,
    ::testing::Values(FolderCase{"folder", "/home/u/pics", true, "/home/u/pics"},
                      FolderCase{"driveRootLosesItsBackslash", "C:\\", true, "C:"},
                      FolderCase{"trailingSlashDropped", "/home/u/pics/", true, "/home/u/pics"},
                      FolderCase{"posixRootStays", "/", true, "/"},
                      FolderCase{"cancelKeepsTheField", std::nullopt, false, "/before"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SettingsFormTest, OpenShowsTheFieldsFolderOrTheRoot) {
    started().fileSettings().downdir = folder + "down";
    core().fileSettings().convdir = folder + "missing";
    app::openFolder(core(), FolderField::Download);
    app::openFolder(core(), FolderField::Conversion);
    EXPECT_EQ(shell.openedFolders, (std::vector<std::string>{folder + "down", "/"}));
}

TEST_F(SettingsFormTest, UntickingRenameAlsoUnticksOverwriteAndSavesNoForBoth) {
    write("options.ini",
          "<renamefile>yes</renamefile>\r\n<renameandoverwrite>yes</renameandoverwrite>");
    storage::FileSettings& s = started().fileSettings();
    ASSERT_TRUE(app::overwriteOffered(s));
    app::setRenameFile(s, false);
    EXPECT_FALSE(s.renameandoverwrite);
    EXPECT_FALSE(app::overwriteOffered(s));
    app::saveFileSettings(core());
    EXPECT_EQ(storage::readOption(folder, "renamefile"), "no");
    EXPECT_EQ(storage::readOption(folder, "renameandoverwrite"), "no");
}

// A first save from either dialog makes a file that holds every group: the upload default,
// then the other dialog's group, then its own.
TEST_F(SettingsFormTest, FirstSaveWritesTheOtherGroupsFirst) {
    const std::string fileKeys =
        "downdir convdir thumbext excextensions ifcopyaddlist usetheextfeature webexcextensions "
        "webusetheextfeature";
    const std::string generalKeys = "resizetoscreen timebetweenpictures defaultwebpage";

    started();
    app::saveFileSettings(core());
    EXPECT_EQ(keysOf(read("options.ini")), "useupset " + generalKeys + " " + fileKeys);

    std::filesystem::remove(folder + "options.ini");
    app::saveGeneralSettings(core());
    EXPECT_EQ(keysOf(read("options.ini")), "useupset " + fileKeys + " " + generalKeys);

    // Saved again unchanged, nothing is written.
    const auto written = std::filesystem::last_write_time(folder + "options.ini");
    const std::string before = read("options.ini");
    app::saveGeneralSettings(core());
    app::saveFileSettings(core());
    EXPECT_EQ(read("options.ini"), before);
    EXPECT_EQ(std::filesystem::last_write_time(folder + "options.ini"), written);
}

}  // namespace
}  // namespace ambrel::test
