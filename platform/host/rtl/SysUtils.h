#pragma once
// The host's run-time library: exceptions and conversions, and (from
// BasicText.h) comparison without regard to case and escaped text.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <platform/host/rtl/BasicText.h>
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

// Without the leading and trailing blanks and control characters.
String Trim(std::string_view S);

// The drive and folder part of a file name, up to and including its last
// delimiter; empty for a name without one. The delimiters are the
// platform's: '\\' and the drive colon on Win32, '/' on POSIX.
String ExtractFilePath(const String& FileName);

// A String holds the host's ANSI text, Windows-1252 on every platform. These
// convert it from and to Unicode; a malformed UTF-8 sequence becomes U+FFFD.
char32_t AnsiToUnicode(unsigned char Ansi);
std::u16string Utf8ToWide(std::string_view Utf8);
String AnsiToUtf8(std::string_view Ansi);
String WideToUtf8(std::u16string_view Wide);  // a lone surrogate becomes U+FFFD
// The text in the code page, or nothing when it holds a character that the
// code page lacks.
std::optional<String> ExactWideToAnsi(std::u16string_view Wide);
std::optional<String> ExactUtf8ToAnsi(std::string_view Utf8);
// Whether the bytes are well-formed UTF-8: no stray or overlong sequence, no
// surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view Text);

}  // namespace host
