#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/platform/scripted_ui.h"
#include "core/storage/textfile.h"
#include "core/transfer/transfers.h"
#include "core/transfer/upload.h"
#include "support/ftpserver.h"
#include "support/tempfolder.h"

namespace ambrel::transfer {
namespace {

constexpr const char* kRoot = "http://pics.example/u";

class FtpTransfers : public test::TempFolderTest {
protected:
    static void SetUpTestSuite() { s_server = new test::FtpServer; }
    static void TearDownTestSuite() { delete s_server; }
    void SetUp() override {
        TempFolderTest::SetUp();
        s_server->reset();
        definition = m_dir + "ftp.txt";
        std::ofstream(m_dir + "a.jpg") << "JPEGDATA";
    }
    void TearDown() override {
        ftpdisconnect(transfers);
        TempFolderTest::TearDown();
    }

    void define(const std::string& pass, const std::string& dir, const std::string& start = "",
                bool passive = true) {
        test::writeFtpDefinition(definition, kRoot, s_server->port(), pass, dir, start, passive);
    }
    static std::string remote(const std::string& relative) {
        return storage::readBytes(s_server->root() + relative);
    }
    static void putRemote(const std::string& relative, const std::string& content) {
        std::filesystem::create_directories(
            std::filesystem::path(s_server->root() + relative).parent_path());
        std::ofstream(s_server->root() + relative) << content;
    }

    static inline test::FtpServer* s_server = nullptr;
    platform::ScriptedUi ui;
    Transfers transfers{ui};
    std::string definition;
};

TEST_F(FtpTransfers, EmptyPasswordAndDirectoryAreAskedAndTheFolderMade) {
    define("", "");
    ui.promptAnswers = {std::string(test::FtpServer::kPassword), std::string("new")};
    const std::string dir = ftpprepare(transfers, definition);
    EXPECT_EQ(ui.questions,
              (std::vector<std::string>{"Leave blank for anonymous", "Leave blank for none"}));
    EXPECT_EQ(dir, "new");
    EXPECT_EQ(ftpuploadfile(transfers, definition, m_dir + "a.jpg", m_dir + "a.jpg", dir),
              std::string(kRoot) + "/new/a.jpg");
    EXPECT_EQ(remote("new/a.jpg"), "JPEGDATA");
    EXPECT_EQ(transfers.ftpPassword, test::FtpServer::kPassword);
}

TEST_F(FtpTransfers, TakenNamesGiveNumberedOnesAndOneLoginServesTheRun) {
    define(test::FtpServer::kPassword, "pics");
    putRemote("pics/a.jpg", "old");
    putRemote("pics/b.jpg", "");  // an empty file counts as free
    const std::string dir = ftpprepare(transfers, definition);
    EXPECT_TRUE(ui.questions.empty());
    const std::string source = "http://elsewhere/x/a.jpg";
    EXPECT_EQ(ftpuploadfile(transfers, definition, m_dir + "a.jpg", source, dir),
              std::string(kRoot) + "/pics/a_1.jpg");
    EXPECT_EQ(ftpuploadfile(transfers, definition, m_dir + "a.jpg", source, dir),
              std::string(kRoot) + "/pics/a_2.jpg");
    EXPECT_EQ(ftpuploadfile(transfers, definition, m_dir + "a.jpg", "C:\\x\\b.jpg", dir),
              std::string(kRoot) + "/pics/b.jpg");
    EXPECT_EQ(remote("pics/a.jpg"), "old");
    EXPECT_EQ(remote("pics/a_1.jpg"), "JPEGDATA");
    EXPECT_EQ(remote("pics/a_2.jpg"), "JPEGDATA");
    EXPECT_EQ(remote("pics/b.jpg"), "JPEGDATA");
    EXPECT_EQ(s_server->count("LOGIN"), 1);
    EXPECT_EQ(s_server->count("MKD"), 0);  // the folder was there
    EXPECT_GE(s_server->count("PASV"), 3);
    ftpdisconnect(transfers);
    EXPECT_FALSE(transfers.ftp().connected());
    EXPECT_EQ(s_server->count("QUIT"), 1);
}

TEST_F(FtpTransfers, StartDirectoryActiveModeAndAnOpenSessionKeptAsItIs) {
    std::filesystem::create_directory(s_server->root() + "www");
    define(test::FtpServer::kPassword, "", "/www", false);
    ui.promptAnswers = {std::string()};  // no upload directory
    const std::string dir = ftpprepare(transfers, definition);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(ftpuploadfile(transfers, definition, m_dir + "a.jpg", m_dir + "a.jpg", dir),
              std::string(kRoot) + "/a.jpg");
    EXPECT_EQ(remote("www/a.jpg"), "JPEGDATA");
    EXPECT_GE(s_server->count("PORT"), 1);
    EXPECT_EQ(s_server->count("PASV"), 0);

    // Connecting again while the session is open takes none of the new settings.
    test::writeFtpDefinition(m_dir + "other.txt", kRoot, 1, "x", "", "");
    transfers.ftpPassword = "x";
    ftpconnect(transfers, m_dir + "other.txt");
    EXPECT_EQ(s_server->count("LOGIN"), 1);
}

TEST_F(FtpTransfers, RefusalsCarryTheServersReply) {
    define("wrong", "pics");
    try {
        ftpprepare(transfers, definition);
        ADD_FAILURE() << "login accepted";
    } catch (const FtpError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("530 ")) << e.what();
    }
    EXPECT_FALSE(transfers.ftp().connected());

    define(test::FtpServer::kPassword, "missing/child");
    try {
        ftpprepare(transfers, definition);
        ADD_FAILURE() << "folder made";
    } catch (const FtpError& e) {
        EXPECT_TRUE(std::string(e.what()).starts_with("550 ")) << e.what();
    }
    // The session stays open for the next connection to use.
    EXPECT_TRUE(transfers.ftp().connected());
    EXPECT_THROW(transfers.ftp().dele("nothing.jpg"), FtpError);
    EXPECT_TRUE(transfers.ftp().connected());

    test::writeFtpDefinition(definition, kRoot, 0, "pw", "", "", true, "404", "twenty-one");
    ftpdisconnect(transfers);
    EXPECT_THROW(ftpconnect(transfers, definition), std::invalid_argument);
}

TEST_F(FtpTransfers, DirectoryTestComesBackWhereItWas) {
    define(test::FtpServer::kPassword, "");
    std::filesystem::create_directories(s_server->root() + "pics");
    transfers.ftpPassword = test::FtpServer::kPassword;
    ftpconnect(transfers, definition);
    EXPECT_TRUE(FTPDirectoryExists(transfers, "pics"));
    EXPECT_FALSE(FTPDirectoryExists(transfers, "nope"));
    EXPECT_EQ(transfers.ftp().pwd(), "/");
}

}  // namespace
}  // namespace ambrel::transfer
