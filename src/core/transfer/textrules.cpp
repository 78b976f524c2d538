#include "core/transfer/textrules.h"

#include <sys/stat.h>

#include "core/storage/names.h"

namespace ambrel::transfer {

std::string urlencode(const std::string& url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ' || byte == '#' || byte == '%' || byte == '*' || byte == '+' ||
            byte == '<' || byte == '>' || byte >= 128) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

Credentials credentialsFromUrl(const std::string& url) {
    const std::size_t scheme = url.find("://");
    const std::size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t colon = url.find(':', from);
    const std::size_t at = url.find('@', from);
    Credentials c;
    if (colon != std::string::npos) {
        c.user = url.substr(from, colon - from);
        if (at != std::string::npos && at > colon) {
            c.password = url.substr(colon + 1, at - colon - 1);
        }
    } else if (at != std::string::npos) {
        c.user = url.substr(from, at - from);
    }
    return c;
}

std::string numberedName(const std::string& name, std::uint64_t k) {
    const std::string mark = "_" + std::to_string(k) + ".";
    if (name.find('.') == std::string::npos) {
        return name + mark;
    }
    std::string out;
    out.reserve(name.size() + 8);
    for (const char c : name) {
        if (c == '.') {
            out += mark;
        } else {
            out += c;
        }
    }
    return out;
}

bool isUsableFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

namespace {
bool taken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}
}  // namespace

std::string freelocalname(const std::string& folder, const std::string& name) {
    std::string candidate = name;
    for (std::uint64_t k = 1; taken(folder + "/" + candidate); ++k) {
        candidate = numberedName(name, k);
    }
    return candidate;
}

std::string parsepostresult(const std::string& page, const std::string& begin,
                            const std::string& basis, const std::string& end) {
    std::size_t start = 0;  // counted from 0
    if (!begin.empty()) {
        const std::size_t found = page.find(begin);
        // A missing begin string counts as found just before the page's first character.
        start = found == std::string::npos ? begin.size() - 1 : found + begin.size();
    }
    std::size_t stop = std::string::npos;
    if (!end.empty() && start <= page.size()) {
        stop = page.find(end, start);
    }
    if (stop == std::string::npos) {
        stop = page.empty() ? 0 : page.size() - 1;
    }
    std::string cut;
    if (start < stop && start < page.size()) {
        cut = page.substr(start, stop - start);
    }
    return basis.empty() ? cut : basis + cut;
}

std::vector<PostField> readPostFields(const std::string& text) {
    std::vector<PostField> fields;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t lt = text.find('<', from);
        if (lt == std::string::npos) {
            break;
        }
        const std::size_t gt = text.find('>', lt + 1);
        if (gt == std::string::npos) {
            break;
        }
        const std::string name = text.substr(lt + 1, gt - lt - 1);
        const std::string open = "<" + name + ">";
        const std::string close = "</" + name + ">";
        const std::size_t openAt = text.find(open, lt);
        const std::size_t closeAt = text.find(close, gt);
        if (openAt == std::string::npos || closeAt == std::string::npos ||
            closeAt < openAt + open.size()) {
            break;
        }
        fields.push_back({name, text.substr(openAt + open.size(), closeAt - openAt - open.size())});
        from = closeAt + 1;
    }
    return fields;
}

bool isPictureField(const PostField& field) {
    return field.name.starts_with("@i@");
}

std::string removeAll(std::string text, const std::string& cut) {
    if (cut.empty()) {
        return text;
    }
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(cut); at != std::string::npos; at = text.find(cut, from)) {
        out.append(text, from, at - from);
        from = at + cut.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string pictureContentType(const std::string& fileName) {
    std::string ext = storage::extensionpart(fileName);
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif") {
        return "image/jpeg";
    }
    if (ext == ".png") {
        return "image/png";
    }
    if (ext == ".gif") {
        return "image/gif";
    }
    if (ext == ".bmp") {
        return "image/bmp";
    }
    return "application/octet-stream";
}

std::int64_t GetFileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return 0;
    }
    return static_cast<std::int64_t>(st.st_size);
}

}  // namespace ambrel::transfer
