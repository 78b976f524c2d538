#include "core/storage/listfile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::storage {
namespace {

namespace fs = std::filesystem;

class ListFileTest : public test::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_file = m_dir + "default.fifi";
    }
    void put(const std::string& bytes) { std::ofstream(m_file, std::ios::binary) << bytes; }
    std::string m_file;
};

TEST_F(ListFileTest, ReadSplitsAtFirstBars) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<Entry> entries;
    };
    const std::vector<Case> cases = {
        {"empty file", "", {}},
        {"crlf",
         "a||/p/a.jpg\r\nb||http://h/b.png\r\n",
         {{"a", "/p/a.jpg"}, {"b", "http://h/b.png"}}},
        {"last line without break", "a||x\r\nb||y", {{"a", "x"}, {"b", "y"}}},
        {"lf and cr", "a||x\nb||y\rc||z\n", {{"a", "x"}, {"b", "y"}, {"c", "z"}}},
        {"bars twice", "a||b||c\r\n", {{"a", "b||c"}}},
        {"no bars", "xpath\r\n", {{"", "path"}}},
        {"empty line", "a||x\r\n\r\nb||y\r\n", {{"a", "x"}, {"", ""}, {"b", "y"}}},
        {"empty fields", "||\r\n", {{"", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        put(c.bytes);
        EXPECT_EQ(readListFile(m_file), c.entries);
    }
}

TEST_F(ListFileTest, ReadMissingFileThrows) {
    EXPECT_THROW(readListFile(m_dir + "missing.fifi"), IoError);
}

TEST_F(ListFileTest, WriteGivesCrLfLinesAndReadsBack) {
    const std::vector<Entry> entries = {{"a", "/p/a.jpg"}, {"", "http://h/"}, {"c", "C:\\c.gif"}};
    put("old content that is longer than the new one");
    writeListFile(m_file, entries);
    EXPECT_EQ(readBytes(m_file), "a||/p/a.jpg\r\n||http://h/\r\nc||C:\\c.gif\r\n");
    EXPECT_EQ(readListFile(m_file), entries);
    writeListFile(m_file, {});
    EXPECT_EQ(readBytes(m_file), "");
}

TEST_F(ListFileTest, LongListRoundTrip) {
    std::vector<Entry> entries;
    for (int i = 0; i < 100000; ++i) {
        entries.push_back(
            {"pic" + std::to_string(i), "http://h/p/pic" + std::to_string(i) + ".jpg"});
    }
    writeListFile(m_file, entries);
    EXPECT_EQ(readListFile(m_file), entries);
}

TEST(ListLine, NameRuleFollowsTheKindOfLink) {
    struct Case {
        const char* link;
        const char* line;
    };
    const std::vector<Case> cases = {
        {"/home/u/holiday.2005.jpg", "holiday||/home/u/holiday.2005.jpg"},
        {"C:\\pics\\cat.jpg", "cat||C:\\pics\\cat.jpg"},
        {"http://h/p/show.php?id=3", "show||http://h/p/show.php?id=3"},
        {"https://h/a.png", "a||https://h/a.png"},
        {"http://h/p/", "||http://h/p/"},
        {"\\\\server\\share\\a.jpg", "a||\\\\server\\share\\a.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        EXPECT_EQ(listLineFor(c.link), c.line);
    }
}

TEST_F(ListFileTest, AppendCreatesFileAndWritesEveryLink) {
    appendtothisfile("/home/u/a.jpg", m_file);
    EXPECT_EQ(readBytes(m_file), "a||/home/u/a.jpg\r\n");
    appendtothisfile("https://h/b.png", m_file);
    appendtothisfile("\\\\server\\c.gif", m_file);
    EXPECT_EQ(readListFile(m_file),
              (std::vector<Entry>{
                  {"a", "/home/u/a.jpg"}, {"b", "https://h/b.png"}, {"c", "\\\\server\\c.gif"}}));
}

TEST_F(ListFileTest, AppendAfterLastLineWithoutBreakKeepsLinesApart) {
    put("a||x");
    appendtothisfile("http://h/b.png", m_file);
    EXPECT_EQ(readBytes(m_file), "a||x\r\nb||http://h/b.png\r\n");
}

TEST_F(ListFileTest, AppendIntoMissingFolderThrows) {
    EXPECT_THROW(appendtothisfile("/p/a.jpg", m_dir + "no/default.fifi"), IoError);
}

TEST_F(ListFileTest, NewLinkTest) {
    EXPECT_TRUE(truc222("a||/p/a.jpg", m_file));
    put("a||/p/a.jpg\r\nb||http://h/b.png");
    EXPECT_FALSE(truc222("a||/p/a.jpg", m_file));
    EXPECT_FALSE(truc222("b||http://h/b.png", m_file));
    EXPECT_TRUE(truc222("A||/p/a.jpg", m_file));
    EXPECT_TRUE(truc222("a||/p/a.jp", m_file));
    EXPECT_TRUE(truc222("", m_file));
}

TEST_F(ListFileTest, AppendedLinkIsFoundAgain) {
    for (const char* link : {"/p/x.y.jpg", "https://h/q.png?s=1", "\\\\srv\\n.gif"}) {
        SCOPED_TRACE(link);
        EXPECT_TRUE(truc222(listLineFor(link), m_file));
        appendtothisfile(link, m_file);
        EXPECT_FALSE(truc222(listLineFor(link), m_file));
    }
}

TEST_F(ListFileTest, ALinkHoldingBarsComesBackWhole) {
    appendtothisfile("http://h/a||b.jpg", m_file);
    appendtothisfile("/srv/c||d.png", m_file);
    EXPECT_EQ(readListFile(m_file),
              (std::vector<Entry>{{"a", "http://h/a||b.jpg"}, {"c", "/srv/c||d.png"}}));
    EXPECT_FALSE(truc222(listLineFor("http://h/a||b.jpg"), m_file));
}

}  // namespace
}  // namespace ambrel::storage
