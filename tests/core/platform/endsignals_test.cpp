#include "core/platform/endsignals.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <cstring>
#include <stdexcept>

namespace ambrel::test {
namespace {

using platform::EndSignals;

bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
}

void (*handlerOf(int signal))(int) {
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

TEST(EndSignalsTest, EachEndSignalBecomesAByteAndTheSecondOneEndsAtOnce) {
    for (const int signal : EndSignals::kSignals) {
        SCOPED_TRACE(::strsignal(signal));
        {
            EndSignals signals;
            EXPECT_FALSE(readable(signals.fd()));
            ASSERT_EQ(::raise(signal), 0);  // the handler has run when raise returns
            EXPECT_TRUE(readable(signals.fd()));
            EXPECT_EQ(signals.take(), signal);
            EXPECT_FALSE(readable(signals.fd()));
            EXPECT_EQ(signals.take(), 0);
            EXPECT_EQ(handlerOf(signal), SIG_DFL);
        }
        EXPECT_EQ(handlerOf(signal), SIG_DFL);
    }
}

TEST(EndSignalsTest, IgnoredSignalsStayIgnoredAndOneWatchAtATime) {
    ::signal(SIGHUP, SIG_IGN);
    {
        EndSignals signals;
        EXPECT_EQ(handlerOf(SIGHUP), SIG_IGN);
        EXPECT_NE(handlerOf(SIGTERM), SIG_DFL);
        EXPECT_THROW(EndSignals(), std::runtime_error);
        EXPECT_NE(handlerOf(SIGTERM), SIG_DFL);
    }
    EXPECT_EQ(handlerOf(SIGHUP), SIG_IGN);
    EXPECT_EQ(handlerOf(SIGTERM), SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
    EndSignals again;
}

}  // namespace
}  // namespace ambrel::test
