#include "core/app/uploadsettingswindow.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/servers/definition.h"
#include "core/storage/tagfile.h"
#include "support/appfixture.h"

namespace ambrel::test {
namespace {

using platform::Window;
using Names = std::vector<std::string>;

const std::string kFtpText =
    "<url>http://pics.example</url>\r\n<ftp>\r\n<passive>y</passive>\r\n<port>21</port>\r\n"
    "<host>ftp.example</host>\r\n<login>me</login>\r\n<pass></pass>\r\n<dir>up</dir>\r\n"
    "<notfound>410</notfound>\r\n<startdirr>www</startdirr>\r\n";
const std::string kHtmlText =
    "<analyzeurl>http://host/</analyzeurl>\r\n<url>http://host/post</url>\r\n<burl></burl>\r\n"
    "<cuturl></cuturl>\r\n<html>\r\n<topost>\r\n<@i@>file</@i@>\r\n</topost>\r\n<parse>\r\n"
    "<beginpost>a</beginpost>\r\n<endpost>b</endpost>\r\n</parse>\r\n";

class UploadSettingsWindowTest : public AppFixture {
protected:
    // The program started on the data folder as laid out so far.
    app::UploadSettingsWindow& started() {
        core().startup({});
        core().createWindows();
        window = std::make_unique<app::UploadSettingsWindow>(core());
        window->setListListener([this] { ++listChanges; });
        return *window;
    }
    servers::FtpDefinition complete() const {
        return {"http://root", "21", "host", "login", "", "", "404", ""};
    }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) {
            texts.push_back(m.text);
        }
        return texts;
    }

    std::unique_ptr<app::UploadSettingsWindow> window;
    int listChanges = 0;
};

TEST_F(UploadSettingsWindowTest, SavingChecksTheFieldsInOrder) {
    write("upfiles/taken.txt", kFtpText);
    struct Case {
        const char* name;
        servers::FtpDialogKind kind;
        std::string field;
        servers::FtpDefinition values;
        const char* message;
    };
    using K = servers::FtpDialogKind;
    const servers::FtpDefinition empty{"", "", "", "", "", "", "", ""};
    // The required fields filled in their order of checking up to the n-th; the rest empty.
    auto upTo = [](int n) {
        servers::FtpDefinition v{"", "", "", "", "", "", "", ""};
        std::string* required[] = {&v.url, &v.port, &v.host, &v.login, &v.notfound};
        for (int i = 0; i < n; ++i) {
            *required[i] = "x";
        }
        return v;
    };
    const Case cases[] = {
        {"a dot before anything else", K::Add, "my.site", empty, "No dots please"},
        {"a dot in the edit dialog", K::Edit, ".", empty, "No dots please"},
        {"name in use", K::Add, "taken", empty, "This name is already in use"},
        {"root url", K::Add, "new", upTo(0), "Enter a root for your files"},
        {"editing an existing name goes on", K::Edit, "taken", empty,
         "Enter a root for your files"},
        {"port", K::Add, "new", upTo(1), "Enter a port"},
        {"host", K::Edit, "new", upTo(2), "Enter a host"},
        {"login", K::Add, "new", upTo(3), "Enter a login"},
        {"not-found code", K::Add, "new", upTo(4), "Enter a code"},
        {"name last", K::Add, "", upTo(5), "Enter a name for the output"},
        {"name last when editing", K::Edit, "", upTo(5), "Enter a name for the output"},
    };
    started();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app::FtpServerDialog& dialog = c.kind == K::Add ? window->ftpAdd() : window->ftpEdit();
        ui.messages.clear();
        dialog.show();
        dialog.setName(c.field);
        dialog.values() = c.values;
        EXPECT_FALSE(dialog.ok());
        EXPECT_EQ(messageTexts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(ui.isWindowVisible(dialog.window()));
    }
    EXPECT_EQ(read("upfiles/taken.txt"), kFtpText);
    EXPECT_FALSE(exists("upfiles/new.txt"));
    EXPECT_EQ(listChanges, 0);

    // An empty name is first looked up as the file ".txt".
    write("upfiles/.txt", "");
    ui.messages.clear();
    window->ftpAdd().setName("");
    window->ftpAdd().values() = complete();
    EXPECT_FALSE(window->ftpAdd().ok());
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"This name is already in use"});
}

