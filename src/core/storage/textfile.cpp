#include "core/storage/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include "core/storage/uniquefd.h"

namespace ambrel::storage {

namespace fs = std::filesystem;

namespace {

std::string reason(int err) {
    return std::generic_category().message(err);
}

[[noreturn]] void fail(const char* verb, const std::string& path, int err) {
    throw IoError(std::string("Cannot ") + verb + " " + path + ": " + reason(err));
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

// A symlinked file is replaced at its target, so the link itself survives the rename.
std::string resolveTarget(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path target = fs::canonical(path, ec);
        if (!ec) {
            return target.string();
        }
    }
    return path;
}

void replaceFile(const std::string& requested, const std::string& content, bool ownerOnly) {
    static std::atomic<unsigned> counter{0};
    const std::string path = resolveTarget(requested);

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

std::string LoadFile(const std::string& path) {
    if (!fileExists(path)) {
        return " ";
    }
    const std::string bytes = readBytes(path);
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

}  // namespace ambrel::storage
