#include "core/app/remove.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/storage/listfile.h"
#include "core/transfer/ftpclient.h"
#include "support/appfixture.h"
#include "support/formserver.h"
#include "support/ftpserver.h"

namespace ambrel::app {
namespace {

using platform::Window;
constexpr const char* kRoot = "http://pics.example/u";

TEST(RemotePlace, FolderAndNameBelowTheRoot) {
    const struct {
        const char* path;
        const char* root;
        const char* folder;
        const char* name;
    } cases[] = {
        {"http://pics.example/u/a.jpg", "http://pics.example/u", "", "a.jpg"},
        {"http://pics.example/u/pics/a.jpg", "http://pics.example/u", "/pics", "a.jpg"},
        {"http://pics.example/u/pics/a.jpg", "http://pics.example/u/", "pics", "a.jpg"},
        {"http://pics.example/u/x/y/a.jpg", "http://pics.example/u", "/x/y", "a.jpg"},
        {"http://h", "http://h/long/root", "", "h"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const RemotePlace p = remotePlaceOf(c.path, c.root);
        EXPECT_EQ(p.folder, c.folder);
        EXPECT_EQ(p.name, c.name);
    }
}

class RemoveTest : public test::AppFixture {
protected:
    static void SetUpTestSuite() { s_ftp = new test::FtpServer; }
    static void TearDownTestSuite() { delete s_ftp; }
    void SetUp() override {
        AppFixture::SetUp();
        s_ftp->reset();
    }
    void fill(const std::vector<std::string>& list, const std::vector<int>& selected) {
        std::vector<storage::Entry> entries;
        for (const std::string& p : list) {
            entries.push_back({"n", p});
        }
        core().pictures().assign(entries);
        core().pictures().setSelection(selected);
        core().savepicmyfile(folder + "listing/default.fifi");
    }
    // Answers the window as soon as the command shows it.
    void answerWith(const std::function<void(RemoveOnline&)>& press, RemoveOnline& window) {
        ui.onProcessEvents = [&window, press, this] {
            if (ui.isWindowVisible(Window::RemoveOnline)) {
                press(window);
            }
        };
    }
    std::vector<std::string> paths() {
        std::vector<std::string> out;
        for (const auto& e : core().pictures().entries()) {
            out.push_back(e.path);
        }
        return out;
    }

    static inline test::FtpServer* s_ftp = nullptr;
};

TEST_F(RemoveTest, CancelRemovesNothingAndLocalOnlyRemovesEntriesAndFiles) {
    std::ofstream(root + "a.jpg") << "x";
    std::ofstream(root + "b.jpg") << "x";
    fill({root + "a.jpg", root + "b.jpg", "http://h/c.jpg"}, {0, 2});
    RemoveOnline window(core());
    answerWith([](RemoveOnline& w) { w.cancelDeletion(); }, window);
    window.fxremove();
    EXPECT_EQ(core().pictures().size(), 3);
    EXPECT_EQ(window.answer(), 'n');
    EXPECT_TRUE(ui.messages.empty());

    window.setRemoveLocalFiles(true);
    answerWith([](RemoveOnline& w) { w.no(); }, window);
    window.fxremove();
    EXPECT_EQ(paths(), std::vector<std::string>{root + "b.jpg"});
    EXPECT_FALSE(std::filesystem::exists(root + "a.jpg"));
    EXPECT_TRUE(std::filesystem::exists(root + "b.jpg"));
    EXPECT_EQ(storage::readListFile(folder + "listing/default.fifi").size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Done !");
    EXPECT_EQ(s_ftp->count("USER"), 0);
}

TEST_F(RemoveTest, OnlineDeletesInTheRightFolderAndComesBack) {
    test::writeFtpDefinition(folder + "upfiles/site.txt", kRoot, s_ftp->port(), "", "", "/www");
    test::writeHtmlDefinition(folder + "upfiles/form.txt", "http://f/", "", "", "", "", "");
    for (const char* f : {"www/a.jpg", "www/pics/b.jpg", "pics/b.jpg"}) {
        std::filesystem::create_directories(std::filesystem::path(s_ftp->root() + f).parent_path());
        std::ofstream(s_ftp->root() + f) << "x";
    }
    fill({std::string(kRoot) + "/a.jpg", std::string(kRoot) + "/pics/b.jpg",
          "http://elsewhere/c.jpg"},
         {0, 1, 2});
    RemoveOnline window(core());
    answerWith(
        [](RemoveOnline& w) {
            EXPECT_EQ(w.servers(), std::vector<std::string>{"site"});
            w.yes();
        },
        window);
    ui.promptAnswers = {std::string(test::FtpServer::kPassword)};
    window.fxremove();
    EXPECT_TRUE(paths().empty());
    EXPECT_FALSE(std::filesystem::exists(s_ftp->root() + "www/a.jpg"));
    EXPECT_FALSE(std::filesystem::exists(s_ftp->root() + "www/pics/b.jpg"));
    EXPECT_TRUE(std::filesystem::exists(s_ftp->root() + "pics/b.jpg"));
    std::vector<std::string> commands;
    for (const std::string& line : s_ftp->logLines()) {
        if (line.starts_with("CWD") || line.starts_with("DELE")) {
            commands.push_back(line);
        }
    }
    EXPECT_EQ(commands,
              (std::vector<std::string>{"CWD /www", "CWD /www/pics", "DELE b.jpg", "CWD /",
                                        "CWD /www", "DELE a.jpg", "CWD /", "CWD /www"}));
    EXPECT_EQ(ui.messages.back().text, "Done !");
    EXPECT_FALSE(core().transfers().ftp().connected());
}

TEST_F(RemoveTest, ARefusedDeleteEndsRemoveAndLeavesTheListFile) {
    test::writeFtpDefinition(folder + "upfiles/site.txt", kRoot, s_ftp->port(),
                             test::FtpServer::kPassword, "", "");
    fill({std::string(kRoot) + "/missing.jpg", "http://elsewhere/c.jpg"}, {0, 1});
    const std::string before = read("listing/default.fifi");
    RemoveOnline window(core());
    answerWith([](RemoveOnline& w) { w.yes(); }, window);
    EXPECT_FALSE(core().runCommand([&] { window.fxremove(); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("550 ")) << ui.messages[0].text;
    EXPECT_EQ(read("listing/default.fifi"), before);
    EXPECT_EQ(paths(), std::vector<std::string>{std::string(kRoot) + "/missing.jpg"});
    EXPECT_TRUE(core().transfers().ftp().connected());
}

TEST_F(RemoveTest, YesWithoutAnyFtpServerStaysCancelled) {
    fill({"http://h/a.jpg"}, {0});
    RemoveOnline window(core());
    answerWith([](RemoveOnline& w) { w.yes(); }, window);
    window.fxremove();
    EXPECT_EQ(core().pictures().size(), 1);
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace ambrel::app
