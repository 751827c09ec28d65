#include <platform/host/ui/Graphics.h>

#include <array>

namespace host {

namespace {

constexpr Integer kSystemColorFlag = -0x01000000;  // 0xFF000000

constexpr TIdentMapEntry kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

constexpr TIdentMapEntry kCharsets[] = {
    {ANSI_CHARSET, "ANSI_CHARSET"},
    {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
    {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"},
    {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
    {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"},
    {GB2312_CHARSET, "GB2312_CHARSET"},
    {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"},
    {TURKISH_CHARSET, "TURKISH_CHARSET"},
    {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
    {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"},
    {BALTIC_CHARSET, "BALTIC_CHARSET"},
    {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"},
    {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
    {OEM_CHARSET, "OEM_CHARSET"},
};

// The classic Windows scheme, as 0x00BBGGRR, by system colour index.
constexpr std::array<std::uint32_t, 25> kSystemColors = {
    0xC8C8C8, 0x000000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
    0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000, 0xE1FFFF};

constexpr std::string_view kStyleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

std::span<const TPropInfo> FontProperties() {
    static const std::vector<TPropInfo> table = PublishedProperties<TPersistent>({
        Property<&TFont::GetCharset, &TFont::SetCharset>("Charset"),
        Property<&TFont::GetColor, &TFont::SetColor>("Color"),
        Property<&TFont::GetHeight, &TFont::SetHeight>("Height"),
        Property<&TFont::GetName, &TFont::SetName>("Name"),
        Property<&TFont::GetStyle, &TFont::SetStyle>("Style"),
    });
    return table;
}

}  // namespace

std::optional<int> SystemColorIndex(TColor color) {
    const Integer value = color;
    if ((value & kSystemColorFlag) != kSystemColorFlag) return std::nullopt;
    return value & 0xFF;
}

std::uint32_t ColorToRGB(TColor color) {
    if (auto index = SystemColorIndex(color))
        return static_cast<std::size_t>(*index) < kSystemColors.size() ? kSystemColors[static_cast<std::size_t>(*index)]
                                                                        : 0;
    return static_cast<std::uint32_t>(color) & 0xFFFFFF;
}

bool IdentToColor(std::string_view name, Integer& color) { return IdentToInt(kColors, name, color); }
bool ColorToIdent(Integer color, String& name) { return IntToIdent(kColors, color, name); }
bool IdentToCharset(std::string_view name, Integer& charset) { return IdentToInt(kCharsets, name, charset); }
bool CharsetToIdent(Integer charset, String& name) { return IntToIdent(kCharsets, charset, name); }

TFont& TFont::operator=(const TFont& other) {
    if (this == &other || *this == other) return *this;
    charset_ = other.charset_;
    color_ = other.color_;
    height_ = other.height_;
    name_ = other.name_;
    style_ = other.style_;
    Changed();
    return *this;
}

void TFont::Changed() {
    if (OnChange) OnChange();
}

void TFont::SetCharset(TFontCharset value) {
    if (value != charset_) charset_ = value, Changed();
}
void TFont::SetColor(TColor value) {
    if (value != color_) color_ = value, Changed();
}
void TFont::SetHeight(Integer value) {
    if (value != height_) height_ = value, Changed();
}
void TFont::SetName(const String& value) {
    if (value != name_) name_ = value, Changed();
}
void TFont::SetStyle(TFontStyles value) {
    if (!(value == style_)) style_ = value, Changed();
}

const TTypeInfo* TFont::ClassType() const { return TypeInfo<TFont>(); }

template <>
const TTypeInfo* TypeInfo<TColor>() {
    static const TTypeInfo info = IntegerType("TColor", INT32_MIN, INT32_MAX, kColors);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TFontCharset>() {
    static const TTypeInfo info = IntegerType("TFontCharset", 0, 255, kCharsets);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TFontStyle>() {
    static const TTypeInfo info = EnumerationType("TFontStyle", kStyleNames);
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TFontStyles>() {
    static const TTypeInfo info{.Kind = tkSet, .Name = "TFontStyles", .Element = TypeInfo<TFontStyle>()};
    return &info;
}

template <>
const TTypeInfo* TypeInfo<TFont>() {
    static const TTypeInfo info = ClassTypeInfo<TFont, TPersistent>("TFont", FontProperties);
    return &info;
}

}  // namespace host
