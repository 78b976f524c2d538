#include "core/platform/registry.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/storage/text.h"
#include "core/storage/textfile.h"

namespace ambrel::platform {

namespace {

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

// Reads a quoted text at pos; on return pos stands after the closing quote.
std::optional<std::string> unquote(std::string_view line, std::size_t& pos) {
    if (pos >= line.size() || line[pos] != '"') {
        return std::nullopt;
    }
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c == '\\' && pos + 1 < line.size()) {
            c = line[++pos];
            out += c == 'n' ? '\n' : c;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

}  // namespace

RegistryStore::RegistryStore(std::string file) : m_file(std::move(file)) {
    try {
        reload();
    } catch (const storage::IoError& e) {
        // An empty view saved over the file would lose every key in it.
        m_unreadable = e.what();
    }
}

std::string RegistryStore::defaultFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && *config == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "/tmp") + "/.config";
    }
    return base + "/myambrel/registry.reg";
}

std::string RegistryStore::canonical(const std::string& key) {
    std::string k = storage::lowerAscii(key);
    while (!k.empty() && k.back() == '\\') {
        k.pop_back();
    }
    return k;
}

void RegistryStore::reload() {
    if (!storage::fileExists(m_file)) {
        m_keys.clear();
        return;
    }
    // Read before letting go of the old view: a store that forgot its keys on a failed read
    // would write that loss back with its next change.
    const std::string text = storage::readBytes(m_file);
    m_unreadable.clear();
    m_keys.clear();
    Key* current = nullptr;
    storage::forEachLine(text, [&](std::string_view line) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string key(line.substr(1, line.size() - 2));
            current = &m_keys[canonical(key)];
            current->spelled = key;
            return;
        }
        if (current == nullptr || line.empty()) {
            return;
        }
        std::size_t pos = 0;
        std::string name;
        if (line[0] == '@') {
            pos = 1;
        } else {
            auto n = unquote(line, pos);
            if (!n) {
                return;
            }
            name = *n;
        }
        if (pos >= line.size() || line[pos] != '=') {
            return;
        }
        ++pos;
        std::string_view rest = line.substr(pos);
        Value v;
        if (rest.starts_with("hex:")) {
            v.type = Type::Binary;
            int high = -1;
            for (char c : rest.substr(4)) {
                const int d = storage::hexDigitValue(c);
                if (d < 0) {
                    continue;
                }
                if (high < 0) {
                    high = d;
                } else {
                    v.data += static_cast<char>(high * 16 + d);
                    high = -1;
                }
            }
        } else if (rest.starts_with("dword:")) {
            v.type = Type::Dword;
            v.dword = static_cast<std::uint32_t>(
                std::strtoul(std::string(rest.substr(6)).c_str(), nullptr, 16));
        } else {
            auto s = unquote(line, pos);
            if (!s) {
                return;
            }
            v.data = *s;
        }
        current->values[name] = v;
    });
}

bool RegistryStore::save() {
    // A store whose file could not be read would overwrite what it never saw.
    if (!m_unreadable.empty()) {
        return false;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "Windows Registry Editor Version 5.00\r\n";
    for (const auto& entry : m_keys) {
        const Key& key = entry.second;
        out += "\r\n[" + key.spelled + "]\r\n";
        for (const auto& [name, v] : key.values) {
            out += name.empty() ? "@" : quote(name);
            out += '=';
            switch (v.type) {
                case Type::String:
                    out += quote(v.data);
                    break;
                case Type::Dword: {
                    char buf[16];
                    std::snprintf(buf, sizeof buf, "dword:%08x", v.dword);
                    out += buf;
                    break;
                }
                case Type::Binary:
                    out += "hex:";
                    for (std::size_t i = 0; i < v.data.size(); ++i) {
                        const auto byte = static_cast<unsigned char>(v.data[i]);
                        out += i ? "," : "";
                        out += kHex[byte >> 4];
                        out += kHex[byte & 15];
                    }
                    break;
            }
            out += "\r\n";
        }
    }
    try {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(m_file).parent_path(), ec);
        storage::writePrivateFileAtomically(m_file, out);
        return true;
    } catch (const storage::IoError&) {
        return false;
    }
}

bool RegistryStore::keyExists(const std::string& key) const {
    return m_keys.contains(canonical(key));
}

bool RegistryStore::createKey(const std::string& key) {
    auto [it, added] = m_keys.try_emplace(canonical(key));
    if (!added) {
        return true;
    }
    it->second.spelled = key;
    if (!save()) {
        m_keys.erase(it);
        return false;
    }
    return true;
}

bool RegistryStore::deleteKey(const std::string& key) {
    const std::string canon = canonical(key);
    if (!m_keys.contains(canon)) {
        return false;
    }
    std::erase_if(m_keys, [&](const auto& kv) {
        return kv.first == canon || kv.first.starts_with(canon + "\\");
    });
    return save();
}

std::optional<RegistryStore::Value> RegistryStore::value(const std::string& key,
                                                         const std::string& name) const {
    const auto k = m_keys.find(canonical(key));
    if (k == m_keys.end()) {
        return std::nullopt;
    }
    const auto v = k->second.values.find(name);
    if (v == k->second.values.end()) {
        return std::nullopt;
    }
    return v->second;
}

std::string RegistryStore::stringValue(const std::string& key, const std::string& name) const {
    auto v = value(key, name);
    return v && v->type == Type::String ? v->data : std::string();
}

bool RegistryStore::set(const std::string& key, const std::string& name, Value v) {
    const auto k = m_keys.find(canonical(key));
    if (k == m_keys.end()) {
        return false;
    }
    k->second.values[name] = std::move(v);
    return save();
}

bool RegistryStore::setString(const std::string& key, const std::string& name,
                              const std::string& text) {
    return set(key, name, Value{Type::String, text, 0});
}

bool RegistryStore::setBinary(const std::string& key, const std::string& name,
                              const std::string& bytes) {
    return set(key, name, Value{Type::Binary, bytes, 0});
}

bool RegistryStore::setDword(const std::string& key, const std::string& name, std::uint32_t value) {
    return set(key, name, Value{Type::Dword, {}, value});
}

bool RegistryStore::deleteValue(const std::string& key, const std::string& name) {
    const auto k = m_keys.find(canonical(key));
    if (k == m_keys.end() || k->second.values.erase(name) == 0) {
        return false;
    }
    return save();
}

}  // namespace ambrel::platform
