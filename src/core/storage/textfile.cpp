#include "core/storage/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/storage/filelock.h"
#include "core/storage/uniquefd.h"

namespace ambrel::storage {

namespace fs = std::filesystem;

namespace {

std::string reason(int err) {
    return std::generic_category().message(err);
}

[[noreturn]] void fail(const char* verb, const std::string& path, int err) {
    throw IoError(std::string("Cannot ") + verb + " " + path + ": " + reason(err), reason(err));
}

int writeAll(int fd, const std::string& content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

int syncFd(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

// After a rename the new name is on the disk only once the folder is. A folder that cannot
// be synced (some file systems refuse) leaves the file replaced all the same, so this
// reports nothing: the write has happened and the caller must not take it for a failure.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    platform::UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        syncFd(dir.get());
    }
}

void replaceFile(const std::string& requested, const std::string& content, bool ownerOnly) {
    static std::atomic<unsigned> counter{0};
    const std::string path = writeTarget(requested);

    // Keep the old file's permissions; a new file gets the usual ones (umask applies).
    mode_t mode = ownerOnly ? 0600 : 0666;
    struct stat old {};
    const bool hadOld = ::stat(path.c_str(), &old) == 0;
    if (hadOld && !ownerOnly) {
        mode = old.st_mode & 07777;
    }
    // A file the user made read-only stays as it is, although the rename could replace it.
    if (hadOld && ::access(path.c_str(), W_OK) != 0) {
        fail("write", requested, errno);
    }

    // The temporary name does not end in the file's own extension, so folder scans for
    // "*.fifi" or "*.txt" never see it.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100)) {
            fail("write", requested, errno);
        }
    }

    platform::UniqueFd file(fd);
    int err = writeAll(file.get(), content);
    if (err == 0 && hadOld && ::fchmod(file.get(), mode) != 0) {
        err = errno;
    }
    // The content reaches the disk before the name does, so a power cut after the rename
    // cannot leave an empty file under the old name.
    if (err == 0) {
        err = syncFd(file.get());
    }
    if (err == 0) {
        err = file.close();
    }
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
        err = errno;
    }
    if (err != 0) {
        ::unlink(temp.c_str());
        fail("write", requested, err);
    }
    syncFolderOf(path);
}

}  // namespace

bool fileExists(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    return !ec && fs::exists(st) && !fs::is_directory(st);
}

std::string readBytes(const std::string& path) {
    platform::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        fail("read", path, errno);
    }
    // Read in one go into a buffer of the file's size; grow only when the file grows.
    struct stat st {};
    std::size_t capacity = 65536;
    if (::fstat(file.get(), &st) == 0 && st.st_size > 0) {
        capacity = static_cast<std::size_t>(st.st_size) + 1;
    }
    std::string bytes(capacity, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t n = ::read(file.get(), bytes.data() + used, bytes.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("read", path, errno);
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    bytes.resize(used);
    return bytes;
}

std::string writeTarget(const std::string& path) {
    // A symlinked file is replaced at its target, so the link itself survives the rename.
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path target = fs::canonical(path, ec);
        if (!ec) {
            return target.string();
        }
    }
    return path;
}

std::string LoadFile(const std::string& path) {
    if (!fileExists(path)) {
        return " ";
    }
    return crlfLines(readBytes(path));
}

std::string crlfLines(const std::string& bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16 + 2);
    forEachLine(bytes, [&text](std::string_view line) {
        text.append(line);
        text.append("\r\n");
    });
    return text;
}

void writeFileAtomically(const std::string& path, const std::string& content) {
    replaceFile(path, content, false);
}

void writePrivateFileAtomically(const std::string& path, const std::string& content) {
    replaceFile(path, content, true);
}

void updateFileAtomically(
    const std::string& path,
    const std::function<std::string(const std::optional<std::string>& old)>& change,
    Access access) {
    const FileLock lock(path);
    const std::optional<std::string> old =
        fileExists(path) ? std::optional<std::string>(readBytes(path)) : std::nullopt;
    replaceFile(path, change(old), access == Access::Private);
}

}  // namespace ambrel::storage
