#pragma once

#include <unistd.h>

#include <QLabel>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/datafolder.h"
#include "core/platform/fake_browser.h"
#include "core/storage/textfile.h"
#include "gui/application.h"

namespace ambrel::test {

// The window's child of that object name; a missing one ends the test program at once, with
// the name, rather than failing later on a null pointer.
template <typename T>
T* child(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no %s", name);
    }
    return found;
}

// The whole program's windows on a fresh data folder, with a fake browser in place of the
// web engine so the tests see where it was sent.
struct GuiFixture {
    // prepare lays out files in the data folder; configure changes the options with the
    // fixture's root folder at hand (a running copy's guard, say).
    explicit GuiFixture(
        std::vector<std::string> arguments = {},
        const std::function<void(const std::string&)>& prepare = {},
        const std::function<void(gui::GuiOptions&, const std::string&)>& configure = {}) {
        char pattern[] = "/tmp/ambrel-gui-XXXXXX";
        root = std::string(::mkdtemp(pattern)) + "/";
        folder = root + "data/";
        platform::ensureDataLayout(folder);
        if (prepare) {
            prepare(folder);
        }
        gui::GuiOptions options{folder, std::move(arguments), root + "registry.reg", &browser,
                                new QLabel("browser")};
        if (configure) {
            configure(options, root);
        }
        app = std::make_unique<gui::GuiApplication>(std::move(options));
        app->start();
    }
    ~GuiFixture() {
        app.reset();
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    GuiFixture(const GuiFixture&) = delete;
    GuiFixture& operator=(const GuiFixture&) = delete;

    std::string read(const std::string& relative) const {
        return storage::readBytes(folder + relative);
    }

    std::string root;
    std::string folder;
    platform::FakeBrowser browser;
    std::unique_ptr<gui::GuiApplication> app;
};

}  // namespace ambrel::test
