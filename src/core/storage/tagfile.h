#pragma once

#include <string>

namespace ambrel::storage {

// The value of the key's first element "<key>value</key>" in the text; empty when the key,
// or its closing tag, is missing or the closing tag comes first.
std::string getfromstrxml(const std::string& text, const std::string& key);

// Stores the value under the key in the tag file and rewrites it atomically: a new key is
// appended at the very end, an existing element (every copy of it) is replaced in place.
// An opening tag without a closing tag after it is replaced by the element, keeping the text
// that follows it. Creates the file when missing. The read and the rewrite hold the file's
// lock (FileLock). Always returns true; throws IoError when it cannot write.
bool updatexmlconfigfilefromxmlentry(const std::string& path, const std::string& key,
                                     const std::string& value);

// The same change made to a text in memory: text is the file as LoadFile reads it ("" for a
// missing one), the result what the update writes.
std::string withxmlentry(std::string text, const std::string& key, const std::string& value);

}  // namespace ambrel::storage
