#include "core/platform/datafolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/appfixture.h"

namespace ambrel::test {
namespace {

class DataFolderTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        for (const char* name : {"AMBREL_HOME", "XDG_DATA_HOME", "HOME"}) {
            const char* v = std::getenv(name);
            saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
        ::unsetenv("AMBREL_HOME");
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
        AppFixture::TearDown();
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(DataFolderTest, ChoosesInOrderArgumentEnvironmentProgramFolderUserData) {
    const std::string exe = root + "bin";
    std::filesystem::create_directories(exe);
    ::setenv("XDG_DATA_HOME", (root + "xdg").c_str(), 1);
    EXPECT_EQ(platform::resolveDataFolder(std::nullopt, exe), root + "xdg/myambrel/");

    std::filesystem::create_directories(exe + "/listing");
    EXPECT_EQ(platform::resolveDataFolder(std::nullopt, exe), exe + "/");

    ::setenv("AMBREL_HOME", (root + "env").c_str(), 1);
    EXPECT_EQ(platform::resolveDataFolder(std::nullopt, exe), root + "env/");
    EXPECT_EQ(platform::resolveDataFolder(root + "arg/", exe), root + "arg/");

    ::unsetenv("AMBREL_HOME");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", (root + "home").c_str(), 1);
    EXPECT_EQ(platform::resolveDataFolder(std::nullopt, root + "nowhere"),
              root + "home/.local/share/myambrel/");
}

TEST_F(DataFolderTest, LayoutIsCompletedWithoutTouchingWhatIsThere) {
    const std::string fresh = root + "fresh/";
    platform::ensureDataLayout(fresh);
    for (const char* sub : {"listing", "upfiles", "temp", "wall", "down", "conv"}) {
        EXPECT_TRUE(std::filesystem::is_directory(fresh + sub)) << sub;
    }
    EXPECT_NE(storage::readBytes(fresh + "add2.htm").find("ambrel-send"), std::string::npos);
    storage::writeFileAtomically(fresh + "add.htm", "mine");
    platform::ensureDataLayout(fresh);
    EXPECT_EQ(storage::readBytes(fresh + "add.htm"), "mine");

    storage::writeFileAtomically(root + "file", "x");
    EXPECT_THROW(platform::ensureDataLayout(root + "file/"), storage::IoError);
}

}  // namespace
}  // namespace ambrel::test
