#include <platform/host/rtl/SysUtils.h>

#include <PlatformPaths.h>
#include <platform/host/rtl/BasicText.h>

namespace host {

String IntToStr(Integer value) { return std::to_string(value); }

bool IsValidIdent(std::string_view Ident, bool AllowDots) {
    bool partStart = true;
    for (char c : Ident) {
        if (partStart ? !IsIdentStart(c) : !(IsIdentPart(c) || (AllowDots && c == '.'))) return false;
        partStart = c == '.';
    }
    return !partStart;
}

String Trim(std::string_view S) {
    const auto blank = [](unsigned char c) { return c <= ' '; };
    while (!S.empty() && blank(S.front())) S.remove_prefix(1);
    while (!S.empty() && blank(S.back())) S.remove_suffix(1);
    return String(S);
}

String ExtractFilePath(const String& FileName) {
    const auto last = FileName.find_last_of(platform::kPathDelimiters);
    return last == String::npos ? String() : FileName.substr(0, last + 1);
}

namespace {

// Windows-1252's characters 0x80..0x9F; the rest of the byte range is Latin-1.
constexpr char32_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                      0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

std::optional<char> UnicodeToAnsi(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (unsigned i = 0; i < 32; ++i)
        if (kCp1252High[i] == code) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

// The character starting at Wide[i], a surrogate pair taken whole (i then
// moves to its second unit); a lone surrogate as it is.
char32_t NextCharacter(std::u16string_view Wide, std::size_t& i) {
    if (IsHighSurrogate(Wide[i]) && i + 1 < Wide.size() && IsLowSurrogate(Wide[i + 1])) {
        const char32_t code = 0x10000 + ((Wide[i] - 0xD800) << 10) + (Wide[i + 1] - 0xDC00);
        ++i;
        return code;
    }
    return Wide[i];
}

// The code point starting at text[i], advancing i; U+FFFD for a malformed one.
char32_t NextUtf8(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 1) return lead;
    if (length == 0) return 0xFFFD;
    char32_t code = lead & (0x7Fu >> length);
    for (int k = 1; k < length; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) >> 6) != 2) return 0xFFFD;
        code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3Fu);
    }
    return code;
}

void AppendUtf8(String& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
        return;
    }
    const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    const unsigned leadMark = length == 2 ? 0xC0 : length == 3 ? 0xE0 : 0xF0;
    out.push_back(static_cast<char>(leadMark | (code >> (6 * (length - 1)))));
    for (int k = length - 2; k >= 0; --k) out.push_back(static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F)));
}

}  // namespace

char32_t AnsiToUnicode(unsigned char Ansi) { return Ansi >= 0x80 && Ansi < 0xA0 ? kCp1252High[Ansi - 0x80] : Ansi; }

std::u16string Utf8ToWide(std::string_view Utf8) {
    std::u16string wide;
    for (std::size_t i = 0; i < Utf8.size();) {
        char32_t code = NextUtf8(Utf8, i);
        if (code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) code = 0xFFFD;
        if (code >= 0x10000) {
            wide.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            code = 0xDC00 + ((code - 0x10000) & 0x3FF);
        }
        wide.push_back(static_cast<char16_t>(code));
    }
    return wide;
}

std::optional<String> ExactWideToAnsi(std::u16string_view Wide) {
    String ansi;
    for (std::size_t i = 0; i < Wide.size(); ++i) {
        const auto c = UnicodeToAnsi(NextCharacter(Wide, i));
        if (!c) return std::nullopt;
        ansi.push_back(*c);
    }
    return ansi;
}

std::optional<String> ExactUtf8ToAnsi(std::string_view Utf8) {
    // A malformed sequence reads as U+FFFD, which the code page lacks.
    return ExactWideToAnsi(Utf8ToWide(Utf8));
}

bool IsUtf8(std::string_view Text) {
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    for (std::size_t i = 0; i < Text.size();) {
        if (static_cast<unsigned char>(Text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceAt(Text, i);
        if (length == 0) return false;
        const char32_t code = NextUtf8(Text, i);
        if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
    }
    return true;
}

String WideToUtf8(std::u16string_view Wide) {
    String utf8;
    for (std::size_t i = 0; i < Wide.size(); ++i) {
        const char32_t code = NextCharacter(Wide, i);
        AppendUtf8(utf8, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
    }
    return utf8;
}

String AnsiToUtf8(std::string_view Ansi) {
    String utf8;
    for (const char c : Ansi) AppendUtf8(utf8, AnsiToUnicode(static_cast<unsigned char>(c)));
    return utf8;
}

}  // namespace host
