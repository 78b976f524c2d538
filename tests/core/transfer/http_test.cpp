#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/platform/scripted_ui.h"
#include "core/storage/textfile.h"
#include "core/transfer/download.h"
#include "core/transfer/textrules.h"
#include "core/transfer/transfers.h"
#include "support/servers.h"
#include "support/tempfolder.h"

namespace ambrel::transfer {
namespace {

using platform::Window;

class HttpTransfers : public test::TempFolderTest {
protected:
    static void SetUpTestSuite() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "ambrel-http-log-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        ASSERT_GE(fd, 0);
        ::close(fd);
        s_log = new std::string(pattern);
        s_server = new test::ServerProcess;
        s_server->start({"/usr/bin/python3", test::serversDir() + "/http_server.py", *s_log}, true);
    }
    static void TearDownTestSuite() {
        delete s_server;
        std::filesystem::remove(*s_log);
        delete s_log;
    }
    void SetUp() override {
        TempFolderTest::SetUp();
        std::ofstream(*s_log, std::ios::trunc).close();
    }

    static std::string url(const std::string& path) { return s_server->url() + path; }
    static std::string requestLog() { return storage::readBytes(*s_log); }
    std::vector<std::string> errors() const {
        std::vector<std::string> out;
        for (const auto& m : ui.messages) {
            out.push_back(m.text);
        }
        return out;
    }

    static inline test::ServerProcess* s_server = nullptr;
    static inline std::string* s_log = nullptr;
    platform::ScriptedUi ui;
    Transfers transfers{ui};
};

TEST_F(HttpTransfers, DownloadsTheBodyAndDrivesTheProgressState) {
    int begins = 0;
    std::int64_t seenMax = 0;
    transfers.progress().onChanged = [&] {
        if (transfers.progress().speedLine == kSpeedAtBegin &&
            transfers.progress().transferValue == 0 && transfers.progress().transferMax > 0) {
            ++begins;
            seenMax = transfers.progress().transferMax;
        }
    };
    filetodownload(transfers, url("/size/300000/a.jpg"), m_dir + "a.jpg");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(GetFileSize(m_dir + "a.jpg"), 300000);
    EXPECT_GE(begins, 1);
    EXPECT_EQ(seenMax, 300000);
    EXPECT_EQ(transfers.progress().transferValue, 0);  // the end resets the bar
    EXPECT_FALSE(transfers.downloadMode);
    EXPECT_GT(ui.processEventsCalls, 0);
}

TEST_F(HttpTransfers, FailuresAreReportedAndLeaveTheFileEmpty) {
    const int closedPort = test::ServerProcess::freePort();
    const struct {
        std::string address;
        std::string message;
    } cases[] = {
        {url("/status/404/a.jpg"), "Error : HTTP/1.1 404 Not Found"},
        {url("/status/410/a.jpg"), "Error : HTTP/1.1 410 Gone"},
        {url("/status/500/a.jpg"), "Error : HTTP/1.1 500 Internal Server Error"},
        {url("/loop/a.jpg"), "Error : Number of redirects hit maximum amount"},
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/a.jpg",
         "Error : Couldn't connect to server"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        ui.messages.clear();
        filetodownload(transfers, c.address, m_dir + "f");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.starts_with(c.message)) << ui.messages[0].text;
        EXPECT_EQ(ui.messages[0].icon, platform::MessageIcon::Information);
        EXPECT_EQ(GetFileSize(m_dir + "f"), 0);
    }
}

TEST_F(HttpTransfers, RedirectsAreFollowedAndAddressesEncodedOnce) {
    filetodownload(transfers, url("/redirect/3/r.jpg"), m_dir + "r.jpg");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(GetFileSize(m_dir + "r.jpg"), 64);

    filetodownload(transfers, url("/echo/a%20b c.jpg"), m_dir + "echo");
    const std::string echo = storage::readBytes(m_dir + "echo");
    EXPECT_TRUE(echo.starts_with("GET /echo/a%2520b%20c.jpg HTTP/1.1")) << echo;
    // A download client sends the library's own headers, not the main client's.
    EXPECT_EQ(echo.find("Mozilla/3.0"), std::string::npos);
}

TEST_F(HttpTransfers, TheMainClientSendsItsHeadersAndTheMultipartBody) {
    std::ofstream(m_dir + "p.png") << "PNGDATA";
    std::vector<FormPart> parts(2);
    parts[0].name = "a";
    parts[0].value = "1";
    parts[1].name = "pic";
    parts[1].isFile = true;
    parts[1].filePath = m_dir + "p.png";
    parts[1].fileName = "p.png";
    parts[1].contentType = "image/png";
    transfers.downloadMode = true;  // as for every upload: the main client's own transfer
    const std::string page = transfers.mainClient().postMultipart(url("/echo/post"), parts);
    EXPECT_TRUE(page.starts_with("POST /echo/post HTTP/1.1")) << page;
    EXPECT_NE(page.find("User-Agent: Mozilla/3.0 (compatible; mozilla)"), std::string::npos);
    EXPECT_NE(page.find(std::string("Accept: ") + kAccept), std::string::npos);
    EXPECT_NE(page.find("Content-Type: multipart/form-data; boundary="), std::string::npos);
    EXPECT_NE(page.find("name=\"pic\"; filename=\"p.png\""), std::string::npos);
    EXPECT_NE(page.find("Content-Type: image/png"), std::string::npos);
    EXPECT_NE(page.find("PNGDATA"), std::string::npos);
}

