#include "core/servers/definition.h"

#include "core/storage/tagfile.h"
#include "core/storage/textfile.h"

namespace ambrel::servers {

namespace {

std::string element(const std::string& key, const std::string& value) {
    return "<" + key + ">" + value + "</" + key + ">\r\n";
}

}  // namespace

std::string definitionPath(const std::string& programFolder, const std::string& name) {
    return programFolder + "upfiles/" + name + ".txt";
}

std::string ServerDefinition::field(const std::string& key) const {
    return storage::getfromstrxml(text, key);
}

bool ServerDefinition::isFtp() const {
    return text.find("<ftp>") != std::string::npos;
}

bool ServerDefinition::isHtml() const {
    return text.find("<html>") != std::string::npos;
}

ServerDefinition loadDefinition(const std::string& programFolder, const std::string& name) {
    return ServerDefinition{storage::LoadFile(definitionPath(programFolder, name))};
}

std::string ftpDefinitionText(const FtpDefinition& d) {
    return element("url", d.url) + "<ftp>\r\n" + element("passive", d.passive ? "y" : "n") +
           element("port", d.port) + element("host", d.host) + element("login", d.login) +
           element("pass", d.pass) + element("dir", d.dir) + element("notfound", d.notfound) +
           element("startdirr", d.startdirr);
}

void writeDefinition(const std::string& programFolder, const std::string& name,
                     const std::string& text) {
    storage::writePrivateFileAtomically(definitionPath(programFolder, name), text);
}

}  // namespace ambrel::servers
