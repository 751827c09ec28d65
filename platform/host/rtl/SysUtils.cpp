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

String ExtractFilePath(const String& FileName) {
    const auto last = FileName.find_last_of(platform::kPathDelimiters);
    return last == String::npos ? String() : FileName.substr(0, last + 1);
}

}  // namespace host
