#include "core/storage/names.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include "support/tempfolder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace ambrel::storage {
namespace {

namespace fs = std::filesystem;

TEST(Names, LocalAndWebAddresses) {
    struct Case {
        const char* path;
        bool local;
        bool web;
    };
    const std::vector<Case> cases = {
        {"/home/u/a.jpg", true, false},   {"C:\\pics\\a.jpg", true, false},
        {"c:a.jpg", true, false},         {"\\\\server\\a.jpg", false, false},
        {"pics/a.jpg", false, false},     {"http://h/a.jpg", false, true},
        {"https://h/a.jpg", false, true}, {"HTTP://h/a.jpg", false, false},
        {"ftp://h/a.jpg", false, false},  {"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(is_local_path(c.path), c.local);
        EXPECT_EQ(is_web_address(c.path), c.web);
    }
}

TEST(Names, PathCutsAndNameRules) {
    struct Case {
        const char* path;
        const char* file;
        const char* folder;
        const char* ext;
        const char* name;  // extfilename, and exturlname which cuts the same way
    };
    const std::vector<Case> cases = {
        {"/home/u/holiday.2005.jpg", "holiday.2005.jpg", "/home/u/", ".jpg", "holiday"},
        {"C:\\pics\\cat.JPG", "cat.JPG", "C:\\pics\\", ".JPG", "cat"},
        {"C:cat.png", "cat.png", "C:", ".png", "cat"},
        {"/home/u/readme", "readme", "/home/u/", "", ""},
        {"/home/u.d/readme", "readme", "/home/u.d/", "", ""},
        {"plain.gif", "plain.gif", "", ".gif", "plain"},
        {"http://h/p/show.php?id=3", "show.php?id=3", "http://h/p/", ".php?id=3", "show"},
        {"http://h/p/", "", "http://h/p/", "", ""},
        {"http://h/p/a.b.c", "a.b.c", "http://h/p/", ".c", "a"},
        {"http://host.com", "host.com", "http://", ".com", "host"},
        {"", "", "", "", ""},
        {"http://h/a||b.c||d.jpg", "a||b.c||d.jpg", "http://h/", ".jpg", "a"},
        {"/srv/x|y.png", "x|y.png", "/srv/", ".png", "x|y"},
        // In a POSIX path ":" and "\" are file-name characters; elsewhere they still cut.
        {"/home/u/Screenshot 13:45:12.png", "Screenshot 13:45:12.png", "/home/u/", ".png",
         "Screenshot 13:45:12"},
        {"/srv/a\\b.c:d", "a\\b.c:d", "/srv/", ".c:d", "a\\b"},
        {"/srv/x.y\\z", "x.y\\z", "/srv/", ".y\\z", "x"},
        {"http://h/p/x:y.jpg", "y.jpg", "http://h/p/x:", ".jpg", "y"},
        {"C:\\pics\\a:b.jpg", "b.jpg", "C:\\pics\\a:", ".jpg", "b"},
        {"pics/a:b.jpg", "b.jpg", "pics/a:", ".jpg", "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(filenamepart(c.path), c.file);
        EXPECT_EQ(folderpart(c.path), c.folder);
        EXPECT_EQ(extensionpart(c.path), c.ext);
        EXPECT_EQ(extfilename(c.path), c.name);
        EXPECT_EQ(exturlname(c.path), c.name);
        EXPECT_EQ(exturlnamewe(c.path), c.file);
    }
}

TEST(Names, ExtensionListTest) {
    struct Case {
        const char* path;
        const char* list;
        bool listed;
    };
    const std::vector<Case> cases = {
        {"http://h/a.css", ".css; .js; .vbs;", true},
        {"/p/a.JS", ".css; .js; .vbs;", true},
        {"/p/a.jpg", ".css; .js; .vbs;", false},
        {"/p/a.jpg", ".JPG;", false},
        {"/p/a.j", ".js;", false},
        {"/p/noext", ".css;", true},
        {"/p/noext", ".css", false},
        {"/p/a.jpg", "", false},
        {"/p/Shot 12:00.AVI", ".avi;", true},
        {"/p/notes.b:c", ".css;", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " in " + c.list);
        EXPECT_EQ(monextensionyest(c.path, c.list), c.listed);
    }
}

class NamesFileTest : public test::TempFolderTest {
protected:
    void touch(const std::string& name, const std::string& bytes = "") {
        std::ofstream(m_dir + name, std::ios::binary) << bytes;
    }
};

TEST_F(NamesFileTest, FreeNameCountsUpBesideTheTakenOne) {
    EXPECT_EQ(getnewnameifoldisstillhere(m_dir + "pic.jpg"), m_dir + "pic.jpg");
    touch("pic.jpg");
    EXPECT_EQ(getnewnameifoldisstillhere(m_dir + "pic.jpg"), m_dir + "pic_1.jpg");
    touch("pic_1.jpg");
    fs::create_directory(m_dir + "pic_2.jpg");
    EXPECT_EQ(getnewnameifoldisstillhere(m_dir + "pic.jpg"), m_dir + "pic_3.jpg");
    touch("a.b.jpg");
    EXPECT_EQ(getnewnameifoldisstillhere(m_dir + "a.b.jpg"), m_dir + "a_1.b_1.jpg");
    touch("Shot 13:45:12.png");
    EXPECT_EQ(getnewnameifoldisstillhere(m_dir + "Shot 13:45:12.png"),
              m_dir + "Shot 13:45:12_1.png");
}

TEST_F(NamesFileTest, FreeNameForDotlessNameEnds) {
    touch("photo");
    touch("photo_1");
    EXPECT_EQ(getnewnameifoldisstillhere(m_dir + "photo"), m_dir + "photo_2");
}

TEST_F(NamesFileTest, FileSize) {
    touch("empty");
    touch("five", "12345");
    fs::create_directory(m_dir + "sub");
    EXPECT_EQ(Get_File_Size2(m_dir + "missing"), "-1");
    EXPECT_EQ(Get_File_Size2(m_dir + "empty"), "0");
    EXPECT_EQ(Get_File_Size2(m_dir + "five"), "5");
    EXPECT_EQ(Get_File_Size2(m_dir + "sub"), "-1");

    const fs::path before = fs::current_path();
    fs::current_path(m_dir);
    EXPECT_EQ(Get_File_Size2("five"), "5");
    fs::current_path(before);
}

}  // namespace
}  // namespace ambrel::storage
