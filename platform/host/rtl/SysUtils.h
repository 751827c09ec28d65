#pragma once
// The host's run-time library: exceptions and conversions.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <platform/host/rtl/Types.h>

namespace host {

// Base of every exception the framework raises.
class Exception : public std::runtime_error {
public:
    explicit Exception(const String& message) : std::runtime_error(message) {}
    String Message() const { return what(); }
};

// Decimal: optional minus sign, digits, no leading zeros, no grouping.
String IntToStr(Integer value);

// A letter or underscore, then letters, digits and underscores; with AllowDots
// also several such parts joined by dots (Font.Style).
bool IsValidIdent(std::string_view Ident, bool AllowDots = false);

// Comparison of ASCII letters without regard to case: CompareText is below,
// equal or above zero as S1 sorts before, with or after S2.
int CompareText(std::string_view S1, std::string_view S2);
inline bool SameText(std::string_view S1, std::string_view S2) { return CompareText(S1, S2) == 0; }

// Without the leading and trailing blanks and control characters.
String Trim(std::string_view S);

// The drive and folder part of a file name, up to and including its last
// delimiter; empty for a name without one. The delimiters are the
// platform's: '\\' and the drive colon on Win32, '/' on POSIX.
String ExtractFilePath(const String& FileName);

inline bool IsControlChar(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

// The text with every control character written as an escape (\t, \n, \r,
// \xHH), so that what a file held never reaches a terminal or a log raw.
// Header-only: the setup library uses it without the rest of the framework.
inline std::string EscapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        if (!IsControlChar(c)) shown.push_back(c);
        else if (c == '\t') shown += "\\t";
        else if (c == '\n') shown += "\\n";
        else if (c == '\r') shown += "\\r";
        else (shown += "\\x") += {kHex[(c >> 4) & 0xf], kHex[c & 0xf]};
    }
    return shown;
}

// The length of the whole UTF-8 sequence of two to four bytes that starts at
// text[at], or 0 where none does.
inline std::size_t Utf8SequenceAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[at + k]) >> 6) != 2) return 0;
    return length;
}

// What a terminal can be given of bytes of unknown charset: UTF-8 sequences
// as they are, control characters escaped as EscapeControls does, and every
// other byte (the code page's text past ASCII) as \xHH.
inline std::string EscapeForTerminal(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t sequence = byte < 0x80 ? 0 : Utf8SequenceAt(text, at);
        if (byte < 0x80) shown += EscapeControls(text.substr(at, 1));
        else if (sequence) shown.append(text.substr(at, sequence));
        else (shown += "\\x") += {kHex[byte >> 4], kHex[byte & 15]};
        at += sequence ? sequence : 1;
    }
    return shown;
}

// A String holds the host's ANSI text, Windows-1252 on every platform. These
// convert it from and to Unicode; a character that has no ANSI code
// becomes '?', a malformed UTF-8 sequence U+FFFD (so '?' in ANSI).
char32_t AnsiToUnicode(unsigned char Ansi);
std::u16string Utf8ToWide(std::string_view Utf8);
String Utf8ToAnsi(std::string_view Utf8);
String WideToAnsi(std::u16string_view Wide);
String AnsiToUtf8(std::string_view Ansi);
String WideToUtf8(std::u16string_view Wide);  // a lone surrogate becomes U+FFFD
// The text in the code page, or nothing when it holds a character that the
// code page lacks.
std::optional<String> ExactWideToAnsi(std::u16string_view Wide);
std::optional<String> ExactUtf8ToAnsi(std::string_view Utf8);

}  // namespace host
