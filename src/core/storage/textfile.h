#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace ambrel::storage {

// An input/output failure that ends the command; its text is shown to the user as it is.
class IoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    IoError(const std::string& what, std::string reason)
        : std::runtime_error(what), m_reason(std::move(reason)) {}
    // The system's word for why ("Read-only file system"); empty when there is none.
    const std::string& reason() const { return m_reason; }

private:
    std::string m_reason;
};

// True for an existing file that is not a folder.
bool fileExists(const std::string& path);

// The whole content of a text file read as lines (a line ends at CR, LF or CR LF), each
// followed by CR LF, the last one included; "" for an empty file, " " for a missing one.
std::string LoadFile(const std::string& path);

// Raw bytes of a file. Throws IoError when it cannot be read.
std::string readBytes(const std::string& path);

// The text as LoadFile gives a file of these bytes: every line ended by CR LF.
std::string crlfLines(const std::string& bytes);

// Writing data files. Every write of a list, the options, a server definition or the
// per-user store goes through one of these:
// - writeFileAtomically / writePrivateFileAtomically replace the whole content: a temporary
//   file beside it is written, synced to the disk and renamed over the old one, and the folder
//   is synced, so neither a failed write nor a power cut leaves the file truncated or empty.
// - updateFileAtomically does a whole read-modify-write under the file's lock (FileLock), so
//   two processes changing one file never lose each other's change.
// All throw IoError ("Cannot write <path>: <reason>") and then leave the old file as it was.
void writeFileAtomically(const std::string& path, const std::string& content);
// For files holding secrets: the result is readable and writable by the user only.
void writePrivateFileAtomically(const std::string& path, const std::string& content);

enum class Access { Shared, Private };
// Reads the file (nullopt when it does not exist), lets change make the new content from the
// old and replaces the file with it, holding the file's lock throughout. change may throw to
// leave the file untouched.
void updateFileAtomically(
    const std::string& path,
    const std::function<std::string(const std::optional<std::string>& old)>& change,
    Access access = Access::Shared);

// The file a write of path replaces: the target when path is a symlink, else path itself.
std::string writeTarget(const std::string& path);

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
