#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ambrel::platform {

// Every window of the program, created once at start-up in this order and kept until the end.
enum class Window {
    Main,
    Slideshow,
    AddUrl,
    Grab,
    UploadSettings,
    Progress,
    RemoveOnline,
    FileSettings,
    PictureSelector,
    DownloadList,
    Authorization,
    AviToGif,
    ResizeToJpg,
    AddFtpServer,
    EditFtpServer,
    GetFormData,
    EditFormData,
    GeneralSettings,
    About,
    LinkBuilder,
    FrameChooser,
};
inline constexpr int kWindowCount = static_cast<int>(Window::FrameChooser) + 1;

// The caption a window is created with ("" for the ones that show none).
const char* windowCaption(Window w);

enum class MessageIcon { Information, Warning, Error, Question };

// How core talks to the person: the GUI implements it with Qt, tests with ScriptedUi.
class Ui {
public:
    virtual ~Ui() = default;

    virtual void message(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    // A one-line text prompt; nullopt when cancelled.
    virtual std::optional<std::string> prompt(const std::string& caption, const std::string& label,
                                              const std::string& value) = 0;
    // A folder chosen by the person; nullopt when cancelled.
    virtual std::optional<std::string> chooseFolder(const std::string& caption,
                                                    const std::string& start) = 0;
    // Files chosen by the person; empty when cancelled.
    virtual std::vector<std::string> chooseFiles(const std::string& caption) = 0;

    virtual void showWindow(Window w) = 0;
    virtual void hideWindow(Window w) = 0;
    virtual bool isWindowVisible(Window w) const = 0;

    // Handles pending events, waiting at most maxWaitMs for one to arrive.
    virtual void processEvents(int maxWaitMs) = 0;
    virtual void setBusy(bool busy) = 0;
};

}  // namespace ambrel::platform
