#pragma once

#include <string>

namespace ambrel::transfer {

// One upload target, read from its file "upfiles/" + name + ".txt". A missing file reads as
// empty fields of neither kind.
struct ServerDefinition {
    std::string text;  // the whole file as the tag reader sees it

    // program folder (with its trailing "/") + "upfiles/" + name + ".txt"
    static std::string pathOf(const std::string& programFolder, const std::string& name);
    static ServerDefinition load(const std::string& path);
    static ServerDefinition loadNamed(const std::string& programFolder, const std::string& name) {
        return load(pathOf(programFolder, name));
    }

    std::string field(const std::string& key) const;
    bool isFtp() const { return text.find("<ftp>") != std::string::npos; }
    bool isHtml() const { return text.find("<html>") != std::string::npos; }

    std::string url() const { return field("url"); }
    bool passive() const { return field("passive") == "y"; }
    std::string port() const { return field("port"); }
    std::string host() const { return field("host"); }
    std::string login() const { return field("login"); }
    std::string pass() const { return field("pass"); }
    std::string dir() const { return field("dir"); }
    std::string notfound() const { return field("notfound"); }
    std::string startdirr() const { return field("startdirr"); }
    std::string burl() const { return field("burl"); }
    std::string cuturl() const { return field("cuturl"); }
    std::string topost() const { return field("topost"); }
    std::string beginpost() const { return field("beginpost"); }
    std::string endpost() const { return field("endpost"); }
};

// The port of a definition as a number. Throws std::invalid_argument naming the text when
// it is not a whole number from 0 to 65535.
long portNumber(const std::string& text);

}  // namespace ambrel::transfer
