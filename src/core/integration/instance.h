#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/registry.h"

namespace ambrel::integration {

class InstanceServer;

// The hand-over record a second start sends to the running copy: a stop flag (1 byte), the
// argument count capped at 256 (4 bytes, little-endian), 257 slots of 256 bytes each holding
// a length-prefixed text of at most 255 bytes (slot 0 the program path, slot i argument i),
// then the user text as one more such slot.
inline constexpr std::size_t kHandOverSlotSize = 256;
inline constexpr std::size_t kHandOverSlots = 257;
inline constexpr std::uint32_t kHandOverMaxArguments = 256;
inline constexpr std::size_t kHandOverRecordSize =
    1 + 4 + kHandOverSlots * kHandOverSlotSize + kHandOverSlotSize;
static_assert(kHandOverRecordSize == 66053);

struct HandOverRecord {
    bool stop = true;
    std::uint32_t count = 0;             // the arguments after the program path
    std::vector<std::string> arguments;  // the program path, then `count` arguments
    std::string user;
};

// commandLine holds the program path first. Arguments beyond the 256th are left out and each
// text is cut to 255 bytes; unused slots are zero.
std::string buildHandOverRecord(bool stop, const std::vector<std::string>& commandLine,
                                const std::string& user);
// nullopt unless the bytes are a whole record; a count above 256 reads as 256.
std::optional<HandOverRecord> parseHandOverRecord(std::string_view bytes);

// The store key where the running copy publishes how to reach it.
std::string handleKey(const std::string& exeName);
// Where the lock and the channel live: a folder of the user's own, "myambrel-<uid>" in
// $XDG_RUNTIME_DIR, or in the temporary folder when that is not set.
std::string defaultInstanceFolder();
// The running executable's file name, without its folder.
std::string executableName();
// The running copy's channel as its handle key names it ("" when there is none).
std::string runningCopyChannel(platform::RegistryStore& registry, const std::string& exeName);

// Keeps one copy of the program running for the user (TDuDid2). Its lock, "DuDid2" followed
// by the executable's name, is a file locked while the copy runs: the lock goes with the
// process, so a crashed copy never blocks the next start, and what it left in the handle key
// is overwritten. A second start hands its command line to the first copy over the first
// copy's channel and then ends.
class TDuDid2 {
public:
    // Raised in the first copy when a second start hands over: its stop flag, argument
    // count, arguments (the program path first) and user text.
    using OtherTryToRun = std::function<void(
        bool stop, int count, const std::vector<std::string>& arguments, const std::string& user)>;

    // Takes the lock in instanceFolder (made, private to the user, when missing) and reads
    // the running copy's handles. When the folder cannot be made private or the lock cannot
    // be had, the guard stays off and the program runs on its own; error() says why.
    TDuDid2(platform::RegistryStore& registry, std::string exeName, std::string instanceFolder);
    // A first start closes its channel, deletes its handle key and removes its lock file.
    ~TDuDid2();
    TDuDid2(const TDuDid2&) = delete;
    TDuDid2& operator=(const TDuDid2&) = delete;

    bool StopSiDejaLance = true;
    std::string StringUser;
    OtherTryToRun OnOtherTryToRun;
    std::function<void()> OnDejaLance;
    std::function<void()> OnPasDejaLance;

    bool alreadyRunning() const { return m_alreadyRunning; }
    // The owner has finished loading. A second start sends its hand-over record and, with
    // StopSiDejaLance, asks to end; a first start opens its channel and publishes it.
    void loaded(const std::vector<std::string>& commandLine);
    // A second start: whether the running copy took the record.
    bool delivered() const { return m_delivered; }
    bool terminateRequested() const { return m_terminate; }
    // The running copy's channel read at creation ("" when there was none).
    const std::string& runningCopyChannel() const { return m_runningChannel; }
    // A first start's own channel once loaded; nullptr otherwise.
    InstanceServer* server() const { return m_server.get(); }
    // Why the guard or the channel is off ("" when all is well).
    const std::string& error() const { return m_error; }

    // The record arrived on the channel: raises OnOtherTryToRun. False when malformed.
    bool receive(std::string_view record);

    // How long a second start waits for the running copy to take its record.
    static constexpr int kSendTimeoutMs = 10000;

private:
    void publish();

    platform::RegistryStore& m_registry;
    std::string m_exeName;
    std::string m_folder;
    int m_lock = -1;
    std::string m_lockPath;  // set while this copy holds the lock
    bool m_alreadyRunning = false;
    bool m_delivered = false;
    bool m_terminate = false;
    bool m_published = false;
    std::string m_runningChannel;
    std::unique_ptr<InstanceServer> m_server;
    std::string m_error;
};

}  // namespace ambrel::integration
