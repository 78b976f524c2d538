#include "core/integration/instance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "core/app/runningcopy.h"
#include "core/integration/channel.h"
#include "core/integration/runningcopy.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using integration::HandOverRecord;
using integration::MessageKind;
using integration::TDuDid2;

std::uint32_t readCount(const std::string& record) {
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        count |= static_cast<std::uint32_t>(static_cast<unsigned char>(record[1 + i])) << (8 * i);
    }
    return count;
}

std::string slot(const std::string& record, std::size_t offset) {
    return record.substr(offset + 1, static_cast<unsigned char>(record[offset]));
}

TEST(HandOverRecordTest, LaysOutFlagCountSlotsAndUserText) {
    const std::string record =
        integration::buildHandOverRecord(true, {"/usr/bin/myambrel", "http://h/p.jpg", ""}, "me");
    ASSERT_EQ(record.size(), 66053u);
    EXPECT_EQ(record[0], 1);
    EXPECT_EQ(readCount(record), 2u);
    EXPECT_EQ(slot(record, 5), "/usr/bin/myambrel");
    EXPECT_EQ(slot(record, 5 + 256), "http://h/p.jpg");
    EXPECT_EQ(slot(record, 5 + 512), "");
    EXPECT_EQ(record.find_first_not_of('\0', 5 + 3 * 256), 5 + 257 * 256u);
    EXPECT_EQ(slot(record, 5 + 257 * 256), "me");
    EXPECT_EQ(integration::buildHandOverRecord(false, {"p"}, "")[0], 0);
}

TEST(HandOverRecordTest, DropsArgumentsBeyond256AndCutsEachTo255) {
    std::vector<std::string> commandLine{"prog"};
    for (int i = 1; i <= 300; ++i) {
        commandLine.push_back("arg" + std::to_string(i));
    }
    commandLine[1] = std::string(300, 'a');
    const std::string record = integration::buildHandOverRecord(true, commandLine, "");
    ASSERT_EQ(record.size(), 66053u);
    EXPECT_EQ(readCount(record), 256u);
    EXPECT_EQ(slot(record, 5 + 256), std::string(255, 'a'));
    EXPECT_EQ(slot(record, 5 + 256 * 256), "arg256");

    const std::optional<HandOverRecord> parsed = integration::parseHandOverRecord(record);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_TRUE(parsed->stop);
    EXPECT_EQ(parsed->count, 256u);
    ASSERT_EQ(parsed->arguments.size(), 257u);
    EXPECT_EQ(parsed->arguments.front(), "prog");
    EXPECT_EQ(parsed->arguments.back(), "arg256");
}

TEST(HandOverRecordTest, ParsingRefusesWrongSizesAndCapsTheCount) {
    std::string record = integration::buildHandOverRecord(false, {"prog", "x"}, "user");
    EXPECT_FALSE(integration::parseHandOverRecord(record.substr(1)).has_value());
    EXPECT_FALSE(integration::parseHandOverRecord(record + '\0').has_value());
    record[1] = '\xff';
    record[2] = '\xff';
    const auto parsed = integration::parseHandOverRecord(record);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->count, 256u);
    EXPECT_EQ(parsed->arguments.size(), 257u);
    EXPECT_EQ(parsed->user, "user");
}

// Answers a copy's channel on a thread of its own, as the running copy's event loop would,
// so a second copy in this process can wait for the answer.
class ChannelThread {
public:
    ChannelThread(integration::InstanceServer& server, integration::InstanceServer::Handler handler)
        : m_thread([this, &server, h = std::move(handler)] {
              while (!m_stop) {
                  std::vector<pollfd> watched;
                  for (const auto& w : server.watches()) {
                      watched.push_back({w.fd, static_cast<short>(w.write ? POLLOUT : POLLIN), 0});
                  }
                  if (::poll(watched.data(), watched.size(), 20) > 0) {
                      const std::lock_guard<std::mutex> lock(mutex);
                      server.serve(h);
                  }
              }
          }) {}
    ~ChannelThread() {
        m_stop = true;
        m_thread.join();
    }
    ChannelThread(const ChannelThread&) = delete;
    ChannelThread& operator=(const ChannelThread&) = delete;

    std::mutex mutex;  // held while a message is handled

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class InstanceTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        instanceFolder = root + "run";
    }
    // A store of another process: the same file, its own view.
    std::unique_ptr<platform::RegistryStore> store() const {
        return std::make_unique<platform::RegistryStore>(registry->file());
    }
    std::string channelIn(platform::RegistryStore& r) const {
        return integration::runningCopyChannel(r, "prog");
    }

    std::string instanceFolder;
};

