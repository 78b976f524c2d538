#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ambrel::imaging {

// A picture that cannot be made, read, decoded, scaled or written; its text is shown to the
// person as it is.
class ImageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture the program makes or decodes: about 134 million pixels (400 MB). A
// file that claims more is refused before anything of that size is allocated.
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 27;

// A 24-bit true-colour raster: three bytes per pixel in blue, green, red order, rows from
// the top, each row packed (width * 3 bytes) and reached through row(). The buffer has a
// few spare bytes after the last row so vector loads may run past a row's end.
class Picture {
public:
    static constexpr std::size_t kTailPadding = 64;

    Picture() = default;
    // Throws ImageError for a negative size or one above kMaxPixels. The pixels are not
    // cleared.
    Picture(int width, int height);

    Picture(Picture&&) noexcept = default;
    Picture& operator=(Picture&&) noexcept = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    Picture clone() const;

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t stride() const { return static_cast<std::size_t>(m_width) * 3; }
    bool empty() const { return m_width == 0 || m_height == 0; }

    std::uint8_t* row(int y) { return m_data.get() + static_cast<std::size_t>(y) * stride(); }
    const std::uint8_t* row(int y) const {
        return m_data.get() + static_cast<std::size_t>(y) * stride();
    }
    std::uint8_t* data() { return m_data.get(); }
    const std::uint8_t* data() const { return m_data.get(); }

    void fill(std::uint8_t b, std::uint8_t g, std::uint8_t r);
    bool operator==(const Picture& other) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<std::uint8_t[]> m_data;
};

// Throws ImageError unless width x height is a size the program accepts (both above 0 and
// the product within maxPixels).
void checkPictureSize(std::int64_t width, std::int64_t height, std::int64_t maxPixels = kMaxPixels);

// Bytes that are about to be overwritten, so growing the buffer does not clear it first.
template <typename T>
struct UninitializedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitializedAllocator<U>;
    };
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using PictureBytes = std::vector<std::uint8_t, UninitializedAllocator<std::uint8_t>>;

// The whole content of a picture file. Throws storage::IoError.
PictureBytes readPictureFile(const std::string& path);
// Writes the parts one after the other to a temporary file beside path and renames it over
// path, so a failed write leaves no half-written picture. Throws storage::IoError.
void writePictureFile(const std::string& path,
                      std::span<const std::span<const std::uint8_t>> parts);
inline void writePictureFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> one[] = {bytes};
    writePictureFile(path, one);
}

}  // namespace ambrel::imaging
