#pragma once

#include <functional>
#include <string>

namespace ambrel::app {

class Tmyambrel;

// The "Download list" window (TForm10) and the Download command: addresses from the
// clipboard, fetched one after the other into the download folder under free names.
class DownloadList {
public:
    static constexpr const char* kWarning =
        "Warning myambrel is a picture manager and not a download manager and does not "
        "support resume for now";

    explicit DownloadList(Tmyambrel& app) : m_app(app) {}

    // The list field, one address per line, and the box "Add to list".
    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }
    bool addToList() const { return m_addToList; }
    void setAddToList(bool on) { m_addToList = on; }
    // The window shows the state again after core changed it.
    std::function<void()> onChanged;

    // fxdownload: fills the list with the web addresses among the clipboard's lines and shows
    // the window; nothing is fetched yet.
    void fxdownload();
    // "Download": fetches every web address of the list. Throws storage::IoError when a
    // local file cannot be created; the run ends there with the progress window closed.
    void download();
    // "Cancel": closes the window.
    void cancel();

private:
    void changed() const {
        if (onChanged) {
            onChanged();
        }
    }

    Tmyambrel& m_app;
    std::string m_text;
    bool m_addToList = true;
};

}  // namespace ambrel::app
