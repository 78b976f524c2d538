#include "core/integration/browserhost.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "core/integration/contextmenu.h"
#include "core/platform/registry.h"
#include "core/storage/uniquefd.h"
#include "support/tempfolder.h"

namespace ambrel::test {
namespace {

using nlohmann::json;

std::string frame(const std::string& body) {
    const auto length = static_cast<std::uint32_t>(body.size());
    std::string bytes(sizeof length, '\0');
    std::memcpy(bytes.data(), &length, sizeof length);
    return bytes + body;
}

class BrowserHostTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        registry = std::make_unique<platform::RegistryStore>(m_dir + "registry.reg");
    }

    // Runs the host on `input` written into a real pipe (from another thread, so inputs
    // larger than the pipe's buffer go through), and collects the answers it writes.
    bool serve(const std::string& input) {
        int in[2];
        int out[2];
        EXPECT_EQ(::pipe(in), 0);
        EXPECT_EQ(::pipe(out), 0);
        platform::UniqueFd inRead(in[0]);
        platform::UniqueFd outRead(out[0]);
        std::thread writer([fd = in[1], &input] {
            std::size_t done = 0;
            while (done < input.size()) {
                const ssize_t n = ::write(fd, input.data() + done, input.size() - done);
                if (n <= 0) {
                    break;
                }
                done += static_cast<std::size_t>(n);
            }
            ::close(fd);
        });
        std::string raw;
        std::thread reader([fd = out[0], &raw] {
            char buffer[4096];
            for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
                raw.append(buffer, static_cast<std::size_t>(n));
            }
        });
        const bool ended = integration::serveBrowser(in[0], out[1], *registry, send, why);
        ::close(out[1]);
        writer.join();
        reader.join();
        answers.clear();
        for (std::size_t at = 0; at + 4 <= raw.size();) {
            std::uint32_t length = 0;
            std::memcpy(&length, raw.data() + at, sizeof length);
            EXPECT_LE(at + 4 + length, raw.size()) << "an answer cut short";
            answers.push_back(json::parse(raw.substr(at + 4, length)));
            at += 4 + length;
        }
        return ended;
    }

    std::unique_ptr<platform::RegistryStore> registry;
    std::vector<std::string> handedOver;
    std::optional<std::string> refusal;
    integration::HandOverSender send = [this](const std::string& text) {
        handedOver.push_back(text);
        return refusal;
    };
    std::vector<json> answers;
    std::string why;
};

