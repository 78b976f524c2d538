#pragma once

#include <signal.h>

#include <array>

namespace ambrel::platform {

// Turns the signals that ask the program to end (SIGTERM from a logout or kill, SIGINT from
// Ctrl+C, SIGHUP from a closed terminal) into a byte on a pipe, so the event loop can end
// the program the way closing its window does. The handler only writes that byte. Each
// handler serves once: a second signal while the program is still ending ends it at once.
// A signal ignored when the watch begins (nohup) stays ignored. One instance at a time,
// since a process has one set of handlers.
class EndSignals final {
public:
    static constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

    // Throws std::runtime_error when the pipe cannot be made or another instance lives.
    EndSignals();
    // Puts back the handlers that were there before.
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // Readable once a signal came.
    int fd() const { return m_read; }
    // The last signal that came since the previous call, or 0; empties the pipe.
    int take();

private:
    int m_read = -1;
    int m_write = -1;
    std::array<struct sigaction, kSignals.size()> m_previous{};
};

}  // namespace ambrel::platform
