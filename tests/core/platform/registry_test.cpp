#include "core/platform/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "support/appfixture.h"
#include "support/processes.h"

namespace ambrel::test {
namespace {

using platform::RegistryStore;

class RegistryTest : public AppFixture {};

TEST_F(RegistryTest, ValuesSurviveAReloadWithTheirTypes) {
    const std::string key =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\MenuExt\\&Add to Zovururo";
    {
        RegistryStore store(root + "r.reg");
        EXPECT_FALSE(store.setString(key, "", "x"));  // no key yet
        ASSERT_TRUE(store.createKey(key));
        ASSERT_TRUE(store.setString(key, "", "/data/\"quoted\" \\ add.htm"));
        ASSERT_TRUE(store.setBinary(key, "Contexts", std::string("\x02\x00\xff", 3)));
        ASSERT_TRUE(store.setDword(key, "Flags", 0xdeadbeef));
    }
    RegistryStore store(root + "r.reg");
    EXPECT_TRUE(store.keyExists(key));
    EXPECT_TRUE(
        store.keyExists("hkey_current_user\\software\\microsoft\\internet explorer\\"
                        "menuext\\&add to zovururo"));
    EXPECT_EQ(store.stringValue(key, ""), "/data/\"quoted\" \\ add.htm");
    EXPECT_EQ(
        store.value(key, "Contexts"),
        (RegistryStore::Value{RegistryStore::Type::Binary, std::string("\x02\x00\xff", 3), 0}));
    EXPECT_EQ(store.value(key, "Flags")->dword, 0xdeadbeefU);

    struct stat st {};
    ASSERT_EQ(::stat((root + "r.reg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600U);
}

TEST_F(RegistryTest, DeletingAKeyTakesItsSubkeysAndReportsAMissingOne) {
    RegistryStore store(root + "r.reg");
    store.createKey("HKCU\\A");
    store.createKey("HKCU\\A\\B");
    store.createKey("HKCU\\AB");
    EXPECT_TRUE(store.deleteKey("HKCU\\A"));
    EXPECT_FALSE(store.keyExists("HKCU\\A\\B"));
    EXPECT_TRUE(store.keyExists("HKCU\\AB"));
    EXPECT_FALSE(store.deleteKey("HKCU\\A"));
    EXPECT_FALSE(RegistryStore(root + "r.reg").keyExists("HKCU\\A"));
}

TEST_F(RegistryTest, AStoreThatCannotBeWrittenRefusesTheChange) {
    write("blocker", "a file where the store's folder should be");
    RegistryStore store(folder + "blocker/r.reg");
    EXPECT_FALSE(store.createKey("HKCU\\X"));
    EXPECT_FALSE(store.keyExists("HKCU\\X"));
}

TEST_F(RegistryTest, AFailedReloadKeepsWhatTheStoreHeld) {
    const std::string file = root + "r.reg";
    const std::string kept = "HKEY_CURRENT_USER\\Software\\Kept";
    RegistryStore store(file);
    ASSERT_TRUE(store.createKey(kept));
    // A file that cannot be opened for reading stands where the store's file was.
    std::filesystem::remove(file);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(file.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, file.c_str(), file.size() + 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    EXPECT_THROW(store.reload(), storage::IoError);
    EXPECT_TRUE(store.keyExists(kept));
    ASSERT_TRUE(store.createKey("HKEY_CURRENT_USER\\Software\\Added"));
    EXPECT_TRUE(RegistryStore(file).keyExists(kept));
}

TEST_F(RegistryTest, AFileThatCannotBeReadIsNeitherFatalNorOverwritten) {
    RegistryStore store("/proc/self/mem");  // exists, and every read of it fails
    EXPECT_FALSE(store.unreadable().empty());
    EXPECT_FALSE(store.createKey("HKCU\\X"));
    EXPECT_FALSE(store.keyExists("HKCU\\X"));
}

TEST_F(RegistryTest, DamagedLinesAreSkipped) {
    write("bad.reg", "junk\r\n[HKCU\\K]\r\n\"unterminated=\"x\r\n@=\"ok\"\r\n\"n\"=hex:zz,02\r\n[");
    RegistryStore store(folder + "bad.reg");
    EXPECT_EQ(store.stringValue("HKCU\\K", ""), "ok");
    EXPECT_EQ(store.value("HKCU\\K", "n")->data, "\x02");
}

// The store's file is line based: a line break inside a value or a key name must not end its
// line, or the text after it would be read as keys and values of the writer's choosing.
TEST_F(RegistryTest, LineBreaksInValuesStayInsideThem) {
    const std::string key = "HKEY_CURRENT_USER\\Software\\K";
    const std::string injected = "\r[HKEY_CURRENT_USER\\Software\\Evil]\r@=\"x\"";
    {
        RegistryStore store(root + "r.reg");
        ASSERT_TRUE(store.createKey(key));
        for (const char* breakText : {"\r", "\n", "\r\n"}) {
            SCOPED_TRACE(testing::PrintToString(std::string(breakText)));
            const std::string value = std::string("a") + breakText + "b" + injected;
            ASSERT_TRUE(store.setString(key, "v", value));
            RegistryStore reread(root + "r.reg");
            EXPECT_EQ(reread.stringValue(key, "v"), value);
            EXPECT_FALSE(reread.keyExists("HKEY_CURRENT_USER\\Software\\Evil"));
        }
        EXPECT_FALSE(store.createKey("HKEY_CURRENT_USER\\A\r\n[HKEY_CURRENT_USER\\Evil]"));
    }
    EXPECT_FALSE(RegistryStore(root + "r.reg").keyExists("HKEY_CURRENT_USER\\Evil"));
}

// A change that could not be saved is not held either: what the store shows is what the next
// start will read.
TEST_F(RegistryTest, AChangeThatCannotBeSavedLeavesTheOldValue) {
    const std::string key = "HKCU\\K";
    RegistryStore store(root + "r.reg");
    ASSERT_TRUE(store.createKey(key));
    ASSERT_TRUE(store.setString(key, "v", "old"));
    const std::string seen = inChildProcess([&] {
        // No file may grow now: every save fails as on a full disk.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_FSIZE, &none);
        const bool saved = store.setString(key, "v", "new");
        const bool created = store.createKey("HKCU\\New");
        return std::string(saved ? "saved " : "refused ") + (created ? "created " : "refused ") +
               store.stringValue(key, "v") + (store.keyExists("HKCU\\New") ? " new" : "");
    });
    EXPECT_EQ(seen, "refused refused old");
    EXPECT_EQ(RegistryStore(root + "r.reg").stringValue(key, "v"), "old");
}

}  // namespace
}  // namespace ambrel::test
