#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ambrel::storage {

// Texts are bytes: these helpers touch ASCII only and leave every other byte as it is.

// The text with its ASCII capitals in lower case.
std::string lowerAscii(std::string text);

// The value of a hexadecimal digit in either case, -1 for any other byte.
int hexDigitValue(char c);

// The folder with one "/" at its end; "" stays "" (no folder: the current one).
std::string withTrailingSlash(const std::string& folder);

// The lines of a text the person typed or copied from another program, split at CR LF, LF
// or CR (programs on this platform copy LF-separated text). Lines are not trimmed; empty
// lines are left out, since they name nothing.
std::vector<std::string> splitTypedLines(std::string_view text);

}  // namespace ambrel::storage
