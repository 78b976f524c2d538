#include "core/storage/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::storage {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public test::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_options = m_dir + kOptionsFile;
    }
    void put(const std::string& bytes) { std::ofstream(m_options, std::ios::binary) << bytes; }
    std::string options() const { return readBytes(m_options); }
    void firstRunSave(const ContextKeysPresent& keys) {
        const FileSettings file = loadFileSettings(m_dir);
        const GeneralSettings general = loadGeneralSettings(m_dir, keys);
        savesettingfilesettingcontext(m_dir, file);
        savegeneralsettingcontext(m_dir, general);
    }
    std::string m_options;
};

TEST_F(SettingsTest, FirstRunWritesExactlyTheOnValues) {
    firstRunSave({false, false, false});
    EXPECT_EQ(options(),
              "<downdir>" + m_dir +
                  "down</downdir>\r\n"
                  "<convdir>" +
                  m_dir +
                  "conv</convdir>\r\n"
                  "<thumbext>.tn</thumbext>\r\n"
                  "<excextensions>.css; .js; .vbs;</excextensions>\r\n"
                  "<ifcopyaddlist>yes</ifcopyaddlist>\r\n"
                  "<usetheextfeature>yes</usetheextfeature>\r\n"
                  "<webexcextensions>.avi; .mov; .mp3; .wav; .wmv;</webexcextensions>\r\n"
                  "<webusetheextfeature>yes</webusetheextfeature>\r\n"
                  "<resizetoscreen>yes</resizetoscreen>\r\n"
                  "<timebetweenpictures>3000</timebetweenpictures>\r\n"
                  "<defaultwebpage>http://www.corvane.net/ambrelstart.html</defaultwebpage>");
}

