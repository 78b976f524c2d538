#include "core/integration/channel.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>

#include "support/tempfolder.h"

namespace ambrel::test {
namespace {

using integration::InstanceServer;
using integration::MessageKind;
using integration::SendOutcome;
using integration::SendResult;
using namespace std::chrono_literals;

// A peer that connects and sends bytes of its own choosing, then nothing more.
class RawPeer {
public:
    RawPeer(const std::string& path, const std::string& bytes) {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path.c_str());
        EXPECT_EQ(::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    ~RawPeer() { ::close(m_fd); }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    // The server closed its end without a word.
    bool dropped() const {
        char byte = 0;
        return ::recv(m_fd, &byte, 1, MSG_DONTWAIT) == 0;
    }

private:
    int m_fd = -1;
};

class ChannelTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        path = m_dir + "channel.sock";
    }

    // Sends from another thread, as another process would, while this thread serves the
    // way the running copy's event loop does: it waits only in poll, for what the server
    // watches.
    SendResult sendWhileServing(InstanceServer& server, const InstanceServer::Handler& answer,
                                MessageKind kind, const std::string& payload) {
        auto sent = std::async(std::launch::async, [&] {
            return integration::sendMessage(path, kind, payload, 10000);
        });
        const auto deadline = std::chrono::steady_clock::now() + 15s;
        while (sent.wait_for(0s) != std::future_status::ready &&
               std::chrono::steady_clock::now() < deadline) {
            std::vector<pollfd> watched;
            for (const InstanceServer::Watch& w : server.watches()) {
                watched.push_back({w.fd, static_cast<short>(w.write ? POLLOUT : POLLIN), 0});
            }
            ::poll(watched.data(), watched.size(), 20);
            server.serve(answer);
        }
        return sent.get();
    }

    std::string path;
    std::vector<std::string> received;
    InstanceServer::Handler handler = [this](MessageKind, const std::string& payload) {
        received.push_back(payload);
        return std::optional<std::string>("ok");
    };
};

std::string header(char kind, std::uint32_t length) {
    std::string bytes(1, kind);
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>((length >> (8 * i)) & 0xff);
    }
    return bytes;
}

TEST_F(ChannelTest, StalledOrBrokenPeersHoldUpNoOne) {
    struct Case {
        const char* name;
        std::string bytes;
        bool dropped;  // at once, unanswered
    };
    const Case cases[] = {
        {"silent", "", false},
        {"half a header", header(2, 10).substr(0, 2), false},
        {"a header and half its payload", header(2, 10) + "abc", false},
        {"an unknown kind", header(9, 0), true},
        {"a length beyond the kind's limit", header(2, 5000), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        received.clear();
        InstanceServer server(path, 60s);
        RawPeer peer(path, c.bytes);
        server.serve(handler);  // takes the peer and what it sent

        const SendResult result =
            sendWhileServing(server, handler, MessageKind::NewDownload, "http://h/p.jpg");
        EXPECT_EQ(result.outcome, SendOutcome::Answered);
        EXPECT_EQ(result.answer, "ok");
        EXPECT_EQ(received, std::vector<std::string>{"http://h/p.jpg"});
        server.serve(handler);
        EXPECT_EQ(peer.dropped(), c.dropped);
        EXPECT_EQ(server.watches().size(), c.dropped ? 1u : 2u);
    }
}

TEST_F(ChannelTest, AConnectionLivesNoLongerThanItsLife) {
    std::vector<int> closed;
    {
        InstanceServer server(path, 60s);
        server.setClosing([&](int fd) { closed.push_back(fd); });
        EXPECT_EQ(server.nextExpiry(), std::nullopt);
        auto peer = std::make_unique<RawPeer>(path, "");
        server.serve(handler);
        ASSERT_EQ(server.watches().size(), 2u);
        const int fd = server.watches().back().fd;
        ASSERT_TRUE(server.nextExpiry().has_value());
        EXPECT_GT(*server.nextExpiry(), 50s);
        EXPECT_LE(*server.nextExpiry(), 60s);
        peer.reset();  // hanging up ends it too
        server.serve(handler);
        EXPECT_EQ(closed, std::vector<int>{fd});
        EXPECT_EQ(server.nextExpiry(), std::nullopt);
    }
    InstanceServer shortLived(path, 0ms);
    RawPeer peer(path, header(2, 10));
    shortLived.serve(handler);
    shortLived.serve(handler);
    EXPECT_TRUE(peer.dropped());
    EXPECT_EQ(shortLived.watches().size(), 1u);
    EXPECT_TRUE(received.empty());
}

TEST_F(ChannelTest, AnAnswerLargerThanTheSocketHoldsGoesOutAsThePeerReads) {
    InstanceServer server(path);
    const std::string big(4u << 20, 'x');
    const auto answer = [&](MessageKind, const std::string&) {
        return std::optional<std::string>(big);
    };
    const SendResult result = sendWhileServing(server, answer, MessageKind::ReadClipboard, "");
    EXPECT_EQ(result.outcome, SendOutcome::Answered);
    EXPECT_EQ(result.answer.size(), big.size());
    EXPECT_EQ(server.watches().size(), 1u);
}

TEST_F(ChannelTest, TheSenderTellsWhyThereWasNoAnswer) {
    EXPECT_EQ(integration::sendMessage(path, MessageKind::NewDownload, "x", 1000).outcome,
              SendOutcome::NotRunning);
    InstanceServer server(path);
    // Listening, but its event loop never comes round to the message.
    EXPECT_EQ(integration::sendMessage(path, MessageKind::NewDownload, "x", 200).outcome,
              SendOutcome::NoAnswer);
    const auto refuse = [](MessageKind, const std::string&) {
        return std::optional<std::string>();
    };
    EXPECT_EQ(sendWhileServing(server, refuse, MessageKind::NewDownload, "x").outcome,
              SendOutcome::Refused);
    const auto fail = [](MessageKind, const std::string&) -> std::optional<std::string> {
        throw std::runtime_error("broken");
    };
    EXPECT_EQ(sendWhileServing(server, fail, MessageKind::NewDownload, "x").outcome,
              SendOutcome::Refused);
}

}  // namespace
}  // namespace ambrel::test
