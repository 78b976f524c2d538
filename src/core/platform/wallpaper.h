#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace ambrel::platform {

// A wallpaper that cannot be set; its text says plainly why.
class WallpaperError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The desktop's wallpaper.
class Wallpaper {
public:
    virtual ~Wallpaper() = default;
    // Makes the picture at the absolute path the desktop's wallpaper, kept across sessions.
    // Throws WallpaperError when no known desktop tool is present or the tool fails.
    virtual void set(const std::string& picture) = 0;
};

// Sets the wallpaper with the running desktop's own tool, chosen by XDG_CURRENT_DESKTOP:
// gsettings for GNOME, Cinnamon and MATE, plasma-apply-wallpaperimage for KDE Plasma,
// xfconf-query for XFCE, else feh. Tools are found on PATH and started directly with their
// arguments (no shell reads the path); each gets at most ten seconds.
class DesktopWallpaper final : public Wallpaper {
public:
    // The environment the desktop and the tools are found in; the process's own by default.
    DesktopWallpaper();
    explicit DesktopWallpaper(std::map<std::string, std::string> environment);

    void set(const std::string& picture) override;

    // The full path of a program on PATH, "" when there is none.
    std::string findTool(const std::string& name) const;

private:
    // Runs a tool and returns what it wrote on its standard output; throws WallpaperError
    // when it cannot start, fails or takes too long.
    std::string run(const std::string& tool, const std::vector<std::string>& arguments) const;

    std::map<std::string, std::string> m_environment;
};

// Records the pictures it is given: for tests.
class FakeWallpaper final : public Wallpaper {
public:
    std::vector<std::string> pictures;
    void set(const std::string& picture) override { pictures.push_back(picture); }
};

}  // namespace ambrel::platform