TEST_F(SettingsTest, FirstRunWithContextEntriesWritesTheirKeys) {
    firstRunSave({true, false, true});
    const std::string text = options();
    EXPECT_NE(text.find("<timebetweenpictures>3000</timebetweenpictures>\r\n"
                        "<iecaddtolist>yes</iecaddtolist>\r\n"
                        "<ieccopyandadd>yes</ieccopyandadd>\r\n"
                        "<ieccopyandaddbef>[img]</ieccopyandaddbef>\r\n"
                        "<ieccopyandaddaft>[/img]</ieccopyandaddaft>\r\n"
                        "<defaultwebpage>"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("ieccopytoclip"), std::string::npos);
}

TEST_F(SettingsTest, FirstRunLoadsDefaults) {
    const GeneralSettings none = loadGeneralSettings(m_dir, {false, true, false});
    EXPECT_FALSE(none.iecaddtolist);
    EXPECT_TRUE(none.ieccopytoclip);
    EXPECT_EQ(none.ieccopyandaddbef, "");
    EXPECT_EQ(none.ieccopyandaddaft, "");
    EXPECT_FALSE(none.minimizetotray);
    for (bool item : none.popupmenuitem) {
        EXPECT_FALSE(item);
    }
    const FileSettings file = loadFileSettings(m_dir);
    EXPECT_FALSE(file.renamefile);
    EXPECT_FALSE(file.renameandoverwrite);
}

TEST_F(SettingsTest, SavingUnchangedSettingsRewritesNothing) {
    firstRunSave({true, true, true});
    const std::string before = options();
    const auto written = fs::last_write_time(m_options);
    savesettingfilesettingcontext(m_dir, loadFileSettings(m_dir));
    savegeneralsettingcontext(m_dir, loadGeneralSettings(m_dir, {}));
    EXPECT_EQ(options(), before);
    EXPECT_EQ(fs::last_write_time(m_options), written);
}

TEST_F(SettingsTest, FolderValuesLoad) {
    struct Case {
        const char* name;
        std::string stored;
        std::string loaded;
    };
    const std::vector<Case> cases = {
        {"drive path unchanged", "<downdir>C:\\pics</downdir>", "C:\\pics"},
        {"absolute path unchanged", "<downdir>/srv/pics</downdir>", "/srv/pics"},
        {"bare name under program folder", "<downdir>pics</downdir>", m_dir + "pics"},
        {"network path under program folder", "<downdir>\\\\srv\\p</downdir>",
         m_dir + "\\\\srv\\p"},
        {"empty means down", "<downdir></downdir>", m_dir + "down"},
        {"missing means down", "", m_dir + "down"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        put(c.stored);
        EXPECT_EQ(loadFileSettings(m_dir).downdir, c.loaded);
    }
    put("<convdir>x</convdir>");
    EXPECT_EQ(loadFileSettings(m_dir).convdir, m_dir + "x");
}

TEST_F(SettingsTest, StoredValuesLoad) {
    put("<thumbext></thumbext>\r\n<usetheextfeature>Yes</usetheextfeature>\r\n"
        "<webusetheextfeature>yes</webusetheextfeature>\r\n<renamefile>yes</renamefile>\r\n"
        "<timebetweenpictures></timebetweenpictures>\r\n<minimizetotray>yes</minimizetotray>\r\n"
        "<popupmenuitem4>true</popupmenuitem4>\r\n<popupmenuitem43>true</popupmenuitem43>\r\n"
        "<popupmenuitem5>yes</popupmenuitem5>\r\n<ieccopyandaddbef> [b] </ieccopyandaddbef>");
    const FileSettings file = loadFileSettings(m_dir);
    EXPECT_EQ(file.thumbext, ".tn");
    EXPECT_FALSE(file.usetheextfeature);
    EXPECT_TRUE(file.webusetheextfeature);
    EXPECT_TRUE(file.renamefile);
    EXPECT_FALSE(file.ifcopyaddlist);
    EXPECT_EQ(file.excextensions, "");

    const GeneralSettings general = loadGeneralSettings(m_dir, {true, true, true});
    EXPECT_EQ(general.timebetweenpictures, "3000");
    EXPECT_TRUE(general.minimizetotray);
    EXPECT_FALSE(general.resizetoscreen);
    EXPECT_FALSE(general.iecaddtolist);  // the registry only counts without an options file
    EXPECT_EQ(general.ieccopyandaddbef, " [b] ");
    EXPECT_EQ(general.defaultwebpage, "");
    for (int i = 0; i < kPopupMenuItems; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(general.popupmenuitem[static_cast<std::size_t>(i)], i == 4 || i == 43);
    }
}

TEST_F(SettingsTest, OnOffWriteRules) {
    struct Case {
        const char* name;
        std::string stored;
        bool on;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"on over missing", "", true, "\r\n<renamefile>yes</renamefile>"},
        {"on over other", "<renamefile>Yes</renamefile>", true, "<renamefile>yes</renamefile>\r\n"},
        {"on over yes", "<renamefile>yes</renamefile>", true, "<renamefile>yes</renamefile>"},
        {"off over yes", "<renamefile>yes</renamefile>", false, "<renamefile>no</renamefile>\r\n"},
        {"off over missing", "", false, ""},
        {"off over other", "<renamefile>x</renamefile>", false, "<renamefile>x</renamefile>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Every other file setting already matches, so only renamefile can be written.
        FileSettings s;
        s.downdir = "/d";
        s.convdir = "/c";
        s.thumbext = ".tn";
        s.renamefile = c.on;
        const std::string others =
            "<downdir>/d</downdir><convdir>/c</convdir>"
            "<thumbext>.tn</thumbext>";
        put(others + c.stored);
        savesettingfilesettingcontext(m_dir, s);
        EXPECT_EQ(options(), others + c.after);
    }
}

TEST_F(SettingsTest, PopupFlagsUseTrueAndFalse) {
    GeneralSettings s;
    s.popupmenuitem[7] = true;
    savegeneralsettingcontext(m_dir, s);
    EXPECT_EQ(options(), "<popupmenuitem7>true</popupmenuitem7>");
    s.popupmenuitem[7] = false;
    savegeneralsettingcontext(m_dir, s);
    EXPECT_EQ(options(), "<popupmenuitem7>false</popupmenuitem7>\r\n");
}

TEST_F(SettingsTest, SaveCreatesEmptyFileWhenNothingDiffers) {
    savegeneralsettingcontext(m_dir, GeneralSettings{});
    EXPECT_EQ(options(), "");
}

TEST_F(SettingsTest, ReadOption) {
    EXPECT_EQ(readOption(m_dir, "useupset"), "");
    put("<useupset>2</useupset>");
    EXPECT_EQ(readOption(m_dir, "useupset"), "2");
    EXPECT_EQ(readOption(m_dir, "upset"), "");
}

TEST_F(SettingsTest, SaveIntoMissingFolderThrows) {
    EXPECT_THROW(savesettingfilesettingcontext(m_dir + "no/", FileSettings{}), IoError);
}

}  // namespace
}  // namespace ambrel::storage