TEST_F(UploadSettingsWindowTest, AddingWritesThePrivateFileListsItAndReselectsTheDefault) {
    write("upfiles/b.txt", kFtpText);
    write("upfiles/d.txt", kFtpText);
    write("options.ini", "<useupset>2</useupset>");
    app::UploadSettingsWindow& w = started();
    w.select(0);
    w.addFtpUpload();
    app::FtpServerDialog& add = w.ftpAdd();
    EXPECT_TRUE(ui.isWindowVisible(Window::AddFtpServer));
    EXPECT_EQ(add.caption(), "Add a new ftp server");
    EXPECT_EQ(add.values().notfound, "404");
    add.setName("c");
    add.values() = {"http://root", "2121", "host", "login", "", "", "404", ""};
    EXPECT_TRUE(add.ok());
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_EQ(read("upfiles/c.txt"),
              "<url>http://root</url>\r\n<ftp>\r\n<passive>n</passive>\r\n<port>2121</port>\r\n"
              "<host>host</host>\r\n<login>login</login>\r\n<pass></pass>\r\n<dir></dir>\r\n"
              "<notfound>404</notfound>\r\n<startdirr></startdirr>\r\n");
    struct stat st {};
    ASSERT_EQ(::stat((folder + "upfiles/c.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(w.list().names(), (Names{"b", "c", "d"}));
    EXPECT_EQ(core().uploadSettings().current(), "c");  // position 2 again
    EXPECT_EQ(listChanges, 1);
    EXPECT_FALSE(ui.isWindowVisible(Window::AddFtpServer));
    EXPECT_EQ(add.name(), "c");  // a save clears nothing
    EXPECT_EQ(add.values().port, "2121");

    // "Cancel" in the add dialog only closes it.
    w.addFtpUpload();
    add.setName("half typed");
    add.cancel();
    EXPECT_FALSE(ui.isWindowVisible(Window::AddFtpServer));
    EXPECT_EQ(add.name(), "half typed");
    EXPECT_EQ(add.values().host, "host");
}

TEST_F(UploadSettingsWindowTest, EditFillsTheFtpDialogAndItsCaptionFollowsTheName) {
    write("upfiles/home.txt", kFtpText);
    write("upfiles/other.txt", "<url>old</url>\r\n<ftp>\r\n");
    app::UploadSettingsWindow& w = started();
    ASSERT_EQ(core().uploadSettings().current(), "home");
    app::FtpServerDialog& edit = w.ftpEdit();
    int changes = 0;
    edit.setChangeListener([&changes] { ++changes; });
    w.edit();
    EXPECT_TRUE(ui.isWindowVisible(Window::EditFtpServer));
    EXPECT_GE(changes, 1);
    EXPECT_EQ(edit.name(), "home");
    EXPECT_EQ(edit.caption(), "Edit a ftp server");
    const servers::FtpDefinition& v = edit.values();
    EXPECT_EQ(v.url, "http://pics.example");
    EXPECT_EQ(v.port, "21");
    EXPECT_EQ(v.host, "ftp.example");
    EXPECT_EQ(v.login, "me");
    EXPECT_EQ(v.pass, "");
    EXPECT_EQ(v.dir, "up");
    EXPECT_EQ(v.notfound, "410");
    EXPECT_EQ(v.startdirr, "www");
    EXPECT_TRUE(v.passive);

    edit.setName("homeX");
    EXPECT_EQ(edit.caption(), "Add a ftp server");
    edit.setName("home");
    EXPECT_EQ(edit.caption(), "Edit a ftp server");

    // Saving under the same name replaces the file and leaves the list alone.
    edit.values().pass = "secret";
    EXPECT_TRUE(edit.ok());
    EXPECT_EQ(servers::loadDefinition(folder, "home").field("pass"), "secret");
    EXPECT_EQ(w.list().names(), (Names{"home", "other"}));

    // Saving under another existing name overwrites that one, lists it once and keeps the
    // edited file.
    w.edit();
    edit.setName("other");
    EXPECT_EQ(edit.caption(), "Add a ftp server");
    EXPECT_TRUE(edit.ok());
    EXPECT_EQ(read("upfiles/other.txt"), read("upfiles/home.txt"));
    EXPECT_EQ(w.list().names(), (Names{"home", "other"}));

    // Saving under a new name makes a second definition.
    w.edit();
    edit.setName("copy");
    EXPECT_TRUE(edit.ok());
    EXPECT_EQ(w.list().names(), (Names{"copy", "home", "other"}));
    EXPECT_TRUE(exists("upfiles/home.txt"));
    EXPECT_EQ(core().uploadSettings().current(), "home");  // no stored default: kept
}

TEST_F(UploadSettingsWindowTest, CancelEmptiesTheEditDialog) {
    write("upfiles/home.txt", kFtpText);
    app::UploadSettingsWindow& w = started();
    w.edit();
    app::FtpServerDialog& edit = w.ftpEdit();
    edit.cancel();
    EXPECT_FALSE(ui.isWindowVisible(Window::EditFtpServer));
    EXPECT_EQ(edit.name(), "");
    EXPECT_EQ(edit.caption(), "Add a ftp server");
    const servers::FtpDefinition& v = edit.values();
    for (const std::string* field :
         {&v.url, &v.port, &v.host, &v.login, &v.pass, &v.dir, &v.startdirr}) {
        EXPECT_EQ(*field, "");
    }
    EXPECT_EQ(v.notfound, "404");
    EXPECT_FALSE(v.passive);
    EXPECT_EQ(read("upfiles/home.txt"), kFtpText);
}

TEST_F(UploadSettingsWindowTest, EditOpensTheFtpDialogOnlyForTheFtpMarker) {
    write("upfiles/form.txt", kHtmlText);
    write("upfiles/formftp.txt",
          "<url>http://host/post</url>\r\n<html>\r\n<topost>\r\n<ftp>yes</ftp>\r\n</topost>\r\n");
    app::UploadSettingsWindow& w = started();
    struct Case {
        const char* name;
        int index;
        bool ftpDialog;
    };
    const Case cases[] = {
        {"html form", 0, false},
        {"html form with a field named ftp", 1, true},
        {"nothing selected", -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.messages.clear();
        ui.hideWindow(Window::EditFtpServer);
        w.select(c.index);
        w.edit();
        EXPECT_EQ(ui.isWindowVisible(Window::EditFtpServer), c.ftpDialog);
        EXPECT_EQ(messageTexts(), c.ftpDialog ? std::vector<std::string>{}
                                              : std::vector<std::string>{
                                                    app::UploadSettingsWindow::kNotEditableYet});
    }
}

TEST_F(UploadSettingsWindowTest, DeleteAsksThenSelectsTheSecondEntry) {
    for (const char* name : {"a", "b", "c"}) {
        write(std::string("upfiles/") + name + ".txt", kFtpText);
    }
    write("options.ini", "<useupset>1</useupset>");
    app::UploadSettingsWindow& w = started();
    ui.yesNoAnswers = {false, true};
    w.deleteSelected();
    EXPECT_EQ(w.list().names().size(), 3u);
    EXPECT_EQ(listChanges, 0);
    w.deleteSelected();
    EXPECT_EQ(ui.questions,
              (std::vector<std::string>{"Confirmation to delete ?", "Confirmation to delete ?"}));
    EXPECT_FALSE(exists("upfiles/a.txt"));
    EXPECT_EQ(w.list().names(), (Names{"b", "c"}));
    EXPECT_EQ(core().uploadSettings().current(), "c");
    EXPECT_EQ(listChanges, 1);
    EXPECT_EQ(storage::readOption(folder, "useupset"), "1");
}

TEST_F(UploadSettingsWindowTest, SetDefaultStoresThePositionAndWritesMissingOptionsFirst) {
    write("upfiles/a.txt", kFtpText);
    write("upfiles/b.txt", kFtpText);
    app::UploadSettingsWindow& w = started();
    w.select(1);
    w.setDefault();
    const std::string text = read("options.ini");
    EXPECT_TRUE(text.starts_with("<downdir>")) << text;
    EXPECT_TRUE(text.ends_with("<useupset>2</useupset>")) << text;
    EXPECT_EQ(storage::getfromstrxml(text, "timebetweenpictures"), "3000");

    w.select(-1);
    w.setDefault();
    EXPECT_EQ(storage::readOption(folder, "useupset"), "0");
}

TEST_F(UploadSettingsWindowTest, VisibleEditorsAreBroughtInFront) {
    app::UploadSettingsWindow& w = started();
    EXPECT_TRUE(w.editorsToBringInFront().empty());
    ui.showWindow(Window::EditFormData);
    ui.showWindow(Window::AddFtpServer);
    ui.showWindow(Window::LinkBuilder);
    EXPECT_EQ(w.editorsToBringInFront(),
              (std::vector<Window>{Window::AddFtpServer, Window::EditFormData}));
}

TEST_F(UploadSettingsWindowTest, AStoredDefaultThatIsNoNumberIsReportedAfterLoading) {
    write("upfiles/a.txt", kFtpText);
    write("options.ini", "<useupset>first</useupset><thumbext>.small</thumbext>");
    core().startup({});
    EXPECT_FALSE(core().runCommand([this] { core().createWindows(); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "'first' is not a valid integer value");
    EXPECT_EQ(core().uploadSettings().names(), Names{"a"});
    EXPECT_EQ(core().uploadSettings().selected(), -1);
    EXPECT_EQ(core().fileSettings().thumbext, ".small");
}

}  // namespace
}  // namespace ambrel::test
