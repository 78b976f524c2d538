#include "core/platform/registry.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/storage/filelock.h"
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
        // A raw line break would end the value's line and start another in the file.
        if (c == '\n' || c == '\r') {
            out += c == '\n' ? "\\n" : "\\r";
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
            out += c == 'n' ? '\n' : (c == 'r' ? '\r' : c);
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
    // The old view goes only once the file has been read: a store that forgot its keys on a
    // failed read would write that loss back with its next change.
    m_keys = readKeys(m_file);
    m_unreadable.clear();
}

std::map<std::string, RegistryStore::Key> RegistryStore::readKeys(const std::string& file) {
    std::map<std::string, Key> keys;
    if (!storage::fileExists(file)) {
        return keys;
    }
    const std::string text = storage::readBytes(file);
    Key* current = nullptr;
    storage::forEachLine(text, [&](std::string_view line) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string key(line.substr(1, line.size() - 2));
            current = &keys[canonical(key)];
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
    return keys;
}

std::string RegistryStore::serialise(const std::map<std::string, Key>& keys) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "Windows Registry Editor Version 5.00\r\n";
    for (const auto& entry : keys) {
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
    return out;
}

bool RegistryStore::change(const std::function<Edit(std::map<std::string, Key>&)>& edit) {
    // A store whose file could not be read would overwrite what it never saw.
    if (!m_unreadable.empty()) {
        return false;
    }
    try {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(m_file).parent_path(), ec);
        // The change is made to the file as it is now, under its lock: another process's
        // change since this store last read it is kept, not overwritten by an old view.
        const storage::FileLock lock(m_file);
        std::map<std::string, Key> keys;
        try {
            keys = readKeys(m_file);
        } catch (const storage::IoError&) {
            // Gone unreadable since: what this store holds is the best view there is.
            keys = m_keys;
        }
        const Edit result = edit(keys);
        if (result != Edit::Changed) {
            m_keys = std::move(keys);
            return result == Edit::Unchanged;
        }
        storage::writePrivateFileAtomically(m_file, serialise(keys));
        // Only a saved change is held: a failed save leaves the store's view as it was.
        m_keys = std::move(keys);
        return true;
    } catch (const storage::IoError&) {
        return false;
    }
}

bool RegistryStore::keyExists(const std::string& key) const {
    return m_keys.contains(canonical(key));
}

bool RegistryStore::createKey(const std::string& key) {
    // A key name holding a line break would break the file's lines.
    if (key.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    const std::string canon = canonical(key);
    return change([&](std::map<std::string, Key>& keys) {
        auto [it, added] = keys.try_emplace(canon);
        if (!added) {
            return Edit::Unchanged;
        }
        it->second.spelled = key;
        return Edit::Changed;
    });
}

bool RegistryStore::deleteKey(const std::string& key) {
    const std::string canon = canonical(key);
    return change([&](std::map<std::string, Key>& keys) {
        if (!keys.contains(canon)) {
            return Edit::Refused;
        }
        std::erase_if(keys, [&](const auto& kv) {
            return kv.first == canon || kv.first.starts_with(canon + "\\");
        });
        return Edit::Changed;
    });
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
    const std::string canon = canonical(key);
    return change([&](std::map<std::string, Key>& keys) {
        const auto k = keys.find(canon);
        if (k == keys.end()) {
            return Edit::Refused;
        }
        k->second.values[name] = v;
        return Edit::Changed;
    });
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
    const std::string canon = canonical(key);
    return change([&](std::map<std::string, Key>& keys) {
        const auto k = keys.find(canon);
        return k != keys.end() && k->second.values.erase(name) > 0 ? Edit::Changed : Edit::Refused;
    });
}

}  // namespace ambrel::platform
