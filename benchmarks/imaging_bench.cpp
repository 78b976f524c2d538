// The resampler, the thumbnail path and the file conversions, each beside its peer measured in
// the same run: Pillow's Image.resize(..., LANCZOS) (Debian's python3-pil, one thread, only the
// resize timed), Pillow's open + resize + save, and libjpeg-turbo's cjpeg / djpeg.
// Run: build/benchmarks/imaging_bench --benchmark_repetitions=10
//      --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/imaging/bmpcodec.h"
#include "core/imaging/conversions.h"
#include "core/imaging/jpegcodec.h"
#include "core/imaging/resample.h"

extern char** environ;

namespace {

using namespace ambrel::imaging;

// Something like a photograph: smooth light, a few edges and some grain.
Picture photo(int w, int h) {
    Picture p(w, h);
    std::mt19937 gen(7);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = p.row(y);
        for (int x = 0; x < w; ++x) {
            const double fx = static_cast<double>(x) / w;
            const double fy = static_cast<double>(y) / h;
            const double base = 120 + 80 * std::sin(fx * 7 + fy * 3) * std::cos(fy * 5);
            const int edge = ((x / 97 + y / 61) % 5 == 0) ? 60 : 0;
            for (int c = 0; c < 3; ++c) {
                const double v = base + edge + c * 20 * fx - 25 + static_cast<int>(gen() % 21);
                row[x * 3 + c] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
            }
        }
    }
    return p;
}

struct Fixture {
    Fixture() {
        char pattern[] = "/tmp/ambrel-imaging-bench-XXXXXX";
        dir = std::string(::mkdtemp(pattern)) + "/";
        big = photo(4000, 3000);
        small = photo(400, 300);
        writeBmpFile(dir + "big.bmp", big);
        writeJpegFile(dir + "big.jpg", big);
        writeBmpFile(dir + "small.bmp", small);
        startPillow();
    }
    ~Fixture() {
        if (toPillow != nullptr) {
            std::fclose(toPillow);
            std::fclose(fromPillow);
            ::waitpid(pillow, nullptr, 0);
        }
        std::filesystem::remove_all(dir);
    }

