#include "core/web/address.h"

#include <gtest/gtest.h>

namespace ambrel::web {
namespace {

TEST(AddressTest, CountedSlashesAndPathLevels) {
    struct Case {
        const char* address;
        int levels;
        int n;
        const char* cut;
    } cases[] = {
        {"http://h/a/b.html", 2, 2, "http://h/a/"},
        {"http://h/a/b.html", 2, 1, "http://h/"},
        {"http://h/a/b.html", 2, 3, ""},
        {"http://h/a/b.html", 2, 0, "http://"},
        {"http://h", 0, 0, "http://"},
        {"http://h", 0, 1, ""},
        {"file:///x/y", 2, 1, "file:///"},
        {"http://h/a?u=http://x/y", 2, 2, "http://h/a?u=http://x/"},
        {"a/b", 1, 0, ""},
        {"/", 1, 1, "/"},
        {":/", 1, 1, ":/"},
        {"://", 0, 0, "://"},
        {"", 0, 0, ""},
        {"http://h/a/", 2, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.address) + " n=" + std::to_string(c.n));
        EXPECT_EQ(geturlnumlevel(c.address), c.levels);
        EXPECT_EQ(geturlpathlevel(c.address, c.n), c.cut);
    }
}

TEST(AddressTest, DotDotStepsFoldTwoLevelsAndKeepTheFilePart) {
    struct Case {
        const char* address;
        const char* folded;
    } cases[] = {
        {"http://h/a/b/../c.jpg", "http://h/a/c.jpg"},
        // The folder after the ".." is dropped.
        {"http://h/a/b/../c/d.jpg", "http://h/a/b/d.jpg"},
        {"http://h//up.html", "http://h//up.html"},
        {"http://h/a/../../../x.gif", "http://h/x.gif"},
        {"http://h/a/b.jpg", "http://h/a/b.jpg"},
        // A bare host: its directory part is empty.
        {"http://h", "h"},
        // The file part is cut at the last "/", "\" or ":".
        {"http://h/a/b:c", "http://h/a/c"},
        {"http://h/a\\b.jpg", "http://h/b.jpg"},
        {"/....", "/...."},
        {"x", "x"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(cleanslahdotslash(c.address), c.folded);
    }
}

TEST(AddressTest, HostPrefixKeepsSchemeAndOtherPortsButNoCredentials) {
    struct Case {
        const char* address;
        const char* prefix;
    } cases[] = {
        {"http://h/a/b.html", "http://h"},
        {"https://h/a/b.html", "https://h"},
        {"HTTPS://h/", "https://h"},
        {"http://h:8080/a.html", "http://h:8080"},
        {"http://h:80/a.html", "http://h"},
        {"https://h:443/a.html", "https://h"},
        {"https://h:80/a.html", "https://h:80"},
        {"http://user:pw@h:81/a", "http://h:81"},
        {"http://[::1]:8080/a", "http://[::1]:8080"},
        {"http://[::1]/a", "http://[::1]"},
        {"http://h?q=/x", "http://h"},
        {"ftp://h/x", "http://h"},
        {"h/a.html", "http://h"},
        {"", "http://"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(hostPrefix(c.address), c.prefix);
    }
}

TEST(AddressTest, CredentialsAreTakenFromAfterTheScheme) {
    struct Case {
        const char* address;
        const char* user;
        const char* password;
        const char* without;
    } cases[] = {
        {"http://me:secret@h/p.html", "me", "secret", "http://h/p.html"},
        {"https://me:secret@h/p.html", "me", "secret", "https://h/p.html"},
        {"http://me@h/", "me", "", "http://h/"},
        {"http://me:p@ss@h/", "me", "p", "http://h/"},
        {"http://h/path@x", "h/path", "", "http://h/path@x"},
        {"http://", "", "", "http://"},
        {"@", "", "", "@"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        const Credentials got = credentialsIn(c.address);
        EXPECT_EQ(got.user, c.user);
        EXPECT_EQ(got.password, c.password);
        EXPECT_EQ(withoutCredentials(c.address), c.without);
    }
}

}  // namespace
}  // namespace ambrel::web
