#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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

// Sends one message to the copy listening at socketPath and waits at most timeoutMs for
// its answer. nullopt when no copy takes it: nothing listens there, the name is stale, the
// copy refused it or did not answer in time.
std::optional<std::string> sendToRunningCopy(const std::string& socketPath, MessageKind kind,
                                             const std::string& payload, int timeoutMs);

// The running copy's end of the channel: a local socket that only this user can reach (it
// is created readable and writable by the owner alone, and peers of another user are
// turned away). The descriptor is non-blocking, for an event loop to watch.
class InstanceServer {
public:
    // The answer to a message, or nullopt to refuse it.
    using Handler = std::function<std::optional<std::string>(MessageKind, const std::string&)>;

    // Listens at path, replacing a socket a crashed copy left there. Throws
    // std::runtime_error when it cannot.
    explicit InstanceServer(std::string path);
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

    // Answers every connection waiting now. A sender gets readTimeoutMs to deliver its
    // message; one that does not, or sends a malformed one, is dropped unanswered.
    void serveWaiting(const Handler& handler, int readTimeoutMs = 2000);

private:
    void serve(int connection, const Handler& handler, int readTimeoutMs);

    std::string m_path;
    int m_fd = -1;
};

}  // namespace ambrel::integration
