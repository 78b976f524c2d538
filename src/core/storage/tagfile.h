#pragma once

#include <string>

namespace ambrel::storage {

// The value of the key's first element "<key>value</key>" in the text; empty when the key,
// or its closing tag, is missing or the closing tag comes first.
std::string getfromstrxml(const std::string& text, const std::string& key);

// Stores the value under the key in the tag file and rewrites it atomically: a new key is
// appended at the very end, an existing element (every copy of it) is replaced in place.
// An opening tag without a closing tag after it is replaced by the element, keeping the text
// that follows it. Creates the file when missing. Always returns true; throws IoError when it
// cannot write.
bool updatexmlconfigfilefromxmlentry(const std::string& path, const std::string& key,
                                     const std::string& value);

}  // namespace ambrel::storage
