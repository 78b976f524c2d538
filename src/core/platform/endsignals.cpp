#include "core/platform/endsignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace ambrel::platform {

namespace {

// The pipe's write end, for the handler: a signal handler can reach nothing else.
std::atomic<int> g_writeEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onEndSignal(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a signal to act on; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd.load(), &byte, 1);
    errno = savedErrno;
}

}  // namespace

EndSignals::EndSignals() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error(std::string("Cannot watch for end signals: ") +
                                 std::strerror(errno));
    }
    int none = -1;
    if (!g_writeEnd.compare_exchange_strong(none, ends[1])) {
        ::close(ends[0]);
        ::close(ends[1]);
        throw std::runtime_error("End signals are watched already");
    }
    m_read = ends[0];
    m_write = ends[1];
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        // A signal ignored from the start (nohup, a background job) stays ignored.
        ::sigaction(kSignals[i], nullptr, &m_previous[i]);
        if (m_previous[i].sa_handler != SIG_IGN) {
            ::sigaction(kSignals[i], &action, nullptr);
        }
    }
}

EndSignals::~EndSignals() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    }
    g_writeEnd = -1;
    ::close(m_read);
    ::close(m_write);
}

int EndSignals::take() {
    int last = 0;
    unsigned char bytes[16];
    for (;;) {
        const ssize_t n = ::read(m_read, bytes, sizeof bytes);
        if (n > 0) {
            last = bytes[n - 1];
        } else if (n == 0 || errno != EINTR) {
            return last;
        }
    }
}

}  // namespace ambrel::platform
