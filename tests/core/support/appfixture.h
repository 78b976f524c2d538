#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/app/app.h"
#include "core/platform/clipboard.h"
#include "core/platform/datafolder.h"
#include "core/platform/fake_browser.h"
#include "core/platform/registry.h"
#include "core/platform/scripted_ui.h"
#include "core/platform/shell.h"
#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::test {

// A fresh data folder with its layout, and an application object on scripted services.
class AppFixture : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        root = m_dir;
        folder = root + "data/";
        platform::ensureDataLayout(folder);
        registry = std::make_unique<platform::RegistryStore>(root + "registry.reg");
    }

    void TearDown() override {
        app.reset();
        TempFolderTest::TearDown();
    }

    // The application object, made on first use so a test can lay out files first.
    app::Tmyambrel& core() {
        if (!app) {
            app = std::make_unique<app::Tmyambrel>(
                folder, app::Services{ui, clipboard, browser, *registry, shell});
        }
        return *app;
    }

    void write(const std::string& relative, const std::string& content) {
        storage::writeFileAtomically(folder + relative, content);
    }
    std::string read(const std::string& relative) const {
        return storage::readBytes(folder + relative);
    }
    bool exists(const std::string& relative) const {
        return storage::fileExists(folder + relative);
    }

    std::string root;
    std::string folder;  // the data folder, with its trailing "/"
    platform::ScriptedUi ui;
    platform::MemoryClipboard clipboard;
    platform::FakeBrowser browser;
    platform::FakeShell shell;
    std::unique_ptr<platform::RegistryStore> registry;
    std::unique_ptr<app::Tmyambrel> app;
};

}  // namespace ambrel::test
