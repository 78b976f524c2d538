#pragma once

#include <string>

#include "core/servers/definition.h"

namespace ambrel::servers {

// Which FTP dialog saves: the add dialog never replaces a definition, the edit dialog may.
enum class FtpDialogKind { Add, Edit };

// The message of the first check that refuses to save, in this order: a dot in the name,
// (add only) a definition file of that name exists, then an empty root URL, port, host,
// login, not-found code and, last, name. "" when the definition may be saved. An empty name
// therefore first meets the existence test as the file ".txt".
std::string ftpSaveRefusal(const std::string& programFolder, const std::string& name,
                           const FtpDefinition& values, FtpDialogKind kind);

}  // namespace ambrel::servers
