#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/app/app.h"
#include "core/app/browsercommands.h"
#include "core/app/downloadlist.h"
#include "core/app/editing.h"
#include "core/app/grab.h"
#include "core/app/linkbuilder.h"
#include "core/app/pictures.h"
#include "core/app/remove.h"
#include "core/app/uploadsettingswindow.h"
#include "core/export/linkbuilder.h"
#include "core/integration/runningcopy.h"
#include "core/platform/registry.h"
#include "core/platform/shell.h"
#include "core/platform/wallpaper.h"
#include "gui/qtui.h"

class QWidget;

namespace ambrel::gui {

class MainWindow;
class AddUrlDialog;
class FileSettingsDialog;
class GrabDialog;
class GeneralSettingsDialog;
class InstanceChannel;
class LinkBuilderDialog;
class ListEditController;
class Tray;
class UploadSettingsDialog;
class WebBrowser;

struct GuiOptions {
    std::string dataFolder;              // with its trailing "/"
    std::vector<std::string> arguments;  // the command line less the program's own options
    std::string registryFile;            // empty: the per-user store
    // A browser to use instead of the web engine, with the widget that stands for it (tests).
    platform::Browser* browser = nullptr;
    QWidget* browserWidget = nullptr;
    // Where pages for the grab come from instead of the network (tests).
    web::PageFetcher* pages = nullptr;
    // The single-instance guard: the whole command line (program path first) for a running
    // copy, the folder of the lock and channel (empty: no guard, as in tests), the name the
    // lock and handle key carry, and whether to tell standard output what it does.
    std::vector<std::string> commandLine{};
    std::string instanceFolder{};
    std::string exeName = "myambrel";
    bool reportInstance = false;
};

// Builds the program's windows in start-up order around one core application object.
class GuiApplication final {
public:
    explicit GuiApplication(GuiOptions options);
    ~GuiApplication();
    GuiApplication(const GuiApplication&) = delete;
    GuiApplication& operator=(const GuiApplication&) = delete;

    // The whole start-up: the main window and its start-up work, then every other window,
    // loading the settings on the way. Errors are shown and start-up goes on.
    void start();

    app::Tmyambrel& core() { return *m_app; }
    MainWindow& mainWindow() { return *m_main; }
    QtUi& ui() { return m_ui; }
    AddUrlDialog& addUrlDialog() { return *m_addUrl; }
    GrabDialog& grabDialog() { return *m_grabDialog; }
    app::Grab& grab() { return *m_grab; }
    app::BrowserCommands& browserCommands() { return *m_browserCommands; }
    platform::Browser& browser() { return *m_browser; }
    app::ListEditing& editing() { return *m_editing; }
    app::LinkBuilder& linkBuilder() { return *m_linkBuilder; }
    app::DownloadList& downloadList() { return *m_downloadList; }
    app::RemoveOnline& removeOnline() { return *m_removeOnline; }
    LinkBuilderDialog& linkBuilderDialog() { return *m_linkBuilderDialog; }
    app::UploadSettingsWindow& uploadSettings() { return *m_uploadSettings; }
    // A second start that handed its command line to the running copy: it ends now.
    bool handedOver() const;
    InstanceChannel* instanceChannel() const { return m_instance.get(); }
    Tray* tray() const { return m_tray.get(); }
    app::PictureTools& pictureTools() { return m_pictureTools; }

private:
    void wireCommands();
    void wireTransfers();

    GuiOptions m_options;
    QtUi m_ui;
    QtClipboard m_clipboard;
    integration::HandOffClipboard m_handOffClipboard{m_clipboard};
    platform::RegistryStore m_registry;
    platform::XdgShell m_shell;
    platform::DesktopWallpaper m_wallpaper;
    app::PictureTools m_pictureTools;
    std::unique_ptr<WebBrowser> m_webBrowser;
    platform::Browser* m_browser = nullptr;
    std::unique_ptr<app::Tmyambrel> m_app;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<app::ListEditing> m_editing;
    std::unique_ptr<app::LinkBuilder> m_linkBuilder;
    std::unique_ptr<app::UploadSettingsWindow> m_uploadSettings;
    std::unique_ptr<web::PageFetcher> m_curlPages;
    std::unique_ptr<app::Grab> m_grab;
    std::unique_ptr<app::BrowserCommands> m_browserCommands;
    GrabDialog* m_grabDialog = nullptr;
    std::unique_ptr<app::DownloadList> m_downloadList;
    std::unique_ptr<app::RemoveOnline> m_removeOnline;
    ListEditController* m_listEditController = nullptr;  // owned by the main window
    LinkBuilderDialog* m_linkBuilderDialog = nullptr;
    AddUrlDialog* m_addUrl = nullptr;
    std::vector<std::unique_ptr<QWidget>> m_windows;
    FileSettingsDialog* m_fileSettings = nullptr;
    GeneralSettingsDialog* m_generalSettings = nullptr;
    UploadSettingsDialog* m_uploadSettingsDialog = nullptr;
    std::unique_ptr<InstanceChannel> m_instance;
    std::unique_ptr<Tray> m_tray;
};

}  // namespace ambrel::gui
