#pragma once

#include <string>
#include <string_view>

namespace ambrel::storage {

// A local file: an absolute POSIX path, or a path whose second character is ":" (lists
// written on Windows still load).
bool is_local_path(std::string_view path);
// A web address: begins with "http://" or "https://", exactly in lower case.
bool is_web_address(std::string_view path);

// The three path cuts. In an absolute POSIX path ("/…") only "/" cuts: ":" and "\" are
// ordinary characters of file names here. Anything else (web addresses, drive paths) is cut
// at the last "/", "\" or ":".
std::string filenamepart(const std::string& path);
std::string folderpart(const std::string& path);
// From the last "." to the end (dot included), empty when a cut follows that dot.
std::string extensionpart(const std::string& path);

// Name rules of entries.
std::string extfilename(const std::string& path);
std::string exturlname(const std::string& url);
std::string exturlnamewe(const std::string& url);

// A path that does not exist yet: the path itself, or pic_1.jpg, pic_2.jpg … beside it (a
// name without a dot gets "_1", "_2" … appended). A folder at a path also makes it taken.
std::string getnewnameifoldisstillhere(const std::string& path);
// Whether anything is at the path: a file, a folder, or a link even when it leads nowhere.
bool anythingAt(const std::string& path);
// Whether the path's lower-cased extension followed by ";" occurs in the list.
bool monextensionyest(const std::string& path, const std::string& list);
// The file's size in bytes as decimal text (all 64 bits), "-1" when there is no such file
// or it is a folder. Relative paths count from the current directory.
std::string Get_File_Size2(const std::string& path);

}  // namespace ambrel::storage
