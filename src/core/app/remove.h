#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ambrel::app {

class Tmyambrel;

// The Remove command (fxremove) with its "Remove online" window (TForm7): the selected
// entries leave the list, and on request their files leave the FTP server they were
// uploaded to and the local disk.
class RemoveOnline {
public:
    static constexpr const char* kLabel = "Remove files online if  they come from this website:";
    // The window's answer: 'x' cancelled (also while it is open), 'n' local only, 'y' also
    // online.
    char answer() const { return m_answer; }

    explicit RemoveOnline(Tmyambrel& app) : m_app(app) {}

    // Each showing: answer cancelled, the FTP server definitions listed, the first chosen.
    void activate();
    const std::vector<std::string>& servers() const { return m_servers; }
    int chosen() const { return m_chosen; }
    void choose(int index);
    bool removeLocalFiles() const { return m_removeLocal; }
    void setRemoveLocalFiles(bool on) { m_removeLocal = on; }
    std::function<void()> onChanged;

    // The window's buttons.
    void yes();
    void no();
    void cancelDeletion();

    // Shows the window, waits until it closes, then removes. FTP errors end the command by
    // throwing (FtpError), the list file then unwritten; a port that is not a number throws
    // std::invalid_argument before anything is removed.
    void fxremove();

private:
    void changed() const {
        if (onChanged) {
            onChanged();
        }
    }
    void close();
    void serverStep(const std::string& path, const std::string& root, const std::string& start,
                    const std::string& home);

    Tmyambrel& m_app;
    char m_answer = 'n';
    std::vector<std::string> m_servers;
    int m_chosen = -1;
    bool m_removeLocal = false;
};

// Where a web entry lies on the server below the root address: the folder (with its leading
// "/" when the root has no final "/"; empty directly in the root's folder) and the file name.
struct RemotePlace {
    std::string folder;
    std::string name;
};
RemotePlace remotePlaceOf(const std::string& path, const std::string& root);

}  // namespace ambrel::app
