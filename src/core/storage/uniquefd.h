#pragma once

#include <unistd.h>

#include <cerrno>

namespace ambrel::platform {

// Owns a file descriptor and closes it on every way out, so an exception never leaks it.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    // Closes now and returns the error close() gives (0 for none): a delayed write error
    // shows up here.
    int close() {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

}  // namespace ambrel::platform
