#include "gui/application.h"

#include <QPushButton>
#include <QTreeView>
#include <QWebEngineView>

#include <stdexcept>

#include "core/app/checklinks.h"
#include "core/app/mobileupload.h"
#include "core/app/upload.h"
#include "core/transfer/download.h"
#include "core/web/curlpagefetcher.h"
#include "gui/addurldialog.h"
#include "gui/appicon.h"
#include "gui/authorizationdialog.h"
#include "gui/downloadlistdialog.h"
#include "gui/filesettingsdialog.h"
#include "gui/framechooserwindow.h"
#include "gui/ftpserverwindow.h"
#include "gui/generalsettingsdialog.h"
#include "gui/grabdialog.h"
#include "gui/instancechannel.h"
#include "gui/linkbuilderdialog.h"
#include "gui/listeditcontroller.h"
#include "gui/mainwindow.h"
#include "gui/progresswindow.h"
#include "gui/removeonlinedialog.h"
#include "gui/resizetojpgdialog.h"
#include "gui/shellwindow.h"
#include "gui/tray.h"
#include "gui/uploadsettingsdialog.h"
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
    m_pictureTools.wallpaper = &m_wallpaper;
    m_app = std::make_unique<app::Tmyambrel>(
        m_options.dataFolder,
        app::Services{m_ui, m_handOffClipboard, *m_browser, m_registry, m_shell});
    // Web entries of the picture commands are fetched as every download is.
    m_pictureTools.fetch = [this](const std::string& url, const std::string& file) {
        transfer::filetodownload(m_app->transfers(), url, file);
    };
    m_main = std::make_unique<MainWindow>(*m_app, m_ui, browserWidget);
    m_main->setWindowIcon(appIcon());
    m_ui.registerWindow(Window::Main, m_main.get());
    m_editing = std::make_unique<app::ListEditing>(*m_app);
    m_linkBuilder = std::make_unique<app::LinkBuilder>(*m_app);
    m_uploadSettings = std::make_unique<app::UploadSettingsWindow>(*m_app);
    web::PageFetcher* pages = m_options.pages;
    if (pages == nullptr) {
        m_curlPages = std::make_unique<web::CurlPageFetcher>([this] { m_ui.processEvents(0); });
        pages = m_curlPages.get();
    }
    m_grab = std::make_unique<app::Grab>(*m_app, *pages);
    m_browserCommands = std::make_unique<app::BrowserCommands>(*m_app);
    m_downloadList = std::make_unique<app::DownloadList>(*m_app);
    m_removeOnline = std::make_unique<app::RemoveOnline>(*m_app);
    m_listEditController = new ListEditController(*m_main, *m_app, *m_editing, *m_linkBuilder);
}

GuiApplication::~GuiApplication() {
    m_tray.reset();
    m_instance.reset();
    m_windows.clear();
    m_main.reset();
}

