#pragma once
// Text between the ANSI code page the package works in and the UTF-16 that
// Windows keeps names and registry values in.

#include <Win32Api.h>

#include <cstdio>
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

inline std::string Utf8(std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    std::string utf8(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8;
}

// Each character of UTF-16 text with its code point, a surrogate pair as
// one, until `visit` returns false.
template <typename Visit>
void EachCharacter(std::wstring_view text, Visit visit) {
    for (std::size_t at = 0; at < text.size();) {
        const bool pair = at + 1 < text.size() && IS_SURROGATE_PAIR(text[at], text[at + 1]);
        const unsigned code = pair ? 0x10000u + ((text[at] - 0xD800u) << 10) + (text[at + 1] - 0xDC00u) : text[at];
        if (!visit(text.substr(at, pair ? 2 : 1), code)) return;
        at += pair ? 2 : 1;
    }
}

// The text in the ANSI code page, each character that has no place there
// written as \uXXXX (\UXXXXXXXX past the first plane): for showing a name or
// value that the package could not otherwise hold. A key name never holds
// '\', so such a name is never taken for another key's.
inline std::string ListedAnsi(std::wstring_view text) {
    if (auto exact = ExactAnsi(text)) return *exact;
    std::string listed;
    EachCharacter(text, [&](std::wstring_view character, unsigned code) {
        if (auto exact = ExactAnsi(character)) {
            listed += *exact;
        } else {
            char escape[16];
            std::snprintf(escape, sizeof escape, code > 0xFFFF ? "\\U%08X" : "\\u%04X", code);
            listed += escape;
        }
        return true;
    });
    return listed;
}

// The first character of the text that ExactAnsi cannot hold, as "'Ā' (U+0100)".
inline std::string FirstLackingCharacter(std::wstring_view text) {
    std::string named = "a character";
    EachCharacter(text, [&](std::wstring_view character, unsigned code) {
        if (ExactAnsi(character)) return true;
        char number[16];
        std::snprintf(number, sizeof number, "U+%04X", code);
        named = "'" + Utf8(character) + "' (" + number + ")";
        return false;
    });
    return named;
}

}  // namespace win32
