#include "core/app/checklinks.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/storage/listfile.h"
#include "support/appfixture.h"
#include "support/ftpserver.h"
#include "support/httpserver.h"

namespace ambrel::app {
namespace {

class CheckLinksTest : public test::AppFixture {
protected:
    static void SetUpTestSuite() { s_http = new test::HttpServer; }
    static void TearDownTestSuite() { delete s_http; }

    std::vector<std::string> paths() {
        std::vector<std::string> out;
        for (const auto& e : core().pictures().entries()) {
            out.push_back(e.path);
        }
        return out;
    }
    void fill(const std::vector<std::string>& list) {
        std::vector<storage::Entry> entries;
        std::vector<int> rows;
        for (const std::string& p : list) {
            rows.push_back(static_cast<int>(entries.size()));
            entries.push_back({"n", p});
        }
        core().pictures().assign(entries);
        core().pictures().setSelection(rows);
    }

    static inline test::HttpServer* s_http = nullptr;
};

TEST_F(CheckLinksTest, GoneFilesAndNotFoundAddressesLeave) {
    std::ofstream(root + "here.jpg") << "x";
    const std::string ok = s_http->url("/size/10/a.jpg");
    const std::string e404 = s_http->url("/status/404/b.jpg");
    const std::string e410 = s_http->url("/status/410/c.jpg");
    const std::string e500 = s_http->url("/status/500/d.jpg");
    const std::string moved = s_http->url("/redirect/1/e.jpg");
    const struct {
        const char* code;  // the current definition's not-found code, "" for none
        std::vector<std::string> kept;
    } cases[] = {
        {"", {root + "here.jpg", ok, e410, e500, moved}},
        {"410", {root + "here.jpg", ok, e404, e500, moved}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ui.messages.clear();
        if (*c.code != '\0') {
            test::writeFtpDefinition(folder + "upfiles/def.txt", "http://r", 21, "", "", "", true,
                                     c.code);
            core().uploadSettings().fill(folder);
        }
        fill({root + "gone.jpg", root + "here.jpg", ok, e404, e410, e500, moved});
        fxChecklinks(core());
        EXPECT_EQ(paths(), c.kept);
        std::vector<std::string> saved;
        for (const auto& e : storage::readListFile(folder + "listing/default.fifi")) {
            saved.push_back(e.path);
        }
        EXPECT_EQ(saved, c.kept);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "done");
    }
}

TEST_F(CheckLinksTest, NothingSelectedDoesNothing) {
    fill({root + "gone.jpg"});
    core().pictures().clearSelection();
    fxChecklinks(core());
    EXPECT_EQ(core().pictures().size(), 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(exists("listing/default.fifi"));
}

}  // namespace
}  // namespace ambrel::app
