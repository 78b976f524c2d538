// From the start of the program to its shown main window, with a 10,000-entry default
// list; the browser's first paint is not counted. Runs the real executable offscreen.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/platform/datafolder.h"
#include "core/storage/listfile.h"

namespace {

void BM_StartupToShownWindow(benchmark::State& state) {
    char pattern[] = "/tmp/ambrel-startup-XXXXXX";
    const std::string home = std::string(::mkdtemp(pattern)) + "/";
    ambrel::platform::ensureDataLayout(home);
    std::vector<ambrel::storage::Entry> list;
    for (int i = 0; i < 10000; ++i) {
        list.push_back({"p" + std::to_string(i), "http://h/pics/p" + std::to_string(i) + ".jpg"});
    }
    ambrel::storage::writeListFile(home + "listing/default.fifi", list);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (::geteuid() == 0) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    const std::string command =
        std::string(AMBREL_EXE) + " --home " + home + " --report-startup 2>/dev/null";
    for (auto _ : state) {
        FILE* out = ::popen(command.c_str(), "r");
        long long ms = -1;
        if (out == nullptr || std::fscanf(out, "startup: %lld ms", &ms) != 1) {
            state.SkipWithError("the program did not report its start-up");
        }
        if (out != nullptr) {
            ::pclose(out);
        }
        state.SetIterationTime(static_cast<double>(ms) / 1000.0);
    }
    std::filesystem::remove_all(home);
}

BENCHMARK(BM_StartupToShownWindow)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
