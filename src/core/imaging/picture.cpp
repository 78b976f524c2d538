#include "core/imaging/picture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::vector<std::uint8_t> readPictureFile(const std::string& path) {
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
    std::vector<std::uint8_t> bytes;
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

void writePictureFile(const std::string& path, std::span<const std::uint8_t> bytes) {
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
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            abandon(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (const int error = file.close(); error != 0) {
        abandon(error);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        abandon(errno);
    }
}

}  // namespace ambrel::imaging
