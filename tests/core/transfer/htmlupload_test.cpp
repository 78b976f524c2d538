#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/platform/scripted_ui.h"
#include "core/storage/textfile.h"
#include "core/transfer/httpclient.h"
#include "core/transfer/transfers.h"
#include "core/transfer/upload.h"
#include "support/formserver.h"
#include "support/tempfolder.h"

namespace ambrel::transfer {
namespace {

class HtmlUpload : public test::TempFolderTest {
protected:
    static void SetUpTestSuite() { s_server = new test::FormServer; }
    static void TearDownTestSuite() { delete s_server; }

    static inline test::FormServer* s_server = nullptr;
    platform::ScriptedUi ui;
    Transfers transfers{ui};
};

TEST_F(HtmlUpload, ThePictureIsPostedWithTheFieldsAndTheLinkCutOut) {
    const std::string picture("\xFF\xD8\xFF\xE0 binary\r\n--not a boundary\0end", 34);
    std::ofstream(m_dir + "holiday.jpg", std::ios::binary) << picture;
    test::writeHtmlDefinition(m_dir + "form.txt", s_server->url("/upload.php"),
                              "<title>hello there</title>\r\n<@i@>pic</@i@>\r\n<empty></empty>\r\n",
                              "src=\"", "\"", "", ".th");
    const std::string link = htmluploadfile(transfers, m_dir + "form.txt", m_dir + "holiday.jpg");
    EXPECT_EQ(link, s_server->url("/stored/holiday.jpg"));
    EXPECT_EQ(storage::readBytes(s_server->stored("holiday.jpg")), picture);
    // The site learns the file's own name and its real type, never the local folders.
    EXPECT_EQ(storage::readBytes(s_server->stored("last.txt")),
              "name=holiday.jpg\ntype=image/jpeg\nfield title=hello there\nfield empty=\n");
    EXPECT_TRUE(transfers.downloadMode);
}

TEST_F(HtmlUpload, TheLinkBasisGoesInFrontAndARefusalEndsTheUpload) {
    std::ofstream(m_dir + "p.png") << "PNG";
    test::writeHtmlDefinition(m_dir + "form.txt", s_server->url("/upload.php"),
                              "<@i@>pic</@i@>\r\n", "/stored/", "\"", "http://mirror/", "");
    EXPECT_EQ(htmluploadfile(transfers, m_dir + "form.txt", m_dir + "p.png"),
              "http://mirror/p.png.th");
    EXPECT_EQ(storage::readBytes(s_server->stored("last.txt")), "name=p.png\ntype=image/png\n");

    // Without a picture line the form refuses the post.
    test::writeHtmlDefinition(m_dir + "bad.txt", s_server->url("/upload.php"),
                              "<title>x</title>\r\n", "src=\"", "\"", "", "");
    try {
        htmluploadfile(transfers, m_dir + "bad.txt", m_dir + "p.png");
        ADD_FAILURE() << "refusal taken for a page";
    } catch (const HttpError& e) {
        EXPECT_EQ(e.code(), 400);
        EXPECT_STREQ(e.what(), "HTTP/1.1 400 Bad Request");
    }
    EXPECT_THROW(htmluploadfile(transfers, m_dir + "form.txt", m_dir + "missing.png"), HttpError);
}

}  // namespace
}  // namespace ambrel::transfer
