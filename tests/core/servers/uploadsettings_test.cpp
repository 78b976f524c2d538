#include "core/servers/uploadsettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/servers/definition.h"
#include "core/storage/settings.h"
#include "core/storage/textfile.h"
#include "support/tempfolder.h"

namespace ambrel::servers {
namespace {

using Names = std::vector<std::string>;

class UploadSettingsListTest : public test::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        std::filesystem::create_directory(m_dir + "upfiles");
    }
    void definitions(const Names& files) {
        for (const std::string& f : files) {
            storage::writeFileAtomically(m_dir + "upfiles/" + f,
                                         "<url>" + f + "</url>\r\n<ftp>\r\n");
        }
    }
    void options(const std::string& text) {
        storage::writeFileAtomically(m_dir + storage::kOptionsFile, text);
    }
    UploadSettingsList filled() {
        UploadSettingsList list;
        list.fill(m_dir);
        return list;
    }
};

TEST_F(UploadSettingsListTest, ListsDefinitionsInFolderOrderByTheirNameBeforeTheFirstDot) {
    definitions({"beta.txt", "Alpha.txt", "gamma.old.txt", "a-b.txt", "a.txt"});
    storage::writeFileAtomically(m_dir + "upfiles/readme", "");
    storage::writeFileAtomically(m_dir + "upfiles/beta.txt.tmp12-0", "");
    const UploadSettingsList list = filled();
    EXPECT_EQ(list.names(), (Names{"a-b", "a", "Alpha", "beta", "gamma"}));
    // The dotted file is addressed by its listed name, which names no file.
    EXPECT_EQ(loadDefinition(m_dir, "gamma").field("url"), "");
}

TEST_F(UploadSettingsListTest, StartsOnTheStoredDefaultPosition) {
    definitions({"a.txt", "b.txt", "c.txt"});
    struct Case {
        const char* name;
        const char* options;  // nullptr: no options file
        int selected;
    };
    const Case cases[] = {
        {"no options file", nullptr, 0},
        {"no key", "<downdir>d</downdir>", 0},
        {"empty counts as 1", "<useupset></useupset>", 0},
        {"third", "<useupset>3</useupset>", 2},
        {"past the end", "<useupset>4</useupset>", -1},
        {"zero", "<useupset>0</useupset>", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_dir + storage::kOptionsFile);
        if (c.options != nullptr) {
            options(c.options);
        }
        EXPECT_EQ(filled().selected(), c.selected);
    }

    options("<useupset>two</useupset>");
    UploadSettingsList list;
    EXPECT_THROW(list.fill(m_dir), ConversionError);
    EXPECT_EQ(list.names().size(), 3u);
    EXPECT_EQ(list.selected(), -1);
}

TEST_F(UploadSettingsListTest, DeletingSelectsTheSecondEntryAndKeepsTheStoredPosition) {
    definitions({"a.txt", "b.txt", "c.txt"});
    options("<useupset>2</useupset>");
    UploadSettingsList list = filled();
    list.select(0);
    list.deleteSelected(m_dir);
    EXPECT_FALSE(storage::fileExists(definitionPath(m_dir, "a")));
    EXPECT_EQ(list.names(), (Names{"b", "c"}));
    EXPECT_EQ(list.current(), "c");
    // The stored position now designates the former third definition.
    EXPECT_EQ(storage::readOption(m_dir, "useupset"), "2");
    EXPECT_EQ(filled().current(), "c");

    // A file already gone is no error; fewer than two left selects nothing.
    std::filesystem::remove(definitionPath(m_dir, "c"));
    list.deleteSelected(m_dir);
    EXPECT_EQ(list.names(), Names{"b"});
    EXPECT_EQ(list.selected(), -1);
    list.deleteSelected(m_dir);  // nothing selected: nothing happens
    EXPECT_EQ(list.names(), Names{"b"});
}

TEST_F(UploadSettingsListTest, ADefinitionThatCannotBeDeletedStaysListed) {
    definitions({"a.txt"});
    std::filesystem::create_directories(m_dir + "upfiles/stuck.txt/inside");
    UploadSettingsList list = filled();
    list.select(1);
    ASSERT_EQ(list.current(), "stuck");
    EXPECT_THROW(list.deleteSelected(m_dir), storage::IoError);
    EXPECT_EQ(list.names(), (Names{"a", "stuck"}));
    EXPECT_EQ(list.current(), "stuck");
}

TEST_F(UploadSettingsListTest, NewNamesTakeTheirPlaceInTheOrderOfTheNextStart) {
    definitions({"Alpha.txt", "beta.txt", "gamma.txt"});
    UploadSettingsList list = filled();
    list.select(1);
    for (const char* added : {"al", "a", "a-b", "zed", "Beta2"}) {
        definitions({std::string(added) + ".txt"});
        list.insert(added);
    }
    EXPECT_EQ(list.names(), filled().names());
    EXPECT_EQ(list.current(), "beta");
    EXPECT_TRUE(list.contains("zed"));
    EXPECT_FALSE(list.contains("Zed"));
}

TEST_F(UploadSettingsListTest, ReselectingTakesTheStoredPositionOnlyWhenOneIsStored) {
    definitions({"a.txt", "b.txt", "c.txt"});
    UploadSettingsList list = filled();
    list.select(2);
    list.reselectDefault(m_dir);  // no options file
    EXPECT_EQ(list.selected(), 2);
    options("<useupset></useupset>");
    list.reselectDefault(m_dir);
    EXPECT_EQ(list.selected(), 2);
    options("<useupset>2</useupset>");
    list.reselectDefault(m_dir);
    EXPECT_EQ(list.selected(), 1);
    options("<useupset>x</useupset>");
    EXPECT_THROW(list.reselectDefault(m_dir), ConversionError);
    EXPECT_EQ(list.selected(), 1);
}

}  // namespace
}  // namespace ambrel::servers
