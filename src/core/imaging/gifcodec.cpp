#include "core/imaging/gifcodec.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

namespace ambrel::imaging {
namespace {

struct Reader {
    std::span<const std::uint8_t> data;
    std::size_t at = 0;
};

extern "C" int readGifBytes(GifFileType* gif, GifByteType* buffer, int wanted) {
    auto* reader = static_cast<Reader*>(gif->UserData);
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(wanted, 0)), reader->data.size() - reader->at);
    if (n > 0) {
        std::memcpy(buffer, reader->data.data() + reader->at, n);
    }
    reader->at += n;
    return static_cast<int>(n);
}

// An open giflib decoder, closed on every way out.
class Decoder {
public:
    explicit Decoder(std::span<const std::uint8_t> file) : m_reader{file, 0} {
        int error = 0;
        m_gif = DGifOpen(&m_reader, readGifBytes, &error);
        if (m_gif == nullptr) {
            fail(error);
        }
    }
    ~Decoder() {
        int error = 0;
        DGifCloseFile(m_gif, &error);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    GifFileType* operator->() const { return m_gif; }
    GifFileType* get() const { return m_gif; }
    void check(int result) const {
        if (result == GIF_ERROR) {
            fail(m_gif->Error);
        }
    }
    [[noreturn]] static void fail(int error) {
        const char* text = GifErrorString(error);
        throw ImageError(std::string("Invalid GIF picture: ") + (text != nullptr ? text : "error"));
    }

private:
    Reader m_reader;
    GifFileType* m_gif = nullptr;
};

struct FrameControl {
    int disposal = DISPOSAL_UNSPECIFIED;
    int transparent = NO_TRANSPARENT_COLOR;
};

// Reads the extension that follows, keeping what a graphic control block says.
void readExtension(const Decoder& gif, FrameControl& control) {
    int code = 0;
    GifByteType* block = nullptr;
    gif.check(DGifGetExtension(gif.get(), &code, &block));
    if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
        GraphicsControlBlock gcb{};
        DGifExtensionToGCB(block[0], block + 1, &gcb);
        control.disposal = gcb.DisposalMode;
        control.transparent = gcb.TransparentColor;
    }
    while (block != nullptr) {
        gif.check(DGifGetExtensionNext(gif.get(), &block));
    }
}

void skipImageData(const Decoder& gif) {
    int codeSize = 0;
    GifByteType* block = nullptr;
    gif.check(DGifGetCode(gif.get(), &codeSize, &block));
    while (block != nullptr) {
        gif.check(DGifGetCodeNext(gif.get(), &block));
    }
}

// The row of the frame that line i of an interlaced frame belongs to.
int interlacedRow(int i, int height) {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        const int rows =
            height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (i < rows) {
            return kStart[pass] + i * kStep[pass];
        }
        i -= rows;
    }
    return 0;
}

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // clipped to the canvas, right/bottom excluded
};

Rect clip(const GifImageDesc& d, int width, int height) {
    return {std::clamp(d.Left, 0, width), std::clamp(d.Top, 0, height),
            std::clamp(d.Left + d.Width, 0, width), std::clamp(d.Top + d.Height, 0, height)};
}

void fillWhite(Picture& canvas, const Rect& r) {
    for (int y = r.top; y < r.bottom; ++y) {
        std::memset(canvas.row(y) + static_cast<std::size_t>(r.left) * 3, 255,
                    static_cast<std::size_t>(r.right - r.left) * 3);
    }
}

void checkFrame(const GifImageDesc& d, std::int64_t maxPixels) {
    if (d.Width < 1 || d.Height < 1) {
        throw ImageError("Invalid GIF picture: a frame without pixels");
    }
    checkPictureSize(d.Width, d.Height, maxPixels);
}

}  // namespace

GifFrames::GifFrames(std::vector<std::uint8_t> file, std::int64_t maxPixels)
    : m_file(std::move(file)), m_maxPixels(maxPixels) {
    Decoder gif(m_file);
    m_width = gif->SWidth;
    m_height = gif->SHeight;
    FrameControl control;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        gif.check(DGifGetRecordType(gif.get(), &type));
        if (type == TERMINATE_RECORD_TYPE) {
            break;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            readExtension(gif, control);
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            gif.check(DGifGetImageDesc(gif.get()));
            checkFrame(gif->Image, m_maxPixels);
            if (m_frameCount == 0 && (m_width < 1 || m_height < 1)) {
                // A screen without a size takes the first frame's.
                m_width = gif->Image.Left + gif->Image.Width;
                m_height = gif->Image.Top + gif->Image.Height;
            }
            skipImageData(gif);
            ++m_frameCount;
        }
    }
    if (m_frameCount == 0) {
        throw ImageError("Invalid GIF picture: it holds no frame");
    }
    checkPictureSize(m_width, m_height, m_maxPixels);
}

Picture GifFrames::frame(int index) const {
    if (index < 0 || index >= m_frameCount) {
        throw std::out_of_range("GIF frame " + std::to_string(index) + " of " +
                                std::to_string(m_frameCount));
    }
    Decoder gif(m_file);
    Picture canvas(m_width, m_height);
    canvas.fill(255, 255, 255);
    std::optional<Picture> saved;
    FrameControl control;
    FrameControl previous;
    Rect previousRect;
    std::vector<GifPixelType> line;
    for (int f = 0; f <= index;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        gif.check(DGifGetRecordType(gif.get(), &type));
        if (type == TERMINATE_RECORD_TYPE) {
            throw ImageError("Invalid GIF picture: a frame is missing");
        }
        if (type == EXTENSION_RECORD_TYPE) {
            readExtension(gif, control);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) {
            continue;
        }
        gif.check(DGifGetImageDesc(gif.get()));
        const GifImageDesc& desc = gif->Image;
        checkFrame(desc, m_maxPixels);

        // What the frame before asked to be done with its area once shown.
        if (f > 0 && previous.disposal == DISPOSE_BACKGROUND) {
            fillWhite(canvas, previousRect);
        } else if (f > 0 && previous.disposal == DISPOSE_PREVIOUS && saved) {
            canvas = std::move(*saved);
            saved.reset();
        }
        if (control.disposal == DISPOSE_PREVIOUS && f < index) {
            saved = canvas.clone();
        }

        const ColorMapObject* map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
        const int colours = map != nullptr ? map->ColorCount : 0;
        const Rect r = clip(desc, m_width, m_height);
        line.resize(static_cast<std::size_t>(desc.Width));
        for (int i = 0; i < desc.Height; ++i) {
            gif.check(DGifGetLine(gif.get(), line.data(), desc.Width));
            const int y = desc.Top + (desc.Interlace ? interlacedRow(i, desc.Height) : i);
            if (y < r.top || y >= r.bottom) {
                continue;
            }
            std::uint8_t* dst = canvas.row(y) + static_cast<std::size_t>(r.left) * 3;
            for (int x = r.left; x < r.right; ++x, dst += 3) {
                const int c = line[static_cast<std::size_t>(x - desc.Left)];
                if (c == control.transparent) {
                    continue;
                }
                if (c < colours) {
                    const GifColorType& rgb = map->Colors[c];
                    dst[0] = rgb.Blue;
                    dst[1] = rgb.Green;
                    dst[2] = rgb.Red;
                } else {
                    dst[0] = dst[1] = dst[2] = 0;
                }
            }
        }
        previous = control;
        previousRect = r;
        control = FrameControl{};
        ++f;
    }
    return canvas;
}

GifFrames readGifFile(const std::string& path) {
    const PictureBytes bytes = readPictureFile(path);
    return GifFrames(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace ambrel::imaging