TEST_F(InstanceTest, ASecondStartHandsItsCommandLineToTheFirst) {
    auto firstStore = store();
    TDuDid2 first(*firstStore, "prog", instanceFolder);
    ASSERT_EQ(first.error(), "");
    EXPECT_FALSE(first.alreadyRunning());
    bool passedOver = false;
    first.OnPasDejaLance = [&] { passedOver = true; };
    int count = -1;
    std::vector<std::string> arguments;
    first.OnOtherTryToRun = [&](bool stop, int n, const std::vector<std::string>& args,
                                const std::string&) {
        EXPECT_TRUE(stop);
        count = n;
        arguments = args;
    };
    first.loaded({"/bin/prog"});
    ASSERT_NE(first.server(), nullptr);
    EXPECT_TRUE(passedOver);
    EXPECT_EQ(channelIn(*store()), first.server()->path());

    struct stat st {};
    ASSERT_EQ(::stat(instanceFolder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(first.server()->path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    {
        ChannelThread channel(*first.server(), [&](MessageKind kind, const std::string& payload) {
            EXPECT_EQ(kind, MessageKind::CopyData);
            return first.receive(payload) ? std::optional<std::string>("") : std::nullopt;
        });
        auto secondStore = store();
        TDuDid2 second(*secondStore, "prog", instanceFolder);
        EXPECT_TRUE(second.alreadyRunning());
        bool toldAlreadyRunning = false;
        second.OnDejaLance = [&] { toldAlreadyRunning = true; };
        second.loaded({"/bin/prog", "http://h/p.jpg"});
        EXPECT_TRUE(toldAlreadyRunning);
        EXPECT_TRUE(second.delivered());
        EXPECT_TRUE(second.terminateRequested());
        EXPECT_EQ(second.server(), nullptr);
    }
    EXPECT_EQ(count, 1);
    EXPECT_EQ(arguments, (std::vector<std::string>{"/bin/prog", "http://h/p.jpg"}));
    // The second start left the first copy's handle key and lock file alone.
    EXPECT_EQ(channelIn(*store()), first.server()->path());
    EXPECT_TRUE(std::filesystem::exists(instanceFolder + "/DuDid2prog"));
}

TEST_F(InstanceTest, AFirstStartsEndFreesTheLockAndDeletesItsKey) {
    auto firstStore = store();
    std::string channel;
    {
        TDuDid2 first(*firstStore, "prog", instanceFolder);
        first.loaded({"/bin/prog"});
        channel = first.server()->path();
    }
    EXPECT_EQ(channelIn(*store()), "");
    EXPECT_FALSE(std::filesystem::exists(channel));
    EXPECT_FALSE(std::filesystem::exists(instanceFolder + "/DuDid2prog"));
    auto nextStore = store();
    TDuDid2 next(*nextStore, "prog", instanceFolder);
    EXPECT_FALSE(next.alreadyRunning());
}

TEST_F(InstanceTest, WhatACrashedCopyLeftDoesNotStopTheNextStart) {
    // A crashed copy leaves its lock file, its channel's socket file and its handle key.
    std::filesystem::create_directory(instanceFolder);
    ::chmod(instanceFolder.c_str(), 0700);
    storage::writeFileAtomically(instanceFolder + "/DuDid2prog", "");
    const std::string stale = instanceFolder + "/DuDid2prog-999999.sock";
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, stale.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);  // bound, never listening, never removed
    ASSERT_TRUE(registry->createKey(integration::handleKey("prog")));
    ASSERT_TRUE(registry->setString(integration::handleKey("prog"), "progDuDid2", stale));

    auto nextStore = store();
    TDuDid2 next(*nextStore, "prog", instanceFolder);
    EXPECT_FALSE(next.alreadyRunning());
    EXPECT_EQ(next.runningCopyChannel(), stale);
    next.loaded({"/bin/prog"});
    ASSERT_NE(next.server(), nullptr);
    EXPECT_EQ(channelIn(*store()), next.server()->path());
    EXPECT_FALSE(std::filesystem::exists(stale));
}

TEST_F(InstanceTest, ASecondStartThatCannotReachTheFirstStillEnds) {
    auto firstStore = store();
    TDuDid2 first(*firstStore, "prog", instanceFolder);  // running, not yet published
    ASSERT_TRUE(registry->createKey(integration::handleKey("prog")));
    ASSERT_TRUE(
        registry->setString(integration::handleKey("prog"), "progDuDid2", instanceFolder + "/x"));
    auto secondStore = store();
    TDuDid2 second(*secondStore, "prog", instanceFolder);
    second.loaded({"/bin/prog", "http://h/p.jpg"});
    EXPECT_TRUE(second.alreadyRunning());
    EXPECT_FALSE(second.delivered());
    EXPECT_TRUE(second.terminateRequested());
}

TEST_F(InstanceTest, ASymlinkedFolderTurnsTheGuardOff) {
    std::filesystem::create_directory(root + "elsewhere");
    std::filesystem::create_directory_symlink(root + "elsewhere", instanceFolder);
    auto s = store();
    TDuDid2 guard(*s, "prog", instanceFolder);
    EXPECT_NE(guard.error(), "");
    EXPECT_FALSE(guard.alreadyRunning());
    guard.loaded({"/bin/prog"});
    EXPECT_EQ(guard.server(), nullptr);
    EXPECT_FALSE(guard.terminateRequested());
}

TEST_F(InstanceTest, AnOpenFolderIsClosedToOthers) {
    std::filesystem::create_directory(instanceFolder);
    ::chmod(instanceFolder.c_str(), 0755);
    auto s = store();
    TDuDid2 guard(*s, "prog", instanceFolder);
    EXPECT_EQ(guard.error(), "");
    struct stat st {};
    ASSERT_EQ(::stat(instanceFolder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(InstanceTest, TheRunningCopyAnswersEachKindOfMessage) {
    auto firstStore = store();
    TDuDid2 first(*firstStore, "prog", instanceFolder);
    first.loaded({"/bin/prog"});
    core().startup({});
    core().createWindows();
    std::vector<MessageKind> handled;
    std::vector<std::function<void()>> later;
    ChannelThread channel(*first.server(), [&](MessageKind kind, const std::string& payload) {
        handled.push_back(kind);
        return app::handleChannelMessage(core(), first, kind, payload,
                                         [&](std::function<void()> f) { later.push_back(f); });
    });
    const std::string path = first.server()->path();
    const auto send = [&](MessageKind kind, const std::string& payload) {
        return integration::sendToRunningCopy(path, kind, payload, 5000);
    };

    EXPECT_EQ(send(MessageKind::NewDownload, "http://h/p.jpg"), "");
    EXPECT_EQ(send(MessageKind::HoldClipboard, "held text"), "");
    EXPECT_EQ(send(MessageKind::ReadClipboard, ""), "held text");
    // Malformed or oversized messages are refused without reaching the application.
    EXPECT_EQ(send(MessageKind::CopyData, "short"), std::nullopt);
    EXPECT_EQ(send(MessageKind::NewDownload, std::string(5000, 'x')), std::nullopt);
    EXPECT_EQ(send(MessageKind::ReadClipboard, "x"), std::nullopt);

    const std::lock_guard<std::mutex> lock(channel.mutex);
    // The hand-over text was answered before it ran: its command waits for its turn.
    EXPECT_FALSE(exists("listing/default.fifi"));
    ASSERT_EQ(later.size(), 1u);
    later.front()();
    EXPECT_EQ(read("listing/default.fifi"), "p||http://h/p.jpg\r\n");
    EXPECT_EQ(clipboard.text(), "held text");
    EXPECT_EQ(handled,
              (std::vector<MessageKind>{MessageKind::NewDownload, MessageKind::HoldClipboard,
                                        MessageKind::ReadClipboard, MessageKind::CopyData}));
}

TEST_F(InstanceTest, ASecondStartsClipboardTextIsHeldByTheRunningCopy) {
    auto firstStore = store();
    TDuDid2 first(*firstStore, "prog", instanceFolder);
    first.loaded({"/bin/prog"});
    platform::MemoryClipboard runningClipboard;
    ChannelThread channel(*first.server(), [&](MessageKind kind, const std::string& payload) {
        if (kind == MessageKind::HoldClipboard) {
            runningClipboard.setText(payload);
            return std::optional<std::string>("");
        }
        return std::optional<std::string>(runningClipboard.text());
    });

    platform::MemoryClipboard own;
    integration::HandOffClipboard handOff(own);
    handOff.setText("before");
    EXPECT_EQ(own.text(), "before");
    handOff.handTo(first.server()->path());
    handOff.setText("http://h/p.jpg");
    EXPECT_EQ(handOff.text(), "http://h/p.jpg");
    EXPECT_EQ(own.text(), "before");
    {
        const std::lock_guard<std::mutex> lock(channel.mutex);
        EXPECT_EQ(runningClipboard.text(), "http://h/p.jpg");
    }

    // A running copy that no longer answers: the own clipboard takes the text.
    handOff.handTo(instanceFolder + "/gone.sock");
    handOff.setText("kept here");
    EXPECT_EQ(own.text(), "kept here");
}

}  // namespace
}  // namespace ambrel::test
