#include "core/storage/text.h"

namespace ambrel::storage {

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string withTrailingSlash(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

std::vector<std::string> splitTypedLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t stop = text.find_first_of("\r\n", start);
        const std::size_t end = stop == std::string_view::npos ? text.size() : stop;
        if (end > start) {
            lines.emplace_back(text.substr(start, end - start));
        }
        if (stop == std::string_view::npos) {
            break;
        }
        start =
            stop + (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

}  // namespace ambrel::storage
