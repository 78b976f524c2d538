#include "core/storage/settings.h"

#include <utility>

#include "core/storage/names.h"
#include "core/storage/tagfile.h"
#include "core/storage/text.h"
#include "core/storage/textfile.h"

namespace ambrel::storage {

namespace {

std::string optionsPath(const std::string& programFolder) {
    return withTrailingSlash(programFolder) + kOptionsFile;
}

// A stored folder is taken as it is when it names a local path, else under the program folder.
std::string folderSetting(const std::string& programFolder, const std::string& stored,
                          const char* fallback) {
    const std::string value = stored.empty() ? std::string(fallback) : stored;
    return is_local_path(value) ? value : withTrailingSlash(programFolder) + value;
}

std::string orDefault(std::string value, const char* fallback) {
    return value.empty() ? std::string(fallback) : std::move(value);
}

}  // namespace

OptionsEdit::OptionsEdit(const std::string& programFolder)
    : m_path(optionsPath(programFolder)), m_lock(m_path), m_existed(fileExists(m_path)) {
    if (m_existed) {
        m_text = readBytes(m_path);
    }
}

// Each key is read and set on the text as the file would read back (LoadFile) after the
// previous change, exactly as when every key was a write of its own.
std::string OptionsEdit::stored(const std::string& key) const {
    return getfromstrxml(crlfLines(m_text), key);
}

void OptionsEdit::set(const std::string& key, const std::string& value) {
    m_text = withxmlentry(crlfLines(m_text), key, value);
    m_changed = true;
}

void OptionsEdit::text(const std::string& key, const std::string& value) {
    if (stored(key) != value) {
        set(key, value);
    }
}

void OptionsEdit::flag(const std::string& key, bool on, const char* yes, const char* no) {
    const bool storedOn = stored(key) == yes;
    if (on && !storedOn) {
        set(key, yes);
    } else if (!on && storedOn) {
        set(key, no);
    }
}

void OptionsEdit::commit() {
    if (m_changed || !fileExists(m_path)) {
        writeFileAtomically(m_path, m_text);
    }
    m_existed = true;
    m_changed = false;
}

std::string readOption(const std::string& programFolder, const std::string& key) {
    return getfromstrxml(LoadFile(optionsPath(programFolder)), key);
}

FileSettings loadFileSettings(const std::string& programFolder) {
    FileSettings s;
    const std::string path = optionsPath(programFolder);
    if (!fileExists(path)) {
        s.downdir = withTrailingSlash(programFolder) + "down";
        s.convdir = withTrailingSlash(programFolder) + "conv";
        s.thumbext = ".tn";
        s.excextensions = ".css; .js; .vbs;";
        s.usetheextfeature = true;
        s.webexcextensions = ".avi; .mov; .mp3; .wav; .wmv;";
        s.webusetheextfeature = true;
        s.ifcopyaddlist = true;
        return s;
    }
    const std::string text = LoadFile(path);
    const auto yes = [&text](const std::string& key) { return getfromstrxml(text, key) == "yes"; };
    s.downdir = folderSetting(programFolder, getfromstrxml(text, "downdir"), "down");
    s.convdir = folderSetting(programFolder, getfromstrxml(text, "convdir"), "conv");
    s.thumbext = orDefault(getfromstrxml(text, "thumbext"), ".tn");
    s.excextensions = getfromstrxml(text, "excextensions");
    s.webexcextensions = getfromstrxml(text, "webexcextensions");
    s.ifcopyaddlist = yes("ifcopyaddlist");
    s.usetheextfeature = yes("usetheextfeature");
    s.webusetheextfeature = yes("webusetheextfeature");
    s.renamefile = yes("renamefile");
    s.renameandoverwrite = yes("renameandoverwrite");
    return s;
}

GeneralSettings loadGeneralSettings(const std::string& programFolder,
                                    const ContextKeysPresent& contextKeys) {
    GeneralSettings s;
    const std::string path = optionsPath(programFolder);
    if (!fileExists(path)) {
        s.timebetweenpictures = "3000";
        s.resizetoscreen = true;
        s.iecaddtolist = contextKeys[0];
        s.ieccopytoclip = contextKeys[1];
        s.ieccopyandadd = contextKeys[2];
        if (contextKeys[2]) {
            s.ieccopyandaddbef = "[img]";
            s.ieccopyandaddaft = "[/img]";
        }
        s.defaultwebpage = kMakerStartPage;
        return s;
    }
    const std::string text = LoadFile(path);
    const auto yes = [&text](const std::string& key) { return getfromstrxml(text, key) == "yes"; };
    s.minimizetotray = yes("minimizetotray");
    s.resizetoscreen = yes("resizetoscreen");
    s.timebetweenpictures = orDefault(getfromstrxml(text, "timebetweenpictures"), "3000");
    s.iecaddtolist = yes("iecaddtolist");
    s.ieccopytoclip = yes("ieccopytoclip");
    s.ieccopyandadd = yes("ieccopyandadd");
    s.ieccopyandaddbef = getfromstrxml(text, "ieccopyandaddbef");
    s.ieccopyandaddaft = getfromstrxml(text, "ieccopyandaddaft");
    s.defaultwebpage = getfromstrxml(text, "defaultwebpage");
    for (int i = 0; i < kPopupMenuItems; ++i) {
        s.popupmenuitem[static_cast<std::size_t>(i)] =
            getfromstrxml(text, "popupmenuitem" + std::to_string(i)) == "true";
    }
    return s;
}

void savesettingfilesettingcontext(const std::string& programFolder, const FileSettings& s) {
    OptionsEdit options(programFolder);
    savesettingfilesettingcontext(options, s);
    options.commit();
}

void savegeneralsettingcontext(const std::string& programFolder, const GeneralSettings& s) {
    OptionsEdit options(programFolder);
    savegeneralsettingcontext(options, s);
    options.commit();
}

void savesettingfilesettingcontext(OptionsEdit& w, const FileSettings& s) {
    w.text("downdir", s.downdir);
    w.text("convdir", s.convdir);
    w.text("thumbext", s.thumbext);
    w.text("excextensions", s.excextensions);
    w.flag("ifcopyaddlist", s.ifcopyaddlist);
    w.flag("usetheextfeature", s.usetheextfeature);
    w.text("webexcextensions", s.webexcextensions);
    w.flag("webusetheextfeature", s.webusetheextfeature);
    w.flag("renamefile", s.renamefile);
    w.flag("renameandoverwrite", s.renameandoverwrite);
}

void savegeneralsettingcontext(OptionsEdit& w, const GeneralSettings& s) {
    w.flag("minimizetotray", s.minimizetotray);
    w.flag("resizetoscreen", s.resizetoscreen);
    w.text("timebetweenpictures", s.timebetweenpictures);
    w.flag("iecaddtolist", s.iecaddtolist);
    w.flag("ieccopytoclip", s.ieccopytoclip);
    w.flag("ieccopyandadd", s.ieccopyandadd);
    w.text("ieccopyandaddbef", s.ieccopyandaddbef);
    w.text("ieccopyandaddaft", s.ieccopyandaddaft);
    w.text("defaultwebpage", s.defaultwebpage);
    for (int i = 0; i < kPopupMenuItems; ++i) {
        w.flag("popupmenuitem" + std::to_string(i), s.popupmenuitem[static_cast<std::size_t>(i)],
               "true", "false");
    }
}

}  // namespace ambrel::storage
