#include "core/transfer/progress.h"

#include <gtest/gtest.h>

#include "core/platform/scripted_ui.h"

namespace ambrel::transfer {
namespace {

using namespace std::chrono_literals;

TEST(ProgressNotifications, SpeedLineBarsAndCancel) {
    platform::ScriptedUi ui;
    ProgressState state;
    int mainClosed = 0;
    ProgressNotifications http(state, ui, ProgressNotifications::Kind::Http, [&] { ++mainClosed; });
    auto now = ProgressState::Clock::time_point{} + 100s;
    http.now = [&] { return now; };

    http.begin(4096);
    EXPECT_EQ(state.transferMax, 4096);
    EXPECT_EQ(state.speedLine, "Transfert speed: 0 Ko/s ");
    EXPECT_EQ(mainClosed, 1);

    now += 900ms;  // still the first second: the speed line waits
    EXPECT_TRUE(http.progress(1024));
    EXPECT_EQ(state.transferValue, 1024);
    EXPECT_EQ(state.speedLine, "Transfert speed: 0 Ko/s ");

    now += 1200ms;  // two whole seconds
    EXPECT_TRUE(http.progress(3072));
    EXPECT_EQ(state.speedLine, "Transfert speed: 1.50 Ko/s");

    state.cancelFlag = 'n';
    EXPECT_FALSE(http.progress(4000));
    EXPECT_EQ(state.transferValue, 3072);
    http.end();
    EXPECT_EQ(state.transferValue, 0);

    // The FTP kind neither cancels nor touches the main client.
    ProgressNotifications ftp(state, ui, ProgressNotifications::Kind::Ftp, [&] { ++mainClosed; });
    ftp.begin(10);
    EXPECT_TRUE(ftp.progress(5));
    EXPECT_EQ(state.transferValue, 5);
    EXPECT_EQ(mainClosed, 1);
}

TEST(ProgressNotifications, SpeedText) {
    EXPECT_EQ(speedText(0, 1), "Transfert speed: 0.00 Ko/s");
    EXPECT_EQ(speedText(1024 * 1000, 3), "Transfert speed: 333.33 Ko/s");
}

}  // namespace
}  // namespace ambrel::transfer
