// The registry over advapi32. Paths go to the registry as they are given.

#include <Win32Api.h>

#include <platform/host/rtl/Registry.h>
#include <platform/win32/AnsiText.h>

#include <utility>

namespace {

using host::String;

::HKEY Hive(host::HKEY root) { return reinterpret_cast<::HKEY>(static_cast<ULONG_PTR>(root)); }

class Win32Key final : public host::RegistryKey {
public:
    Win32Key(::HKEY key, String path) : key_(key), path_(std::move(path)) {}
    ~Win32Key() override { RegCloseKey(key_); }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    // Read as Windows keeps it, so that a value the code page cannot hold is
    // refused rather than handed on with '?' and written back so.
    std::optional<String> ReadString(const String& name) override {
        const std::wstring wideName = win32::Wide(name);
        DWORD type = 0, size = 0;
        LSTATUS status = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status != ERROR_SUCCESS) throw host::ERegistryException("Failed to get data for '" + name + "'");
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw host::ERegistryException("Invalid data type for '" + name + "'");
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        status = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        if (status != ERROR_SUCCESS) throw host::ERegistryException("Failed to get data for '" + name + "'");
        text.resize(size / sizeof(wchar_t));
        // The stored value usually carries its NUL, but need not.
        if (auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
        if (auto ansi = win32::ExactAnsi(text)) return *ansi;
        throw host::ERegistryException(path_ + " holds " + name + " in characters that the code page (" +
                                       std::to_string(GetACP()) + ") cannot hold: not read");
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
    String path_;
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
        return std::make_unique<Win32Key>(key, path);
    }
};

}  // namespace

namespace host {

RegistryBackend& PlatformRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace host
