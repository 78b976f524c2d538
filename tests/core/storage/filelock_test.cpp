#include "core/storage/filelock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::storage {
namespace {

class FileLockTest : public test::TempFolderTest {};

// A command holding a list's lock calls helpers that take it again; another thread (like
// another process) waits for the last release.
TEST_F(FileLockTest, NestsInOneThreadAndHoldsOthersOff) {
    const std::string file = m_dir + "default.fifi";
    EXPECT_EQ(FileLock::lockFileFor(file), m_dir + ".default.fifi.lock");

    std::optional<FileLock> outer(std::in_place, file);
    { const FileLock inner(m_dir + "./default.fifi"); }  // same file, another spelling
    std::atomic<bool> taken{false};
    std::thread other([&] {
        const FileLock lock(file);
        taken = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(taken) << "the lock was held by this thread";
    outer.reset();
    other.join();
    EXPECT_TRUE(taken);
}

TEST_F(FileLockTest, AFolderThatCannotTakeTheLockSaysWhichFile) {
    try {
        const FileLock lock(m_dir + "missing/default.fifi");
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write " + m_dir + "missing/default.fifi: No such file or directory");
        EXPECT_EQ(e.reason(), "No such file or directory");
    }
}

}  // namespace
}  // namespace ambrel::storage
