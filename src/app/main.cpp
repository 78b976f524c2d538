// The executable: chooses the data folder, starts the windows and runs the event loop.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/integration/instance.h"
#include "core/platform/datafolder.h"
#include "core/platform/endsignals.h"
#include "gui/appicon.h"
#include "gui/application.h"
#include "gui/mainwindow.h"

namespace {

struct CommandLine {
    std::optional<std::string> home;
    std::optional<std::string> screenshot;
    bool reportStartup = false;
    bool reportInstance = false;
    std::vector<std::string> handOver;  // the first one is handed over, the rest ignored
};

const char* const kUsage =
    "usage: myambrel [--home DIR] [--screenshot FILE] [--report-startup] [LINK]\n"
    "  --home DIR         keep the lists and options in DIR\n"
    "  --screenshot FILE  start, write a PNG of the main window to FILE and quit\n"
    "  --report-startup   print the time from start to the shown window and quit\n"
    "  --report-instance  print what happens between this copy and a running one\n"
    "  LINK               an address to add (\"@\" in front: copy it, \"$\": copy it wrapped)\n";

// Reads the program's own options; anything else is a hand-over text.
std::optional<CommandLine> parse(int argc, char** argv) {
    CommandLine cl;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--home" || arg == "--screenshot") && i + 1 < argc) {
            (arg == "--home" ? cl.home : cl.screenshot) = std::string(argv[++i]);
        } else if (arg == "--report-startup") {
            cl.reportStartup = true;
        } else if (arg == "--report-instance") {
            cl.reportInstance = true;
        } else if (arg == "--home" || arg == "--screenshot") {
            return std::nullopt;  // an option without its value
        } else {
            cl.handOver.push_back(arg);
        }
    }
    return cl;
}

// The browser engine will not start as root with its sandbox on; a desktop user keeps it.
void allowEngineAsRoot() {
    if (::geteuid() != 0 || std::getenv("QTWEBENGINE_DISABLE_SANDBOX") != nullptr) {
        return;
    }
    ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    std::fputs("myambrel: running as root, so the browser engine's sandbox is off\n", stderr);
}

std::string executableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();

    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    const std::optional<CommandLine> cl = parse(argc, argv);
    if (!cl) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    allowEngineAsRoot();
    // Watched from the start, so a signal that comes during start-up is acted on once the
    // event loop runs.
    std::unique_ptr<ambrel::platform::EndSignals> endSignals;
    try {
        endSignals = std::make_unique<ambrel::platform::EndSignals>();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "myambrel: %s\n", e.what());
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int qtArgc = 1;
    QApplication qapp(qtArgc, argv);
    QApplication::setApplicationName("My Ambrel");
    // Wayland and the task bars find the installed desktop entry, and so the icon, by it.
    QGuiApplication::setDesktopFileName("net.corvane.MyAmbrel");
    QApplication::setWindowIcon(ambrel::gui::appIcon());

    const std::string dataFolder =
        ambrel::platform::resolveDataFolder(cl->home, executableFolder());
    try {
        ambrel::platform::ensureDataLayout(dataFolder);
    } catch (const std::exception& e) {
        // A folder that cannot be written still holds lists to read; the first activation
        // tells the person once.
        std::fprintf(stderr, "myambrel: %s; going on with what can be read\n", e.what());
    }

    ambrel::gui::GuiOptions options{dataFolder, cl->handOver, {}, nullptr, nullptr};
    options.commandLine.assign(argv, argv + argc);
    // A picture or a timing run ends by itself: it neither becomes the running copy nor
    // hands over to one.
    if (!cl->screenshot && !cl->reportStartup) {
        options.instanceFolder = ambrel::integration::defaultInstanceFolder();
        options.exeName = ambrel::integration::executableName();
    }
    options.reportInstance = cl->reportInstance;
    ambrel::gui::GuiApplication app(std::move(options));
    app.start();
    if (endSignals) {
        // A logout, kill or Ctrl+C ends the program as closing its window does: its close
        // work runs, the event loop ends, and the single-instance guard cleans up behind it.
        auto* notifier = new QSocketNotifier(endSignals->fd(), QSocketNotifier::Read, &qapp);
        QObject::connect(notifier, &QSocketNotifier::activated, &qapp, [&] {
            endSignals->take();
            app.mainWindow().close();
            QCoreApplication::quit();
        });
    }
    if (app.handedOver()) {
        // The running copy came forward; this start ends once its own start-up is done.
        QTimer::singleShot(0, &qapp, [] { QCoreApplication::exit(0); });
        return QApplication::exec();
    }
    ambrel::gui::MainWindow& main = app.mainWindow();
    // The program lives as long as its main window, whatever other window is open, and
    // not longer: a dialog closed while the main window sits in the tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&main, &ambrel::gui::MainWindow::closed, &qapp, &QCoreApplication::quit);
    main.show();
    main.activateWindow();

    if (cl->reportStartup) {
        // The first turn of the event loop comes once the shown window has been laid out.
        QTimer::singleShot(0, &qapp, [&] {
            std::printf("startup: %lld ms\n", static_cast<long long>(sinceStart.elapsed()));
            std::fflush(stdout);
            if (!cl->screenshot) {
                QCoreApplication::exit(0);
            }
        });
    }
    if (cl->screenshot) {
        // Let the window lay itself out and be activated, then take its picture.
        QTimer::singleShot(800, &qapp, [&] {
            if (app.core().caption() != ambrel::app::Tmyambrel::kActiveCaption) {
                app.core().runCommand([&] { app.core().onActivate(); });
                QCoreApplication::processEvents();
            }
            const bool saved = main.grab().save(QString::fromStdString(*cl->screenshot), "PNG");
            if (!saved) {
                std::fprintf(stderr, "myambrel: cannot write %s\n", cl->screenshot->c_str());
            }
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
