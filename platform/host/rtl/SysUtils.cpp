#include <platform/host/rtl/SysUtils.h>

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

}  // namespace host
