#include "core/platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "core/storage/textfile.h"

namespace ambrel::test {
namespace {

class XdgShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ambrel-shell-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = std::string(pattern) + "/";
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // A stand-in opener that writes the argument it was given into a file.
    std::string recordingOpener() {
        const std::string script = dir + "opener";
        storage::writeFileAtomically(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + dir +
                                                 "arg.part\" && mv \"" + dir + "arg.part\" \"" +
                                                 dir + "arg\"\n");
        ::chmod(script.c_str(), 0700);
        return script;
    }
    std::string waitForArgument() {
        for (int i = 0; i < 500 && !storage::fileExists(dir + "arg"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return storage::fileExists(dir + "arg") ? storage::readBytes(dir + "arg") : "(none)";
    }

    std::string dir;
};

TEST_F(XdgShellTest, HandsTheTargetOverAsOnePlainArgument) {
    platform::XdgShell shell(recordingOpener());
    const std::string target = dir + "my pics/it's \"$(touch " + dir + "ran)\";`x`";
    shell.openFolder(target);
    EXPECT_EQ(waitForArgument(), target);
    EXPECT_FALSE(std::filesystem::exists(dir + "ran"));
}

TEST_F(XdgShellTest, AMissingOpenerIsAnError) {
    platform::XdgShell shell(dir + "no-such-opener");
    EXPECT_THROW(shell.openFolder("/tmp"), std::runtime_error);
}

}  // namespace
}  // namespace ambrel::test
