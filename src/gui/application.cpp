#include "gui/application.h"

#include <QWebEngineView>

#include "gui/addurldialog.h"
#include "gui/appicon.h"
#include "gui/mainwindow.h"
#include "gui/shellwindow.h"
#include "gui/webbrowser.h"

namespace ambrel::gui {

using platform::Window;

GuiApplication::GuiApplication(GuiOptions options)
    : m_options(std::move(options)),
      m_registry(m_options.registryFile.empty() ? platform::RegistryStore::defaultFile()
                                                : m_options.registryFile) {
    QWidget* browserWidget = m_options.browserWidget;
    if (m_options.browser != nullptr) {
        m_browser = m_options.browser;
    } else {
        auto* view = new QWebEngineView;
        browserWidget = view;
        m_webBrowser = std::make_unique<WebBrowser>(view);
        m_browser = m_webBrowser.get();
    }
    m_app = std::make_unique<list::Tmyambrel>(
        m_options.dataFolder, list::Services{m_ui, m_clipboard, *m_browser, m_registry});
    m_main = std::make_unique<MainWindow>(*m_app, m_ui, browserWidget);
    m_main->setWindowIcon(appIcon());
    m_ui.registerWindow(Window::Main, m_main.get());
}

GuiApplication::~GuiApplication() {
    m_windows.clear();
    m_main.reset();
}

void GuiApplication::start() {
    m_app->runCommand([this] { m_app->startup(m_options.arguments); });

    // Every other window, once, in start-up order.
    for (int i = 1; i < platform::kWindowCount; ++i) {
        const auto which = static_cast<Window>(i);
        std::unique_ptr<QWidget> window;
        if (which == Window::AddUrl) {
            auto dialog = std::make_unique<AddUrlDialog>(*m_app);
            m_addUrl = dialog.get();
            window = std::move(dialog);
        } else if (which == Window::About) {
            window = std::make_unique<AboutWindow>();
        } else {
            window = std::make_unique<ShellWindow>(which);
        }
        window->setWindowIcon(appIcon());
        m_ui.registerWindow(which, window.get());
        m_windows.push_back(std::move(window));
    }
    m_app->runCommand([this] { m_app->createWindows(); });
    wireCommands();
}

void GuiApplication::wireCommands() {
    MainWindow& w = *m_main;
    w.wire("addUrlButton", [this] { m_app->showAddUrl(); });
}

}  // namespace ambrel::gui
