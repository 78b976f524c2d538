// A data folder that cannot take a write: the options file is written whole or not at all,
// and the person hears of it once while the program runs on with what it can read.
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "core/app/filesettings.h"
#include "core/app/generalsettings.h"
#include "core/storage/tagfile.h"
#include "support/appfixture.h"
#include "support/processes.h"

namespace ambrel::test {
namespace {

// From here on no file of this process may grow, as on a full disk: the first byte of a
// write fails, while empty files can still be made.
void failEveryWrite() {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_FSIZE, &none);
}

// A later start takes an existing options file as the truth and reads every setting it
// lacks as off, so a first-run write that fails must leave no file at all.
TEST_F(AppFixture, AFirstRunWriteThatFailsLeavesNoOptionsFile) {
    struct Case {
        const char* name;
        std::function<void(app::Tmyambrel&)> write;
    };
    const Case cases[] = {
        {"first activation", [](app::Tmyambrel& a) { a.onActivate(); }},
        {"first save of the file settings", [](app::Tmyambrel& a) { app::saveFileSettings(a); }},
        {"first save of the general settings",
         [](app::Tmyambrel& a) { app::saveGeneralSettings(a); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string left = inChildProcess([&] {
            core().startup({});
            core().createWindows();
            failEveryWrite();
            core().runCommand([&] { c.write(core()); });
            return exists("options.ini") ? "options.ini: \"" + read("options.ini") + "\""
                                         : std::string("no options.ini");
        });
        EXPECT_EQ(left, "no options.ini");
    }
    // Once writes work again the whole first-run content lands in one go.
    core().startup({});
    core().createWindows();
    core().onActivate();
    const std::string text = read("options.ini");
    for (const char* key : {"downdir", "useupset", "timebetweenpictures", "defaultwebpage"}) {
        EXPECT_NE(storage::getfromstrxml(text, key), "") << key;
    }
}

// Run as another user when the test runs as root, whom no permission stops.
bool dropPrivileges() {
    if (::geteuid() != 0) {
        return true;
    }
    const uid_t nobody = 65534;
    return ::setgroups(0, nullptr) == 0 && ::setresgid(nobody, nobody, nobody) == 0 &&
           ::setresuid(nobody, nobody, nobody) == 0;
}

TEST_F(AppFixture, AFolderThatCannotBeWrittenIsSaidOnceAndTheProgramRunsOn) {
    write("listing/default.fifi", "a||http://h/a.jpg\r\n");
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const std::string seen = inChildProcess([&] {
        if (!dropPrivileges()) {
            return std::string("cannot drop privileges");
        }
        core().startup({});
        core().createWindows();
        for (int activation = 0; activation < 3; ++activation) {
            core().runCommand([&] { core().onActivate(); });
        }
        std::string report = std::to_string(ui.messages.size()) + " message(s); " +
                             std::to_string(core().pictures().size()) + " picture(s); " +
                             core().caption() + (exists("options.ini") ? "; options.ini" : "");
        for (const auto& m : ui.messages) {
            report += "\n" + m.text;
        }
        return report;
    });
    ::chmod(folder.c_str(), 0755);

    const std::string expected = "1 message(s); 1 picture(s); My ambrel v1.01\nThe data folder " +
                                 folder + " cannot be written: Permission denied.";
    EXPECT_TRUE(seen.starts_with(expected)) << seen;
}

}  // namespace
}  // namespace ambrel::test
