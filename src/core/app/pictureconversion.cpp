#include "core/app/pictureconversion.h"

#include "core/imaging/conversions.h"
#include "core/imaging/gifcodec.h"
#include "core/storage/names.h"
#include "core/storage/textfile.h"

namespace ambrel::app {
namespace {

constexpr const char* kLocalOnly = "Available for local files only";
constexpr const char* kNoConversion = "Conversion not available for this format";

void tell(Tmyambrel& app, const char* text) {
    app.services().ui.message(text, "My Ambrel", platform::MessageIcon::Information);
}

int chooseFrame(Tmyambrel& app, imaging::FrameChooser& chooser, const imaging::GifFrames& gif) {
    chooser.setHighest(gif.frameCount() - 1);
    platform::Ui& ui = app.services().ui;
    ui.showWindow(platform::Window::FrameChooser);
    while (ui.isWindowVisible(platform::Window::FrameChooser)) {
        app.pause(200);
    }
    return chooser.chosenFrame();
}

}  // namespace

std::string pictureExtension(const std::string& path) {
    std::string ext = storage::extensionpart(storage::filenamepart(path));
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return ext;
}

std::string freeLocalName(const std::string& folder, const std::string& url) {
    const std::string name = storage::exturlnamewe(url);
    std::string candidate = name;
    for (unsigned long long n = 1; storage::fileExists(folder + "/" + candidate); ++n) {
        const std::string mark = "_" + std::to_string(n) + ".";
        candidate.clear();
        for (const char c : name) {
            if (c == '.') {
                candidate += mark;
            } else {
                candidate += c;
            }
        }
        if (name.find('.') == std::string::npos) {
            candidate += mark;
        }
    }
    return candidate;
}

std::string fetchInto(Tmyambrel& app, const FetchFile& fetch, const std::string& url,
                      const std::string& folder, const std::string& name) {
    platform::Ui& ui = app.services().ui;
    ui.showWindow(platform::Window::Progress);
    ui.processEvents(0);
    const std::string file = folder + "/" + name;
    try {
        fetch(url, file);
    } catch (...) {
        ui.hideWindow(platform::Window::Progress);
        throw;
    }
    ui.hideWindow(platform::Window::Progress);
    return file;
}

void gotojpg(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& destination,
             const std::string& source) {
    if (!storage::is_local_path(source)) {
        tell(app, kLocalOnly);
        return;
    }
    const std::string ext = pictureExtension(source);
    if (ext == ".bmp") {
        ConvertBmpToJpeg(source, destination);
    } else if (ext == ".gif") {
        ConvertGifToJpeg(app, chooser, source, destination);
    } else if (ext == ".png") {
        ConvertPngToJpeg(source, destination);
    } else {
        tell(app, kNoConversion);
    }
}

void gotobmp(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& destination,
             const std::string& source) {
    if (!storage::is_local_path(source)) {
        tell(app, kLocalOnly);
        return;
    }
    const std::string ext = pictureExtension(source);
    if (ext == ".jpg" || ext == ".jpeg") {
        ConvertJpegToBmp(source, destination);
    } else if (ext == ".gif") {
        ConvertGifToBmp(app, chooser, source, destination);
    } else if (ext == ".png") {
        ConvertPngToBmp(source, destination);
    } else {
        tell(app, kNoConversion);
    }
}

bool ConvertBmpToJpeg(const std::string& source, const std::string& destination) {
    imaging::convertBmpToJpeg(source, destination);
    return true;
}

bool ConvertJpegToBmp(const std::string& source, const std::string& destination) {
    imaging::convertJpegToBmp(source, destination);
    return true;
}

bool ConvertPngToBmp(const std::string& source, const std::string& destination) {
    imaging::convertPngToBmp(source, destination);
    return true;
}

bool ConvertPngToJpeg(const std::string& source, const std::string& destination) {
    imaging::convertPngToJpeg(source, destination);
    return true;
}

bool ConvertGifToBmp(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& source,
                     const std::string& destination) {
    const imaging::GifFrames gif = imaging::readGifFile(source);
    imaging::writeGifFrameAsBmp(gif, chooseFrame(app, chooser, gif), destination);
    return true;
}

bool ConvertGifToJpeg(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& source,
                      const std::string& destination) {
    const imaging::GifFrames gif = imaging::readGifFile(source);
    imaging::writeGifFrameAsJpeg(gif, chooseFrame(app, chooser, gif), destination);
    return true;
}

}  // namespace ambrel::app
