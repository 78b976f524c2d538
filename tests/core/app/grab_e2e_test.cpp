#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "core/app/grab.h"
#include "core/web/curlpagefetcher.h"
#include "support/appfixture.h"

extern char** environ;

namespace ambrel::test {
namespace {

// The page server of tests/servers on a free loopback port, for the whole suite.
class PageServer {
public:
    PageServer() {
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string python = "/usr/bin/python3";
        std::string script = std::string(AMBREL_TEST_SERVERS) + "/pages_server.py";
        char* argv[] = {python.data(), script.data(), nullptr};
        if (::posix_spawn(&m_pid, python.c_str(), &actions, nullptr, argv, environ) != 0) {
            m_pid = 0;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        // The server prints its port once it listens; a dead one closes the pipe.
        char buffer[16] = {};
        std::size_t got = 0;
        while (got < sizeof buffer - 1) {
            const ssize_t n = ::read(out[0], buffer + got, 1);
            if (n <= 0 || buffer[got] == '\n') {
                break;
            }
            ++got;
        }
        ::close(out[0]);
        m_port = std::atoi(buffer);
    }
    ~PageServer() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
        }
    }
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    std::string root() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    int port() const { return m_port; }

private:
    pid_t m_pid = 0;
    int m_port = 0;
};

class GrabEndToEndTest : public AppFixture {
protected:
    static void SetUpTestSuite() { server = new PageServer; }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_GT(server->port(), 0) << "the page server did not start";
    }
    static PageServer* server;
};

PageServer* GrabEndToEndTest::server = nullptr;

TEST_F(GrabEndToEndTest, GrabsFromARealServer) {
    const std::string r = server->root();
    struct Case {
        const char* name;
        std::string address;
        bool pictures;
        std::vector<std::string> linkList;
        std::vector<std::string> messages;
    } cases[] = {
        {"pictures", r + "/dir/page.html", true, {r + "/dir/pic.jpg", r + "/img/x.gif"}, {}},
        {"links", r + "/dir/page.html", false, {r + "//up.html", r + "/dir/next.html"}, {}},
        {"through a redirect", r + "/moved", true, {r + "/dir/pic.jpg", r + "/img/x.gif"}, {}},
        {"a 401 answered from the address",
         "http://me:pw@127.0.0.1:" + std::to_string(server->port()) + "/private/page.html",
         false,
         {r + "//up.html", r + "/private/next.html"},
         {}},
        {"a 401 with wrong credentials",
         "http://me:no@127.0.0.1:" + std::to_string(server->port()) + "/private/page.html",
         true,
         {},
         {"Error : HTTP/1.0 401 Unauthorized"}},
        {"a missing page", r + "/none.html", true, {}, {"Error : HTTP/1.0 404 Not Found"}},
    };
    web::CurlPageFetcher pages([this] { ui.processEvents(0); });
    core().startup({});
    app::Grab grab(core(), pages);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        grab.address = c.address;
        grab.grabPictures = c.pictures;
        grab.grab();
        EXPECT_EQ(core().linkList(), c.linkList);
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) {
            texts.push_back(m.text);
        }
        EXPECT_EQ(texts, c.messages);
    }
    // What was grabbed reached the list file, each link once and without the credentials.
    const std::string list = read("listing/default.fifi");
    EXPECT_EQ(list.find("me:pw"), std::string::npos);
    EXPECT_EQ(list, "pic||" + r + "/dir/pic.jpg\r\nx||" + r + "/img/x.gif\r\nup||" + r +
                        "//up.html\r\nnext||" + r + "/dir/next.html\r\nnext||" + r +
                        "/private/next.html\r\n");
}

}  // namespace
}  // namespace ambrel::test