TEST_F(BrowserHostTest, AnswersEachRequestInTurnUntilTheBrowserCloses) {
    struct Case {
        const char* name;
        std::string request;
        json answer;
    };
    const std::vector<Case> cases = {
        {"entries",
         R"({"request":"entries"})",
         {{"entries",
           {{{"title", "&Add to Zovururo"}, {"marker", ""}},
            {{"title", "&Custom Copy to clipboard"}, {"marker", "$"}}}}}},
        {"hand-over", R"({"request":"handover","text":"@http://host/a/p.jpg"})", {{"ok", true}}},
        {"not JSON", "{\"request\":", {{"error", "malformed message: not JSON"}}},
        {"empty message", "", {{"error", "malformed message: not JSON"}}},
        {"broken UTF-8",
         "{\"request\":\"entries\xff\"}",
         {{"error", "malformed message: not JSON"}}},
        {"not an object",
         R"(["entries"])",
         {{"error", "malformed message: an object with a \"request\" is expected"}}},
        {"request not a text",
         R"({"request":7})",
         {{"error", "malformed message: an object with a \"request\" is expected"}}},
        {"unknown request", R"({"request":"delete"})", {{"error", "unknown request"}}},
        {"hand-over without text",
         R"({"request":"handover"})",
         {{"error", "a hand-over needs its \"text\""}}},
        {"hand-over of a number",
         R"({"request":"handover","text":5})",
         {{"error", "a hand-over needs its \"text\""}}},
        {"empty hand-over",
         R"({"request":"handover","text":""})",
         {{"error", "the hand-over text is empty"}}},
        {"two lines",
         R"({"request":"handover","text":"http://h/a.jpg\nhttp://h/b.jpg"})",
         {{"error", "a hand-over text is one line"}}},
        {"NUL inside",
         R"({"request":"handover","text":"http://h/a.jpg\u0000x"})",
         {{"error", "a hand-over text is one line"}}},
        {"deep nesting",
         std::string(30000, '[') + std::string(30000, ']'),
         {{"error", "malformed message: an object with a \"request\" is expected"}}},
    };
    integration::installContextEntry(*registry, m_dir, integration::kContextMenuEntries[0]);
    integration::installContextEntry(*registry, m_dir, integration::kContextMenuEntries[2]);
    std::string input;
    for (const Case& c : cases) {
        input += frame(c.request);
    }
    EXPECT_TRUE(serve(input)) << why;
    ASSERT_EQ(answers.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(answers[i], cases[i].answer);
    }
    EXPECT_EQ(handedOver, std::vector<std::string>{"@http://host/a/p.jpg"});
}

TEST_F(BrowserHostTest, EntriesFollowBoxesTickedSinceTheHostStarted) {
    const std::string entries = frame(R"({"request":"entries"})");
    ASSERT_TRUE(serve(entries));
    EXPECT_EQ(answers.at(0), json({{"entries", json::array()}}));
    // Another process (the program's general settings) ticks a box.
    platform::RegistryStore program(registry->file());
    integration::installContextEntry(program, m_dir, integration::kContextMenuEntries[1]);
    ASSERT_TRUE(serve(entries));
    EXPECT_EQ(answers.at(0),
              json({{"entries", {{{"title", "&Copy to clipboard"}, {"marker", "@"}}}}}));
}

TEST_F(BrowserHostTest, AHandOverNobodyTakesSaysWhy) {
    refusal = "myambrel is not running";
    ASSERT_TRUE(serve(frame(R"({"request":"handover","text":"http://host/a.jpg"})")));
    EXPECT_EQ(answers.at(0), json({{"error", "myambrel is not running"}}));
}

TEST_F(BrowserHostTest, BrokenFramingEndsTheHost) {
    struct Case {
        const char* name;
        std::string input;
        std::size_t answered;  // answers written before the end
        const char* why;
    };
    const std::string entries = frame(R"({"request":"entries"})");
    std::string oversized(4, '\0');
    const std::uint32_t tooLong = integration::kBrowserMessageMax + 1;
    std::memcpy(oversized.data(), &tooLong, sizeof tooLong);
    const std::string huge = "\xff\xff\xff\xff{}";
    const std::vector<Case> cases = {
        {"length over the limit", entries + oversized + std::string(100, ' '), 2,
         "message of 65537 bytes refused (at most 65536)"},
        {"length of 4 GiB", huge, 1, "message of 4294967295 bytes refused (at most 65536)"},
        {"cut in its length", entries + std::string("\x10\x00", 2), 1,
         "message cut short in its length"},
        {"cut in its body", entries + frame(R"({"request":"entries"})").substr(0, 10), 1,
         "message cut short: 6 of 21 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        why.clear();
        EXPECT_FALSE(serve(c.input));
        EXPECT_EQ(why, c.why);
        ASSERT_EQ(answers.size(), c.answered);
        if (std::string(c.why).find("refused") != std::string::npos) {
            EXPECT_EQ(answers.back(), json({{"error", c.why}}));
        }
    }
}

TEST_F(BrowserHostTest, AMessageOfTheLargestSizeIsRead) {
    std::string request = R"({"request":"entries"})";
    request += std::string(integration::kBrowserMessageMax - request.size(), ' ');
    EXPECT_TRUE(serve(frame(request) + frame(R"({"request":"entries"})"))) << why;
    EXPECT_EQ(answers.size(), 2U);
}

}  // namespace
}  // namespace ambrel::test
