#include "core/transfer/textrules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/transfer/upload.h"
#include "support/tempfolder.h"

namespace ambrel::transfer {
namespace {

TEST(TextRules, UrlEncoding) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"http://h/a b.jpg", "http://h/a%20b.jpg"},
        {"http://h/a%20b.jpg", "http://h/a%2520b.jpg"},
        {"http://h/x#y*z+w<v>", "http://h/x%23y%2Az%2Bw%3Cv%3E"},
        {"http://h/caf\xC3\xA9", "http://h/caf%C3%A9"},
        {"http://u:p@h/p?q=1&r=/s", "http://u:p@h/p?q=1&r=/s"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(urlencode(c.in), c.out);
    }
}

TEST(TextRules, CredentialsFromAddress) {
    const struct {
        std::string url;
        std::string user;
        std::string password;
    } cases[] = {
        {"http://ann:secret@h/p.jpg", "ann", "secret"},
        {"https://ann:secret@h/p.jpg", "ann", "secret"},
        {"http://ann:se:cret@h/p.jpg", "ann", "se:cret"},
        {"http://ann@h/p.jpg", "ann", ""},
        {"http://h:8080/p@x.jpg", "h", "8080/p"},
        {"http://h/p.jpg", "", ""},
        {"http://", "", ""},
        {"", "", ""},
        {"@", "", ""},
        {"http://a@b:c", "a@b", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const Credentials got = credentialsFromUrl(c.url);
        EXPECT_EQ(got.user, c.user);
        EXPECT_EQ(got.password, c.password);
    }
}

TEST(TextRules, NumberedNames) {
    EXPECT_EQ(numberedName("a.jpg", 1), "a_1.jpg");
    EXPECT_EQ(numberedName("a.b.jpg", 1), "a_1.b_1.jpg");
    EXPECT_EQ(numberedName("photo", 2), "photo_2.");
    EXPECT_EQ(numberedName(".hidden", 3), "_3.hidden");
    EXPECT_EQ(numberedName("", 1), "_1.");
}

TEST(TextRules, UsableFileNames) {
    for (const char* bad : {"", ".", "..", "a/b"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(isUsableFileName(bad));
    }
    for (const char* good : {"a.jpg", "...", "show.php?id=3", ".x"}) {
        SCOPED_TRACE(good);
        EXPECT_TRUE(isUsableFileName(good));
    }
}

class FreeLocalName : public test::TempFolderTest {};

TEST_F(FreeLocalName, TakesTheFirstNameNotYetThere) {
    const std::string dir = m_dir.substr(0, m_dir.size() - 1);
    for (const char* name : {"x.jpg", "x_1.jpg", "photo", "a.b.jpg"}) {
        std::ofstream(m_dir + name) << "1";
    }
    std::filesystem::create_directory(m_dir + "folder");
    EXPECT_EQ(freelocalname(dir, "x.jpg"), "x_2.jpg");
    EXPECT_EQ(freelocalname(dir, "photo"), "photo_1.");
    EXPECT_EQ(freelocalname(dir, "a.b.jpg"), "a_1.b_1.jpg");
    EXPECT_EQ(freelocalname(dir, "new.png"), "new.png");
    EXPECT_EQ(freelocalname(dir, "folder"), "folder_1.");
}

TEST(TextRules, ParsePostResult) {
    const std::string page = "<img src=\"http://h/p/a.th.jpg\">\n";
    const struct {
        const char* name;
        std::string page;
        std::string begin;
        std::string basis;
        std::string end;
        std::string link;
    } cases[] = {
        {"found", page, "src=\"", "", "\"", "http://h/p/a.th.jpg"},
        {"basis in front", "id=42;", "id=", "http://h/show?", ";", "http://h/show?42"},
        {"empty end stops before the last character", page, "src=\"", "", "",
         "http://h/p/a.th.jpg\">"},
        {"end not found", "x=abc\n", "x=", "", "#", "abc"},
        {"empty begin starts at the start", "abc;", "", "", ";", "abc"},
        {"missing begin counts from position 0", "0123456789", "zzz", "", "", "2345678"},
        {"end searched from the start of the cut", "a\"b=c\"", "b=", "", "\"", "c"},
        {"empty page", "", "src=", "", "\"", ""},
        {"empty page and strings", "", "", "B", "", "B"},
        {"begin at the very end", "abc", "c", "", "", ""},
        {"begin longer than the page", "ab", "abcdef", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parsepostresult(c.page, c.begin, c.basis, c.end), c.link);
    }
}

TEST(TextRules, PostFields) {
    using F = std::vector<PostField>;
    const struct {
        const char* name;
        std::string text;
        F fields;
    } cases[] = {
        {"text, picture and empty fields", "<a>1</a><@i@>file</@i@><b></b>",
         F{{"a", "1"}, {"@i@", "file"}, {"b", ""}}},
        {"line breaks between fields",
         "\r\n<MAX_FILE_SIZE>2000000</MAX_FILE_SIZE>\r\n<@i@>pic</@i@>\r\n",
         F{{"MAX_FILE_SIZE", "2000000"}, {"@i@", "pic"}}},
        {"value with line breaks", "<t>a\r\nb</t>", F{{"t", "a\r\nb"}}},
        {"missing close stops", "<a>1</a><b>2", F{{"a", "1"}}},
        {"no closing bracket", "<a", F{}},
        {"nothing", "", F{}},
        {"close before open", "</a><a>", F{}},
        {"stray text", "xx<a>1</a>yy<b>2</b>", F{{"a", "1"}, {"b", "2"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readPostFields(c.text), c.fields);
    }
    EXPECT_TRUE(isPictureField({"@i@", "file"}));
    EXPECT_FALSE(isPictureField({"@i", "file"}));
}

TEST(TextRules, RemoveAllAndContentTypes) {
    EXPECT_EQ(removeAll("http://h/a.th.jpg.th", ".th"), "http://h/a.jpg");
    EXPECT_EQ(removeAll("abc", ""), "abc");
    EXPECT_EQ(removeAll("aaaa", "aa"), "");
    const struct {
        const char* file;
        const char* type;
    } types[] = {{"a.jpg", "image/jpeg"}, {"a.JPEG", "image/jpeg"},
                 {"a.png", "image/png"},  {"a.gif", "image/gif"},
                 {"a.bmp", "image/bmp"},  {"a", "application/octet-stream"}};
    for (const auto& t : types) {
        SCOPED_TRACE(t.file);
        EXPECT_EQ(pictureContentType(t.file), t.type);
    }
}

TEST(TextRules, PortNumbers) {
    EXPECT_EQ(portNumber("21"), 21);
    EXPECT_EQ(portNumber(" 2121 "), 2121);
    for (const char* bad : {"", "ftp", "21a", "70000", "-1", "99999999999999999999"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(portNumber(bad), std::invalid_argument);
    }
}

}  // namespace
}  // namespace ambrel::transfer
