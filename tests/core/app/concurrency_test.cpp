// Several processes changing one file at once (a second start, the hand-over tool and the
// running copy): every change must land.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/storage/listfile.h"
#include "core/storage/tagfile.h"
#include "support/appfixture.h"
#include "support/processes.h"

namespace ambrel::test {
namespace {

constexpr int kWriters = 6;
constexpr int kRounds = 8;

std::string link(int writer, int round) {
    return "http://h/w" + std::to_string(writer) + "-" + std::to_string(round) + ".jpg";
}

TEST_F(AppFixture, ChangesFromProcessesWritingAtOnceAllLand) {
    const std::string list = folder + "listing/adds.fifi";
    const std::string options = folder + "options.ini";
    const std::string store = root + "store.reg";
    struct Case {
        const char* name;
        std::function<void(int writer, int round)> write;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"every add to a list file",
         [&](int w, int r) { storage::appendtothisfile(link(w, r), list); },
         [&] {
             const std::string text = read("listing/adds.fifi");
             std::string lost;
             for (int w = 0; w < kWriters; ++w) {
                 for (int r = 0; r < kRounds; ++r) {
                     if (text.find(storage::listLineFor(link(w, r)) + "\r\n") ==
                         std::string::npos) {
                         lost += " " + link(w, r);
                     }
                 }
             }
             EXPECT_EQ(lost, "");
         }},
        {"the same new link from every process, once",
         [&](int, int) { core().addlinkifnew("http://h/same.jpg", app::NameRule::Url); },
         [&] { EXPECT_EQ(read("listing/default.fifi"), "same||http://h/same.jpg\r\n"); }},
        {"a key of the options file per process",
         [&](int w, int r) {
             storage::updatexmlconfigfilefromxmlentry(options, "key" + std::to_string(w),
                                                      std::to_string(r));
         },
         [&] {
             const std::string text = read("options.ini");
             for (int w = 0; w < kWriters; ++w) {
                 EXPECT_EQ(storage::getfromstrxml(text, "key" + std::to_string(w)),
                           std::to_string(kRounds - 1));
             }
         }},
        {"keys of the per-user store",
         [&](int w, int r) {
             platform::RegistryStore other(store);
             const std::string key = "HKCU\\W" + std::to_string(w) + "\\" + std::to_string(r);
             if (!other.createKey(key) || !other.setString(key, "v", link(w, r))) {
                 throw std::runtime_error("not saved");
             }
         },
         [&] {
             platform::RegistryStore other(store);
             std::string lost;
             for (int w = 0; w < kWriters; ++w) {
                 for (int r = 0; r < kRounds; ++r) {
                     const std::string key =
                         "HKCU\\W" + std::to_string(w) + "\\" + std::to_string(r);
                     if (other.stringValue(key, "v") != link(w, r)) {
                         lost += " " + key;
                     }
                 }
             }
             EXPECT_EQ(lost, "");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        runTogether(kWriters, [&](int w) {
            for (int r = 0; r < kRounds; ++r) {
                c.write(w, r);
            }
        });
        c.check();
    }
}

}  // namespace
}  // namespace ambrel::test
