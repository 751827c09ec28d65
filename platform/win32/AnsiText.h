#pragma once
// Text between the ANSI code page the package works in and the UTF-16 that
// Windows keeps names and registry values in.

#include <Win32Api.h>

#include <string>
#include <string_view>

namespace win32 {

inline std::wstring Wide(std::string_view text) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

}  // namespace win32
