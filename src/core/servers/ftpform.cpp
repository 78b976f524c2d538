#include "core/servers/ftpform.h"

#include "core/storage/textfile.h"

namespace ambrel::servers {

std::string ftpSaveRefusal(const std::string& programFolder, const std::string& name,
                           const FtpDefinition& values, FtpDialogKind kind) {
    if (name.find('.') != std::string::npos) {
        return "No dots please";
    }
    if (kind == FtpDialogKind::Add && storage::fileExists(definitionPath(programFolder, name))) {
        return "This name is already in use";
    }
    const std::pair<const std::string*, const char*> required[] = {
        {&values.url, "Enter a root for your files"},
        {&values.port, "Enter a port"},
        {&values.host, "Enter a host"},
        {&values.login, "Enter a login"},
        {&values.notfound, "Enter a code"},
        {&name, "Enter a name for the output"},
    };
    for (const auto& [value, message] : required) {
        if (value->empty()) {
            return message;
        }
    }
    return {};
}

}  // namespace ambrel::servers
