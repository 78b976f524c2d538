#include "core/servers/definition.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::servers {
namespace {

class DefinitionTest : public test::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directory(m_dir + "upfiles");
    }
    mode_t modeOf(const std::string& path) const {
        struct stat st {};
        EXPECT_EQ(::stat(path.c_str(), &st), 0);
        return st.st_mode & 0777;
    }
};

TEST_F(DefinitionTest, FtpFormatIsTenTaggedLines) {
    FtpDefinition full{
        "http://pics.example/up", "21", "ftp.example", "me", "secret", "shots", "410", "/www"};
    full.passive = true;
    EXPECT_EQ(ftpDefinitionText(full),
              "<url>http://pics.example/up</url>\r\n<ftp>\r\n<passive>y</passive>\r\n"
              "<port>21</port>\r\n<host>ftp.example</host>\r\n<login>me</login>\r\n"
              "<pass>secret</pass>\r\n<dir>shots</dir>\r\n<notfound>410</notfound>\r\n"
              "<startdirr>/www</startdirr>\r\n");

    // Password, directory and start directory may stay empty; spaces are kept as typed.
    const FtpDefinition sparse{" u ", "2121", "h", "l", "", "", "404", ""};
    EXPECT_EQ(ftpDefinitionText(sparse),
              "<url> u </url>\r\n<ftp>\r\n<passive>n</passive>\r\n<port>2121</port>\r\n"
              "<host>h</host>\r\n<login>l</login>\r\n<pass></pass>\r\n<dir></dir>\r\n"
              "<notfound>404</notfound>\r\n<startdirr></startdirr>\r\n");
}

TEST_F(DefinitionTest, WrittenDefinitionReadsBackAndIsTheUsersOwn) {
    EXPECT_EQ(definitionPath(m_dir, "home"), m_dir + "upfiles/home.txt");
    FtpDefinition d{"http://h/x", "21", "h", "me", "pw", "", "404", "www"};
    writeDefinition(m_dir, "home", ftpDefinitionText(d));
    EXPECT_EQ(modeOf(m_dir + "upfiles/home.txt"), 0600u);

    const ServerDefinition read = loadDefinition(m_dir, "home");
    EXPECT_TRUE(read.isFtp());
    EXPECT_FALSE(read.isHtml());
    EXPECT_EQ(read.field("url"), "http://h/x");
    EXPECT_EQ(read.field("pass"), "pw");
    EXPECT_EQ(read.field("dir"), "");
    EXPECT_EQ(read.field("passive"), "n");
    EXPECT_EQ(read.field("startdirr"), "www");

    // A definition copied in with looser permissions is tightened when it is saved again.
    const std::string other = m_dir + "upfiles/other.txt";
    storage::writeFileAtomically(other, "old");
    ::chmod(other.c_str(), 0644);
    writeDefinition(m_dir, "other", "<url>n</url>\r\n");
    EXPECT_EQ(storage::readBytes(other), "<url>n</url>\r\n");
    EXPECT_EQ(modeOf(other), 0600u);
}

TEST_F(DefinitionTest, KindComesFromTheMarkersAnywhereInTheText) {
    struct Case {
        const char* name;
        std::string text;
        bool ftp;
        bool html;
    };
    const Case cases[] = {
        {"ftp", "<url>u</url>\r\n<ftp>\r\n<passive>n</passive>\r\n", true, false},
        {"html form",
         "<analyzeurl>a</analyzeurl>\r\n<url>p</url>\r\n<html>\r\n<topost>\r\n<x>1</x>\r\n"
         "</topost>\r\n",
         false, true},
        {"html form with a field named ftp",
         "<url>p</url>\r\n<html>\r\n<topost>\r\n<ftp>1</ftp>\r\n</topost>\r\n", true, true},
        {"missing file", " ", false, false},
        {"closing tag only", "</ftp></html>", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ServerDefinition d{c.text};
        EXPECT_EQ(d.isFtp(), c.ftp);
        EXPECT_EQ(d.isHtml(), c.html);
    }
}

TEST_F(DefinitionTest, AMissingDefinitionReadsAsASpaceWithEmptyFields) {
    const ServerDefinition d = loadDefinition(m_dir, "gone");
    EXPECT_EQ(d.text, " ");
    EXPECT_EQ(d.field("url"), "");
    EXPECT_FALSE(d.isFtp());
    EXPECT_FALSE(d.isHtml());
}

}  // namespace
}  // namespace ambrel::servers
