#include "core/transfer/serverdefinition.h"

#include <stdexcept>

#include "core/storage/tagfile.h"
#include "core/storage/textfile.h"

namespace ambrel::transfer {

std::string ServerDefinition::pathOf(const std::string& programFolder, const std::string& name) {
    return programFolder + "upfiles/" + name + ".txt";
}

ServerDefinition ServerDefinition::load(const std::string& path) {
    return ServerDefinition{storage::LoadFile(path)};
}

std::string ServerDefinition::field(const std::string& key) const {
    return storage::getfromstrxml(text, key);
}

long portNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    long value = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= 65535; ++i) {
        value = value * 10 + (text[i] - '0');
        any = true;
    }
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    if (!any || i != text.size() || value > 65535) {
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    }
    return value;
}

}  // namespace ambrel::transfer
