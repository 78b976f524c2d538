#pragma once

#include <string>

namespace ambrel::servers {

// A server definition is the tag file "upfiles/" + name + ".txt" of the data folder. Every
// user reads it afresh at the moment it needs a value; nothing is cached.

// programFolder (with its trailing "/") + "upfiles/" + name + ".txt".
std::string definitionPath(const std::string& programFolder, const std::string& name);

struct ServerDefinition {
    std::string text;  // the whole file text; " " when the file is missing

    // The value of the key's first element anywhere in the text ("" when missing).
    std::string field(const std::string& key) const;
    // The kind markers are plain substring tests: an HTML form with a field named "ftp"
    // holds "<ftp>" and counts as FTP too.
    bool isFtp() const;   // text contains "<ftp>"
    bool isHtml() const;  // text contains "<html>"
};

// Reads the definition's file. A missing file gives " " (every field empty, neither kind).
// Throws storage::IoError when the file exists but cannot be read.
ServerDefinition loadDefinition(const std::string& programFolder, const std::string& name);

// The values of the FTP dialogs.
struct FtpDefinition {
    std::string url, port, host, login, pass, dir, notfound = "404", startdirr;
    bool passive = false;
};

// The ten lines of an FTP definition, each ending with CR LF: url, the "<ftp>" marker,
// passive ("y"/"n"), port, host, login, pass, dir, notfound, startdirr. Values are written
// as they are; empty ones give the opening tag directly followed by the closing tag.
std::string ftpDefinitionText(const FtpDefinition& definition);

// Writes the definition's file whole, replacing it atomically (a failed write leaves the old
// file intact). The file holds a password, so it ends up readable by the user only, an
// existing file included. Throws storage::IoError.
void writeDefinition(const std::string& programFolder, const std::string& name,
                     const std::string& text);

}  // namespace ambrel::servers
