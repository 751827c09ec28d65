// The registry over advapi32. Paths go to the registry as they are given.

#include <Win32Api.h>

#include <platform/host/rtl/Registry.h>

namespace {

using host::String;

::HKEY Hive(host::HKEY root) { return reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(root)); }

class Win32Key final : public host::RegistryKey {
public:
    explicit Win32Key(::HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    std::optional<String> ReadString(const String& name) override {
        DWORD type = 0, size = 0;
        LSTATUS status = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status != ERROR_SUCCESS) throw host::ERegistryException("Failed to get data for '" + name + "'");
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw host::ERegistryException("Invalid data type for '" + name + "'");
        String text(size, '\0');
        status = RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        if (status != ERROR_SUCCESS) throw host::ERegistryException("Failed to get data for '" + name + "'");
        text.resize(size);
        // The stored value usually carries its NUL, but need not.
        if (auto end = text.find('\0'); end != String::npos) text.resize(end);
        return text;
    }

    void WriteString(const String& name, const String& value) override {
        const auto* data = reinterpret_cast<const BYTE*>(value.c_str());
        const DWORD size = static_cast<DWORD>(std::char_traits<char>::length(value.c_str()) + 1);
        if (RegSetValueExA(key_, name.c_str(), 0, REG_SZ, data, size) != ERROR_SUCCESS)
            throw host::ERegistryException("Failed to set data for '" + name + "'");
    }

    std::vector<String> SubKeyNames() override {
        std::vector<String> names;
        char name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                return names;
            names.emplace_back(name, length);
        }
    }

    // Windows gives a key's values in the order they were made, no name twice.
    std::vector<std::pair<String, String>> Values() override {
        std::vector<std::pair<String, String>> values;
        char name[16384];  // the longest value name the registry allows, and its NUL
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            if (RegEnumValueA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                return values;
            const String text(name, length);
            values.emplace_back(text, ReadString(text).value_or(String{}));
        }
    }

    void Flush() override { RegFlushKey(key_); }

private:
    ::HKEY key_;
};

class Win32Registry final : public host::RegistryBackend {
public:
    std::unique_ptr<host::RegistryKey> Open(host::HKEY root, const String& path, host::KeyAccess access,
                                            bool create) override {
        const REGSAM rights = access == host::KeyAccess::ReadWrite ? KEY_READ | KEY_WRITE : KEY_READ;
        ::HKEY key = nullptr;
        const LSTATUS status =
            create ? RegCreateKeyExA(Hive(root), path.c_str(), 0, nullptr, 0, rights, nullptr, &key, nullptr)
                   : RegOpenKeyExA(Hive(root), path.c_str(), 0, rights, &key);
        if (status != ERROR_SUCCESS) return nullptr;
        return std::make_unique<Win32Key>(key);
    }
};

}  // namespace

namespace host {

RegistryBackend& PlatformRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace host
