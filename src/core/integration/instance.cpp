#include "core/integration/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "core/integration/channel.h"
#include "core/storage/textfile.h"

namespace ambrel::integration {

namespace {

constexpr std::size_t kUserOffset = 5 + kHandOverSlots * kHandOverSlotSize;

bool isFolder(const char* path) {
    struct stat st {};
    return path != nullptr && *path == '/' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder must be the user's own and closed to everyone else, since the channel in it
// accepts hand-overs and the lock in it decides which copy runs.
void makePrivateFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        throw std::runtime_error("Cannot create " + folder + ": " + std::strerror(errno));
    }
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        throw std::runtime_error(folder + " is not a folder of this user's own");
    }
    if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
        throw std::runtime_error("Cannot close " + folder +
                                 " to other users: " + std::strerror(errno));
    }
}

// Store errors while reading are ignored: the copy then works from what it had.
void refresh(platform::RegistryStore& registry) {
    try {
        registry.reload();
    } catch (const storage::IoError&) {
    }
}

}  // namespace

std::string buildHandOverRecord(bool stop, const std::vector<std::string>& commandLine,
                                const std::string& user) {
    std::string record(kHandOverRecordSize, '\0');
    record[0] = static_cast<char>(stop ? 1 : 0);
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(
        commandLine.empty() ? 0 : commandLine.size() - 1, kHandOverMaxArguments));
    for (std::size_t i = 0; i < 4; ++i) {
        record[1 + i] = static_cast<char>((count >> (8 * i)) & 0xff);
    }
    const auto put = [&record](std::size_t offset, const std::string& text) {
        const std::size_t length = std::min<std::size_t>(text.size(), kHandOverSlotSize - 1);
        record[offset] = static_cast<char>(length);
        std::copy_n(text.data(), length, record.begin() + static_cast<std::ptrdiff_t>(offset + 1));
    };
    for (std::size_t i = 0; i <= count && i < commandLine.size(); ++i) {
        put(5 + i * kHandOverSlotSize, commandLine[i]);
    }
    put(kUserOffset, user);
    return record;
}

std::optional<HandOverRecord> parseHandOverRecord(std::string_view bytes) {
    if (bytes.size() != kHandOverRecordSize) {
        return std::nullopt;
    }
    const auto byte = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const auto slot = [&](std::size_t offset) {
        return std::string(bytes.substr(offset + 1, byte(offset)));
    };
    HandOverRecord record;
    record.stop = byte(0) != 0;
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        count |= static_cast<std::uint32_t>(byte(1 + i)) << (8 * i);
    }
    record.count = std::min(count, kHandOverMaxArguments);
    for (std::size_t i = 0; i <= record.count; ++i) {
        record.arguments.push_back(slot(5 + i * kHandOverSlotSize));
    }
    record.user = slot(kUserOffset);
    return record;
}

std::string handleKey(const std::string& exeName) {
    return "HKEY_CURRENT_USER\\Software\\DuDid2" + exeName;
}

std::string defaultInstanceFolder() {
    std::string base = "/tmp";
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); isFolder(runtime)) {
        base = runtime;
    } else if (const char* temp = std::getenv("TMPDIR"); isFolder(temp)) {
        base = temp;
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base + "/myambrel-" + std::to_string(::geteuid());
}

std::string executableName() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec || exe.filename().empty() ? std::string("myambrel") : exe.filename().string();
}

std::string runningCopyChannel(platform::RegistryStore& registry, const std::string& exeName) {
    refresh(registry);
    return registry.stringValue(handleKey(exeName), exeName + "DuDid2");
}

