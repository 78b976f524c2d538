#include "core/storage/filelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "core/storage/textfile.h"

namespace ambrel::storage {

namespace {

struct Held {
    std::thread::id owner;
    int fd = -1;
    int depth = 0;
};

// The locks this process holds, by the lock file's identity (so two spellings of one path
// are one lock).
struct HeldLocks {
    std::mutex mutex;
    std::map<std::pair<dev_t, ino_t>, Held> byFile;
};

HeldLocks& heldLocks() {
    static HeldLocks locks;
    return locks;
}

[[noreturn]] void fail(const std::string& path, int err) {
    const std::string reason = std::generic_category().message(err);
    throw IoError("Cannot write " + path + ": " + reason, reason);
}

}  // namespace

std::string FileLock::lockFileFor(const std::string& path) {
    const std::string target = writeTarget(path);
    const std::size_t slash = target.rfind('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return target.substr(0, nameAt) + "." + target.substr(nameAt) + ".lock";
}

FileLock::FileLock(const std::string& path) {
    const std::string lockFile = lockFileFor(path);
    // Open for writing where possible (locks over NFS need it); on a local disk read access
    // is enough for flock(), which lets a writer lock a file another user's copy created.
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        // Why the folder refused the lock file says more than a missing file would.
        const int refused = errno;
        if (refused == EACCES || refused == EROFS) {
            fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (fd < 0) {
            fail(path, refused);
        }
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        fail(path, err);
    }
    m_device = st.st_dev;
    m_inode = st.st_ino;
    const auto id = std::make_pair(m_device, m_inode);
    HeldLocks& locks = heldLocks();
    {
        const std::lock_guard guard(locks.mutex);
        const auto it = locks.byFile.find(id);
        if (it != locks.byFile.end() && it->second.owner == std::this_thread::get_id()) {
            ++it->second.depth;
            ::close(fd);
            return;
        }
    }
    // Another thread of this process holding it waits here too: its lock is on another
    // open file description.
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int err = errno;
            ::close(fd);
            fail(path, err);
        }
    }
    const std::lock_guard guard(locks.mutex);
    locks.byFile[id] = Held{std::this_thread::get_id(), fd, 1};
}

FileLock::~FileLock() {
    HeldLocks& locks = heldLocks();
    const std::lock_guard guard(locks.mutex);
    const auto it = locks.byFile.find(std::make_pair(m_device, m_inode));
    if (it == locks.byFile.end() || --it->second.depth > 0) {
        return;
    }
    ::close(it->second.fd);  // lets the next writer in
    locks.byFile.erase(it);
}

}  // namespace ambrel::storage
