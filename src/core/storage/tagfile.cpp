#include "core/storage/tagfile.h"

#include <utility>

#include "core/storage/textfile.h"

namespace ambrel::storage {

std::string getfromstrxml(const std::string& text, const std::string& key) {
    const std::string open = "<" + key + ">";
    const std::string close = "</" + key + ">";
    const std::size_t start = text.find(open);
    const std::size_t end = text.find(close);
    if (start == std::string::npos || end == std::string::npos || end < start + open.size()) {
        return {};
    }
    return text.substr(start + open.size(), end - start - open.size());
}

std::string withxmlentry(std::string text, const std::string& key, const std::string& value) {
    const std::string open = "<" + key + ">";
    const std::string close = "</" + key + ">";
    const std::string element = open + value + close;

    const std::size_t start = text.find(open);
    if (start == std::string::npos) {
        text += element;
    } else if (const std::size_t end = text.find(close, start + open.size());
               end == std::string::npos) {
        // An opening tag left without its closing tag: only the orphan tag is replaced, so
        // the text after it stays and the key reads back as the new value.
        text.replace(start, open.size(), element);
    } else {
        const std::string old = text.substr(start, end + close.size() - start);
        std::string result;
        result.reserve(text.size());
        std::size_t from = 0;
        for (std::size_t at = text.find(old); at != std::string::npos; at = text.find(old, from)) {
            result.append(text, from, at - from);
            result += element;
            from = at + old.size();
        }
        result.append(text, from, std::string::npos);
        text = std::move(result);
    }
    return text;
}

bool updatexmlconfigfilefromxmlentry(const std::string& path, const std::string& key,
                                     const std::string& value) {
    // A missing file counts as an empty one; the rewrite creates it.
    updateFileAtomically(path, [&](const std::optional<std::string>& old) {
        return withxmlentry(old ? crlfLines(*old) : std::string(), key, value);
    });
    return true;
}

}  // namespace ambrel::storage
