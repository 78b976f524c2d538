#include "core/transfer/upload.h"

#include <stdexcept>

#include "core/platform/ui.h"
#include "core/servers/definition.h"
#include "core/storage/names.h"
#include "core/storage/textfile.h"
#include "core/transfer/textrules.h"
#include "core/transfer/transfers.h"

namespace ambrel::transfer {

namespace {
servers::ServerDefinition read(const std::string& definition) {
    return servers::ServerDefinition{storage::LoadFile(definition)};
}
}  // namespace

long portNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    long value = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= 65535; ++i) {
        value = value * 10 + (text[i] - '0');
        any = true;
    }
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (!any || i != text.size() || value > 65535) {
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    }
    return value;
}

void ftpconnect(Transfers& transfers, const std::string& definition) {
    FtpSettings settings;
    settings.passive = read(definition).field("passive") == "y";
    settings.port = portNumber(read(definition).field("port"));
    settings.host = read(definition).field("host");
    settings.user = read(definition).field("login");
    settings.password = transfers.ftpPassword;
    FtpClient& ftp = transfers.ftp();
    ftp.setSettings(settings);
    transfers.ui().processEvents(0);
    ftp.connect();
    const std::string start = read(definition).field("startdirr");
    if (!start.empty()) {
        ftp.cwd(start);
    }
    transfers.ui().processEvents(0);
}

bool FTPDirectoryExists(Transfers& transfers, const std::string& folder) {
    FtpClient& ftp = transfers.ftp();
    try {
        ftp.connect();
    } catch (const FtpError&) {
        return false;
    }
    const std::string here = ftp.pwd();
    const bool exists = ftp.command("CWD " + folder).code / 100 == 2;
    ftp.cwd(here);
    return exists;
}

void ftpdisconnect(Transfers& transfers) {
    transfers.ftp().disconnect();
}

std::string ftpprepare(Transfers& transfers, const std::string& definition) {
    platform::Ui& ui = transfers.ui();
    transfers.ftpPassword = read(definition).field("pass");
    if (transfers.ftpPassword.empty()) {
        transfers.ftpPassword =
            ui.prompt("Enter a password", "Leave blank for anonymous", "").value_or("");
    }
    std::string directory = read(definition).field("dir");
    if (directory.empty()) {
        directory = ui.prompt("Enter a directory", "Leave blank for none", "").value_or("");
    }
    ftpconnect(transfers, definition);
    if (!directory.empty()) {
        if (!FTPDirectoryExists(transfers, directory)) {
            transfers.ftp().mkd(directory);
            ui.processEvents(0);
        }
        transfers.ftp().cwd(directory);
    }
    return directory;
}

std::string ftpuploadfile(Transfers& transfers, const std::string& definition,
                          const std::string& localFile, const std::string& sourcePath,
                          const std::string& uploadDirectory) {
    FtpClient& ftp = transfers.ftp();
    const std::string source = storage::exturlnamewe(sourcePath);
    std::string name = source;
    for (std::uint64_t j = 1;; ++j) {
        const auto size = ftp.size(name);
        if (!size || *size < 1) {
            break;
        }
        name = numberedName(source, j);
    }
    ftp.stor(localFile, name);
    transfers.ui().processEvents(0);
    const std::string root = read(definition).field("url");
    const std::string link =
        uploadDirectory.empty() ? root + "/" + name : root + "/" + uploadDirectory + "/" + name;
    transfers.ui().processEvents(0);
    return link;
}

std::string upfile(Transfers& transfers, const std::string& localFile,
                   const std::string& fieldsText, const std::string& postUrl) {
    std::vector<FormPart> parts;
    // The file part says no more than a browser would: the file's own name, not the folders
    // it sits in, and the type of the picture it holds.
    const std::string fileName = localFile.substr(localFile.rfind('/') + 1);
    for (const PostField& field : readPostFields(fieldsText)) {
        FormPart part;
        if (isPictureField(field)) {
            part.name = field.value;
            part.isFile = true;
            part.filePath = localFile;
            part.fileName = fileName;
            part.contentType = pictureContentType(fileName);
        } else {
            part.name = field.name;
            part.value = field.value;
        }
        parts.push_back(std::move(part));
    }
    transfers.downloadMode = true;
    return transfers.mainClient().postMultipart(postUrl, parts);
}

std::string htmluploadfile(Transfers& transfers, const std::string& definition,
                           const std::string& localFile) {
    const std::string page = upfile(transfers, localFile, read(definition).field("topost"),
                                    read(definition).field("url"));
    transfers.ui().processEvents(0);
    const servers::ServerDefinition def = read(definition);
    std::string link =
        parsepostresult(page, def.field("beginpost"), def.field("burl"), def.field("endpost"));
    return removeAll(std::move(link), def.field("cuturl"));
}

}  // namespace ambrel::transfer
