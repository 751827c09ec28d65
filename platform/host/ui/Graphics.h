#pragma once
// Colours, charsets and fonts.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include <platform/host/rtl/Classes.h>
#include <platform/host/rtl/Types.h>

namespace host {

// A colour: 0x00BBGGRR for an RGB value; a system colour is the system's
// colour index with the top byte set (the host's encoding, so clBtnFace is
// 0xFF00000F and streams as -16777201 where it is written as a number).
enum TColor : Integer {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clLtGray = clSilver,
    clDkGray = clGray,
    clWhite = 0xFFFFFF,

    clScrollBar = -0x01000000 + 0,  // 0xFF000000 | COLOR_SCROLLBAR
    clBackground = -0x01000000 + 1,
    clActiveCaption = -0x01000000 + 2,
    clInactiveCaption = -0x01000000 + 3,
    clMenu = -0x01000000 + 4,
    clWindow = -0x01000000 + 5,
    clWindowFrame = -0x01000000 + 6,
    clMenuText = -0x01000000 + 7,
    clWindowText = -0x01000000 + 8,
    clCaptionText = -0x01000000 + 9,
    clActiveBorder = -0x01000000 + 10,
    clInactiveBorder = -0x01000000 + 11,
    clAppWorkSpace = -0x01000000 + 12,
    clHighlight = -0x01000000 + 13,
    clHighlightText = -0x01000000 + 14,
    clBtnFace = -0x01000000 + 15,
    clBtnShadow = -0x01000000 + 16,
    clGrayText = -0x01000000 + 17,
    clBtnText = -0x01000000 + 18,
    clInactiveCaptionText = -0x01000000 + 19,
    clBtnHighlight = -0x01000000 + 20,
    cl3DDkShadow = -0x01000000 + 21,
    cl3DLight = -0x01000000 + 22,
    clInfoText = -0x01000000 + 23,
    clInfoBk = -0x01000000 + 24,

    clNone = 0x1FFFFFFF,
    clDefault = 0x20000000
};

// A system colour's index, or none for an RGB value.
std::optional<int> SystemColorIndex(TColor color);
// The RGB value a colour stands for, as 0x00BBGGRR: a system colour as the
// classic Windows scheme paints it.
std::uint32_t ColorToRGB(TColor color);

// A character set, 0..255; the named ones stream by name.
enum TFontCharset : std::uint8_t {};
#ifndef ANSI_CHARSET  // <wingdi.h> defines them as macros of the same values
inline constexpr TFontCharset ANSI_CHARSET{0};
inline constexpr TFontCharset DEFAULT_CHARSET{1};
inline constexpr TFontCharset SYMBOL_CHARSET{2};
inline constexpr TFontCharset MAC_CHARSET{77};
inline constexpr TFontCharset SHIFTJIS_CHARSET{128};
inline constexpr TFontCharset HANGEUL_CHARSET{129};
inline constexpr TFontCharset JOHAB_CHARSET{130};
inline constexpr TFontCharset GB2312_CHARSET{134};
inline constexpr TFontCharset CHINESEBIG5_CHARSET{136};
inline constexpr TFontCharset GREEK_CHARSET{161};
inline constexpr TFontCharset TURKISH_CHARSET{162};
inline constexpr TFontCharset VIETNAMESE_CHARSET{163};
inline constexpr TFontCharset HEBREW_CHARSET{177};
inline constexpr TFontCharset ARABIC_CHARSET{178};
inline constexpr TFontCharset BALTIC_CHARSET{186};
inline constexpr TFontCharset RUSSIAN_CHARSET{204};
inline constexpr TFontCharset THAI_CHARSET{222};
inline constexpr TFontCharset EASTEUROPE_CHARSET{238};
inline constexpr TFontCharset OEM_CHARSET{255};
#endif

// Name <-> value of the named colours and charsets: what the form streams
// write as identifiers. False for a name or value without an entry.
bool IdentToColor(std::string_view name, Integer& color);
bool ColorToIdent(Integer color, String& name);
bool IdentToCharset(std::string_view name, Integer& charset);
bool CharsetToIdent(Integer charset, String& name);

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

// A font: streamed as Font.Charset, Font.Color, Font.Height, Font.Name and
// Font.Style, all always written. Height in pixels, negative for the
// character height without internal leading (the host's convention).
class TFont : public TPersistent {
public:
    TFont() = default;
    TFont(const TFont& other) : TPersistent(), charset_(other.charset_), color_(other.color_),
        height_(other.height_), name_(other.name_), style_(other.style_) {}
    TFont& operator=(const TFont& other);  // as Assign: takes the values, keeps OnChange
    const TTypeInfo* ClassType() const override;

    void Assign(const TFont& source) { *this = source; }

    TFontCharset GetCharset() const { return charset_; }
    void SetCharset(TFontCharset value);
    TColor GetColor() const { return color_; }
    void SetColor(TColor value);
    Integer GetHeight() const { return height_; }
    void SetHeight(Integer value);
    String GetName() const { return name_; }
    void SetName(const String& value);
    TFontStyles GetStyle() const { return style_; }
    void SetStyle(TFontStyles value);
    bool HasStyle(TFontStyle style) const { return (style_.Bits() >> style) & 1u; }

    // Called after any value changed; the control that owns the font listens.
    std::function<void()> OnChange;

    friend bool operator==(const TFont& a, const TFont& b) {
        return a.charset_ == b.charset_ && a.color_ == b.color_ && a.height_ == b.height_ && a.name_ == b.name_ &&
               a.style_ == b.style_;
    }

private:
    void Changed();

    TFontCharset charset_{1};  // DEFAULT_CHARSET
    TColor color_ = clWindowText;
    Integer height_ = -11;
    String name_ = "MS Sans Serif";
    TFontStyles style_;
};

template <>
const TTypeInfo* TypeInfo<TColor>();
template <>
const TTypeInfo* TypeInfo<TFontCharset>();
template <>
const TTypeInfo* TypeInfo<TFontStyle>();
template <>
const TTypeInfo* TypeInfo<TFontStyles>();
template <>
const TTypeInfo* TypeInfo<TFont>();

}  // namespace host
