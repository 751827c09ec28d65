#include <FontMetrics.h>

#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

namespace headless {

namespace {

constexpr const char* kLiberationSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

// Windows-1252's characters 0x80..0x9F; the rest of the byte range is Latin-1.
constexpr char32_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                      0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

bool DecodeUtf8(const std::string& text, std::u32string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next >> 6) != 2) return false;
            code = (code << 6) | (next & 0x3F);
        }
        out.push_back(code);
        i += static_cast<std::size_t>(length);
    }
    return true;
}

struct Library {
    FT_Library handle = nullptr;
    Library() {
        if (FT_Init_FreeType(&handle) != 0) throw std::runtime_error("FreeType cannot start");
    }
    ~Library() { FT_Done_FreeType(handle); }
};

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// Faces stay open for the program's life: a form measures many captions.
FT_Face OpenFace(const std::string& file) {
    static Library library;
    static std::map<std::string, std::unique_ptr<FT_FaceRec_, FaceCloser>> faces;
    auto& face = faces[file];
    if (!face) {
        FT_Face opened = nullptr;
        if (FT_New_Face(library.handle, file.c_str(), 0, &opened) != 0)
            throw std::runtime_error("cannot open the font file " + file);
        face.reset(opened);
    }
    return face.get();
}

int Scaled(int units, int em, int unitsPerEm) {
    return static_cast<int>(std::lround(static_cast<double>(units) * em / unitsPerEm));
}

}  // namespace

std::u32string CodePoints(const host::String& text) {
    std::u32string codes;
    if (DecodeUtf8(text, codes)) return codes;
    codes.clear();
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        codes.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte);
    }
    return codes;
}

std::string FontFile(const host::String& name) {
    if (name == "Arial" || name == "MS Sans Serif" || name.empty()) return kLiberationSans;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name.c_str()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file = kLiberationSans;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return file;
}

int EmPixels(const host::TFont& font) {
    if (font.GetHeight() <= 0) return font.GetHeight() == 0 ? 13 : -font.GetHeight();
    const FT_Face face = OpenFace(FontFile(font.GetName()));
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const int cell = os2 ? os2->usWinAscent + os2->usWinDescent : face->ascender - face->descender;
    return static_cast<int>(std::lround(static_cast<double>(font.GetHeight()) * face->units_per_EM / cell));
}

host::TTextExtent MeasureLine(const host::String& text, const host::TFont& font) {
    const FT_Face face = OpenFace(FontFile(font.GetName()));
    const int em = EmPixels(font);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const int ascent = os2 ? os2->usWinAscent : face->ascender;
    const int descent = os2 ? os2->usWinDescent : -face->descender;
    host::TTextExtent extent;
    extent.Height = Scaled(ascent, em, face->units_per_EM) + Scaled(descent, em, face->units_per_EM);
    for (const char32_t code : CodePoints(text)) {
        if (FT_Load_Char(face, code, FT_LOAD_DEFAULT) != 0) continue;
        extent.Width += static_cast<host::Integer>((face->glyph->advance.x + 32) >> 6);
    }
    return extent;
}

}  // namespace headless
