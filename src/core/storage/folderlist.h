#pragma once

#include <string>
#include <vector>

namespace ambrel::storage {

// The names of the entries of a folder that end with suffix and are longer than it, in one
// stable order: by name without regard to ASCII letter case, then byte by byte. Folder
// listings come in no useful order here, and lists built from a folder (the groups, the
// server definitions with their stored default position) must read the same at every start.
// A missing or unreadable folder gives no names.
std::vector<std::string> sortedFolderFiles(const std::string& folder, const std::string& suffix);

// That order: whether file name a comes before file name b.
bool folderOrderLess(const std::string& a, const std::string& b);

}  // namespace ambrel::storage
