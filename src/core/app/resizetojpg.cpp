// The "Resize to jpg" window's command and the three resize operations.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>

#include "core/app/pictures.h"
#include "core/storage/names.h"

namespace ambrel::app {
namespace {

void resizeBy(Tmyambrel& app, PictureTools& tools, const std::string& source,
              const std::string& destination, int value, imaging::ResizeMode mode) {
    const std::string ext = pictureExtension(source);
    const bool jpeg = ext == ".jpg" || ext == ".jpeg";
    if (!jpeg && ext != ".bmp" && ext != ".png" && ext != ".gif") {
        return;
    }
    std::string jpegFile = source;
    if (!jpeg) {
        jpegFile = app.programFolder() + "temp/tempjpg.jpg";
        gotojpg(app, tools.frameChooser, jpegFile, source);
    }
    imaging::resizeJpegFile(jpegFile, destination, mode, value);
    if (!jpeg) {
        ::unlink(jpegFile.c_str());
    }
}

}  // namespace

int wholeNumber(const std::string& text) {
    // Blanks around the digits are allowed, as a typed number often has them.
    std::size_t begin = text.find_first_not_of(' ');
    std::size_t end = text.find_last_not_of(' ');
    const std::string digits =
        begin == std::string::npos ? "" : text.substr(begin, end - begin + 1);
    std::size_t at = 0;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        at = 1;
    }
    bool valid = at < digits.size() && digits.size() - at <= 10;
    for (std::size_t i = at; valid && i < digits.size(); ++i) {
        valid = digits[i] >= '0' && digits[i] <= '9';
    }
    if (valid) {
        const long long n = std::strtoll(digits.c_str(), nullptr, 10);
        if (n >= INT_MIN && n <= INT_MAX) {
            return static_cast<int>(n);
        }
    }
    throw std::invalid_argument("'" + text + "' is not a valid integer value");
}

void resizetojpg(Tmyambrel& app, PictureTools& tools, const std::string& source,
                 const std::string& destination, int value) {
    resizeBy(app, tools, source, destination, value, imaging::ResizeMode::Ratio);
}

void resizetojpg1(Tmyambrel& app, PictureTools& tools, const std::string& source,
                  const std::string& destination, int value) {
    resizeBy(app, tools, source, destination, value, imaging::ResizeMode::FixedWidth);
}

void resizetojpg2(Tmyambrel& app, PictureTools& tools, const std::string& source,
                  const std::string& destination, int value) {
    resizeBy(app, tools, source, destination, value, imaging::ResizeMode::FixedHeight);
}

void resizeToJpgOk(Tmyambrel& app, PictureTools& tools) {
    const std::size_t selected = app.pictures().selectedRows().size();
    if (selected == 0) {
        return;
    }
    const BusyWhile busy(app.services().ui, selected > 1);
    const ResizeToJpgForm& form = tools.resize;
    for (int row = app.pictures().size() - 1; row >= 0; --row) {
        if (row >= app.pictures().size() || !app.pictures().isSelected(row)) {
            continue;
        }
        const std::string path = app.pictures().at(row).path;
        const bool local = storage::is_local_path(path);
        std::string source = path;
        if (!local) {
            if (!storage::is_web_address(path)) {
                continue;
            }
            const std::string folder = app.fileSettings().downdir;
            const std::string name =
                form.overwriteOriginal ? storage::exturlnamewe(path) : freeLocalName(folder, path);
            source = fetchInto(app, tools.fetch, path, folder, name);
        }
        const std::string output = app.fileSettings().convdir + "/" + storage::extfilename(source) +
                                   app.fileSettings().thumbext + ".jpg";
        const int value = wholeNumber(form.value);
        switch (form.mode) {
            case imaging::ResizeMode::Ratio:
                resizetojpg(app, tools, source, output, value);
                break;
            case imaging::ResizeMode::FixedWidth:
                resizetojpg1(app, tools, source, output, value);
                break;
            case imaging::ResizeMode::FixedHeight:
                resizetojpg2(app, tools, source, output, value);
                break;
        }
        if (form.addThumbnails) {
            app.addonelink(output);
            app.adresizescroll();
        }
        if (!local && form.deleteTemporary) {
            ::unlink(source.c_str());
        }
    }
}

}  // namespace ambrel::app