void GuiApplication::start() {
    // The single-instance guard first, so that a second start hands over, then the tray.
    if (!m_options.instanceFolder.empty()) {
        m_instance = std::make_unique<InstanceChannel>(
            *m_app, m_registry, m_handOffClipboard,
            InstanceChannel::Options{m_options.instanceFolder, m_options.exeName,
                                     m_options.commandLine, m_options.reportInstance});
    }
    if (!handedOver()) {
        m_tray = std::make_unique<Tray>(*m_app, *m_main);
    }
    m_app->runCommand([this] { m_app->startup(m_options.arguments); });

    // Every other window, once, in start-up order.
    for (int i = 1; i < platform::kWindowCount; ++i) {
        const auto which = static_cast<Window>(i);
        std::unique_ptr<QWidget> window;
        if (which == Window::AddUrl) {
            auto dialog = std::make_unique<AddUrlDialog>(*m_app);
            m_addUrl = dialog.get();
            window = std::move(dialog);
        } else if (which == Window::UploadSettings) {
            auto dialog = std::make_unique<UploadSettingsDialog>(*m_uploadSettings, *m_app, m_ui);
            m_uploadSettingsDialog = dialog.get();
            window = std::move(dialog);
        } else if (which == Window::AddFtpServer) {
            window = std::make_unique<FtpServerWindow>(m_uploadSettings->ftpAdd(), *m_app);
        } else if (which == Window::EditFtpServer) {
            window = std::make_unique<FtpServerWindow>(m_uploadSettings->ftpEdit(), *m_app);
        } else if (which == Window::Grab) {
            auto dialog = std::make_unique<GrabDialog>(*m_app, *m_grab);
            m_grabDialog = dialog.get();
            window = std::move(dialog);
        } else if (which == Window::FileSettings) {
            auto dialog = std::make_unique<FileSettingsDialog>(*m_app);
            m_fileSettings = dialog.get();
            window = std::move(dialog);
        } else if (which == Window::GeneralSettings) {
            auto dialog = std::make_unique<GeneralSettingsDialog>(
                *m_app, [this](int n, bool shown) { m_main->setPopupItemVisible(n, shown); });
            m_generalSettings = dialog.get();
            window = std::move(dialog);
        } else if (which == Window::LinkBuilder) {
            auto dialog = std::make_unique<LinkBuilderDialog>(*m_linkBuilder, *m_app, m_main.get());
            m_linkBuilderDialog = dialog.get();
            window = std::move(dialog);
        } else if (which == Window::ResizeToJpg) {
            window = std::make_unique<ResizeToJpgDialog>(*m_app, m_pictureTools);
        } else if (which == Window::FrameChooser) {
            window = std::make_unique<FrameChooserWindow>(m_pictureTools.frameChooser);
        } else if (which == Window::DownloadList) {
            window = std::make_unique<DownloadListDialog>(*m_downloadList, *m_app);
        } else if (which == Window::Authorization) {
            window = std::make_unique<AuthorizationDialog>(m_app->transfers().authorization());
        } else if (which == Window::Progress) {
            window = std::make_unique<ProgressWindow>(m_app->transfers());
        } else if (which == Window::RemoveOnline) {
            window = std::make_unique<RemoveOnlineDialog>(*m_removeOnline);
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
    // The settings dialogs show what was just loaded; the chosen popup items appear.
    m_uploadSettingsDialog->showList();
    m_fileSettings->takeSettings();
    m_generalSettings->takeSettings();
    wireCommands();
}

void GuiApplication::wireCommands() {
    MainWindow& w = *m_main;
    w.wire("addUrlButton", [this] { m_app->showAddUrl(); });
    m_listEditController->wireCommands();
    w.wire("uploadSettingsButton", [this] { m_uploadSettings->show(); });
    w.wire("fileSettingsButton", [this] { m_ui.showWindow(Window::FileSettings); });
    w.wire("optionsButton", [this] { m_ui.showWindow(Window::GeneralSettings); });
    w.wire("toJpegButton", [this] { app::fxtojpeg(*m_app, m_pictureTools); });
    w.wire("toBmpButton", [this] { app::fxtobmp(*m_app, m_pictureTools); });
    w.wire("resizeButton", [this] { m_ui.showWindow(Window::ResizeToJpg); });
    w.wire("wallpaperButton", [this] {
        // The entry holding the list's keyboard focus.
        const QModelIndex focus = m_main->listView()->currentIndex();
        app::fxsetaswallpaper(*m_app, m_pictureTools, focus.isValid() ? focus.row() : -1);
    });
    w.wire("grabButton", [this] { m_grab->open(); });
    app::BrowserCommands& b = *m_browserCommands;
    w.wire("goToUrlButton", [&b] { b.goToUrl(); });
    w.wire("forwardButton", [&b] { b.goForward(); });
    w.wire("backButton", [&b] { b.goBack(); });
    w.wire("stopButton", [&b] { b.stop(); });
    w.wire("externalBrowserButton", [&b] { b.openInExternalBrowser(); });
    w.wire("websiteButton", [&b] { b.openMakersSite(); });
    w.wire("helpButton", [&b] { b.help(); });
    b.setHistoryListener([&w](bool forward, bool back) {
        w.button("forwardButton")->setEnabled(forward);
        w.button("backButton")->setEnabled(back);
    });
    wireTransfers();
}

void GuiApplication::wireTransfers() {
    MainWindow& w = *m_main;
    w.wire("downloadButton", [this] { m_downloadList->fxdownload(); });
    w.wire("uploadButton", [this] { app::fxupload(*m_app); });
    w.wire("checkLinksButton", [this] { app::fxChecklinks(*m_app); });
    w.wire("removeButton", [this] { m_removeOnline->fxremove(); });
    w.wire("mobileButton", [this] { app::mobileUpload(*m_app); });
    m_browserCommands->setTransferStop([this] { m_app->transfers().stop(); });
}

bool GuiApplication::handedOver() const {
    return m_instance && m_instance->handedOver();
}

}  // namespace ambrel::gui
