#include "core/web/pattern.h"

namespace ambrel::web {

bool isgoodstringforpattern(const std::string& text, const std::string& pattern) {
    if (pattern.empty()) {
        return true;
    }
    if (pattern.find('*') == std::string::npos) {
        return text.find(pattern) != std::string::npos;
    }
    std::size_t from = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t star = pattern.find('*', start);
        const std::string piece = pattern.substr(start, star - start);
        // A pattern ending in "*" has no piece after its last star.
        if (star == std::string::npos && piece.empty()) {
            return true;
        }
        const std::size_t found = text.find(piece, from);
        if (found == std::string::npos) {
            return false;
        }
        from = found;
        if (star == std::string::npos) {
            return true;
        }
        start = star + 1;
    }
}

}  // namespace ambrel::web
