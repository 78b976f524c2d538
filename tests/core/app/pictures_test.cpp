#include "core/app/pictures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/imaging/bmpcodec.h"
#include "core/imaging/jpegcodec.h"
#include "core/imaging/pngcodec.h"
#include "core/storage/names.h"
#include "imaging/picturefixtures.h"
#include "support/appfixture.h"

namespace ambrel::app {
namespace {

using imaging::Picture;
using imaging::ResizeMode;

class PicturesTest : public test::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        core().fileSettings().convdir = folder + "conv";
        core().fileSettings().downdir = folder + "down";
        core().fileSettings().thumbext = ".tn";
        tools.wallpaper = &wallpaper;
        // The web: addresses served from the fixtures in web/.
        std::filesystem::create_directories(root + "web");
        tools.fetch = [this](const std::string& url, const std::string& file) {
            fetched.push_back(url);
            busyWhileFetching = ui.busyDepth > 0;
            std::filesystem::copy_file(root + "web/" + storage::exturlnamewe(url), file,
                                       std::filesystem::copy_options::overwrite_existing);
        };
        // Closing the frame chooser is the person's part: done at the first wait.
        ui.onProcessEvents = [this] {
            if (ui.isWindowVisible(platform::Window::FrameChooser)) {
                ++chooserShown;
                if (clicksOnChooser)
                    clicksOnChooser(tools.frameChooser);
                ui.hideWindow(platform::Window::FrameChooser);
            }
        };
    }

