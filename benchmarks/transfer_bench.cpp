// Download throughput against the curl command line on the same loopback server, and how
// soon a cancel cuts a transfer. Run: build/benchmarks/transfer_bench
// --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "core/platform/scripted_ui.h"
#include "core/transfer/download.h"
#include "core/transfer/textrules.h"
#include "core/transfer/transfers.h"
#include "support/servers.h"

namespace {

using namespace ambrel;

constexpr std::int64_t kBody = 200LL * 1024 * 1024;

struct Setup {
    Setup() {
        char pattern[] = "/tmp/ambrel-bench-XXXXXX";
        folder = std::string(::mkdtemp(pattern)) + "/";
        server.start({"/usr/bin/python3", test::serversDir() + "/http_server.py"}, true);
    }
    ~Setup() {
        server.stop();
        std::filesystem::remove_all(folder);
    }
    std::string url(const std::string& path) const { return server.url() + path; }

    std::string folder;
    test::ServerProcess server;
};

Setup& setup() {
    static Setup s;
    return s;
}

void BM_CurlCommandLine(benchmark::State& state) {
    const std::string url = setup().url("/size/" + std::to_string(kBody) + "/big.bin");
    const std::string file = setup().folder + "curl.bin";
    for (auto _ : state) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl("/usr/bin/curl", "curl", "-s", "-o", file.c_str(), url.c_str(), nullptr);
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
            transfer::GetFileSize(file) != kBody) {
            state.SkipWithError("curl failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * kBody);
}
BENCHMARK(BM_CurlCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Download(benchmark::State& state) {
    const std::string url = setup().url("/size/" + std::to_string(kBody) + "/big.bin");
    const std::string file = setup().folder + "ours.bin";
    platform::ScriptedUi ui;
    transfer::Transfers transfers(ui);
    for (auto _ : state) {
        transfer::filetodownload(transfers, url, file);
        if (!ui.messages.empty() || transfer::GetFileSize(file) != kBody) {
            state.SkipWithError("download failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * kBody);
}
BENCHMARK(BM_Download)->Unit(benchmark::kMillisecond)->UseRealTime();

// The time from a click on "C" to the end of the cut transfer, on a server that sends
// slowly. The click arrives from outside at any moment, as a person's would, and is handled
// at the next pass of the event loop between two slices of the wait.
void BM_CancelLatency(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const std::string url = setup().url("/slow/100000000/slow.bin");
    const std::string file = setup().folder + "slow.bin";
    int round = 0;
    for (auto _ : state) {
        platform::ScriptedUi ui;
        transfer::Transfers transfers(ui);
        std::atomic<Clock::rep> clickedAt{0};
        bool handled = false;
        ui.onProcessEvents = [&] {
            if (!handled && clickedAt.load() != 0) {
                handled = true;
                transfers.cancel();
            }
        };
        // Clicks fall at different points of a slice from one round to the next.
        const auto delay = std::chrono::milliseconds(300 + 37 * (round++ % 7));
        std::thread clicker([&] {
            std::this_thread::sleep_for(delay);
            clickedAt = Clock::now().time_since_epoch().count();
        });
        transfer::filetodownload(transfers, url, file);
        const auto end = Clock::now().time_since_epoch().count();
        clicker.join();
        state.SetIterationTime(
            std::chrono::duration<double>(Clock::duration(end - clickedAt.load())).count());
    }
}
BENCHMARK(BM_CancelLatency)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);

}  // namespace
