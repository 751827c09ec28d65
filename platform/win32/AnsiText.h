#pragma once
// Text between the ANSI code page the package works in and the UTF-16 that
// Windows keeps names and registry values in.

#include <Win32Api.h>

#include <optional>
#include <string>
#include <string_view>

namespace win32 {

inline std::wstring Wide(std::string_view text) {
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// The text in the ANSI code page, or nothing where a character has no place
// there: the ANSI functions would put '?' or a look-alike ("Ł" as "L") in its
// stead without a word. A UTF-8 code page holds every character, and takes
// neither flag.
inline std::optional<std::string> ExactAnsi(std::wstring_view text) {
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int size = static_cast<int>(text.size());
    std::string ansi(
        static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, flags, text.data(), size, ansi.data(), static_cast<int>(ansi.size()), nullptr,
                        utf8 ? nullptr : &lost);
    if (lost) return std::nullopt;
    return ansi;
}

}  // namespace win32
