#include "core/imaging/jpegcodec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace ambrel::imaging {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the call that started the work. Functions that call setjmp hold no object with a
// destructor, so the jump skips none.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

// A progressive file can ask for a great many scans of the same pixels; real ones need a
// few dozen.
constexpr long kMostScans = 1000;

extern "C" void jumpOnError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->text);
    std::longjmp(manager->jump, 1);
}

// A picture cut short is an error, not a picture padded with grey.
extern "C" void failOnTruncation(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
        jumpOnError(cinfo);
    }
}

extern "C" void limitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMostScans) {
            std::strcpy(reinterpret_cast<ErrorManager*>(cinfo->err)->text, "Too many scans");
            std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
        }
    }
}

void useErrorManager(ErrorManager& manager) {
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = jumpOnError;
    manager.pub.emit_message = failOnTruncation;
    manager.text[0] = '\0';
}

[[noreturn]] void fail(const ErrorManager& manager) {
    throw ImageError(std::string("Invalid JPEG picture: ") + manager.text);
}

// The minimum a sequential Huffman-coded file needs: two bits per 8x8 block of every
// component (the shortest DC code and the shortest end-of-block code).
bool holdsEnoughData(const jpeg_decompress_struct& cinfo, std::size_t fileSize) {
    if (cinfo.progressive_mode || cinfo.arith_code) {
        return true;
    }
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c) {
        blocks += static_cast<std::uint64_t>(cinfo.comp_info[c].width_in_blocks) *
                  cinfo.comp_info[c].height_in_blocks;
    }
    return blocks / 4 <= fileSize;
}

void cmykRowToBgr(const std::uint8_t* in, std::uint8_t* out, int width, bool inverted) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = static_cast<std::uint8_t>((y * k + 127) / 255);
        out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

enum class Step { Done, Failed, NotEnoughData };

Step decodeSteps(jpeg_decompress_struct& cinfo, ErrorManager& manager,
                 std::span<const std::uint8_t> file, std::int64_t maxPixels, Picture& out,
                 std::unique_ptr<std::uint8_t[]>& cmykRow) {
    if (setjmp(manager.jump) != 0) {
        return Step::Failed;
    }
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    checkPictureSize(cinfo.image_width, cinfo.image_height, maxPixels);
    if (!holdsEnoughData(cinfo, file.size())) {
        return Step::NotEnoughData;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    cinfo.mem->max_memory_to_use = static_cast<long>(maxPixels) * 8;
    jpeg_start_decompress(&cinfo);
    out = Picture(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    if (cmyk) {
        cmykRow.reset(new std::uint8_t[static_cast<std::size_t>(cinfo.output_width) * 4]);
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        if (cmyk) {
            JSAMPROW row = cmykRow.get();
            jpeg_read_scanlines(&cinfo, &row, 1);
            cmykRowToBgr(row, out.row(y), out.width(), cinfo.saw_Adobe_marker != 0);
            continue;
        }
        std::array<JSAMPROW, 16> rows{};
        const int n = std::min<int>(16, static_cast<int>(cinfo.output_height) - y);
        for (int i = 0; i < n; ++i) {
            rows[static_cast<std::size_t>(i)] = out.row(y + i);
        }
        jpeg_read_scanlines(&cinfo, rows.data(), static_cast<JDIMENSION>(n));
    }
    jpeg_finish_decompress(&cinfo);
    return Step::Done;
}

Step encodeSteps(jpeg_compress_struct& cinfo, ErrorManager& manager, const Picture& picture,
                 int quality, unsigned char** buffer, unsigned long* size) {
    if (setjmp(manager.jump) != 0) {
        return Step::Failed;
    }
    jpeg_mem_dest(&cinfo, buffer, size);
    cinfo.image_width = static_cast<JDIMENSION>(picture.width());
    cinfo.image_height = static_cast<JDIMENSION>(picture.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        std::array<JSAMPROW, 16> rows{};
        const int y = static_cast<int>(cinfo.next_scanline);
        const int n = std::min<int>(16, picture.height() - y);
        for (int i = 0; i < n; ++i) {
            rows[static_cast<std::size_t>(i)] = const_cast<std::uint8_t*>(picture.row(y + i));
        }
        jpeg_write_scanlines(&cinfo, rows.data(), static_cast<JDIMENSION>(n));
    }
    jpeg_finish_compress(&cinfo);
    return Step::Done;
}

}  // namespace

Picture decodeJpeg(std::span<const std::uint8_t> file, std::int64_t maxPixels) {
    ErrorManager manager;
    jpeg_decompress_struct cinfo{};
    useErrorManager(manager);
    cinfo.err = &manager.pub;
    jpeg_create_decompress(&cinfo);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = limitScans;
    cinfo.progress = &progress;
    struct Destroy {
        jpeg_decompress_struct* c;
        ~Destroy() { jpeg_destroy_decompress(c); }
    } destroy{&cinfo};

    Picture picture;
    std::unique_ptr<std::uint8_t[]> cmykRow;
    switch (decodeSteps(cinfo, manager, file, maxPixels, picture, cmykRow)) {
        case Step::Done:
            return picture;
        case Step::NotEnoughData:
            throw ImageError("Invalid JPEG picture: the file is shorter than its pixels");
        case Step::Failed:
            break;
    }
    fail(manager);
}

std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality) {
    if (picture.empty()) {
        throw ImageError("Cannot write an empty JPEG picture");
    }
    if (picture.width() > JPEG_MAX_DIMENSION || picture.height() > JPEG_MAX_DIMENSION) {
        throw ImageError("Picture too large for a JPEG file");
    }
    ErrorManager manager;
    jpeg_compress_struct cinfo{};
    useErrorManager(manager);
    cinfo.err = &manager.pub;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    struct Destroy {
        jpeg_compress_struct* c;
        unsigned char** buffer;
        ~Destroy() {
            jpeg_destroy_compress(c);
            std::free(*buffer);
        }
    } destroy{&cinfo, &buffer};
    if (encodeSteps(cinfo, manager, picture, quality, &buffer, &size) != Step::Done) {
        fail(manager);
    }
    return {buffer, buffer + size};
}

Picture readJpegFile(const std::string& path) {
    return decodeJpeg(readPictureFile(path));
}

void writeJpegFile(const std::string& path, const Picture& picture) {
    writePictureFile(path, encodeJpeg(picture));
}

}  // namespace ambrel::imaging
