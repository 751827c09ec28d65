#include "Win32Gdi.h"

#include <utility>

namespace win32ui {

COLORREF ColorRef(host::TColor color) {
    if (auto index = host::SystemColorIndex(color)) return GetSysColor(*index);
    return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

GdiObject& GdiObject::operator=(GdiObject&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
}

GdiObject::~GdiObject() {
    if (object_) DeleteObject(object_);
}

GdiObject CreateFontOf(const host::TFont& font) {
    using host::fsBold, host::fsItalic, host::fsStrikeOut, host::fsUnderline;
    return GdiObject(CreateFontA(font.GetHeight(), 0, 0, 0, font.HasStyle(fsBold) ? FW_BOLD : FW_NORMAL,
                                 font.HasStyle(fsItalic), font.HasStyle(fsUnderline), font.HasStyle(fsStrikeOut),
                                 font.GetCharset(), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, font.GetName().c_str()));
}

HCURSOR CursorOf(host::TCursor cursor) {
    static const struct {
        host::TCursor cursor;
        LPCSTR id;
    } system[] = {{host::crArrow, IDC_ARROW},       {host::crCross, IDC_CROSS},       {host::crIBeam, IDC_IBEAM},
                  {host::crSizeNESW, IDC_SIZENESW}, {host::crSizeNS, IDC_SIZENS},     {host::crSizeNWSE, IDC_SIZENWSE},
                  {host::crSizeWE, IDC_SIZEWE},     {host::crUpArrow, IDC_UPARROW},   {host::crHourGlass, IDC_WAIT},
                  {host::crNo, IDC_NO},             {host::crAppStart, IDC_APPSTARTING}, {host::crHelp, IDC_HELP},
                  {host::crHandPoint, IDC_HAND},    {host::crSizeAll, IDC_SIZEALL}};
    if (cursor == host::crNone) return nullptr;
    for (const auto& entry : system)
        if (entry.cursor == cursor) return LoadCursorA(nullptr, entry.id);
    return LoadCursorA(nullptr, IDC_ARROW);
}

}  // namespace win32ui
