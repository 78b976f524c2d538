#pragma once

#include <functional>
#include <string>

#include "core/app/app.h"
#include "core/imaging/framechooser.h"

namespace ambrel::app {

// Downloads a web address into a local file; throws when it cannot. The download service
// of the transfer layer is bound here by the program, a fake by the tests.
using FetchFile = std::function<void(const std::string& url, const std::string& file)>;

// The lower-cased extension of a path's file name ("" when it has none).
std::string pictureExtension(const std::string& path);

// The name a download gets in folder: the address's last path segment, or its numbered
// variants (a.b.jpg gives a_1.b_1.jpg, pic gives pic_1.) while a file of that name exists.
std::string freeLocalName(const std::string& folder, const std::string& url);

// Shows the progress window, downloads url to folder + "/" + name and closes the window.
// Returns the local file.
std::string fetchInto(Tmyambrel& app, const FetchFile& fetch, const std::string& url,
                      const std::string& folder, const std::string& name);

// A local BMP, GIF or PNG file to JPEG, chosen by the source's extension. A source that is
// not local: "Available for local files only"; another extension: "Conversion not available
// for this format"; nothing is written then. A GIF asks for its frame first.
void gotojpg(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& destination,
             const std::string& source);
// A local JPEG (".jpg", ".jpeg"), GIF or PNG file to BMP, with the same messages.
void gotobmp(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& destination,
             const std::string& source);

// The single conversions, source first; true once the file is written. They throw
// imaging::ImageError or storage::IoError.
bool ConvertBmpToJpeg(const std::string& source, const std::string& destination);
bool ConvertJpegToBmp(const std::string& source, const std::string& destination);
bool ConvertPngToBmp(const std::string& source, const std::string& destination);
bool ConvertPngToJpeg(const std::string& source, const std::string& destination);
// Reads every frame, shows the frame chooser with the highest frame number and waits until
// the person closes it (the windows stay live), then writes the chosen frame.
bool ConvertGifToBmp(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& source,
                     const std::string& destination);
bool ConvertGifToJpeg(Tmyambrel& app, imaging::FrameChooser& chooser, const std::string& source,
                      const std::string& destination);

// Shows the busy cursor while a command converts more than one picture.
class BusyWhile {
public:
    BusyWhile(platform::Ui& ui, bool busy) : m_ui(busy ? &ui : nullptr) {
        if (m_ui != nullptr) {
            m_ui->setBusy(true);
        }
    }
    ~BusyWhile() {
        if (m_ui != nullptr) {
            m_ui->setBusy(false);
        }
    }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

private:
    platform::Ui* m_ui;
};

}  // namespace ambrel::app
