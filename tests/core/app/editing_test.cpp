#include "core/app/editing.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/appfixture.h"

namespace ambrel::storage {
// Failures show entries as text.
static void PrintTo(const Entry& e, std::ostream* os) {
    *os << '{' << e.name << "||" << e.path << '}';
}
}  // namespace ambrel::storage

namespace ambrel::test {
namespace {

using app::ListEditing;
using list::Entry;
namespace fs = std::filesystem;

class EditingTest : public AppFixture {
protected:
    ListEditing& editing() {
        if (!m_editing) {
            m_editing = std::make_unique<ListEditing>(core());
        }
        return *m_editing;
    }
    void show(std::vector<Entry> entries, const std::vector<int>& selected = {}) {
        core().pictures().assign(std::move(entries));
        core().pictures().setSelection(selected);
    }
    std::vector<Entry> shown() { return core().pictures().entries(); }
    // A file in the test's own scratch folder, beside the data folder.
    std::string file(const std::string& name, const std::string& content) {
        const std::string path = root + name;
        fs::create_directories(fs::path(path).parent_path());
        storage::writeFileAtomically(path, content);
        return path;
    }
    std::optional<std::string> contentOf(const std::string& path) {
        if (!storage::fileExists(path)) {
            return std::nullopt;
        }
        return storage::readBytes(path);
    }

