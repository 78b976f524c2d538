#include "core/app/downloadlist.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/storage/listfile.h"
#include "core/transfer/textrules.h"
#include "support/appfixture.h"
#include "support/httpserver.h"

namespace ambrel::app {
namespace {

using platform::Window;

class DownloadListTest : public test::AppFixture {
protected:
    static void SetUpTestSuite() { s_server = new test::HttpServer; }
    static void TearDownTestSuite() { delete s_server; }
    void SetUp() override {
        AppFixture::SetUp();
        downloads = root + "down";
        std::filesystem::create_directory(downloads);
        core().fileSettings().downdir = downloads;
    }
    static std::string url(const std::string& path) { return s_server->url(path); }
    std::vector<std::string> listed() {
        std::vector<std::string> paths;
        for (const auto& e : storage::readListFile(folder + "listing/default.fifi")) {
            paths.push_back(e.path);
        }
        return paths;
    }

    static inline test::HttpServer* s_server = nullptr;
    std::string downloads;
};

TEST_F(DownloadListTest, OnlyWebAddressLinesOfTheClipboardAreOffered) {
    DownloadList list(core());
    clipboard.setText(
        "http://a/1.jpg\r\nftp://b/2.jpg\r\n http://c/3.jpg\nHTTP://e/5.jpg\rhttps://d/4.jpg");
    list.fxdownload();
    EXPECT_EQ(list.text(), "http://a/1.jpg\nhttps://d/4.jpg\n");
    EXPECT_TRUE(ui.isWindowVisible(Window::DownloadList));
    EXPECT_TRUE(list.addToList());
    list.cancel();
    EXPECT_FALSE(ui.isWindowVisible(Window::DownloadList));
}

TEST_F(DownloadListTest, FilesGetFreeNamesAndOnlyNonEmptyOnesAreAdded) {
    for (const char* name : {"x.jpg", "x_1.jpg", "photo"}) {
        std::ofstream(downloads + "/" + name) << "old";
    }
    DownloadList list(core());
    list.setText(url("/size/10/x.jpg") + "\n" + url("/size/5/photo") + "\n" +
                 url("/status/404/gone.jpg") + "\n" + url("/") + "\nnot an address\n" +
                 url("/status/404/gone.jpg") + "\n");
    ui.showWindow(Window::DownloadList);
    list.download();
    EXPECT_EQ(transfer::GetFileSize(downloads + "/x_2.jpg"), 10);
    EXPECT_EQ(transfer::GetFileSize(downloads + "/photo_1."), 5);
    // A failed download leaves its empty file, which the next one steps around.
    EXPECT_TRUE(std::filesystem::exists(downloads + "/gone.jpg"));
    EXPECT_TRUE(std::filesystem::exists(downloads + "/gone_1.jpg"));
    EXPECT_EQ(listed(),
              (std::vector<std::string>{downloads + "/x_2.jpg", downloads + "/photo_1."}));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Error : HTTP/1.1 404 Not Found");
    EXPECT_EQ(ui.messages[1].text, "Error : The address names no file: " + url("/"));
    EXPECT_FALSE(ui.isWindowVisible(Window::Progress));
    EXPECT_FALSE(ui.isWindowVisible(Window::DownloadList));
    EXPECT_EQ(core().transfers().progress().overall, 83);  // entry 5 of 6 started last
}

TEST_F(DownloadListTest, CancelDuringTheSecondOfThreeStopsTheRun) {
    DownloadList list(core());
    list.setText(url("/size/100/a.jpg") + "\n" + url("/slow/1000000/b.jpg") + "\n" +
                 url("/size/100/c.jpg") + "\n");
    ui.onProcessEvents = [&] {
        if (ui.isWindowVisible(Window::Progress) &&
            transfer::GetFileSize(downloads + "/b.jpg") > 2000) {
            core().transfers().cancel();  // "C"
        }
    };
    list.download();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("Error : Connection closed"));
    EXPECT_FALSE(std::filesystem::exists(downloads + "/c.jpg"));
    // The part of the second file that came is added like any file of at least one byte.
    EXPECT_EQ(listed(), (std::vector<std::string>{downloads + "/a.jpg", downloads + "/b.jpg"}));
    EXPECT_EQ(core().transfers().progress().cancelFlag, 'n');
}

TEST_F(DownloadListTest, AFileThatCannotBeCreatedEndsTheRunAndClosesTheProgressWindow) {
    core().fileSettings().downdir = root + "missing";
    DownloadList list(core());
    list.setText(url("/size/10/a.jpg") + "\n" + url("/size/10/b.jpg") + "\n");
    EXPECT_TRUE(core().runCommand([&] { list.download(); }) == false);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("Cannot create file \"" + root + "missing/a.jpg"))
        << ui.messages[0].text;
    EXPECT_FALSE(ui.isWindowVisible(Window::Progress));
}

}  // namespace
}  // namespace ambrel::app
