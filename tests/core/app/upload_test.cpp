#include "core/app/upload.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/storage/listfile.h"
#include "core/storage/names.h"
#include "core/transfer/ftpclient.h"
#include "core/transfer/textrules.h"
#include "support/appfixture.h"
#include "support/formserver.h"
#include "support/ftpserver.h"
#include "support/httpserver.h"

namespace ambrel::app {
namespace {

using platform::Window;
constexpr const char* kRoot = "http://pics.example/u";

class UploadTest : public test::AppFixture {
protected:
    static void SetUpTestSuite() {
        s_http = new test::HttpServer;
        s_ftp = new test::FtpServer;
        s_form = new test::FormServer;
    }
    static void TearDownTestSuite() {
        delete s_http;
        delete s_ftp;
        delete s_form;
    }
    void SetUp() override {
        AppFixture::SetUp();
        s_ftp->reset();
        std::ofstream(root + "a.jpg") << "LOCALJPEG";
    }

    // Makes the definition the current one and puts the entries in the list, all selected.
    void prepare(const std::string& definition, const std::vector<std::string>& paths) {
        core().uploadSettings().fill(folder);
        const auto& names = core().uploadSettings().names();
        const auto it = std::find(names.begin(), names.end(), definition);
        ASSERT_NE(it, names.end());
        core().uploadSettings().select(static_cast<int>(it - names.begin()));
        std::vector<int> rows;
        for (const std::string& p : paths) {
            rows.push_back(core().pictures().size());
            core().pictures().append({storage::extfilename(p), p});
        }
        core().pictures().setSelection(rows);
    }
    std::vector<std::string> listed() {
        std::vector<std::string> out;
        if (exists("listing/default.fifi")) {
            for (const auto& e : storage::readListFile(folder + "listing/default.fifi")) {
                out.push_back(e.path);
            }
        }
        return out;
    }

    static inline test::HttpServer* s_http = nullptr;
    static inline test::FtpServer* s_ftp = nullptr;
    static inline test::FormServer* s_form = nullptr;
};

TEST_F(UploadTest, FtpTakesLocalAndWebEntriesAndPassesOverOthers) {
    test::writeFtpDefinition(folder + "upfiles/myftp.txt", kRoot, s_ftp->port(),
                             test::FtpServer::kPassword, "pics", "");
    std::filesystem::create_directory(s_ftp->root() + "pics");
    std::ofstream(s_ftp->root() + "pics/a.jpg") << "taken";
    prepare("myftp", {root + "a.jpg", "ftp:whatever/x.jpg", s_http->url("/size/2000/w.jpg")});
    fxupload(core());
    EXPECT_EQ(listed(), (std::vector<std::string>{std::string(kRoot) + "/pics/a_1.jpg",
                                                  std::string(kRoot) + "/pics/w.jpg"}));
    EXPECT_EQ(storage::readBytes(s_ftp->root() + "pics/a_1.jpg"), "LOCALJPEG");
    EXPECT_EQ(transfer::GetFileSize(s_ftp->root() + "pics/w.jpg"), 2000);
    EXPECT_FALSE(exists("temp/w.jpg"));  // the temp copy goes after an FTP store
    EXPECT_EQ(s_ftp->count("LOGIN"), 1);
    EXPECT_EQ(s_ftp->count("QUIT"), 1);
    EXPECT_FALSE(core().transfers().ftp().connected());
    EXPECT_FALSE(ui.isWindowVisible(Window::Progress));
    EXPECT_EQ(core().transfers().progress().overall, 100);
    // The uploaded entries stay beside their new links.
    EXPECT_EQ(core().pictures().size(), 5);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UploadTest, HtmlFormLinksAreCutCleanedAndAdded) {
    test::writeHtmlDefinition(folder + "upfiles/form.txt", s_form->url("/upload.php"),
                              "<MAX_FILE_SIZE>2000000</MAX_FILE_SIZE>\r\n<@i@>pic</@i@>\r\n",
                              "src=\"", "\"", "", ".th");
    prepare("form", {root + "a.jpg", s_http->url("/size/300/web.png")});
    fxupload(core());
    EXPECT_EQ(listed(), (std::vector<std::string>{s_form->url("/stored/a.jpg"),
                                                  s_form->url("/stored/web.png")}));
    EXPECT_EQ(storage::readBytes(s_form->stored("a.jpg")), "LOCALJPEG");
    EXPECT_EQ(transfer::GetFileSize(s_form->stored("web.png")), 300);
    EXPECT_EQ(transfer::GetFileSize(folder + "temp/web.png"), 300);  // stays for the form kind
    EXPECT_EQ(storage::readBytes(s_form->stored("last.txt")),
              "name=web.png\ntype=image/png\nfield MAX_FILE_SIZE=2000000\n");
}

TEST_F(UploadTest, AWebEntryThatCannotBeFetchedEndsTheRunQuietly) {
    test::writeFtpDefinition(folder + "upfiles/myftp.txt", kRoot, s_ftp->port(),
                             test::FtpServer::kPassword, "", "");
    prepare("myftp", {s_http->url("/status/404/gone.jpg"), root + "a.jpg"});
    ui.promptAnswers = {std::string()};
    EXPECT_TRUE(core().runCommand([&] { fxupload(core()); }));
    EXPECT_TRUE(listed().empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error : HTTP/1.1 404 Not Found");
    EXPECT_FALSE(std::filesystem::exists(s_ftp->root() + "a.jpg"));
    EXPECT_FALSE(core().transfers().ftp().connected());
    EXPECT_FALSE(ui.isWindowVisible(Window::Progress));
}

TEST_F(UploadTest, AnFtpRefusalEndsTheRunWithTheServersReply) {
    test::writeFtpDefinition(folder + "upfiles/myftp.txt", kRoot, s_ftp->port(), "wrong", "p", "");
    prepare("myftp", {root + "a.jpg"});
    EXPECT_FALSE(core().runCommand([&] { fxupload(core()); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("530 ")) << ui.messages[0].text;
    EXPECT_TRUE(listed().empty());
}

}  // namespace
}  // namespace ambrel::app
