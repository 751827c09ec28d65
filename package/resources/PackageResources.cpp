#include "PackageResources.h"

#include <array>
#include <vector>

#include <OmbralCreateUnit/Publisher.h>
#include <platform/host/rtl/SysUtils.h>

namespace pkgres {

namespace {

constexpr std::string_view kDescription = "OLVEX Ombral Creator";

struct Release {
    int number;
    std::vector<std::string_view> required;  // required packages in PACKAGEINFO
    char switchA;
    bool stackGap;  // a 32-bit zero between the stack sizes and the image base
    std::array<std::uint16_t, 4> fileVersion;
    std::string_view stringTable;
    std::uint16_t translation;
};

const Release& ReleaseData(int release) {
    static const std::array<Release, 3> releases{{
        {4, {"vcl40"}, 1, false, {1, 1, 0, 0}, "1C0904E4", 0x1C09},
        {5, {"vcl50"}, 1, false, {1, 0, 0, 27}, "1C0904E4", 0x1C09},
        {6, {"designide60.bpl", "vcl60.bpl"}, 8, true, {1, 1, 0, 0}, "040904E4", 0x0409},
    }};
    return releases.at(static_cast<std::size_t>(release - 4));
}

std::string PackageName(int release) { return "ombral" + std::to_string(release); }

void Little(Bytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PadTo4(Bytes& out) {
    while (out.size() % 4 != 0) out.push_back('\0');
}

void HashedName(Bytes& out, std::string_view name) {
    out.push_back(static_cast<char>(NameHash(name)));
    out.append(name);
    out.push_back('\0');
}

void Counted(Bytes& out, std::string_view text) {
    out.push_back(static_cast<char>(text.size()));
    out.append(text);
}

// ANSI text as NUL-terminated UTF-16 little-endian.
void Wide(Bytes& out, std::string_view ansi) {
    for (char16_t unit : host::Utf8ToWide(std::string(host::AnsiToUtf8(ansi)))) Little(out, unit, 2);
    Little(out, 0, 2);
}

// A version-block node: length, value length, type, key, padding, value,
// then the children each starting on a 32-bit boundary. The length counts
// everything up to the end of the last child, not the padding after it.
Bytes Node(std::string_view key, std::uint16_t valueLength, bool text, const Bytes& value,
           const std::vector<Bytes>& children) {
    Bytes out(6, '\0');
    Wide(out, key);
    PadTo4(out);
    out += value;
    for (const Bytes& child : children) {
        PadTo4(out);
        out += child;
    }
    const auto length = static_cast<std::uint16_t>(out.size());
    out[0] = static_cast<char>(length & 0xFF);
    out[1] = static_cast<char>(length >> 8);
    out[2] = static_cast<char>(valueLength & 0xFF);
    out[3] = static_cast<char>(valueLength >> 8);
    out[4] = text ? 1 : 0;
    return out;
}

// An empty value is stored as no characters at all, not as a lone NUL.
Bytes StringEntry(std::string_view key, std::string_view value) {
    if (value.empty()) return Node(key, 0, true, {}, {});
    Bytes text;
    Wide(text, value);
    return Node(key, static_cast<std::uint16_t>(text.size() / 2), true, text, {});
}

std::string VersionText(const std::array<std::uint16_t, 4>& v) {
    return std::to_string(v[0]) + '.' + std::to_string(v[1]) + '.' + std::to_string(v[2]) + '.' + std::to_string(v[3]);
}

Bytes FixedFileInfo(const std::array<std::uint16_t, 4>& v) {
    Bytes out;
    const std::uint32_t ms = (std::uint32_t{v[0]} << 16) | v[1];
    const std::uint32_t ls = (std::uint32_t{v[2]} << 16) | v[3];
    for (std::uint32_t field : {0xFEEF04BDu, 0x00010000u, ms, ls, ms, ls, 0x3Fu, 0u, 0x4u, 0x1u, 0u, 0u, 0u})
        Little(out, field, 4);
    return out;
}

// The palette glyph, top row first, one letter a pixel: K black, S silver,
// B blue, R red, Y yellow, G green, A aqua, '.' white.
constexpr std::array<std::string_view, 24> kGlyph{
    ".KKKKKK.................",
    ".KBBBSK.................",
    ".KBBBSKKKKKKKKKKKKKKKKK.",
    ".KBBBBKKKKKKBBBBBBBBBSK.",
    ".KBBBBKRRRSKBBBBBBBBBSK.",
    ".KKKKKKRRRSKKKKKKKKKKKK.",
    ".KRRRRRRRRRKKKKKKRRRRSK.",
    ".KRRRRRRRRRKYYYSKRRRRSK.",
    ".KKKKKKKKKKKYYYSKKKKKKK.",
    ".KYYYYYYYYYYYYYYKKKKKKK.",
    ".KYYYYYYYYYYYYYYKGGGSKK.",
    ".KKKKKKKKKKKKKKKKGGGSKK.",
    ".KGGGGGGGGGGGGGGGGGGGSK.",
    ".KGGGGGGAAAAAGGGGGGGGSK.",
    ".KGGGGGGAAGGAAGGGGGGGSK.",
    ".KGGGGGGAAGGAAGGGGGGGSK.",
    ".KGGGGGGAAGGAAGGGGGGGSK.",
    ".KGGGGGGAAAAAGGGGGGGGSK.",
    ".KGGGGGGAAGGGGGGGGGGGSK.",
    ".KGGGGGGAAGGGGGGGGGGGSK.",
    ".KGGGGGGAAGGGGGGGGGGGSK.",
    ".KGGGGGGGGGGGGGGGGGGGSK.",
    ".KKKKKKKKKKKKKKKKKKKKKK.",
    "........................",
};
constexpr int kGlyphSize = 24;
constexpr int kIconSize = 32;
constexpr std::uint8_t kTransparent = 0xFF;

// The standard sixteen Windows colours as 0xRRGGBB, in palette order.
constexpr std::array<std::uint32_t, 16> kPalette{0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                                 0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                                 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

std::uint8_t PaletteIndex(char letter) {
    switch (letter) {
        case 'K': return 0;
        case 'G': return 2;
        case 'S': return 7;
        case 'R': return 9;
        case 'Y': return 11;
        case 'B': return 12;
        case 'A': return 14;
        default: return 15;
    }
}

Bytes InfoHeader(int width, int height, std::uint32_t imageSize) {
    Bytes out;
    Little(out, 40, 4);
    Little(out, static_cast<std::uint32_t>(width), 4);
    Little(out, static_cast<std::uint32_t>(height), 4);
    Little(out, 1, 2);  // planes
    Little(out, 4, 2);  // bits per pixel
    Little(out, 0, 4);  // no compression
    Little(out, imageSize, 4);
    for (int i = 0; i < 4; ++i) Little(out, 0, 4);  // resolution, colours used, colours important
    for (std::uint32_t rgb : kPalette) Little(out, rgb, 4);  // as blue, green, red, zero
    return out;
}

// Rows of 4-bit pixels, bottom row first; each row padded to 32 bits.
template <typename PixelAt>
Bytes PackedRows(int size, PixelAt pixel) {
    Bytes out;
    for (int y = size - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < size; x += 2)
            out.push_back(static_cast<char>((pixel(x, y) << 4) | pixel(x + 1, y)));
        while ((out.size() - start) % 4 != 0) out.push_back('\0');
    }
    return out;
}

// The glyph centred on the icon; outside it the icon is transparent.
std::uint8_t IconPixel(int x, int y) {
    constexpr int offset = (kIconSize - kGlyphSize) / 2;
    x -= offset;
    y -= offset;
    if (x < 0 || y < 0 || x >= kGlyphSize || y >= kGlyphSize) return kTransparent;
    return PaletteIndex(kGlyph[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
}

}  // namespace

bool IsKnownRelease(int release) { return release >= 4 && release <= 6; }

std::uint8_t NameHash(std::string_view name) {
    unsigned sum = 0;
    for (char c : name) sum += static_cast<unsigned char>(host::UpperAscii(c));
    return static_cast<std::uint8_t>(sum & 0xFF);
}

Bytes PackageInfo(int release) {
    const Release& r = ReleaseData(release);
    const std::string self = PackageName(release);
    Bytes out;
    Little(out, 0x4C000001, 4);
    Little(out, static_cast<std::uint32_t>(r.required.size()), 4);
    for (std::string_view name : r.required) HashedName(out, name);
    const std::array<std::string_view, 6> modules{self, "pOlvexAbout", "SysInit", "Ombralcompreg", "OmbralCreateUnit",
                                                  "OmbralCodeUnit"};
    Little(out, modules.size(), 4);
    for (std::string_view module : modules) {
        out.push_back(module == self ? 0x03 : 0x00);
        HashedName(out, module);
    }
    if (release == 6) HashedName(out, self);
    PadTo4(out);
    return out;
}

Bytes PackageOptions(int release) {
    const Release& r = ReleaseData(release);
    Bytes out;
    out.push_back(0x30);
    const std::array<char, 26> switches{r.switchA, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 0,
                                        1,         1, 1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 1};
    out.append(switches.data(), switches.size());
    out.push_back('\0');
    Little(out, 16384, 4);
    Little(out, 1048576, 4);
    if (r.stackGap) Little(out, 0, 4);
    Little(out, 0x400000, 4);
    out.push_back('\0');
    Counted(out, "WinTypes=Windows;WinProcs=Windows;DbiTypes=BDE;DbiProcs=BDE;DbiErrs=BDE;");
    Counted(out, kDescription);
    out.push_back('\0');
    return out;
}

Bytes Description() {
    Bytes out;
    Wide(out, kDescription);
    PadTo4(out);
    return out;
}

Bytes VersionInfo(int release) {
    const Release& r = ReleaseData(release);
    const std::string fileVersion = VersionText(r.fileVersion);
    const std::vector<std::pair<std::string_view, std::string_view>> strings{
        {"CompanyName", OmbralCreateUnit::kPublisher},
        {"FileDescription", "Ombral Creator"},
        {"FileVersion", fileVersion},
        {"InternalName", ""},
        {"LegalCopyright", OmbralCreateUnit::kCopyrightLine},
        {"LegalTrademarks", ""},
        {"OriginalFilename", ""},
        {"ProductName", ""},
        {"ProductVersion", "1.0.0.0"},
        {"Comments", ""},
    };
    std::vector<Bytes> entries;
    for (const auto& [key, value] : strings) entries.push_back(StringEntry(key, value));
    Bytes translation;
    Little(translation, r.translation, 2);
    Little(translation, 1252, 2);
    const Bytes stringInfo = Node("StringFileInfo", 0, true, {}, {Node(r.stringTable, 0, true, {}, entries)});
    const Bytes varInfo = Node("VarFileInfo", 0, true, {}, {Node("Translation", 4, false, translation, {})});
    Bytes out = Node("VS_VERSION_INFO", 52, false, FixedFileInfo(r.fileVersion), {stringInfo, varInfo});
    PadTo4(out);
    return out;
}

Bytes PaletteBitmap() {
    const Bytes pixels = PackedRows(kGlyphSize, [](int x, int y) {
        return PaletteIndex(kGlyph[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
    });
    return InfoHeader(kGlyphSize, kGlyphSize, static_cast<std::uint32_t>(pixels.size())) + pixels;
}

Bytes IconImage() {
    const Bytes colours = PackedRows(kIconSize, [](int x, int y) {
        const std::uint8_t index = IconPixel(x, y);
        return index == kTransparent ? std::uint8_t{0} : index;
    });
    // The mask: one bit a pixel, set where the icon is transparent.
    Bytes mask;
    for (int y = kIconSize - 1; y >= 0; --y)
        for (int x = 0; x < kIconSize; x += 8) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (IconPixel(x + bit, y) == kTransparent) bits |= 0x80u >> bit;
            mask.push_back(static_cast<char>(bits));
        }
    // An icon's header counts the colour and mask rows together in its height.
    return InfoHeader(kIconSize, 2 * kIconSize, static_cast<std::uint32_t>(colours.size() + mask.size())) + colours +
           mask;
}

Bytes IconGroup() {
    Bytes out;
    for (std::uint32_t word : {0u, 1u, 1u}) Little(out, word, 2);  // reserved, type icon, one entry
    out.push_back(static_cast<char>(kIconSize));
    out.push_back(static_cast<char>(kIconSize));
    out.push_back(4);  // colour count
    out.push_back(0);
    Little(out, 1, 2);  // planes
    Little(out, 4, 2);  // bits per pixel
    Little(out, static_cast<std::uint32_t>(IconImage().size()), 4);
    Little(out, 1, 2);  // icon resource 1
    return out;
}

std::string ResourceScript(std::string_view dir, std::string_view formFile) {
    const std::string d(dir);
    // windres would rewrite a BITMAP, ICON or VERSIONINFO statement's data,
    // so those go in raw under their resource type numbers.
    return "LANGUAGE 0, 0\n"
           "PACKAGEINFO RCDATA \"" + d + "/PACKAGEINFO.bin\"\n"
           "PACKAGEOPTIONS RCDATA \"" + d + "/PACKAGEOPTIONS.bin\"\n"
           "DESCRIPTION RCDATA \"" + d + "/DESCRIPTION.bin\"\n"
           "TOLVEXABOUTFORM RCDATA \"" + std::string(formFile) + "\"\n"
           "LANGUAGE 0x09, 0x07\n"
           "TOMBRALCREATOR 2 \"" + d + "/TOMBRALCREATOR.bmp\"\n"
           "1 3 \"" + d + "/ICON1.bin\"\n"
           "MAINICON 14 \"" + d + "/MAINICON.bin\"\n"
           "1 16 \"" + d + "/VERSION.bin\"\n";
}

}  // namespace pkgres