TEST_F(HttpTransfers, AnAuthorizationAnsweredInTheWindowIsRetriedOnce) {
    int shown = 0;
    ui.onProcessEvents = [&] {
        if (ui.isWindowVisible(Window::Authorization)) {
            ++shown;
            transfers.authorization().user = "ann";
            transfers.authorization().password = "pw";
            ui.hideWindow(Window::Authorization);
        }
    };
    filetodownload(transfers, url("/auth/ann/pw/x.jpg"), m_dir + "x.jpg");
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(storage::readBytes(m_dir + "x.jpg"), "granted");

    // A wrong answer: one retry, its failure reported, no second window.
    shown = 0;
    ui.onProcessEvents = [&] {
        if (ui.isWindowVisible(Window::Authorization)) {
            ++shown;
            transfers.authorization().password = "wrong";
            ui.hideWindow(Window::Authorization);
        }
    };
    filetodownload(transfers, url("/auth/ann/pw/y.jpg"), m_dir + "y.jpg");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(errors(), std::vector<std::string>{"Error : HTTP/1.1 401 Unauthorized"});
    EXPECT_EQ(GetFileSize(m_dir + "y.jpg"), 0);

    // Cancel in the window skips the retry silently.
    ui.messages.clear();
    ui.onProcessEvents = [&] {
        if (ui.isWindowVisible(Window::Authorization)) {
            transfers.authorization().answer = 'n';
            ui.hideWindow(Window::Authorization);
        }
    };
    filetodownload(transfers, url("/auth/ann/pw/z.jpg"), m_dir + "z.jpg");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(GetFileSize(m_dir + "z.jpg"), 0);
    EXPECT_EQ(relayb(transfers, url("/auth/ann/pw/z.jpg")), "");
}

TEST_F(HttpTransfers, CredentialsInTheAddressAnswerTheServerWithoutTheWindow) {
    transfers.authorization().answer = 'n';  // an earlier cancel does not matter
    ui.onProcessEvents = [&] { EXPECT_FALSE(ui.isWindowVisible(Window::Authorization)); };
    const std::string address =
        "http://ann:pw@127.0.0.1:" + std::to_string(s_server->port()) + "/auth/ann/pw/c.jpg";
    filetodownload(transfers, address, m_dir + "c.jpg");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(storage::readBytes(m_dir + "c.jpg"), "granted");
    EXPECT_EQ(transfers.authorization().user, "ann");
    EXPECT_EQ(transfers.authorization().password, "pw");
    // The first request went without them, the retry with them.
    const std::string log = requestLog();
    EXPECT_EQ(log, "GET /auth/ann/pw/c.jpg HTTP/1.1\nGET /auth/ann/pw/c.jpg HTTP/1.1\n");
    EXPECT_EQ(relayb(transfers, url("/auth/ann/pw/c.jpg")), "granted");
}

TEST_F(HttpTransfers, CancelCutsTheTransferAtOnce) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    Clock::time_point cancelledAt{};
    ui.onProcessEvents = [&] {
        if (cancelledAt == Clock::time_point{} &&
            Clock::now() - start > std::chrono::milliseconds(400)) {
            cancelledAt = Clock::now();
            transfers.cancel();
        }
    };
    ui.showWindow(Window::Progress);
    filetodownload(transfers, url("/slow/1000000/s.jpg"), m_dir + "s.jpg");
    const auto afterCancel = Clock::now() - cancelledAt;
    EXPECT_LT(afterCancel, std::chrono::milliseconds(300));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(ui.messages[0].text.starts_with("Error : Connection closed"))
        << ui.messages[0].text;
    EXPECT_GT(GetFileSize(m_dir + "s.jpg"), 0);
    EXPECT_LT(GetFileSize(m_dir + "s.jpg"), 1000000);
    EXPECT_EQ(transfers.progress().cancelFlag, 'n');
    EXPECT_FALSE(ui.isWindowVisible(Window::Progress));
}

TEST_F(HttpTransfers, ALocalFileThatCannotBeCreatedEndsTheCaller) {
    EXPECT_THROW(filetodownload(transfers, url("/size/10/a.jpg"), m_dir + "missing/a.jpg"),
                 storage::IoError);
    EXPECT_TRUE(requestLog().empty());
}

}  // namespace
}  // namespace ambrel::transfer