TDuDid2::TDuDid2(platform::RegistryStore& registry, std::string exeName, std::string instanceFolder)
    : m_registry(registry), m_exeName(std::move(exeName)), m_folder(std::move(instanceFolder)) {
    try {
        makePrivateFolder(m_folder);
    } catch (const std::exception& e) {
        m_error = e.what();
        return;
    }
    m_runningChannel = integration::runningCopyChannel(m_registry, m_exeName);
    const std::string lockPath = m_folder + "/DuDid2" + m_exeName;
    for (;;) {
        // Close-on-exec: a browser or file manager started from here must not keep the lock.
        m_lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_lock < 0) {
            m_error = "Cannot open the lock " + lockPath + ": " + std::strerror(errno);
            return;
        }
        int rc = 0;
        do {
            rc = ::flock(m_lock, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            if (errno == EWOULDBLOCK) {
                m_alreadyRunning = true;
            } else {
                m_error = "Cannot lock " + lockPath + ": " + std::strerror(errno);
                ::close(m_lock);
                m_lock = -1;
            }
            return;
        }
        // A copy that ended removed its lock file: the file locked here may be that removed
        // one, while the next start locks a new one. Only the file the name leads to counts.
        struct stat held {};
        struct stat named {};
        if (::fstat(m_lock, &held) == 0 && ::lstat(lockPath.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_lockPath = lockPath;
            return;
        }
        ::close(m_lock);
        m_lock = -1;
    }
}

TDuDid2::~TDuDid2() {
    if (m_published && m_server) {
        refresh(m_registry);
        const std::string key = handleKey(m_exeName);
        if (m_registry.stringValue(key, m_exeName + "DuDid2") == m_server->path()) {
            m_registry.deleteKey(key);
        }
    }
    m_server.reset();
    if (m_lock >= 0) {
        // Removed while still held, so no other start can be holding this file meanwhile.
        if (!m_lockPath.empty()) {
            ::unlink(m_lockPath.c_str());
        }
        ::close(m_lock);
    }
}

void TDuDid2::loaded(const std::vector<std::string>& commandLine) {
    if (m_lock < 0) {
        return;
    }
    if (m_alreadyRunning) {
        if (OnDejaLance) {
            OnDejaLance();
        }
        m_delivered =
            !m_runningChannel.empty() &&
            sendToRunningCopy(m_runningChannel, MessageKind::CopyData,
                              buildHandOverRecord(StopSiDejaLance, commandLine, StringUser),
                              kSendTimeoutMs)
                .has_value();
        m_terminate = StopSiDejaLance;
        return;
    }
    publish();
    if (OnPasDejaLance) {
        OnPasDejaLance();
    }
}

void TDuDid2::publish() {
    const std::string prefix = m_folder + "/DuDid2" + m_exeName + "-";
    const std::string own = prefix + std::to_string(::getpid()) + ".sock";
    // A crashed copy's channel is litter now; only this program's own names are cleared.
    struct stat st {};
    if (m_runningChannel != own && m_runningChannel.starts_with(prefix) &&
        ::lstat(m_runningChannel.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
        ::unlink(m_runningChannel.c_str());
    }
    try {
        m_server = std::make_unique<InstanceServer>(own);
    } catch (const std::exception& e) {
        m_error = e.what();
        return;
    }
    refresh(m_registry);
    const std::string key = handleKey(m_exeName);
    const auto pid = static_cast<std::uint32_t>(::getpid());
    m_published = m_registry.createKey(key) && m_registry.setDword(key, m_exeName + "form1", pid) &&
                  m_registry.setDword(key, m_exeName + "application", pid) &&
                  m_registry.setString(key, m_exeName + "DuDid2", own);
    if (!m_published) {
        m_error = "Cannot publish the hand-over channel in " + m_registry.file() +
                  "; later starts cannot reach this copy";
    }
}

bool TDuDid2::receive(std::string_view bytes) {
    const std::optional<HandOverRecord> record = parseHandOverRecord(bytes);
    if (!record) {
        return false;
    }
    if (OnOtherTryToRun) {
        OnOtherTryToRun(record->stop, static_cast<int>(record->count), record->arguments,
                        record->user);
    }
    return true;
}

}  // namespace ambrel::integration
