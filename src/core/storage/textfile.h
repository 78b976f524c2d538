#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace ambrel::storage {

// An input/output failure that ends the command; its text is shown to the user as it is.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True for an existing file that is not a folder.
bool fileExists(const std::string& path);

// The whole content of a text file read as lines (a line ends at CR, LF or CR LF), each
// followed by CR LF, the last one included; "" for an empty file, " " for a missing one.
std::string LoadFile(const std::string& path);

// Raw bytes of a file. Throws IoError when it cannot be read.
std::string readBytes(const std::string& path);

// Replaces the file's content by writing a temporary file beside it and renaming it over
// the old one, so a failed write never leaves the file truncated. Throws IoError.
void writeFileAtomically(const std::string& path, const std::string& content);
// The same for files holding secrets: the result is readable and writable by the user only.
void writePrivateFileAtomically(const std::string& path, const std::string& content);

// Splits a text at CR, LF or CR LF. A final line break does not make an extra empty line.
void forEachLine(const std::string& text, const auto& visit) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* line = begin;
    while (line < end) {
        const char* stop = line;
        while (stop < end && *stop != '\n' && *stop != '\r') {
            ++stop;
        }
        visit(std::string_view(line, static_cast<std::size_t>(stop - line)));
        if (stop == end) {
            return;
        }
        line = stop + ((*stop == '\r' && stop + 1 < end && stop[1] == '\n') ? 2 : 1);
    }
}

}  // namespace ambrel::storage
