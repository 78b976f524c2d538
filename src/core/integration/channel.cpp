#include "core/integration/channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
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

SendResult sendMessage(const std::string& socketPath, MessageKind kind, const std::string& payload,
                       int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un address{};
    if (!fillAddress(socketPath, address)) {
        return {SendOutcome::NotRunning, {}};
    }
    Socket s(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (s.get() < 0) {
        return {SendOutcome::NotRunning, {}};
    }
    // A full backlog says "try again"; anything else means no copy listens there.
    while (::connect(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN || Clock::now() >= deadline) {
            return {SendOutcome::NotRunning, {}};
        }
        ::poll(nullptr, 0, 10);
    }
    if (!writeAll(s.get(), frame(static_cast<std::uint8_t>(kind), payload), deadline)) {
        return {SendOutcome::NoAnswer, {}};
    }
    std::uint8_t status = 1;
    std::string answer;
    if (!readFrame(s.get(), deadline, status, answer, [](std::uint8_t) { return kMaxAnswer; })) {
        return {SendOutcome::NoAnswer, {}};
    }
    if (status != 0) {
        return {SendOutcome::Refused, {}};
    }
    return {SendOutcome::Answered, std::move(answer)};
}

std::optional<std::string> sendToRunningCopy(const std::string& socketPath, MessageKind kind,
                                             const std::string& payload, int timeoutMs) {
    SendResult result = sendMessage(socketPath, kind, payload, timeoutMs);
    if (result.outcome != SendOutcome::Answered) {
        return std::nullopt;
    }
    return std::move(result.answer);
}

struct InstanceServer::Connection {
    Connection(int fd, Clock::time_point end) : socket(fd), deadline(end) {}

    Socket socket;
    Clock::time_point deadline;
    std::string in;   // what has arrived of the message
    std::string out;  // the answer, once there is one
    std::size_t sent = 0;
    bool answered = false;
};

InstanceServer::InstanceServer(std::string path, std::chrono::milliseconds life)
    : m_path(std::move(path)), m_life(life) {
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
    m_connections.clear();
    ::close(m_fd);
    ::unlink(m_path.c_str());
}

void InstanceServer::serve(const Handler& handler) {
    if (m_serving) {
        return;
    }
    m_serving = true;
    struct Done {
        bool& serving;
        ~Done() { serving = false; }
    } done{m_serving};

    for (;;) {
        const int accepted = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (accepted < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            break;
        }
        ucred peer{};
        socklen_t size = sizeof peer;
        if (m_connections.size() < kMaxConnections &&
            ::getsockopt(accepted, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
            peer.uid == ::geteuid()) {
            m_connections.push_back(std::make_unique<Connection>(accepted, Clock::now() + m_life));
        } else {
            ::close(accepted);
        }
    }
    std::erase_if(m_connections, [&](const std::unique_ptr<Connection>& c) {
        if (advance(*c, handler)) {
            return false;
        }
        if (m_closing) {
            m_closing(c->socket.get());
        }
        return true;
    });
}

// Moves one connection on; false when it is finished with.
bool InstanceServer::advance(Connection& c, const Handler& handler) {
    const int fd = c.socket.get();
    while (!c.answered) {
        // Reads no further than the message: the header first, then the payload it announces.
        std::size_t wanted = kHeaderSize;
        if (c.in.size() >= kHeaderSize) {
            const auto kind = static_cast<std::uint8_t>(c.in[0]);
            std::uint32_t length = 0;
            for (int i = 0; i < 4; ++i) {
                length |= static_cast<std::uint32_t>(static_cast<unsigned char>(c.in[1 + i]))
                          << (8 * i);
            }
            if (!knownKind(kind) || length > maxPayload(static_cast<MessageKind>(kind))) {
                return false;
            }
            wanted = kHeaderSize + length;
            if (c.in.size() == wanted) {
                std::optional<std::string> answer;
                try {
                    answer = handler(static_cast<MessageKind>(kind), c.in.substr(kHeaderSize));
                } catch (const std::exception&) {
                    answer.reset();
                }
                c.out = frame(answer ? 0 : 1, answer.value_or(std::string()));
                c.answered = true;
                c.in.clear();
                break;
            }
        }
        const std::size_t had = c.in.size();
        c.in.resize(wanted);
        const ssize_t n = ::recv(fd, c.in.data() + had, wanted - had, 0);
        const int error = errno;
        c.in.resize(had + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        if (n < 0 && (error == EAGAIN || error == EWOULDBLOCK)) {
            return Clock::now() < c.deadline;  // nothing more yet
        }
        if (n == 0 || (n < 0 && error != EINTR)) {
            return false;  // the sender hung up before its message was whole, or broke
        }
    }
    while (c.sent < c.out.size()) {
        const ssize_t n = ::send(fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
        if (n >= 0) {
            c.sent += static_cast<std::size_t>(n);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return Clock::now() < c.deadline;  // the peer has not taken enough yet
        } else if (errno != EINTR) {
            return false;
        }
    }
    return false;  // answered in full
}

std::vector<InstanceServer::Watch> InstanceServer::watches() const {
    std::vector<Watch> all{{m_fd, false}};
    for (const auto& c : m_connections) {
        all.push_back({c->socket.get(), c->answered});
    }
    return all;
}

std::optional<std::chrono::milliseconds> InstanceServer::nextExpiry() const {
    if (m_connections.empty()) {
        return std::nullopt;
    }
    Clock::time_point first = m_connections.front()->deadline;
    for (const auto& c : m_connections) {
        first = std::min(first, c->deadline);
    }
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::ceil<std::chrono::milliseconds>(first - Clock::now()));
}

}  // namespace ambrel::integration
