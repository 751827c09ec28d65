#include <platform/host/rtl/SysUtils.h>

#include <PlatformPaths.h>

namespace host {

String IntToStr(Integer value) { return std::to_string(value); }

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentPart(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

}  // namespace

bool IsValidIdent(std::string_view Ident, bool AllowDots) {
    bool partStart = true;
    for (char c : Ident) {
        if (partStart ? !IsIdentStart(c) : !(IsIdentPart(c) || (AllowDots && c == '.'))) return false;
        partStart = c == '.';
    }
    return !partStart;
}

int CompareText(std::string_view S1, std::string_view S2) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < S1.size() && i < S2.size(); ++i)
        if (const int d = lower(S1[i]) - lower(S2[i])) return d;
    return S1.size() < S2.size() ? -1 : S1.size() > S2.size() ? 1 : 0;
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

}  // namespace host
