#include "core/integration/channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "core/integration/instance.h"
#include "core/storage/uniquefd.h"

namespace ambrel::integration {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kHeaderSize = 5;
constexpr std::size_t kMaxAnswer = 16u << 20;

using Socket = platform::UniqueFd;

std::string socketError(const char* what, const std::string& path) {
    return std::string("Cannot ") + what + " the hand-over channel " + path + ": " +
           std::strerror(errno);
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Waits for the events until the deadline; false when it passed first.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0) {
            return false;
        }
        pollfd p{fd, events, 0};
        const int rc = ::poll(&p, 1, static_cast<int>(left));
        if (rc > 0) {
            return true;
        }
        if (rc == 0 || errno != EINTR) {
            return false;
        }
    }
}

bool readExactly(int fd, char* data, std::size_t size, Clock::time_point deadline) {
    while (size > 0) {
        const ssize_t n = ::recv(fd, data, size, 0);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        // n == 0: the sender closed before the whole message came.
        const bool retry = n < 0 && (errno == EINTR || ((errno == EAGAIN || errno == EWOULDBLOCK) &&
                                                        waitFor(fd, POLLIN, deadline)));
        if (!retry) {
            return false;
        }
    }
    return true;
}

bool writeAll(int fd, const std::string& bytes, Clock::time_point deadline) {
    const char* data = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n >= 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
        } else if (errno != EINTR &&
                   ((errno != EAGAIN && errno != EWOULDBLOCK) || !waitFor(fd, POLLOUT, deadline))) {
            return false;
        }
    }
    return true;
}

std::string frame(std::uint8_t first, const std::string& payload) {
    std::string bytes(kHeaderSize, '\0');
    bytes[0] = static_cast<char>(first);
    const auto length = static_cast<std::uint32_t>(payload.size());
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[1 + i] = static_cast<char>((length >> (8 * i)) & 0xff);
    }
    return bytes + payload;
}

// Reads a frame whose payload may be at most limit(first) bytes long.
template <typename Limit>
bool readFrame(int fd, Clock::time_point deadline, std::uint8_t& first, std::string& payload,
               const Limit& limit) {
    char header[kHeaderSize];
    if (!readExactly(fd, header, kHeaderSize, deadline)) {
        return false;
    }
    first = static_cast<std::uint8_t>(header[0]);
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i) {
        length |= static_cast<std::uint32_t>(static_cast<unsigned char>(header[1 + i])) << (8 * i);
    }
    if (length > limit(first)) {
        return false;
    }
    payload.assign(length, '\0');
    return readExactly(fd, payload.data(), length, deadline);
}

bool knownKind(std::uint8_t kind) {
    return kind >= static_cast<std::uint8_t>(MessageKind::CopyData) &&
           kind <= static_cast<std::uint8_t>(MessageKind::ReadClipboard);
}

}  // namespace

std::size_t maxPayload(MessageKind kind) {
    switch (kind) {
        case MessageKind::CopyData:
            return kHandOverRecordSize;
        case MessageKind::NewDownload:
            return 4096;
        case MessageKind::HoldClipboard:
            return 1u << 20;
        case MessageKind::ReadClipboard:
            return 0;
    }
    return 0;
}

std::optional<std::string> sendToRunningCopy(const std::string& socketPath, MessageKind kind,
                                             const std::string& payload, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un address{};
    if (!fillAddress(socketPath, address)) {
        return std::nullopt;
    }
    Socket s(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (s.get() < 0) {
        return std::nullopt;
    }
    // A full backlog says "try again"; anything else means no copy listens there.
    while (::connect(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN || Clock::now() >= deadline) {
            return std::nullopt;
        }
        ::poll(nullptr, 0, 10);
    }
    if (!writeAll(s.get(), frame(static_cast<std::uint8_t>(kind), payload), deadline)) {
        return std::nullopt;
    }
    std::uint8_t status = 1;
    std::string answer;
    if (!readFrame(s.get(), deadline, status, answer, [](std::uint8_t) { return kMaxAnswer; }) ||
        status != 0) {
        return std::nullopt;
    }
    return answer;
}

InstanceServer::InstanceServer(std::string path) : m_path(std::move(path)) {
    sockaddr_un address{};
    if (!fillAddress(m_path, address)) {
        throw std::runtime_error("The hand-over channel's name is too long: " + m_path);
    }
    struct stat st {};
    if (::lstat(m_path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            throw std::runtime_error("Something else stands where the hand-over channel goes: " +
                                     m_path);
        }
        ::unlink(m_path.c_str());
    }
    m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_fd < 0) {
        throw std::runtime_error(socketError("open", m_path));
    }
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(m_path.c_str(), 0600) != 0 || ::listen(m_fd, 16) != 0) {
        const std::string error = socketError("open", m_path);
        ::close(m_fd);
        m_fd = -1;
        ::unlink(m_path.c_str());
        throw std::runtime_error(error);
    }
}

InstanceServer::~InstanceServer() {
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

void InstanceServer::serveWaiting(const Handler& handler, int readTimeoutMs) {
    for (;;) {
        const int connection = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;
        }
        serve(connection, handler, readTimeoutMs);
    }
}

void InstanceServer::serve(int connection, const Handler& handler, int readTimeoutMs) {
    Socket s(connection);
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(s.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        peer.uid != ::geteuid()) {
        return;
    }
    std::uint8_t kind = 0;
    std::string payload;
    const auto limit = [](std::uint8_t k) {
        return knownKind(k) ? maxPayload(static_cast<MessageKind>(k)) : 0;
    };
    if (!readFrame(s.get(), Clock::now() + std::chrono::milliseconds(readTimeoutMs), kind, payload,
                   limit) ||
        !knownKind(kind)) {
        return;
    }
    const std::optional<std::string> answer = handler(static_cast<MessageKind>(kind), payload);
    writeAll(s.get(), frame(answer ? 0 : 1, answer.value_or(std::string())),
             Clock::now() + std::chrono::milliseconds(readTimeoutMs));
}

}  // namespace ambrel::integration
