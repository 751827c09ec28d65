#pragma once
// The framework's plainest text routines, header-only so that the code beneath
// it that does not link it (the setup library, the POSIX file layer) shares
// them. None depends on the locale: names in files, keys and forms compare as
// the host compares them, whatever language the process runs in.

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

namespace host {

inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Comparison of ASCII letters without regard to case: CompareText is below,
// equal or above zero as S1 sorts before, with or after S2; other bytes
// compare by their unsigned value.
inline int CompareText(std::string_view S1, std::string_view S2) {
    for (std::size_t i = 0; i < S1.size() && i < S2.size(); ++i) {
        const auto a = static_cast<unsigned char>(LowerAscii(S1[i])), b = static_cast<unsigned char>(LowerAscii(S2[i]));
        if (a != b) return a - b;
    }
    return S1.size() < S2.size() ? -1 : S1.size() > S2.size() ? 1 : 0;
}
inline bool SameText(std::string_view S1, std::string_view S2) {
    return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

// The text with its ASCII letters in capitals.
inline std::string UpperCase(std::string_view S) {
    std::string upper(S);
    for (char& c : upper) c = UpperAscii(c);
    return upper;
}

// The characters of an identifier as the host's language spells one.
inline bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
inline bool IsIdentPart(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

inline bool IsControlChar(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

// The text with every control character written as an escape (\t, \n, \r,
// \xHH), so that what a file held never reaches a terminal or a log raw.
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

// Whether text[at] starts the UTF-8 form of a C1 control (U+0080 to U+009F),
// which a terminal in UTF-8 mode obeys as it would the byte 0x9B (CSI) or
// 0x9D (OSC) of an 8-bit one.
inline bool IsUtf8C1ControlAt(std::string_view text, std::size_t at) {
    return at + 1 < text.size() && static_cast<unsigned char>(text[at]) == 0xc2 &&
           (static_cast<unsigned char>(text[at + 1]) & 0xe0) == 0x80;
}

// Whether text[at] starts the UTF-8 form of a bidirectional control (U+200E,
// U+200F, U+202A to U+202E, U+2066 to U+2069): a terminal shows the text
// around it reordered, so that what it prints reads as something else.
inline bool IsUtf8BidiControlAt(std::string_view text, std::size_t at) {
    if (at + 2 >= text.size() || static_cast<unsigned char>(text[at]) != 0xe2) return false;
    const auto second = static_cast<unsigned char>(text[at + 1]), third = static_cast<unsigned char>(text[at + 2]);
    return (second == 0x80 && (third == 0x8e || third == 0x8f || (third >= 0xaa && third <= 0xae))) ||
           (second == 0x81 && third >= 0xa6 && third <= 0xa9);
}

// What a terminal can be given of bytes of unknown charset: UTF-8 sequences
// as they are, control characters escaped as EscapeControls does, and every
// other byte (the code page's text past ASCII, C1 and bidirectional controls
// in either form) as \xHH. Whatever reaches standard output or standard
// error goes through this, so that no form, file or argument can steer the
// terminal.
inline std::string EscapeForTerminal(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool control = IsUtf8C1ControlAt(text, at) || IsUtf8BidiControlAt(text, at);
        const std::size_t sequence = byte < 0x80 || control ? 0 : Utf8SequenceAt(text, at);
        if (byte < 0x80) shown += EscapeControls(text.substr(at, 1));
        else if (sequence) shown.append(text.substr(at, sequence));
        else (shown += "\\x") += {kHex[byte >> 4], kHex[byte & 15]};
        at += sequence ? sequence : 1;
    }
    return shown;
}

// "cannot VERB PATH: REASON": the one shape of a message saying what the
// system would not do with a file, the reason given as text, as an error code
// or as errno's value.
inline std::string CannotText(std::string_view verb, std::string_view path, std::string_view reason) {
    std::string text = "cannot ";
    text.append(verb).append(" ").append(path).append(": ").append(reason);
    return text;
}
inline std::string CannotText(std::string_view verb, std::string_view path, std::error_code error) {
    return CannotText(verb, path, error.message());
}
inline std::string CannotText(std::string_view verb, std::string_view path, int error) {
    return CannotText(verb, path, std::error_code(error, std::generic_category()));
}

}  // namespace host
