#include "core/storage/listfile.h"

#include <algorithm>

#include "core/storage/filelock.h"
#include "core/storage/names.h"
#include "core/storage/textfile.h"

namespace ambrel::storage {

std::vector<Entry> readListFile(const std::string& path) {
    const std::string bytes = readBytes(path);
    std::vector<Entry> entries;
    // One reserve spares the vector's regrowth on long lists; files written here end their
    // lines with LF (CR LF), old Mac-style ones with CR alone.
    std::size_t lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    if (lines == 0) {
        lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r'));
    }
    entries.reserve(lines + 1);
    forEachLine(bytes, [&entries](std::string_view line) {
        const std::size_t bar = line.find("||");
        if (bar == std::string_view::npos) {
            entries.push_back({{}, std::string(line.substr(line.empty() ? 0 : 1))});
        } else {
            entries.push_back(
                {std::string(line.substr(0, bar)), std::string(line.substr(bar + 2))});
        }
    });
    return entries;
}

void writeListFile(const std::string& path, const std::vector<Entry>& entries) {
    std::size_t size = 0;
    for (const Entry& e : entries) {
        size += e.name.size() + e.path.size() + 4;
    }
    std::string content;
    content.reserve(size);
    for (const Entry& e : entries) {
        content += e.name;
        content += "||";
        content += e.path;
        content += "\r\n";
    }
    // Under the lock, so an add by another process lands before or after, never in between.
    const FileLock lock(path);
    writeFileAtomically(path, content);
}

std::string listLineFor(const std::string& link) {
    return (is_local_path(link) ? extfilename(link) : exturlname(link)) + "||" + link;
}

void appendtothisfile(const std::string& link, const std::string& file) {
    appendtothisfile(std::vector<std::string>{link}, file);
}

void appendtothisfile(const std::vector<std::string>& links, const std::string& file) {
    if (links.empty()) {
        return;
    }
    // Such a link would come back from the file as two entries, the second one of the
    // sender's making.
    for (const std::string& link : links) {
        if (link.find_first_of("\r\n") != std::string::npos) {
            throw IoError("Cannot add a link holding a line break to " + file);
        }
    }
    updateFileAtomically(file, [&links](const std::optional<std::string>& old) {
        std::string content = old.value_or(std::string());
        // A last line without its line break would otherwise swallow the new line.
        if (!content.empty() && content.back() != '\n' && content.back() != '\r') {
            content += "\r\n";
        }
        for (const std::string& link : links) {
            content += listLineFor(link);
            content += "\r\n";
        }
        return content;
    });
}

bool truc222(const std::string& line, const std::string& file) {
    if (!fileExists(file)) {
        return true;
    }
    bool found = false;
    forEachLine(readBytes(file), [&](std::string_view stored) {
        if (!found && stored == line) {
            found = true;
        }
    });
    return !found;
}

}  // namespace ambrel::storage
