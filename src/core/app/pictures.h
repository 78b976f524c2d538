#pragma once

#include <string>

#include "core/app/pictureconversion.h"
#include "core/imaging/conversions.h"
#include "core/imaging/framechooser.h"
#include "core/platform/wallpaper.h"

namespace ambrel::app {

// The "Resize to jpg" window's fields, kept for the run.
struct ResizeToJpgForm {
    imaging::ResizeMode mode = imaging::ResizeMode::FixedWidth;
    std::string value = "100";
    bool addThumbnails = true;
    bool deleteTemporary = true;
    bool overwriteOriginal = false;
};

// What the picture commands keep between uses: the two windows' state, the download
// service for web entries and the desktop's wallpaper.
struct PictureTools {
    imaging::FrameChooser frameChooser;
    ResizeToJpgForm resize;
    FetchFile fetch;
    platform::Wallpaper* wallpaper = nullptr;
};

// "To Jpeg" and "To bmp": every selected entry in list order into the conversion folder
// (web entries downloaded there first), each result added to the list. An entry of another
// extension ends the command at once, silently.
void fxtojpeg(Tmyambrel& app, PictureTools& tools);
void fxtobmp(Tmyambrel& app, PictureTools& tools);

// "Ok" of the resize window: a thumbnail of every selected entry, last to first, named
// conversion folder + "/" + extfilename + thumbnail extension + ".jpg".
void resizeToJpgOk(Tmyambrel& app, PictureTools& tools);
// The three modes of the table: value is the whole number of the "Value" field. A source of
// another extension is left alone; a non-JPEG source is made a JPEG (quality 90) in
// temp/tempjpg.jpg first.
void resizetojpg(Tmyambrel& app, PictureTools& tools, const std::string& source,
                 const std::string& destination, int value);
void resizetojpg1(Tmyambrel& app, PictureTools& tools, const std::string& source,
                  const std::string& destination, int value);
void resizetojpg2(Tmyambrel& app, PictureTools& tools, const std::string& source,
                  const std::string& destination, int value);
// The "Value" text as a whole number; throws std::invalid_argument with
// "'text' is not a valid integer value" otherwise.
int wholeNumber(const std::string& text);

// "Set as wallpaper" on the entry at focusedRow (the list's keyboard focus), -1 for none.
void fxsetaswallpaper(Tmyambrel& app, PictureTools& tools, int focusedRow);

}  // namespace ambrel::app
