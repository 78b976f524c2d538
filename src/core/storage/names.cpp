#include "core/storage/names.h"

#include <filesystem>
#include <system_error>

#include "core/storage/text.h"

namespace ambrel::storage {

namespace fs = std::filesystem;

namespace {

// The characters that end a folder in a path; see filenamepart.
const char* cutsOf(const std::string& path) {
    return path.starts_with('/') ? "/" : "/\\:";
}

std::string beforeFirstDot(const std::string& name) {
    const std::size_t dot = name.find('.');
    std::string result = dot == std::string::npos ? std::string() : name.substr(0, dot);
    // A list line is split at its first "||": a name holding one would cut its own entry
    // in two on the next load, so the name ends there.
    if (const std::size_t bars = result.find("||"); bars != std::string::npos) {
        result.resize(bars);
    }
    return result;
}

}  // namespace

bool anythingAt(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

bool is_local_path(std::string_view path) {
    return path.starts_with('/') || (path.size() >= 2 && path[1] == ':');
}

bool is_web_address(std::string_view path) {
    return path.starts_with("http://") || path.starts_with("https://");
}

std::string filenamepart(const std::string& path) {
    const std::size_t cut = path.find_last_of(cutsOf(path));
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string folderpart(const std::string& path) {
    const std::size_t cut = path.find_last_of(cutsOf(path));
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string extensionpart(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find_first_of(cutsOf(path), dot) != std::string::npos) {
        return {};
    }
    return path.substr(dot);
}

std::string extfilename(const std::string& path) {
    return beforeFirstDot(filenamepart(path));
}

// "/" is a cut of every kind of path, so a URL's last segment is its file name part.
std::string exturlname(const std::string& url) {
    return beforeFirstDot(filenamepart(url));
}

std::string exturlnamewe(const std::string& url) {
    return filenamepart(url);
}

std::string getnewnameifoldisstillhere(const std::string& path) {
    if (!anythingAt(path)) {
        return path;
    }
    const std::string folder = folderpart(path);
    const std::string name = exturlnamewe(path);
    for (unsigned long long n = 1;; ++n) {
        const std::string mark = "_" + std::to_string(n);
        std::string candidate;
        if (name.find('.') == std::string::npos) {
            // Without a dot no numbered variant would differ from the path itself.
            candidate = name + mark;
        } else {
            candidate.reserve(name.size() + 8);
            for (const char c : name) {
                if (c == '.') {
                    candidate += mark;
                }
                candidate += c;
            }
        }
        candidate.insert(0, folder);
        if (!anythingAt(candidate)) {
            return candidate;
        }
    }
}

bool monextensionyest(const std::string& path, const std::string& list) {
    const std::string probe = lowerAscii(extensionpart(path)) + ';';
    return list.find(probe) != std::string::npos;
}

std::string Get_File_Size2(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    if (ec) {
        return "-1";
    }
    const std::uintmax_t size = fs::file_size(absolute, ec);
    return ec ? std::string("-1") : std::to_string(size);
}

}  // namespace ambrel::storage
