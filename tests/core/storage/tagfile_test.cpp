#include "core/storage/tagfile.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::storage {
namespace {

namespace fs = std::filesystem;

class TagFileTest : public test::TempFolderTest {
protected:
    void put(const std::string& name, const std::string& bytes) {
        std::ofstream(m_dir + name, std::ios::binary) << bytes;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& e : fs::directory_iterator(m_dir)) {
            all.push_back(e.path().filename().string());
        }
        return all;
    }
};

TEST_F(TagFileTest, LoadFileEndsEveryLineWithCrLf) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"empty", "", ""},
        {"lf", "a\nb\n", "a\r\nb\r\n"},
        {"cr", "a\rb", "a\r\nb\r\n"},
        {"last line without break", "a\r\nb", "a\r\nb\r\n"},
        {"empty lines kept", "a\r\n\r\n\n", "a\r\n\r\n\r\n"},
        {"lf cr is two breaks", "a\n\rb", "a\r\n\r\nb\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        put("f.txt", c.bytes);
        EXPECT_EQ(LoadFile(m_dir + "f.txt"), c.text);
    }
    EXPECT_EQ(LoadFile(m_dir + "missing.txt"), " ");
}

TEST_F(TagFileTest, ReadBytesOfMissingFileNamesFileAndReason) {
    try {
        readBytes(m_dir + "missing.txt");
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot read " + m_dir + "missing.txt: No such file or directory");
    }
}

TEST_F(TagFileTest, AtomicWriteReplacesContentAndKeepsPermissions) {
    put("f.txt", "old content");
    fs::permissions(m_dir + "f.txt",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    writeFileAtomically(m_dir + "f.txt", "new");
    EXPECT_EQ(readBytes(m_dir + "f.txt"), "new");
    EXPECT_EQ(fs::status(m_dir + "f.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(names(), std::vector<std::string>{"f.txt"});
}

TEST_F(TagFileTest, PrivateWriteIsOwnerOnlyEvenOverAnOpenFile) {
    put("s.txt", "x");
    fs::permissions(m_dir + "s.txt", fs::perms::all);
    writePrivateFileAtomically(m_dir + "s.txt", "secret");
    EXPECT_EQ(fs::status(m_dir + "s.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    writePrivateFileAtomically(m_dir + "new.txt", "secret");
    EXPECT_EQ(fs::status(m_dir + "new.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(TagFileTest, AtomicWriteThroughSymlinkKeepsTheLink) {
    put("real.txt", "old");
    fs::create_symlink(m_dir + "real.txt", m_dir + "link.txt");
    writeFileAtomically(m_dir + "link.txt", "new");
    EXPECT_TRUE(fs::is_symlink(m_dir + "link.txt"));
    EXPECT_EQ(readBytes(m_dir + "real.txt"), "new");
}

TEST_F(TagFileTest, AtomicWriteIntoMissingFolderThrows) {
    try {
        writeFileAtomically(m_dir + "nofolder/f.txt", "x");
        FAIL() << "no IoError";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write " + m_dir + "nofolder/f.txt: No such file or directory");
    }
}

// A write that fails half-way must leave the old file whole and no temporary behind.
// The file size limit makes write() fail even for root.
TEST_F(TagFileTest, FailedWriteLeavesOldFileWhole) {
    put("f.txt", "old content\r\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(writeFileAtomically(m_dir + "f.txt", std::string(1000, 'x')), IoError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(readBytes(m_dir + "f.txt"), "old content\r\n");
    EXPECT_EQ(names(), std::vector<std::string>{"f.txt"});
}

TEST_F(TagFileTest, AtomicWriteOverFolderThrowsAndCleansUp) {
    fs::create_directory(m_dir + "sub");
    put("sub/keep", "k");
    EXPECT_THROW(writeFileAtomically(m_dir + "sub", "x"), IoError);
    EXPECT_EQ(names(), std::vector<std::string>{"sub"});
    EXPECT_EQ(readBytes(m_dir + "sub/keep"), "k");
}

TEST(GetFromStrXml, FindsFirstWholeElement) {
    struct Case {
        const char* name;
        std::string text;
        std::string key;
        std::string value;
    };
    const std::vector<Case> cases = {
        {"plain", "<a>1</a>\r\n<b>2</b>", "b", "2"},
        {"missing key", "<a>1</a>", "b", ""},
        {"missing closing tag", "<a>1\r\n", "a", ""},
        {"closing tag first", "</a>x<a>1</a>", "a", ""},
        {"only closing tag", "x</a>", "a", ""},
        {"first element counts", "<a>1</a><a>2</a>", "a", "1"},
        {"spaces kept", "<a>  v </a>", "a", "  v "},
        {"line breaks kept", "<a>x\r\ny</a>", "a", "x\r\ny"},
        {"empty value", "<a></a>", "a", ""},
        {"key is not found inside a longer key", "<webusetheextfeature>yes</webusetheextfeature>",
         "usetheextfeature", ""},
        {"closing tag is not found inside a longer one", "<url>x</burl>", "url", ""},
        {"longer key before shorter", "<burl>b</burl><url>u</url>", "url", "u"},
        {"missing file text", " ", "a", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(getfromstrxml(c.text, c.key), c.value);
    }
}

TEST_F(TagFileTest, NewKeysAreAppendedOnePerLine) {
    const std::string f = m_dir + "options.ini";
    EXPECT_TRUE(updatexmlconfigfilefromxmlentry(f, "a", "1"));
    EXPECT_EQ(readBytes(f), "<a>1</a>");
    updatexmlconfigfilefromxmlentry(f, "b", "2");
    EXPECT_EQ(readBytes(f), "<a>1</a>\r\n<b>2</b>");
    put("empty.ini", "");
    updatexmlconfigfilefromxmlentry(m_dir + "empty.ini", "a", "1");
    EXPECT_EQ(readBytes(m_dir + "empty.ini"), "<a>1</a>");
}

TEST_F(TagFileTest, UpdateReplacesInPlace) {
    struct Case {
        const char* name;
        std::string before;
        std::string key;
        std::string value;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"keeps position, ends with crlf", "<a>1</a>\r\n<b>2</b>", "a", "x",
         "<a>x</a>\r\n<b>2</b>\r\n"},
        {"every copy replaced", "<a>1</a>\r\n<b>2</b>\r\n<a>1</a>", "a", "x",
         "<a>x</a>\r\n<b>2</b>\r\n<a>x</a>\r\n"},
        {"only copies of the first element", "<a>1</a><a>2</a>", "a", "x", "<a>x</a><a>2</a>\r\n"},
        {"value over lines", "<a>1\r\n2</a>\r\n<b>3</b>", "a", "y", "<a>y</a>\r\n<b>3</b>\r\n"},
        {"longer key untouched", "<burl>1</burl>\r\n<url>2</url>", "url", "x",
         "<burl>1</burl>\r\n<url>x</url>\r\n"},
        {"orphan opening tag keeps what follows", "<a>old\r\n<b>2</b>", "a", "x",
         "<a>x</a>old\r\n<b>2</b>\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        put("t.ini", c.before);
        updatexmlconfigfilefromxmlentry(m_dir + "t.ini", c.key, c.value);
        const std::string text = readBytes(m_dir + "t.ini");
        EXPECT_EQ(text, c.after);
        EXPECT_EQ(getfromstrxml(text, c.key), c.value);
    }
}

TEST_F(TagFileTest, UpdateIntoMissingFolderThrows) {
    EXPECT_THROW(updatexmlconfigfilefromxmlentry(m_dir + "no/options.ini", "a", "1"), IoError);
}

}  // namespace
}  // namespace ambrel::storage
