// What reaches the disk, and in which order, when a data file is replaced. The test program
// stands in for the C library's fsync() and rename() (a definition in the executable comes
// before the library's), notes each call while a test listens and then makes the real one.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/storage/listfile.h"
#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace {

std::vector<std::string>* g_calls = nullptr;  // listening while set

std::string pathOf(int fd) {
    char target[PATH_MAX];
    const ssize_t n =
        ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : "?";
}

template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
    static const auto next = real<int (*)(int)>("fsync");
    if (g_calls != nullptr) {
        g_calls->push_back("fsync " + pathOf(fd));
    }
    return next(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto next = real<int (*)(const char*, const char*)>("rename");
    if (g_calls != nullptr) {
        g_calls->push_back(std::string("rename ") + from + " " + to);
    }
    return next(from, to);
}

namespace ambrel::storage {
namespace {

class DurabilityTest : public test::TempFolderTest {
protected:
    void TearDown() override {
        g_calls = nullptr;
        TempFolderTest::TearDown();
    }
};

// The content is on the disk before the new name is, and the name before the write returns:
// a power cut at any moment leaves the old file or the new one, never an empty one.
TEST_F(DurabilityTest, ReplacedFilesAreSyncedBeforeTheRenameAndTheFolderAfter) {
    const std::string file = m_dir + "default.fifi";
    const std::string folder = m_dir.substr(0, m_dir.size() - 1);
    struct Case {
        const char* name;
        std::function<void()> write;
    };
    const Case cases[] = {
        {"whole file", [&] { writeFileAtomically(file, "a||x\r\n"); }},
        {"private file", [&] { writePrivateFileAtomically(file, "secret"); }},
        {"add to a list", [&] { appendtothisfile("http://h/b.jpg", file); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> calls;
        g_calls = &calls;
        c.write();
        g_calls = nullptr;

        std::size_t renamed = calls.size();
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].starts_with("rename ") && calls[i].ends_with(" " + file)) {
                renamed = i;
            }
        }
        ASSERT_LT(renamed, calls.size()) << "no rename onto the file";
        const std::string temp = calls[renamed].substr(7, calls[renamed].size() - 8 - file.size());
        std::vector<std::string> expected = {"fsync " + temp, calls[renamed], "fsync " + folder};
        std::vector<std::string> seen;
        for (const std::string& call : calls) {
            if (call == expected[0] || call == expected[1] || call == expected[2]) {
                seen.push_back(call);
            }
        }
        EXPECT_EQ(seen, expected);
    }
}

}  // namespace
}  // namespace ambrel::storage
