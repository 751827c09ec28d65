// The registry over advapi32. Paths go to the registry as they are given.

#include <Win32Api.h>

#include <platform/host/rtl/Registry.h>
#include <platform/win32/AnsiText.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <span>
#include <utility>

namespace {

using host::String;

String ListedData(DWORD type, std::span<const BYTE> data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring_view text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        return win32::ListedAnsi(text.substr(0, text.find(L'\0')));
    }
    char hex[16];
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD number;
        std::memcpy(&number, data.data(), sizeof number);
        std::snprintf(hex, sizeof hex, "dword:%08lx", static_cast<unsigned long>(number));
        return hex;
    }
    std::snprintf(hex, sizeof hex, "hex(%lx):", static_cast<unsigned long>(type));
    String listed = type == REG_BINARY ? "hex:" : hex;
    for (std::size_t at = 0; at < data.size(); ++at) {
        std::snprintf(hex, sizeof hex, at ? ",%02x" : "%02x", data[at]);
        listed += hex;
    }
    return listed;
}

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

    // Read as Windows keeps them: a name the code page cannot hold is listed
    // with \u escapes rather than left out or given as another name.
    std::vector<String> SubKeyNames() override {
        std::vector<String> names;
        wchar_t name[256];  // the longest key name the registry allows, and its NUL
        for (DWORD index = 0;; ++index) {
            DWORD length = std::size(name);
            if (RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                return names;
            names.push_back(win32::ListedAnsi({name, length}));
        }
    }

    // Windows gives a key's values in the order they were made, no name
    // twice. Every one is listed: a text, or a name, the code page cannot
    // hold with \u escapes, and a value of another type as a .reg file
    // writes it ("dword:0000002a", "hex:01,02").
    std::vector<std::pair<String, String>> Values() override {
        std::vector<std::pair<String, String>> values;
        DWORD longestName = 0, largestData = 0;
        if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                             &largestData, nullptr, nullptr) != ERROR_SUCCESS)
            throw host::ERegistryException("Failed to read the values of '" + path_ + "'");
        std::wstring name(longestName + 1, L'\0');
        std::vector<BYTE> data(largestData + sizeof(wchar_t));
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = static_cast<DWORD>(name.size()), size = largestData, type = 0;
            if (RegEnumValueW(key_, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
                ERROR_SUCCESS)
                return values;
            values.emplace_back(win32::ListedAnsi({name.data(), nameLength}), ListedData(type, {data.data(), size}));
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
