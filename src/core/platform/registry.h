#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace ambrel::platform {

// A per-user key/value store standing in for the Windows registry: keys by their full path
// ("HKEY_CURRENT_USER\Software\..."), values by name ("" is the default value) with a type.
// It is kept in one file in the .reg text form. Each change is made to the file as it stands
// then, under its lock, and rewritten atomically; so changes by several processes all stay,
// and the store's view follows the file at each change. A change that cannot be saved
// leaves the view as it was.
class RegistryStore {
public:
    enum class Type { String, Binary, Dword };
    struct Value {
        Type type = Type::String;
        std::string data;  // the text of a string; the raw bytes of binary data
        std::uint32_t dword = 0;
        bool operator==(const Value&) const = default;
    };

    // Loads the file when it exists; a missing file is an empty store. A file that exists
    // but cannot be read gives an empty store that refuses every change (see unreadable()).
    explicit RegistryStore(std::string file);

    // The per-user store's file: $XDG_CONFIG_HOME/myambrel/registry.reg (~/.config when unset).
    static std::string defaultFile();

    const std::string& file() const { return m_file; }
    // Why the file could not be read when the store was made; empty once a read worked.
    const std::string& unreadable() const { return m_unreadable; }

    bool keyExists(const std::string& key) const;
    // Creates the key when missing; false when the store cannot be written or the name holds
    // a line break.
    bool createKey(const std::string& key);
    // Deletes the key with its values and subkeys; false when it did not exist.
    bool deleteKey(const std::string& key);

    std::optional<Value> value(const std::string& key, const std::string& name) const;
    std::string stringValue(const std::string& key, const std::string& name) const;
    // Set a value of an existing key; false when the key is missing or cannot be saved.
    bool setString(const std::string& key, const std::string& name, const std::string& text);
    bool setBinary(const std::string& key, const std::string& name, const std::string& bytes);
    bool setDword(const std::string& key, const std::string& name, std::uint32_t value);
    bool deleteValue(const std::string& key, const std::string& name);

    // Reads the file again, for changes another process made. Throws storage::IoError when
    // it cannot be read, keeping what the store held.
    void reload();

private:
    struct Key {
        std::string spelled;  // as it was created; lookups ignore letter case like Windows
        std::map<std::string, Value> values;
    };
    enum class Edit { Refused, Unchanged, Changed };

    bool set(const std::string& key, const std::string& name, Value v);
    // Applies edit to the keys read afresh under the file's lock and saves a change; true
    // when the change was saved or nothing needed saving.
    bool change(const std::function<Edit(std::map<std::string, Key>&)>& edit);
    static std::map<std::string, Key> readKeys(const std::string& file);
    static std::string serialise(const std::map<std::string, Key>& keys);
    static std::string canonical(const std::string& key);

    std::string m_file;
    std::map<std::string, Key> m_keys;  // by lower-cased path
    std::string m_unreadable;
};

}  // namespace ambrel::platform
