#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ambrel::integration {

// What one message on the running copy's channel asks for. A connection carries one
// message: kind (1 byte), payload length (4 bytes, little-endian), payload; the answer is a
// status byte (0 handled, 1 refused), a length and a payload in the same form.
enum class MessageKind : std::uint8_t {
    CopyData = 1,       // a second start's hand-over record: come to the front
    NewDownload = 2,    // a hand-over text, as the browser's context-menu entries send it
    HoldClipboard = 3,  // a text for the running copy to put on the clipboard and hold
    ReadClipboard = 4,  // answers with the running copy's clipboard text
};

// The largest payload the running copy reads for a kind; a longer message is refused unread.
std::size_t maxPayload(MessageKind kind);

enum class SendOutcome {
    Answered,    // the copy handled the message and answered
    Refused,     // the copy took the message and refused it
    NoAnswer,    // a copy listens there but did not take the message or answer in time
    NotRunning,  // nothing listens there (or the name is stale)
};
struct SendResult {
    SendOutcome outcome;
    std::string answer;  // with Answered
};
// Sends one message to the copy listening at socketPath and waits at most timeoutMs for
// its answer, telling apart why there was none.
SendResult sendMessage(const std::string& socketPath, MessageKind kind, const std::string& payload,
                       int timeoutMs);

// Sends one message to the copy listening at socketPath and waits at most timeoutMs for
// its answer. nullopt when no copy takes it: nothing listens there, the name is stale, the
// copy refused it or did not answer in time.
std::optional<std::string> sendToRunningCopy(const std::string& socketPath, MessageKind kind,
                                             const std::string& payload, int timeoutMs);

// The running copy's end of the channel: a local socket that only this user can reach (it
// is created readable and writable by the owner alone, and peers of another user are
// turned away). Nothing here ever waits: each connection keeps what has arrived of its
// message and what is left of its answer, so a peer that sends slowly, stops halfway or
// never reads holds up no one; a connection lives at most `life`.
class InstanceServer {
public:
    // The answer to a message, or nullopt to refuse it. It runs inside serve(), so it must
    // be quick: longer work is left for later, after the sender has its answer.
    using Handler = std::function<std::optional<std::string>(MessageKind, const std::string&)>;
    // A descriptor for the event loop to watch: for bytes to read, or for room to write.
    struct Watch {
        int fd;
        bool write;
    };

    static constexpr std::chrono::milliseconds kConnectionLife{5000};
    static constexpr std::size_t kMaxConnections = 32;

    // Listens at path, replacing a socket a crashed copy left there. Throws
    // std::runtime_error when it cannot.
    explicit InstanceServer(std::string path, std::chrono::milliseconds life = kConnectionLife);
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

    // Takes the connections waiting now and moves each one on as far as it goes without
    // waiting: reads what has arrived, answers a whole message, sends what the peer takes.
    // A connection is closed once its answer is sent, or unanswered when its message is
    // malformed or too long, when the peer hangs up or when its life is over. A call made
    // from inside the handler does nothing.
    void serve(const Handler& handler);
    // The listening descriptor and every open connection.
    std::vector<Watch> watches() const;
    // How long until the oldest open connection's life is over; nullopt when none is open.
    std::optional<std::chrono::milliseconds> nextExpiry() const;
    // Told a connection's descriptor just before it is closed (not when the server goes).
    void setClosing(std::function<void(int)> closing) { m_closing = std::move(closing); }

private:
    struct Connection;
    bool advance(Connection& connection, const Handler& handler);

    std::string m_path;
    int m_fd = -1;
    std::chrono::milliseconds m_life;
    std::vector<std::unique_ptr<Connection>> m_connections;
    std::function<void(int)> m_closing;
    bool m_serving = false;
};

}  // namespace ambrel::integration
