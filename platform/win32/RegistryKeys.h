#pragma once
// Small owners and helpers over advapi32 keys, shared by the setup library and
// the driver registration.

#include <Win32Api.h>

#include <string>
#include <string_view>

namespace win32 {

class Key {
public:
    Key() = default;
    explicit Key(HKEY key) : key_(key) {}
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(Key&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    Key& operator=(Key&&) = delete;
    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

// The system's text for an error code. Some name what failed by an insert
// ("Bad EXE format for %1"), which `subject` fills.
inline std::string ErrorText(LSTATUS status, std::string_view subject = "it") {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(status), 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) --length;
    if (!length) return "error " + std::to_string(status);
    std::string filled;
    for (DWORD at = 0; at < length; ++at) {
        if (text[at] != '%' || at + 1 == length || text[at + 1] < '1' || text[at + 1] > '9') {
            filled += text[at];
            continue;
        }
        filled += subject;
        while (at + 1 < length && text[at + 1] >= '0' && text[at + 1] <= '9') ++at;
    }
    return filled;
}

// Opens or (with create) makes a key; sets `status`.
inline Key OpenKey(HKEY hive, const std::string& path, REGSAM rights, bool create, LSTATUS& status) {
    HKEY key = nullptr;
    status = create ? RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, rights, nullptr, &key, nullptr)
                    : RegOpenKeyExA(hive, path.c_str(), 0, rights, &key);
    return Key(status == ERROR_SUCCESS ? key : nullptr);
}

inline LSTATUS SetString(HKEY key, const std::string& name, const std::string& value) {
    return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

// The path of the module (DLL or program) that holds this code.
inline std::string ThisModulePath() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModulePath), &module);
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, length);
}

}  // namespace win32
