#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/list/app.h"
#include "core/platform/registry.h"
#include "gui/qtui.h"

class QWidget;

namespace ambrel::gui {

class MainWindow;
class AddUrlDialog;
class WebBrowser;

struct GuiOptions {
    std::string dataFolder;              // with its trailing "/"
    std::vector<std::string> arguments;  // the command line less the program's own options
    std::string registryFile;            // empty: the per-user store
    // A browser to use instead of the web engine, with the widget that stands for it (tests).
    platform::Browser* browser = nullptr;
    QWidget* browserWidget = nullptr;
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

    list::Tmyambrel& core() { return *m_app; }
    MainWindow& mainWindow() { return *m_main; }
    QtUi& ui() { return m_ui; }
    AddUrlDialog& addUrlDialog() { return *m_addUrl; }
    platform::Browser& browser() { return *m_browser; }

private:
    void wireCommands();

    GuiOptions m_options;
    QtUi m_ui;
    QtClipboard m_clipboard;
    platform::RegistryStore m_registry;
    std::unique_ptr<WebBrowser> m_webBrowser;
    platform::Browser* m_browser = nullptr;
    std::unique_ptr<list::Tmyambrel> m_app;
    std::unique_ptr<MainWindow> m_main;
    AddUrlDialog* m_addUrl = nullptr;
    std::vector<std::unique_ptr<QWidget>> m_windows;
};

}  // namespace ambrel::gui
