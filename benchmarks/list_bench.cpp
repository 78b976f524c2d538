// Loading and saving a large list file, as the main window does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "core/app/app.h"
#include "core/platform/clipboard.h"
#include "core/platform/datafolder.h"
#include "core/platform/fake_browser.h"
#include "core/platform/scripted_ui.h"
#include "core/platform/shell.h"

namespace {

using namespace ambrel;

struct Folder {
    Folder() {
        char pattern[] = "/tmp/ambrel-bench-XXXXXX";
        path = std::string(::mkdtemp(pattern)) + "/";
        platform::ensureDataLayout(path);
    }
    ~Folder() { std::filesystem::remove_all(path); }
    std::string path;
};

std::vector<storage::Entry> entries(int count) {
    std::vector<storage::Entry> list;
    list.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string name = "picture" + std::to_string(i);
        list.push_back({name, "http://pictures.example.net/albums/2026/" + name + ".jpg"});
    }
    return list;
}

void BM_ListFile(benchmark::State& state, bool save) {
    Folder folder;
    platform::ScriptedUi ui;
    platform::MemoryClipboard clipboard;
    platform::FakeBrowser browser;
    platform::RegistryStore registry(folder.path + "r.reg");
    platform::FakeShell shell;
    app::Tmyambrel app(folder.path, {ui, clipboard, browser, registry, shell});
    const std::string file = app.listFileOf("default");
    storage::writeListFile(file, entries(static_cast<int>(state.range(0))));
    app.loadpicmyfile(file);
    for (auto _ : state) {
        if (save) {
            app.savepicmyfile(file);
        } else {
            app.loadpicmyfile(file);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadList(benchmark::State& state) {
    BM_ListFile(state, false);
}
void BM_SaveList(benchmark::State& state) {
    BM_ListFile(state, true);
}

BENCHMARK(BM_LoadList)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveList)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
