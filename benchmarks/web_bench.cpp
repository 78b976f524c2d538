// The page scans over a 50 MB page already in memory, beside a plain memmem count of "img"
// over the same text; and a grab of 1,000 links into a list of 100,000 entries.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "core/app/app.h"
#include "core/app/grab.h"
#include "core/platform/clipboard.h"
#include "core/platform/datafolder.h"
#include "core/platform/fake_browser.h"
#include "core/platform/scripted_ui.h"
#include "core/platform/shell.h"
#include "core/storage/listfile.h"
#include "core/web/scan.h"

namespace {

using namespace ambrel;

constexpr std::size_t kPageSize = 50U << 20;

// A gallery page: markup, running text, two pictures and five links every ~2 KB, tags in
// both cases now and then.
const std::string& page() {
    static const std::string text = [] {
        std::string p;
        p.reserve(kPageSize + 4096);
        for (int i = 0; p.size() < kPageSize; ++i) {
            const std::string n = std::to_string(i);
            p += "<div class=\"gallery-item\" id=\"item" + n +
                 "\">\n  <h2 class=\"title\">Holiday pictures, day " + n +
                 "</h2>\n  <p>We walked along the shore in the morning and took a boat to the "
                 "island in the afternoon; the weather was fine and the light was soft, so "
                 "most of the pictures came out well. More in the album below.</p>\n";
            p += (i % 7 == 0 ? "  <IMG SRC=\"/albums/" : "  <img src=\"/albums/") + n +
                 "/large.jpg\" alt=\"Picture " + n + "\" width=\"640\" height=\"480\">\n";
            p += "  <a href=\"album.php?id=" + n + "\">album</a> | <a href=\"/user/" + n +
                 "\">author</a> | <a href=\"https://cdn.example.net/" + n +
                 ".jpg\">full size</a>\n";
            p += "  <img src='thumbs/" + n +
                 ".jpg' class='thumb'>\n  <span class=\"meta\">Taken with a small camera; "
                 "1/250 s, f/8, ISO 100. Licence: all rights reserved.</span>\n"
                 "  <a href=\"#comments\">comments</a> <a href=\"mailto:me@example.net\">mail"
                 "</a>\n</div>\n<script type=\"text/javascript\">var item" +
                 n + " = {views: " + n + ", likes: 3};</script>\n";
            p += std::string(900, ' ') + "\n";
        }
        return p;
    }();
    return text;
}

void setBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page().size()));
}

void BM_MemmemImgCount(benchmark::State& state) {
    const std::string& p = page();
    for (auto _ : state) {
        std::size_t count = 0;
        const char* at = p.data();
        const char* end = p.data() + p.size();
        while (const void* hit = ::memmem(at, static_cast<std::size_t>(end - at), "img", 3)) {
            ++count;
            at = static_cast<const char*>(hit) + 1;
        }
        benchmark::DoNotOptimize(count);
    }
    setBytes(state);
}

// The scans hand each value over as they find it; counting them stands for using them.
void BM_ImageScan(benchmark::State& state) {
    const std::string& p = page();
    std::size_t values = 0;
    for (auto _ : state) {
        values = 0;
        web::forEachImageValue(p, false, [&values](const web::ValueSpan& v) {
            values += v.length != std::string::npos ? 1 : 0;
        });
        benchmark::DoNotOptimize(values);
    }
    state.counters["values"] = static_cast<double>(values);
    setBytes(state);
}

void BM_LinkScan(benchmark::State& state) {
    const std::string& p = page();
    std::size_t values = 0;
    for (auto _ : state) {
        values = 0;
        web::forEachLinkValue(p, [&values](const web::ValueSpan& v) {
            values += v.length != std::string::npos ? 1 : 0;
        });
        benchmark::DoNotOptimize(values);
    }
    state.counters["values"] = static_cast<double>(values);
    setBytes(state);
}

BENCHMARK(BM_MemmemImgCount)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ImageScan)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
// The same with every value collected in a vector, whose growth costs page faults here.
void BM_LinkScanCollected(benchmark::State& state) {
    const std::string& p = page();
    for (auto _ : state) {
        const auto found = web::linkValues(p);
        benchmark::DoNotOptimize(found.data());
    }
    setBytes(state);
}

BENCHMARK(BM_LinkScanCollected)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LinkScan)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

class TablePages final : public web::PageFetcher {
public:
    std::string text;
    web::FetchedPage get(const std::string& address) override { return {text, address}; }
    void setCredentials(const std::string&, const std::string&) override {}
    web::FetchedPage relayb(const std::string&) override { return {}; }
};

// "Grab !" on a page of 1,000 new pictures, the target group being the one shown and its
// list file holding 100,000 entries: fetch (from memory), scan, filters, duplicate test,
// list view and list file.
void BM_Grab1000IntoList100000(benchmark::State& state) {
    char pattern[] = "/tmp/ambrel-bench-XXXXXX";
    const std::string folder = std::string(::mkdtemp(pattern)) + "/";
    platform::ensureDataLayout(folder);
    platform::ScriptedUi ui;
    platform::MemoryClipboard clipboard;
    platform::FakeBrowser browser;
    platform::RegistryStore registry(folder + "r.reg");
    platform::FakeShell shell;
    TablePages pages;
    for (int i = 0; i < 1000; ++i) {
        pages.text += "<p><img src=\"new/pic" + std::to_string(i) + ".jpg\"></p>\n";
    }
    std::vector<storage::Entry> list;
    for (int i = 0; i < 100000; ++i) {
        const std::string name = "picture" + std::to_string(i);
        list.push_back({name, "http://pictures.example.net/albums/2026/" + name + ".jpg"});
    }
    const std::string file = folder + "listing/default.fifi";
    for (auto _ : state) {
        state.PauseTiming();
        storage::writeListFile(file, list);
        app::Tmyambrel app(folder, {ui, clipboard, browser, registry, shell});
        app.startup({});
        app::Grab grab(app, pages);
        grab.address = "http://pictures.example.net/gallery/index.html";
        state.ResumeTiming();
        grab.grab();
        state.PauseTiming();
        if (app.pictures().size() != 101000) {
            state.SkipWithError("the links were not all added");
        }
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}

BENCHMARK(BM_Grab1000IntoList100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
