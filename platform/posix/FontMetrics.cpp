#include <FontMetrics.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <platform/host/rtl/SysUtils.h>

namespace headless {

namespace {

constexpr const char* kLiberationSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

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

// Heights past this, which a damaged form may hold, are measured as this.
constexpr long long kMaxEmPixels = 16384;

int EmPixels(const host::TFont& font) {
    const long long height = font.GetHeight();
    long long em = -height;
    if (height == 0) em = 13;
    if (height > 0) {
        const FT_Face face = OpenFace(FontFile(font.GetName()));
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        const long long cell = os2 ? os2->usWinAscent + os2->usWinDescent : face->ascender - face->descender;
        em = cell > 0 ? std::llround(static_cast<double>(height) * face->units_per_EM / static_cast<double>(cell)) : height;
    }
    return static_cast<int>(std::clamp(em, 1LL, kMaxEmPixels));
}

namespace {

struct VerticalMetrics {
    int Ascent, Descent;  // pixels
};

// As GDI's tmAscent and tmDescent: the OS/2 table's Windows ascent and descent.
VerticalMetrics Vertical(FT_Face face, int em) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const int ascent = os2 ? os2->usWinAscent : face->ascender;
    const int descent = os2 ? os2->usWinDescent : -face->descender;
    return {Scaled(ascent, em, face->units_per_EM), Scaled(descent, em, face->units_per_EM)};
}

}  // namespace

int AscentPixels(const host::TFont& font) { return Vertical(OpenFace(FontFile(font.GetName())), EmPixels(font)).Ascent; }

host::TTextExtent MeasureLine(const host::String& text, const host::TFont& font) {
    const FT_Face face = OpenFace(FontFile(font.GetName()));
    const int em = EmPixels(font);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
    const VerticalMetrics vertical = Vertical(face, em);
    host::TTextExtent extent;
    extent.Height = vertical.Ascent + vertical.Descent;
    for (const char c : text) {
        const char32_t code = host::AnsiToUnicode(static_cast<unsigned char>(c));
        if (FT_Load_Char(face, code, FT_LOAD_DEFAULT) != 0) continue;
        extent.Width += static_cast<host::Integer>((face->glyph->advance.x + 32) >> 6);
    }
    return extent;
}

}  // namespace headless
