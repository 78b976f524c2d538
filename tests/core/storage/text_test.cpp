#include "core/storage/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/storage/folderlist.h"
#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::storage {
namespace {

TEST(Text, TypedTextSplitsAtEveryLineEndAndDropsEmptyLines) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"CR LF", "http://h/a.jpg\r\nhttp://h/b.jpg", {"http://h/a.jpg", "http://h/b.jpg"}},
        {"LF from a Linux program", "a\nb\nc\n", {"a", "b", "c"}},
        {"lone CR", "a\rb", {"a", "b"}},
        {"mixed, with empty lines between", "a\r\n\r\n\nb\r\r\nc", {"a", "b", "c"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "b"}},
        {"not trimmed", " a \t\n", {" a \t"}},
        {"nothing but line ends", "\r\n\n\r", {}},
        {"empty", "", {}},
        {"one line without an end", "only", {"only"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitTypedLines(c.text), c.lines);
    }
}

TEST(Text, SmallHelpers) {
    EXPECT_EQ(lowerAscii("JPG.Png-ÄZ@[`{"), "jpg.png-Äz@[`{") << "ASCII letters only";
    const std::vector<std::pair<char, int>> digits = {{'0', 0},
                                                      {'9', 9},
                                                      {'a', 10},
                                                      {'F', 15},
                                                      {'g', -1},
                                                      {'G', -1},
                                                      {'/', -1},
                                                      {':', -1},
                                                      {'@', -1},
                                                      {'`', -1},
                                                      {' ', -1},
                                                      {'\0', -1},
                                                      {static_cast<char>(0xC1), -1}};
    for (const auto& [c, value] : digits) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
        EXPECT_EQ(hexDigitValue(c), value);
    }
    EXPECT_EQ(withTrailingSlash("/a/b"), "/a/b/");
    EXPECT_EQ(withTrailingSlash("/a/b/"), "/a/b/");
    EXPECT_EQ(withTrailingSlash("/"), "/");
    EXPECT_EQ(withTrailingSlash(""), "") << "no folder stays the current one";
}

class FolderScanTest : public test::TempFolderTest {};

TEST_F(FolderScanTest, ListsMatchingNamesInOneOrderForEveryScan) {
    for (const char* name : {"zoo.fifi", "Holiday.fifi", "a_b.fifi", "ab.fifi", "Ab.fifi",
                             "alpha.fifi", "notes.txt", ".fifi", "x.fifi.tmp1-2"}) {
        writeFileAtomically(m_dir + name, "");
    }
    std::filesystem::create_directory(m_dir + "sub.fifi");
    // Letters compare as small ones, so "_" comes before them; names equal but for case
    // keep a fixed order too.
    EXPECT_EQ(sortedFolderFiles(m_dir, ".fifi"),
              (std::vector<std::string>{"a_b.fifi", "Ab.fifi", "ab.fifi", "alpha.fifi",
                                        "Holiday.fifi", "sub.fifi", "zoo.fifi"}));
    EXPECT_EQ(sortedFolderFiles(m_dir + "missing", ".fifi"), std::vector<std::string>{});
}

}  // namespace
}  // namespace ambrel::storage