    std::string picture(const std::string& name, int w = 12, int h = 8) {
        const std::string path = root + name;
        writePicture(path, w, h);
        return path;
    }
    void writePicture(const std::string& path, int w, int h) {
        const Picture p = test::gradientPicture(w, h);
        const std::string ext = pictureExtension(path);
        std::vector<std::uint8_t> bytes;
        if (ext == ".bmp")
            bytes = imaging::encodeBmp(p);
        if (ext == ".jpg" || ext == ".jpeg")
            bytes = imaging::encodeJpeg(p);
        if (ext == ".png")
            bytes = test::makePng(p);
        if (ext == ".gif")
            bytes = threeFrameGif(w, h);
        if (ext == ".doc")
            bytes = {'d', 'o', 'c'};
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
    // Frames 0, 1, 2 fill the canvas red, green, blue.
    static std::vector<std::uint8_t> threeFrameGif(int w, int h) {
        const std::vector<std::uint8_t> all(static_cast<std::size_t>(w * h), 1);
        auto frame = [&](std::uint8_t colour) {
            return test::GifFrameSpec{0, 0, w, h, std::vector<std::uint8_t>(all.size(), colour)};
        };
        return test::makeGif(w, h, {frame(1), frame(2), frame(3)});
    }
    void select(const std::vector<std::string>& paths) {
        std::vector<storage::Entry> entries;
        std::vector<int> rows;
        for (const std::string& p : paths) {
            rows.push_back(static_cast<int>(entries.size()));
            entries.push_back({storage::extfilename(p), p});
        }
        core().pictures().assign(entries);
        core().pictures().setSelection(rows);
    }
    std::vector<std::string> listedPaths() {
        std::vector<std::string> out;
        for (const auto& e : core().pictures().entries())
            out.push_back(e.path);
        return out;
    }
    static std::vector<std::string> filesIn(const std::string& dir) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    PictureTools tools;
    platform::FakeWallpaper wallpaper;
    std::vector<std::string> fetched;
    bool busyWhileFetching = false;
    int chooserShown = 0;
    std::function<void(imaging::FrameChooser&)> clicksOnChooser;
};

TEST(ResizeArithmetic, ModesFollowTheTable) {
    struct Case {
        ResizeMode mode;
        int value, w, h;
        imaging::PictureSize expected;
    };
    const Case cases[] = {
        {ResizeMode::Ratio, 50, 801, 601, {400, 300}},
        {ResizeMode::FixedWidth, 100, 1000, 750, {100, 75}},
        {ResizeMode::FixedHeight, 100, 1000, 750, {133, 100}},
        {ResizeMode::Ratio, 200, 3, 1, {6, 2}},
        {ResizeMode::FixedWidth, 1, 1000, 750, {1, 0}},
        {ResizeMode::Ratio, -50, 10, 10, {-5, -5}},  // truncated toward 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(imaging::resizedSize(c.mode, c.value, c.w, c.h), c.expected);
    }
}

TEST(ResizeArithmetic, ValueIsAWholeNumber) {
    EXPECT_EQ(wholeNumber("100"), 100);
    EXPECT_EQ(wholeNumber(" -7 "), -7);
    for (const char* bad : {"", "abc", "1.5", "12px", "99999999999", "--1"}) {
        SCOPED_TRACE(bad);
        try {
            wholeNumber(bad);
            FAIL();
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST_F(PicturesTest, EveryFormatPairConvertsBothWays) {
    struct Case {
        const char* source;
        const char* destination;
        bool toJpeg;
        int tolerance;
    };
    const Case cases[] = {
        // JPEG halves the colour resolution: a steep gradient differs by up to about 25.
        {"a.bmp", "a.jpg", true, 32},  {"b.png", "b.jpg", true, 32},   {"c.gif", "c.jpg", true, 12},
        {"d.jpg", "d.bmp", false, 32}, {"e.jpeg", "e.bmp", false, 32}, {"f.png", "f.bmp", false, 0},
        {"g.gif", "g.bmp", false, 0},  {"H.PNG", "h.bmp", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string src = picture(c.source);
        const std::string dst = root + c.destination;
        if (c.toJpeg) {
            gotojpg(core(), tools.frameChooser, dst, src);
        } else {
            gotobmp(core(), tools.frameChooser, dst, src);
        }
        const Picture out = c.toJpeg ? imaging::readJpegFile(dst) : imaging::readBmpFile(dst);
        ASSERT_EQ(out.width(), 12);
        ASSERT_EQ(out.height(), 8);
        if (pictureExtension(c.source) != ".gif") {
            const Picture in = test::gradientPicture(12, 8);
            EXPECT_LE(test::largestDifference(out, in), c.tolerance);
        } else {
            EXPECT_NEAR(out.row(3)[5 * 3 + 2], 255, c.tolerance);  // frame 0 is red
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PicturesTest, PngToJpegLeavesNoIntermediateFile) {
    const std::string src = picture("shot.png");
    std::filesystem::create_directories(root + "cwd");
    std::filesystem::create_directories(root + "out");
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(root + "cwd");
    gotojpg(core(), tools.frameChooser, root + "out/shot.jpg", src);
    std::filesystem::current_path(before);
    EXPECT_TRUE(filesIn(root + "cwd").empty());
    EXPECT_EQ(filesIn(root + "out"), std::vector<std::string>{"shot.jpg"});
}

TEST_F(PicturesTest, RefusedConversionsSayWhyAndWriteNothing) {
    struct Case {
        const char* source;
        bool toJpeg;
        const char* message;
    };
    const Case cases[] = {
        {"http://h/a.bmp", true, "Available for local files only"},
        {"relative/a.png", false, "Available for local files only"},
        {"@jpg", true, "Conversion not available for this format"},
        {"@bmp", false, "Conversion not available for this format"},
        {"@doc", true, "Conversion not available for this format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        ui.messages.clear();
        std::string src = c.source;
        if (src[0] == '@')
            src = picture("x." + src.substr(1));
        const std::string dst = root + "refused.out";
        if (c.toJpeg) {
            gotojpg(core(), tools.frameChooser, dst, src);
        } else {
            gotobmp(core(), tools.frameChooser, dst, src);
        }
        ASSERT_EQ(ui.messages.size(), 1U);
        EXPECT_EQ(ui.messages[0].text, c.message);
        EXPECT_FALSE(std::filesystem::exists(dst));
    }
}

TEST_F(PicturesTest, ToJpegStopsSilentlyAtTheFirstOtherExtension) {
    select({picture("PHOTO.BMP"), picture("notes.doc"), picture("later.png")});
    fxtojpeg(core(), tools);
    EXPECT_EQ(filesIn(folder + "conv"), std::vector<std::string>{"PHOTO.jpg"});
    EXPECT_TRUE(ui.messages.empty());
    // Converting again finds the name taken.
    select({root + "PHOTO.BMP"});
    fxtojpeg(core(), tools);
    EXPECT_EQ(filesIn(folder + "conv"), (std::vector<std::string>{"PHOTO.jpg", "PHOTO_1.jpg"}));
    EXPECT_EQ(listedPaths().back(), folder + "conv/PHOTO_1.jpg");
}

TEST_F(PicturesTest, ToBmpDownloadsWebEntriesAndConvertsInListOrder) {
    writePicture(root + "web/a.b.jpg", 6, 4);
    writePicture(folder + "conv/a.b.jpg", 2, 2);  // a download of that name is already there
    select({"http://host/pics/a.b.jpg", "ftp://elsewhere/x.jpg", picture("local.png")});
    fxtobmp(core(), tools);
    EXPECT_EQ(fetched, std::vector<std::string>{"http://host/pics/a.b.jpg"});
    EXPECT_TRUE(busyWhileFetching);
    EXPECT_EQ(ui.busyDepth, 0);
    // The download went to a free name and is gone again; the outputs were added in order.
    EXPECT_EQ(filesIn(folder + "conv"),
              (std::vector<std::string>{"a.b.jpg", "a.bmp", "local.bmp"}));
    const auto paths = listedPaths();
    ASSERT_GE(paths.size(), 2U);
    EXPECT_EQ(paths[paths.size() - 2], folder + "conv/a.bmp");
    EXPECT_EQ(paths.back(), folder + "conv/local.bmp");
    EXPECT_EQ(imaging::readBmpFile(folder + "conv/a.bmp").width(), 6);
}

TEST_F(PicturesTest, FreeLocalNamesNumberEveryDot) {
    std::filesystem::create_directories(root + "d");
    writePicture(root + "d/pic.jpg", 1, 1);
    writePicture(root + "d/a.b.jpg", 1, 1);
    writePicture(root + "d/a_1.b_1.jpg", 1, 1);
    writePicture(root + "d/pic", 1, 1);
    EXPECT_EQ(freeLocalName(root + "d", "http://h/pic.jpg"), "pic_1.jpg");
    EXPECT_EQ(freeLocalName(root + "d", "http://h/a.b.jpg"), "a_2.b_2.jpg");
    EXPECT_EQ(freeLocalName(root + "d", "http://h/pic"), "pic_1.");
    EXPECT_EQ(freeLocalName(root + "d", "http://h/new.gif"), "new.gif");
}

TEST_F(PicturesTest, ThumbnailsAreNamedAfterTheFirstDotAndOverwritten) {
    const std::string src = picture("holiday.2005.jpg", 40, 30);
    writePicture(folder + "conv/holiday.tn.jpg", 3, 3);
    select({src});
    tools.resize.mode = ResizeMode::Ratio;
    tools.resize.value = "50";
    resizeToJpgOk(core(), tools);
    const Picture thumb = imaging::readJpegFile(folder + "conv/holiday.tn.jpg");
    EXPECT_EQ(thumb.width(), 20);
    EXPECT_EQ(thumb.height(), 15);
    EXPECT_EQ(listedPaths().back(), folder + "conv/holiday.tn.jpg");
}

TEST_F(PicturesTest, ResizeMakesOtherFormatsJpegFirstAndCleansUp) {
    select({picture("one.png", 30, 20), picture("two.bmp", 30, 20), picture("skip.doc")});
    tools.resize.mode = ResizeMode::FixedHeight;
    tools.resize.value = "10";
    resizeToJpgOk(core(), tools);
    EXPECT_EQ(imaging::readJpegFile(folder + "conv/one.tn.jpg").width(), 15);
    EXPECT_EQ(imaging::readJpegFile(folder + "conv/two.tn.jpg").width(), 15);
    EXPECT_FALSE(std::filesystem::exists(folder + "temp/tempjpg.jpg"));
    // The skipped entry's name is added all the same, without a file.
    EXPECT_FALSE(std::filesystem::exists(folder + "conv/skip.tn.jpg"));
    const auto paths = listedPaths();
    EXPECT_EQ(paths.back(), folder + "conv/one.tn.jpg");  // last entry first
    EXPECT_NE(std::find(paths.begin(), paths.end(), folder + "conv/skip.tn.jpg"), paths.end());
}

TEST_F(PicturesTest, ResizeDownloadsToTheDownloadFolderAndDeletesWhenAsked) {
    writePicture(root + "web/big.jpg", 20, 10);
    writePicture(folder + "down/big.jpg", 2, 2);
    select({"http://h/big.jpg"});
    tools.resize.addThumbnails = false;
    resizeToJpgOk(core(), tools);
    EXPECT_EQ(filesIn(folder + "down"), std::vector<std::string>{"big.jpg"});  // big_1.jpg deleted
    EXPECT_EQ(imaging::readJpegFile(folder + "conv/big_1.tn.jpg").width(), 100);
    EXPECT_EQ(listedPaths(), std::vector<std::string>{"http://h/big.jpg"});

    tools.resize.overwriteOriginal = true;
    tools.resize.deleteTemporary = false;
    resizeToJpgOk(core(), tools);
    EXPECT_EQ(imaging::readJpegFile(folder + "down/big.jpg").width(), 20);  // overwritten, kept
}

TEST_F(PicturesTest, ResizeFailuresStopAndWriteNothing) {
    struct Case {
        ResizeMode mode;
        const char* value;
    };
    const Case cases[] = {{ResizeMode::Ratio, "0"},
                          {ResizeMode::FixedWidth, "1"},
                          {ResizeMode::FixedWidth, "x"},
                          {ResizeMode::Ratio, "-10"},
                          {ResizeMode::FixedHeight, "1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        select({picture("p.jpg", 20, 10)});
        tools.resize.mode = c.mode;
        tools.resize.value = c.value;
        const std::size_t before = listedPaths().size();
        EXPECT_FALSE(core().runCommand([&] { resizeToJpgOk(core(), tools); }));
        EXPECT_FALSE(std::filesystem::exists(folder + "conv/p.tn.jpg"));
        EXPECT_EQ(listedPaths().size(), before);
    }
}

TEST_F(PicturesTest, FrameChooserWrapsAndKeepsItsNumber) {
    imaging::FrameChooser& chooser = tools.frameChooser;
    chooser.setHighest(2);
    chooser.up();
    chooser.up();
    EXPECT_EQ(chooser.number(), 2);
    chooser.up();
    EXPECT_EQ(chooser.number(), 0);
    chooser.down();
    EXPECT_EQ(chooser.number(), 2);

    // The GIF conversion shows the chooser with the GIF's highest frame, keeps the number,
    // and writes the frame chosen when it closes.
    const std::string gif = picture("anim.gif");
    clicksOnChooser = [](imaging::FrameChooser& c) {
        EXPECT_EQ(c.highest(), 2);
        c.down();  // from the kept 2 to 1
    };
    ConvertGifToBmp(core(), chooser, gif, root + "frame.bmp");
    EXPECT_EQ(chooserShown, 1);
    EXPECT_EQ(chooser.number(), 1);
    const Picture green = imaging::readBmpFile(root + "frame.bmp");
    EXPECT_EQ(green.row(0)[1], 255);
    EXPECT_EQ(green.row(0)[2], 0);

    // A single frame: "Max:" 0, and the kept number above it is not used.
    chooser.setNumber(2);
    const std::string one = root + "one.gif";
    const std::vector<std::uint8_t> bytes =
        test::makeGif(2, 2, {test::GifFrameSpec{0, 0, 2, 2, {3, 3, 3, 3}}});
    std::ofstream(one, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    clicksOnChooser = [](imaging::FrameChooser& c) {
        EXPECT_EQ(c.highest(), 0);
        EXPECT_EQ(c.number(), 0);
    };
    ConvertGifToJpeg(core(), chooser, one, root + "one.jpg");
    EXPECT_EQ(chooserShown, 2);
    EXPECT_GT(imaging::readJpegFile(root + "one.jpg").row(0)[0], 200);  // blue
}

TEST_F(PicturesTest, WallpaperIsABitmapInTheWallFolder) {
    const std::string png = picture("sea.png");
    select({png});
    fxsetaswallpaper(core(), tools, 0);
    fxsetaswallpaper(core(), tools, 0);
    const std::string wall = folder + "wall/sea.bmp";
    EXPECT_EQ(wallpaper.pictures, (std::vector<std::string>{wall, wall}));
    const auto paths = listedPaths();
    EXPECT_EQ(std::count(paths.begin(), paths.end(), wall), 2);
    EXPECT_EQ(filesIn(folder + "wall"), std::vector<std::string>{"sea.bmp"});

    // A local bitmap is used as it is and not added; nothing focused or an unknown
    // extension changes nothing.
    const std::string bmp = picture("own.bmp");
    select({bmp, picture("x.doc")});
    const std::size_t listed = listedPaths().size();
    fxsetaswallpaper(core(), tools, 0);
    fxsetaswallpaper(core(), tools, 1);
    fxsetaswallpaper(core(), tools, -1);
    EXPECT_EQ(wallpaper.pictures.back(), bmp);
    EXPECT_EQ(wallpaper.pictures.size(), 3U);
    EXPECT_EQ(listedPaths().size(), listed);
}

TEST_F(PicturesTest, WallpaperFromTheWebKeepsTheDownload) {
    writePicture(root + "web/sky.jpg", 5, 5);
    select({"http://h/sky.jpg"});
    fxsetaswallpaper(core(), tools, 0);
    EXPECT_EQ(filesIn(folder + "wall"), (std::vector<std::string>{"sky.bmp", "sky.jpg"}));
    EXPECT_EQ(wallpaper.pictures, std::vector<std::string>{folder + "wall/sky.bmp"});
    EXPECT_EQ(listedPaths().back(), folder + "wall/sky.bmp");
}

// The desktop's own tool, found on PATH and started without a shell: fake tools that write
// their arguments, one per line, to a log.
class DesktopWallpaperTest : public test::TempFolderTest {
protected:
    void tool(const std::string& name, const std::string& output = "") {
        const std::string path = m_dir + "bin/" + name;
        std::filesystem::create_directories(m_dir + "bin");
        std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> " << m_dir
                            << "log; done\necho -- >> " << m_dir << "log\nprintf '" << output
                            << "'\n";
        ::chmod(path.c_str(), 0755);
    }
    std::string log() {
        std::ifstream in(m_dir + "log");
        return {std::istreambuf_iterator<char>(in), {}};
    }
    platform::DesktopWallpaper desktop(const std::string& name) {
        return platform::DesktopWallpaper({{"PATH", m_dir + "bin"}, {"XDG_CURRENT_DESKTOP", name}});
    }
};

TEST_F(DesktopWallpaperTest, EachDesktopGetsItsOwnTool) {
    tool("gsettings");
    tool("plasma-apply-wallpaperimage");
    tool("xfconf-query",
         "/backdrop/screen0/monitor0/workspace0/last-image\\n"
         "/backdrop/screen0/monitor0/workspace0/color-style\\n"
         "/backdrop/screen0/monitorHDMI/workspace0/last-image\\n");
    tool("feh");
    const std::string pic = "/w/my $(pic).bmp";
    struct Case {
        const char* desktop;
        std::string expected;
    };
    const Case cases[] = {
        {"ubuntu:GNOME",
         "set\norg.gnome.desktop.background\npicture-uri\nfile:///w/my%20%24%28pic%29.bmp\n--\n"
         "set\norg.gnome.desktop.background\npicture-uri-dark\nfile:///w/"
         "my%20%24%28pic%29.bmp\n--\n"},
        {"X-Cinnamon",
         "set\norg.cinnamon.desktop.background\npicture-uri\nfile:///w/"
         "my%20%24%28pic%29.bmp\n--\n"},
        {"MATE", "set\norg.mate.background\npicture-filename\n" + pic + "\n--\n"},
        {"KDE", pic + "\n--\n"},
        {"XFCE",
         "-c\nxfce4-desktop\n-l\n--\n-c\nxfce4-desktop\n-p\n/backdrop/screen0/monitor0/workspace0/"
         "last-image\n-s\n" +
             pic +
             "\n--\n-c\nxfce4-desktop\n-p\n/backdrop/screen0/monitorHDMI/"
             "workspace0/last-image\n-s\n" +
             pic + "\n--\n"},
        {"", "--bg-scale\n" + pic + "\n--\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktop);
        std::filesystem::remove(m_dir + "log");
        desktop(c.desktop).set(pic);
        EXPECT_EQ(log(), c.expected);
    }
}

TEST_F(DesktopWallpaperTest, SaysPlainlyWhenNoToolIsThere) {
    try {
        desktop("GNOME").set("/w/a.bmp");
        FAIL();
    } catch (const platform::WallpaperError& e) {
        EXPECT_NE(std::string(e.what()).find("No way to set the wallpaper"), std::string::npos);
    }
    tool("gsettings");
    std::ofstream(m_dir + "bin/gsettings") << "#!/bin/sh\nexit 1\n";
    EXPECT_THROW(desktop("GNOME").set("/w/a.bmp"), platform::WallpaperError);
}

}  // namespace
}  // namespace ambrel::app
