#pragma once

#include <string>
#include <vector>

namespace ambrel::storage {

struct Entry {
    std::string name;
    std::string path;
    bool operator==(const Entry&) const = default;
};

// The entries of a list file, one per line split at the first "||". A line without "||"
// gives an empty name and the line less its first character as path. Throws IoError when
// the file cannot be opened.
std::vector<Entry> readListFile(const std::string& path);

// Writes every entry as name "||" path CR LF, replacing the file atomically under its lock.
// Throws IoError.
void writeListFile(const std::string& path, const std::vector<Entry>& entries);

// The line a link is stored as: its name (extfilename for a local path, exturlname for
// anything else), "||", the link.
std::string listLineFor(const std::string& link);

// Appends the link's line (listLineFor) with CR LF to the list file, creating the file when
// missing. A last line without its line break gets one first. The file is rewritten
// atomically under its lock, so adds from several processes all land. Throws IoError, also
// for a link holding a line break (it would write a second line).
void appendtothisfile(const std::string& link, const std::string& file);
// The same for many links in one rewrite; nothing is written for none.
void appendtothisfile(const std::vector<std::string>& links, const std::string& file);

// The new-link test: true when no line of the file equals the given line exactly (a
// missing file counts as new). Throws IoError when the file exists but cannot be read.
bool truc222(const std::string& line, const std::string& file);

}  // namespace ambrel::storage