    // A Pillow process that times one operation per line it is sent and answers the seconds.
    void startPillow() {
        const std::string script = R"(
import sys, time
from PIL import Image
big = Image.open(sys.argv[1]); big.load()
small = Image.open(sys.argv[2]); small.load()
for line in sys.stdin:
    op = line.strip()
    t = time.perf_counter()
    c = time.thread_time()
    if op == 'shrink':
        big.resize((400, 300), Image.LANCZOS)
    elif op == 'enlarge':
        small.resize((1600, 1200), Image.LANCZOS)
    elif op == 'thumbnail':
        im = Image.open(sys.argv[3])
        im.resize((400, 300), Image.LANCZOS).save(sys.argv[4], quality=90)
    print(time.perf_counter() - t, time.thread_time() - c, flush=True)
)";
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) {
            throw std::runtime_error("pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string bigFile = dir + "big.bmp", smallFile = dir + "small.bmp",
                          jpg = dir + "big.jpg", saved = dir + "pillow.jpg";
        std::vector<char*> argv = {
            const_cast<char*>("/usr/bin/python3"), const_cast<char*>("-c"),
            const_cast<char*>(script.c_str()),     const_cast<char*>(bigFile.c_str()),
            const_cast<char*>(smallFile.c_str()),  const_cast<char*>(jpg.c_str()),
            const_cast<char*>(saved.c_str()),      nullptr};
        if (posix_spawn(&pillow, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            throw std::runtime_error("cannot start /usr/bin/python3");
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toPillow = ::fdopen(in[1], "w");
        fromPillow = ::fdopen(out[0], "r");
    }

    // Wall-clock seconds of one operation; its processor seconds go to cpuSeconds.
    double pillowSeconds(const char* op, double& cpuSeconds) {
        std::fprintf(toPillow, "%s\n", op);
        std::fflush(toPillow);
        double seconds = 0;
        double cpu = 0;
        if (std::fscanf(fromPillow, "%lf %lf", &seconds, &cpu) != 2) {
            throw std::runtime_error("Pillow did not answer");
        }
        cpuSeconds += cpu;
        return seconds;
    }

    std::string dir;
    Picture big;
    Picture small;
    pid_t pillow = 0;
    std::FILE* toPillow = nullptr;
    std::FILE* fromPillow = nullptr;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Wall-clock seconds of one run of the program; its processor seconds go to cpuSeconds.
double runProgram(std::vector<std::string> args, double& cpuSeconds) {
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + args[0]);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(args[0] + " failed");
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Pillow runs in another process: its processor time is shown as a counter in milliseconds.
void reportPillowCpu(benchmark::State& state, double cpuSeconds) {
    state.counters["pillow_cpu_ms"] =
        benchmark::Counter(cpuSeconds * 1000.0 / static_cast<double>(state.iterations()));
}

const ResamplingFilter& lanczos() {
    return kResamplingFilters[kLanczos3];
}

void Shrink4000x3000To400x300(benchmark::State& state) {
    const Picture& src = fixture().big;
    Picture dst(400, 300);
    for (auto _ : state) {
        ResampleBitmap(src, dst, lanczos().filter, lanczos().support,
                       static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(Shrink4000x3000To400x300)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

void PillowShrink4000x3000To400x300(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        state.SetIterationTime(fixture().pillowSeconds("shrink", cpu));
    }
    reportPillowCpu(state, cpu);
}
BENCHMARK(PillowShrink4000x3000To400x300)->UseManualTime()->Unit(benchmark::kMillisecond);

void Enlarge400x300To1600x1200(benchmark::State& state) {
    const Picture& src = fixture().small;
    Picture dst(1600, 1200);
    for (auto _ : state) {
        ResampleBitmap(src, dst, lanczos().filter, lanczos().support,
                       static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(dst.data());
    }
}
BENCHMARK(Enlarge400x300To1600x1200)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

void PillowEnlarge400x300To1600x1200(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        state.SetIterationTime(fixture().pillowSeconds("enlarge", cpu));
    }
    reportPillowCpu(state, cpu);
}
BENCHMARK(PillowEnlarge400x300To1600x1200)->UseManualTime()->Unit(benchmark::kMillisecond);

// The thumbnail path of the resize command: JPEG file in, full decode, scale, JPEG file out.
void ThumbnailJpeg4000x3000(benchmark::State& state) {
    const std::string in = fixture().dir + "big.jpg";
    const std::string out = fixture().dir + "thumb.jpg";
    for (auto _ : state) {
        resizeJpegFile(in, out, ResizeMode::FixedWidth, 400, static_cast<int>(state.range(0)));
    }
}
BENCHMARK(ThumbnailJpeg4000x3000)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

void PillowThumbnailJpeg4000x3000(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        state.SetIterationTime(fixture().pillowSeconds("thumbnail", cpu));
    }
    reportPillowCpu(state, cpu);
}
BENCHMARK(PillowThumbnailJpeg4000x3000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BmpToJpeg4000x3000(benchmark::State& state) {
    for (auto _ : state) {
        convertBmpToJpeg(fixture().dir + "big.bmp", fixture().dir + "ours.jpg");
    }
}
BENCHMARK(BmpToJpeg4000x3000)->UseRealTime()->Unit(benchmark::kMillisecond);

void CjpegBmpToJpeg4000x3000(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        state.SetIterationTime(runProgram({"/usr/bin/cjpeg", "-quality", "90", "-outfile",
                                           fixture().dir + "cjpeg.jpg", fixture().dir + "big.bmp"},
                                          cpu));
    }
    state.counters["tool_cpu_ms"] = cpu * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(CjpegBmpToJpeg4000x3000)->UseManualTime()->Unit(benchmark::kMillisecond);

void JpegToBmp4000x3000(benchmark::State& state) {
    for (auto _ : state) {
        convertJpegToBmp(fixture().dir + "big.jpg", fixture().dir + "ours.bmp");
    }
}
BENCHMARK(JpegToBmp4000x3000)->UseRealTime()->Unit(benchmark::kMillisecond);

void DjpegJpegToBmp4000x3000(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        state.SetIterationTime(runProgram({"/usr/bin/djpeg", "-bmp", "-outfile",
                                           fixture().dir + "djpeg.bmp", fixture().dir + "big.jpg"},
                                          cpu));
    }
    state.counters["tool_cpu_ms"] = cpu * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(DjpegJpegToBmp4000x3000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
