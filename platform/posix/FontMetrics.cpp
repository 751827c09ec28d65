#include <FontMetrics.h>

#include <algorithm>
#include <cmath>

#include <GraphicsModule.h>
#include <platform/host/rtl/SysUtils.h>

namespace headless {

namespace {

constexpr const char* kLiberationSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

// Heights past this, which a damaged form may hold, are measured as this.
constexpr long long kMaxEmPixels = 16384;

int Scaled(int units, int em, int unitsPerEm) {
    return static_cast<int>(std::lround(static_cast<double>(units) * em / unitsPerEm));
}

}  // namespace

std::string FontFile(const host::String& name) {
    if (name == "Arial" || name == "MS Sans Serif" || name.empty()) return kLiberationSans;
    const std::string matched = Graphics().MatchFontFile(name);
    return matched.empty() ? kLiberationSans : matched;
}

int EmPixels(const host::TFont& font) {
    const long long height = font.GetHeight();
    long long em = -height;
    if (height == 0) em = 13;
    if (height > 0) {
        const TFaceMetrics face = Graphics().Face(FontFile(font.GetName()));
        em = face.CellHeight > 0
                 ? std::llround(static_cast<double>(height) * face.UnitsPerEm / static_cast<double>(face.CellHeight))
                 : height;
    }
    return static_cast<int>(std::clamp(em, 1LL, kMaxEmPixels));
}

// As GDI's tmAscent: the OS/2 table's Windows ascent.
int AscentPixels(const host::TFont& font) {
    const TFaceMetrics face = Graphics().Face(FontFile(font.GetName()));
    return Scaled(face.Ascent, EmPixels(font), face.UnitsPerEm);
}

host::TTextExtent MeasureLine(const host::String& text, const host::TFont& font) {
    const TGraphicsModule& graphics = Graphics();
    const std::string file = FontFile(font.GetName());
    const TFaceMetrics face = graphics.Face(file);
    const int em = EmPixels(font);
    host::TTextExtent extent;
    extent.Height = Scaled(face.Ascent, em, face.UnitsPerEm) + Scaled(face.Descent, em, face.UnitsPerEm);
    for (const char c : text)
        extent.Width += graphics.Advance(file, em, host::AnsiToUnicode(static_cast<unsigned char>(c)));
    return extent;
}

}  // namespace headless
