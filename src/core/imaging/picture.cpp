#include "core/imaging/picture.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/storage/textfile.h"
#include "core/storage/uniquefd.h"

namespace ambrel::imaging {

void checkPictureSize(std::int64_t width, std::int64_t height, std::int64_t maxPixels) {
    if (width < 1 || height < 1) {
        throw ImageError("Invalid picture size " + std::to_string(width) + " x " +
                         std::to_string(height));
    }
    if (width > maxPixels || height > maxPixels || width * height > maxPixels) {
        throw ImageError("Picture too large: " + std::to_string(width) + " x " +
                         std::to_string(height));
    }
}

Picture::Picture(int width, int height) {
    if (width < 0 || height < 0) {
        throw ImageError("Invalid picture size " + std::to_string(width) + " x " +
                         std::to_string(height));
    }
    if (width > 0 && height > 0) {
        checkPictureSize(width, height);
    }
    m_width = width;
    m_height = height;
    m_data.reset(new std::uint8_t[stride() * static_cast<std::size_t>(height) + kTailPadding]);
}

Picture Picture::clone() const {
    Picture copy(m_width, m_height);
    std::memcpy(copy.m_data.get(), m_data.get(),
                stride() * static_cast<std::size_t>(m_height) + kTailPadding);
    return copy;
}

void Picture::fill(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* p = row(y);
        for (int x = 0; x < m_width; ++x, p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

bool Picture::operator==(const Picture& other) const {
    if (m_width != other.m_width || m_height != other.m_height) {
        return false;
    }
    return m_height == 0 || std::memcmp(m_data.get(), other.m_data.get(),
                                        stride() * static_cast<std::size_t>(m_height)) == 0;
}

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, int error) {
    throw storage::IoError(std::string("Cannot ") + what + " " + path + ": " +
                           std::strerror(error));
}

}  // namespace

PictureBytes readPictureFile(const std::string& path) {
    platform::UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        fail("read", path, errno);
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) {
        fail("read", path, errno);
    }
    if (S_ISDIR(st.st_mode)) {
        fail("read", path, EISDIR);
    }
    PictureBytes bytes;
    std::size_t capacity = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 65536;
    bytes.resize(capacity);
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

void writePictureFile(const std::string& path,
                      std::span<const std::span<const std::uint8_t>> parts) {
    std::string temp = path + ".part-XXXXXX";
    platform::UniqueFd file(::mkstemp(temp.data()));
    if (file.get() < 0) {
        fail("write", path, errno);
    }
    auto abandon = [&](int error) {
        ::unlink(temp.c_str());
        fail("write", path, error);
    };
    ::fchmod(file.get(), 0644);
    // Many parts (a bitmap's rows) go out in few calls.
    std::vector<iovec> pending;
    pending.reserve(parts.size());
    for (const auto& part : parts) {
        if (!part.empty()) {
            pending.push_back({const_cast<std::uint8_t*>(part.data()), part.size()});
        }
    }
    std::size_t next = 0;
    while (next < pending.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(pending.size() - next, IOV_MAX));
        const ssize_t n = ::writev(file.get(), pending.data() + next, count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            abandon(errno);
        }
        auto done = static_cast<std::size_t>(n);
        while (next < pending.size() && done >= pending[next].iov_len) {
            done -= pending[next].iov_len;
            ++next;
        }
        if (done > 0) {
            pending[next].iov_base = static_cast<std::uint8_t*>(pending[next].iov_base) + done;
            pending[next].iov_len -= done;
        }
    }
    if (const int error = file.close(); error != 0) {
        abandon(error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        abandon(errno);
    }
}

}  // namespace ambrel::imaging