    void TearDown() override {
        m_editing.reset();
        AppFixture::TearDown();
    }

private:
    std::unique_ptr<ListEditing> m_editing;
};

TEST_F(EditingTest, CutTakesSelectedPathsLastFirstAndSavesTheRest) {
    show({{"a", "http://h/a.jpg"}, {"b", "http://h/b.jpg"}, {"c", "/p/c.jpg"}, {"d", "/p/d.jpg"}},
         {1, 3});
    editing().fxcut();
    EXPECT_EQ(clipboard.text(), "/p/d.jpg\r\nhttp://h/b.jpg");
    EXPECT_EQ(shown(), (std::vector<Entry>{{"a", "http://h/a.jpg"}, {"c", "/p/c.jpg"}}));
    EXPECT_EQ(read("listing/default.fifi"), "a||http://h/a.jpg\r\nc||/p/c.jpg\r\n");

    core().pictures().setSelection({0, 1});
    editing().fxcut();
    EXPECT_TRUE(core().pictures().empty());
    EXPECT_EQ(read("listing/default.fifi"), "");
}

TEST_F(EditingTest, PasteSplitsAtEveryLineEnd) {
    struct Case {
        const char* name;
        std::string clipboard;
        std::vector<Entry> added;
    };
    const std::vector<Case> cases = {
        {"lines in order, the text after the last CR LF included",
         "http://h/one.jpg\r\n/pics/two.big.png\r\nhttps://h/three.gif",
         {{"one", "http://h/one.jpg"},
          {"two", "/pics/two.big.png"},
          {"three", "https://h/three.gif"}}},
        {"addresses copied from a Linux program end their lines with LF",
         "http://h/one.jpg\nhttp://h/two.jpg\nhttp://h/three.jpg\n",
         {{"one", "http://h/one.jpg"},
          {"two", "http://h/two.jpg"},
          {"three", "http://h/three.jpg"}}},
        {"a lone CR cuts too, and empty lines add nothing",
         "http://h/one.jpg\r\r\n\n/pics/Shot 13:45:12.png\r",
         {{"one", "http://h/one.jpg"}, {"Shot 13:45:12", "/pics/Shot 13:45:12.png"}}},
        {"the same link twice is added once",
         "http://h/one.jpg\r\nhttp://h/one.jpg\r\n",
         {{"one", "http://h/one.jpg"}}},
        {"lines are not trimmed: a leading space takes the file name rule",
         " http://h/one.jpg\r\n",
         {{"one", " http://h/one.jpg"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(folder + "listing/default.fifi");
        show({});
        clipboard.setText(c.clipboard);
        editing().fxpastee();
        EXPECT_EQ(shown(), c.added);
        EXPECT_EQ(storage::fileExists(folder + "listing/default.fifi"), !c.added.empty());
    }
}

TEST_F(EditingTest, LocalFilesAndDropsAddOnlyWhatTheListLacks) {
    const std::string present = file("pics/sun.jpg", "x");
    const std::string missing = root + "pics/gone.jpg";
    write("listing/default.fifi", "sun||" + present + "\r\n");
    show({{"sun", present}});

    ui.fileAnswers.push_back({missing, present});
    editing().fxaddLocalFiles();
    EXPECT_EQ(shown().size(), 1U) << "a missing file is skipped, a listed one is not repeated";

    ui.fileAnswers.push_back({});
    editing().fxaddLocalFiles();
    EXPECT_EQ(shown().size(), 1U);

    // A drop makes no existence test.
    editing().dropFiles({present, missing});
    EXPECT_EQ(shown(), (std::vector<Entry>{{"sun", present}, {"gone", missing}}));
    EXPECT_EQ(read("listing/default.fifi"), "sun||" + present + "\r\ngone||" + missing + "\r\n");
}

struct RenameCase {
    const char* name;
    bool renamefile;
    bool overwrite;
    bool local;           // the entry's path is the local file "old.jpg"
    bool oldFile;         // "old.jpg" exists
    bool otherAtNewName;  // a different file stands at the new name already
    const char* newName;
    const char* expectedFile;      // the entry's file name afterwards
    bool saved;                    // the list file is written by the deferred save
    bool message;                  // "Filename exist: result is not saved" was shown
    const char* contentAtNewName;  // nullptr: no file there
    const char* contentAtOldName;  // nullptr: no file there
};

class RenameTest : public EditingTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(RenameTest, RenamesNameAndFileByTheSettings) {
    const RenameCase& c = GetParam();
    const std::string dir = root + "pics/";
    fs::create_directories(dir);
    const std::string oldPath = c.local ? dir + "old.jpg" : "http://h/old.jpg";
    if (c.oldFile) {
        file("pics/old.jpg", "mine");
    }
    const std::string newPath = dir + c.newName + ".jpg";
    if (c.otherAtNewName) {
        file(std::string("pics/") + c.newName + ".jpg", "other");
    }
    core().fileSettings().renamefile = c.renamefile;
    core().fileSettings().renameandoverwrite = c.overwrite;
    show({{"first", "http://h/first.jpg"}, {"old", oldPath}}, {1});

    ASSERT_EQ(editing().fxedit(), 1);
    editing().endRename(c.newName);
    editing().deferredSave();

    const Entry after = core().pictures().at(1);
    EXPECT_EQ(after.name, c.newName) << "the list shows the new name in every case";
    EXPECT_EQ(after.path, c.local ? dir + c.expectedFile : oldPath);
    EXPECT_EQ(exists("listing/default.fifi"), c.saved);
    EXPECT_EQ(ui.messages.size(), c.message ? 1U : 0U);
    if (c.message) {
        EXPECT_EQ(ui.messages.front().text, "Filename exist: result is not saved");
    }
    const auto expectContent = [&](const std::string& path, const char* content) {
        if (content == nullptr) {
            EXPECT_FALSE(storage::fileExists(path)) << path;
        } else {
            EXPECT_EQ(contentOf(path), content) << path;
        }
    };
    if (c.local && std::string(c.newName) != "old") {
        expectContent(newPath, c.contentAtNewName);
        expectContent(dir + "old.jpg", c.contentAtOldName);
    } else if (c.local) {
        expectContent(dir + "old.jpg", c.contentAtOldName);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameTest,
    ::testing::Values(RenameCase{"UrlEntryChangesOnlyItsName", true, true, false, false, false,
                                 "new", "", true, false, nullptr, nullptr},
                      RenameCase{"RenameFileOffChangesOnlyTheName", false, false, true, true, false,
                                 "new", "old.jpg", true, false, nullptr, "mine"},
                      RenameCase{"RenameFileOnMovesTheFile", true, false, true, true, false, "new",
                                 "new.jpg", true, false, "mine", nullptr},
                      RenameCase{"ExistingNameWithoutOverwriteKeepsBothFiles", true, false, true,
                                 true, true, "new", "old.jpg", false, true, "other", "mine"},
                      RenameCase{"OverwriteReplacesTheOtherFile", true, true, true, true, true,
                                 "new", "new.jpg", true, false, "mine", nullptr},
                      RenameCase{"OwnNameWithOverwriteKeepsTheFile", true, true, true, true, false,
                                 "old", "old.jpg", true, false, nullptr, "mine"},
                      RenameCase{"OwnNameWithoutOverwriteIsNoConflict", true, false, true, true,
                                 false, "old", "old.jpg", true, false, nullptr, "mine"},
                      RenameCase{"LetterCaseOnlyWithOverwriteKeepsTheFile", true, true, true, true,
                                 false, "OLD", "OLD.jpg", true, false, "mine", nullptr},
                      RenameCase{"OverwriteWithoutAFileToMoveDeletesNothing", true, true, true,
                                 false, true, "new", "new.jpg", true, false, "other", nullptr}),
    [](const ::testing::TestParamInfo<RenameCase>& p) { return p.param.name; });

TEST_F(EditingTest, RenameIsDroppedWhenTheListChangedDuringTheEdit) {
    const std::string path = file("pics/old.jpg", "mine");
    core().fileSettings().renamefile = true;
    show({{"old", path}}, {0});
    ASSERT_EQ(editing().fxedit(), 0);
    show({{"other", "http://h/other.jpg"}});
    EXPECT_FALSE(editing().endRename("new"));
    EXPECT_EQ(shown(), (std::vector<Entry>{{"other", "http://h/other.jpg"}}));
    EXPECT_EQ(contentOf(path), "mine");
    EXPECT_FALSE(editing().savePending());
}

TEST_F(EditingTest, NamesThatWouldBreakTheListFileAreRefused) {
    const std::string path = file("pics/old.jpg", "mine");
    core().fileSettings().renamefile = true;
    show({{"old", path}}, {0});
    for (const char* name : {"a||b", "a\nb"}) {
        SCOPED_TRACE(name);
        editing().fxedit();
        EXPECT_FALSE(editing().endRename(name));
        EXPECT_EQ(shown(), (std::vector<Entry>{{"old", path}}));
        EXPECT_EQ(contentOf(path), "mine");
    }
    EXPECT_EQ(ui.messages.size(), 2U);
    EXPECT_FALSE(editing().savePending());
}

TEST_F(EditingTest, MoveTakesExistingFilesAndLeavesTheRest) {
    const std::string here = file("pics/here.jpg", "h");
    const std::string clash = file("pics/clash.jpg", "mine");
    const std::string into = root + "into";
    file("into/clash.jpg", "theirs");
    const std::string missing = root + "pics/missing.jpg";
    show({{"here", here}, {"web", "http://h/web.jpg"}, {"missing", missing}, {"clash", clash}},
         {0, 1, 2, 3});
    ui.folderAnswers.push_back(into);

    editing().moveToFolder();

    EXPECT_EQ(contentOf(into + "/here.jpg"), "h");
    EXPECT_FALSE(storage::fileExists(here));
    EXPECT_EQ(contentOf(into + "/clash.jpg"), "theirs") << "an existing file is not replaced";
    EXPECT_EQ(contentOf(clash), "mine");
    EXPECT_EQ(shown(), (std::vector<Entry>{{"web", "http://h/web.jpg"},
                                           {"missing", missing},
                                           {"clash", clash},
                                           {"here", into + "/here.jpg"}}));
    EXPECT_EQ(read("listing/default.fifi"), "web||http://h/web.jpg\r\nmissing||" + missing +
                                                "\r\nclash||" + clash + "\r\nhere||" + into +
                                                "/here.jpg\r\n");
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages.front().text.find(clash), std::string::npos);
}

TEST_F(EditingTest, CopyKeepsEntriesAndReplacesFilesOfTheSameName) {
    const std::string a = file("pics/a.jpg", "new a");
    const std::string missing = root + "pics/missing.jpg";
    const std::string into = root + "into";
    file("into/a.jpg", "old a");
    show({{"a", a}, {"missing", missing}}, {0, 1});
    ui.folderAnswers.push_back(into);

    editing().copyToFolder();

    EXPECT_EQ(contentOf(into + "/a.jpg"), "new a");
    EXPECT_EQ(contentOf(a), "new a");
    EXPECT_EQ(shown(),
              (std::vector<Entry>{{"a", a}, {"missing", missing}, {"a", into + "/a.jpg"}}));
    EXPECT_TRUE(ui.messages.empty());
}

// Makes every write past a size limit fail, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(EditingTest, CopyThatFailsHalfwayKeepsTheFileItWouldReplace) {
    const std::string big = file("pics/a.jpg", std::string(64 * 1024, 'x'));
    const std::string into = root + "into";
    file("into/a.jpg", "old a");
    show({{"a", big}}, {0});
    ui.folderAnswers.push_back(into);
    {
        const FileSizeLimit limit(4096);
        editing().copyToFolder();
    }
    const std::optional<std::string> kept = contentOf(into + "/a.jpg");
    EXPECT_TRUE(kept == "old a") << "holds " << (kept ? kept->size() : 0) << " bytes";
    std::vector<std::string> left;
    for (const auto& item : fs::directory_iterator(into)) {
        left.push_back(item.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"a.jpg"}) << "no part of the copy is left";
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages.front().text.find(big), std::string::npos);
    EXPECT_EQ(shown(), (std::vector<Entry>{{"a", big}}));
}

TEST_F(EditingTest, MoveAcrossFileSystemsLeavesOneWholeFile) {
    std::error_code ec;
    char pattern[] = "/dev/shm/ambrel-move-XXXXXX";
    if (!fs::is_directory("/dev/shm", ec) || ::mkdtemp(pattern) == nullptr) {
        GTEST_SKIP() << "no second file system at hand";
    }
    const std::string into = pattern;
    const std::string pic = file("pics/far.jpg", "far");
    struct stat intoStat {};
    struct stat picStat {};
    if (::stat(into.c_str(), &intoStat) != 0 || ::stat(pic.c_str(), &picStat) != 0 ||
        intoStat.st_dev == picStat.st_dev) {
        fs::remove_all(into, ec);
        GTEST_SKIP() << "/dev/shm is on the same file system";
    }
    show({{"far", pic}}, {0});
    ui.folderAnswers.push_back(into);
    editing().moveToFolder();

    std::vector<std::string> there;
    for (const auto& item : fs::directory_iterator(into)) {
        there.push_back(item.path().filename().string());
    }
    const std::optional<std::string> moved = contentOf(into + "/far.jpg");
    fs::remove_all(into, ec);
    EXPECT_EQ(there, std::vector<std::string>{"far.jpg"});
    EXPECT_EQ(moved, "far");
    EXPECT_FALSE(storage::fileExists(pic));
    EXPECT_EQ(shown(), (std::vector<Entry>{{"far", into + "/far.jpg"}}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EditingTest, FolderCommandsSaveTheListEvenWhenCancelled) {
    const std::string a = file("pics/a.jpg", "a");
    show({{"a", a}}, {0});
    ui.folderAnswers.push_back(std::nullopt);
    editing().moveToFolder();
    EXPECT_EQ(contentOf(a), "a");
    EXPECT_EQ(read("listing/default.fifi"), "a||" + a + "\r\n");
}

TEST_F(EditingTest, HeaderClicksFlipTheOrder) {
    const std::vector<Entry> entries = {{"b", "/p/2"}, {"a", "/p/3"}, {"B", "/p/1"}};
    struct Click {
        int column;
        std::vector<std::string> names;
    };
    // "Name" ascending is the state at start, so the first click on it sorts descending.
    const std::vector<Click> clicks = {
        {0, {"b", "a", "B"}}, {0, {"B", "a", "b"}}, {1, {"B", "b", "a"}}, {1, {"a", "b", "B"}}};
    show(entries, {0, 1});
    const std::size_t previews = browser.navigations.size();
    for (std::size_t i = 0; i < clicks.size(); ++i) {
        SCOPED_TRACE("click " + std::to_string(i + 1));
        editing().sortByColumn(clicks[i].column);
        std::vector<std::string> names;
        std::vector<std::string> selected;
        for (const Entry& e : shown()) {
            names.push_back(e.name);
        }
        for (int row : core().pictures().selectedRows()) {
            selected.push_back(core().pictures().at(row).name);
        }
        EXPECT_EQ(names, clicks[i].names);
        std::sort(selected.begin(), selected.end());
        EXPECT_EQ(selected, (std::vector<std::string>{"a", "b"})) << "the selection moves along";
    }
    EXPECT_EQ(browser.navigations.size(), previews) << "a sort selects nothing new";
    EXPECT_FALSE(exists("listing/default.fifi")) << "sorting does not save";
}

TEST_F(EditingTest, OpenFolderByKindOfPath) {
    const std::string pic = file("pics/a.jpg", "a");
    struct Case {
        std::string path;
        std::vector<std::string> folders;
        std::vector<std::string> addresses;
    };
    // A folder that is not there opens the root of the file system.
    const std::vector<Case> cases = {
        {"http://h/a.jpg", {}, {"http://h/a.jpg"}},
        {pic, {root + "pics/"}, {}},
        {root + "nowhere/a.jpg", {"/"}, {}},
        {"C:\\nowhere\\a.jpg", {"/"}, {}},
        {"a.jpg", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        shell.openedFolders.clear();
        shell.started.clear();
        show({{"x", c.path}}, {0});
        editing().openFolder();
        EXPECT_EQ(shell.openedFolders, c.folders);
        EXPECT_EQ(shell.startedArguments(), c.addresses);
    }
}

TEST_F(EditingTest, LocalFileNamesKeepTheirColonsAndBackslashes) {
    // Only "/" cuts a POSIX path: what follows a ":" or "\" is not the file's name.
    for (const std::string name : {"Screenshot 13:45:12.png", "left\\right.png"}) {
        SCOPED_TRACE(name);
        const std::string tail = name.substr(name.find_last_of(":\\") + 1);
        const std::string stem = name.substr(0, name.find('.'));
        for (const char* sub : {"pics", "copies", "moved"}) {
            fs::remove_all(root + sub);
        }
        const std::string pic = file("pics/" + name, "picture");
        const std::string copies = root + "copies";
        const std::string moved = root + "moved";
        file("copies/" + tail, "bystander");
        file("moved/" + tail, "bystander");

        show({{"shot", pic}}, {0});
        ui.folderAnswers.push_back(copies);
        editing().copyToFolder();
        EXPECT_EQ(contentOf(copies + "/" + tail), "bystander");
        EXPECT_EQ(contentOf(copies + "/" + name), "picture");
        EXPECT_EQ(shown(), (std::vector<Entry>{{"shot", pic}, {stem, copies + "/" + name}}));

        show({{"shot", pic}}, {0});
        ui.folderAnswers.push_back(moved);
        editing().moveToFolder();
        EXPECT_EQ(contentOf(moved + "/" + tail), "bystander");
        EXPECT_EQ(contentOf(moved + "/" + name), "picture");
        EXPECT_EQ(shown(), (std::vector<Entry>{{stem, moved + "/" + name}}));

        core().pictures().setSelection({0});
        shell.openedFolders.clear();
        editing().openFolder();
        EXPECT_EQ(shell.openedFolders, std::vector<std::string>{moved + "/"});

        core().fileSettings().renamefile = true;
        ASSERT_EQ(editing().fxedit(), 0);
        EXPECT_TRUE(editing().endRename("renamed"));
        EXPECT_EQ(shown(), (std::vector<Entry>{{"renamed", moved + "/renamed.png"}}));
        EXPECT_EQ(contentOf(moved + "/renamed.png"), "picture");
        EXPECT_EQ(contentOf(moved + "/" + tail), "bystander");
        EXPECT_TRUE(ui.messages.empty());
    }
}

class GroupTest : public EditingTest {
protected:
    void SetUp() override {
        EditingTest::SetUp();
        write("listing/default.fifi", "d||http://h/d.jpg\r\n");
        write("listing/trips.fifi", "t||http://h/t.jpg\r\n");
        core().startup({});
    }
    void select(const std::string& group) {
        const auto& items = core().targetItems();
        const auto it = std::find(items.begin(), items.end(), group);
        ASSERT_NE(it, items.end()) << group;
        core().setTargetIndex(static_cast<int>(it - items.begin()));
    }
};

TEST_F(GroupTest, CreateAddsAnEmptyGroupWithoutShowingIt) {
    ui.promptAnswers = {std::string("cats"),  std::nullopt,        std::string(""),
                        std::string("trips"), std::string("../x"), std::string("a.b")};
    editing().createGroup();
    EXPECT_EQ(core().targetItems(), (std::vector<std::string>{"", "default", "trips", "cats"}));
    EXPECT_EQ(core().targetIndex(), 0);
    EXPECT_EQ(read("listing/cats.fifi"), "");
    EXPECT_EQ(core().currentGroup(), "default");
    EXPECT_EQ(ui.questions.front(), "Please type the name of the new group");

    editing().createGroup();  // cancelled
    editing().createGroup();  // empty
    EXPECT_TRUE(ui.messages.empty());
    editing().createGroup();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages.back().text, "Please choose another name");
    editing().createGroup();
    editing().createGroup();
    EXPECT_EQ(ui.messages.size(), 3U) << "names that leave the list folder or lose their tail";
    EXPECT_FALSE(exists("x.fifi"));
    EXPECT_EQ(core().targetItems().size(), 4U);
}

TEST_F(GroupTest, GroupNamesMayHoldColonsAndBackslashes) {
    ui.promptAnswers = {std::string("12:30"), std::string("a\\b")};
    editing().createGroup();
    editing().createGroup();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(read("listing/12:30.fifi"), "");
    EXPECT_EQ(read("listing/a\\b.fifi"), "");
    // The next start reads them back under the same names.
    app::Tmyambrel next(folder, app::Services{ui, clipboard, browser, *registry, shell});
    next.startup({});
    EXPECT_EQ(next.targetItems(),
              (std::vector<std::string>{"", "12:30", "a\\b", "default", "trips"}));
}

TEST_F(GroupTest, ShowLoadsTheSelectedGroup) {
    select("trips");
    editing().showGroup();
    EXPECT_EQ(core().currentGroup(), "trips");
    EXPECT_EQ(shown(), (std::vector<Entry>{{"t", "http://h/t.jpg"}}));

    core().setTargetIndex(0);
    editing().showGroup();
    EXPECT_EQ(core().currentGroup(), "default");
    EXPECT_EQ(shown(), (std::vector<Entry>{{"d", "http://h/d.jpg"}}));

    // A group whose file went missing ends the command; the list stays as it was.
    std::filesystem::remove(folder + "listing/trips.fifi");
    select("trips");
    EXPECT_FALSE(core().runCommand([&] { editing().showGroup(); }));
    EXPECT_EQ(core().currentGroup(), "default");
    EXPECT_EQ(shown().size(), 1U);
}

TEST_F(GroupTest, ShowOfTheMainListWithoutItsFileEmptiesTheList) {
    select("trips");
    editing().showGroup();
    std::filesystem::remove(folder + "listing/default.fifi");
    core().setTargetIndex(0);
    editing().showGroup();
    EXPECT_TRUE(core().pictures().empty());
    EXPECT_EQ(core().currentGroup(), "trips");
}

TEST_F(GroupTest, DeleteAsksAndRefusesTheMainList) {
    core().setTargetIndex(0);
    editing().deleteGroup();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages.front().text, "Impossible to delete the main list");

    select("trips");
    ui.yesNoAnswers = {false};
    editing().deleteGroup();
    EXPECT_EQ(ui.questions.back(), "Confirmation to delete ?");
    EXPECT_TRUE(exists("listing/trips.fifi"));

    ui.yesNoAnswers = {true};
    editing().deleteGroup();
    EXPECT_FALSE(exists("listing/trips.fifi"));
    EXPECT_EQ(core().targetItems(), (std::vector<std::string>{"", "default"}));
    EXPECT_EQ(core().targetIndex(), 0);
    EXPECT_EQ(shown(), (std::vector<Entry>{{"d", "http://h/d.jpg"}})) << "another group shown";
}

TEST_F(GroupTest, DeletingTheShownGroupFallsBackToTheMainList) {
    select("trips");
    editing().showGroup();
    ui.yesNoAnswers = {true};
    editing().deleteGroup();
    EXPECT_EQ(core().currentGroup(), "default");
    EXPECT_EQ(shown(), (std::vector<Entry>{{"d", "http://h/d.jpg"}}));
    EXPECT_EQ(core().targetIndex(), 0);
}

TEST_F(GroupTest, DeletingTheShownGroupWithoutAMainListLeavesItNamedCurrent) {
    std::filesystem::remove(folder + "listing/default.fifi");
    select("trips");
    editing().showGroup();
    ui.yesNoAnswers = {true};
    editing().deleteGroup();
    EXPECT_TRUE(core().pictures().empty());
    EXPECT_EQ(core().currentGroup(), "trips");
    editing().saveList();
    EXPECT_EQ(read("listing/trips.fifi"), "");
}

}  // namespace
}  // namespace ambrel::test
