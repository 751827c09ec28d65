// libombralgraphics.so: fonts through fontconfig and FreeType, pictures
// through cairo, for the headless interface that loads it.

#include <GraphicsModule.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

namespace headless {

namespace {

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// Copies the text into the caller's buffer, cut short where it must be.
void Give(const std::string& text, char* buffer, std::size_t size) {
    if (size == 0) return;
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// Faces stay open for the program's life: a form measures many captions, and
// cairo may keep a face in its cache after the last reference is dropped.
class Fonts {
public:
    Fonts() {
        if (FT_Init_FreeType(&library_) != 0) throw std::runtime_error("FreeType cannot start");
    }

    FT_Face Open(const std::string& file) {
        auto& face = faces_[file];
        if (!face) {
            FT_Face opened = nullptr;
            if (FT_New_Face(library_, file.c_str(), 0, &opened) != 0)
                throw std::runtime_error("cannot open the font file " + file);
            face.reset(opened);
        }
        return face.get();
    }

    // Null where the file is no font.
    cairo_font_face_t* CairoFace(const std::string& file) {
        auto& found = cairoFaces_[file];
        FT_Face face = nullptr;
        if (!found && FT_New_Face(library_, file.c_str(), 0, &face) == 0)
            found = cairo_ft_font_face_create_for_ft_face(face, 0);
        return found;
    }

private:
    FT_Library library_ = nullptr;
    std::map<std::string, std::unique_ptr<FT_FaceRec_, FaceCloser>> faces_;
    std::map<std::string, cairo_font_face_t*> cairoFaces_;
};

Fonts& TheFonts() {
    static auto* fonts = new Fonts;
    return *fonts;
}

bool MatchFontFile(const char* name, char* file, std::size_t size) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* path = nullptr;
    const bool found = match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) Give(reinterpret_cast<char*>(path), file, size);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return found;
}

bool Face(const char* fontFile, TFaceMetrics* metrics, char* error, std::size_t size) {
    try {
        const FT_Face face = TheFonts().Open(fontFile);
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        metrics->UnitsPerEm = face->units_per_EM;
        metrics->Ascent = os2 ? os2->usWinAscent : face->ascender;
        metrics->Descent = os2 ? os2->usWinDescent : -face->descender;
        metrics->CellHeight = os2 ? os2->usWinAscent + os2->usWinDescent : face->ascender - face->descender;
        return true;
    } catch (const std::exception& failure) {
        Give(failure.what(), error, size);
        return false;
    }
}

int Advance(const char* fontFile, int emPixels, std::uint32_t character) {
    try {
        const FT_Face face = TheFonts().Open(fontFile);
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(emPixels));
        if (FT_Load_Char(face, character, FT_LOAD_DEFAULT) != 0) return 0;
        return static_cast<int>((face->glyph->advance.x + 32) >> 6);
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace

}  // namespace headless

// The picture as the module's callers hold it.
struct headless::TGraphicsPicture {
    cairo_surface_t* surface;
    cairo_t* cr;
};

namespace headless {

namespace {

void SetColour(cairo_t* cr, TRgb colour) { cairo_set_source_rgb(cr, colour.R, colour.G, colour.B); }

TGraphicsPicture* NewPicture(int width, int height, TRgb background) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    SetColour(cr, background);
    cairo_paint(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_line_width(cr, 1);
    return new TGraphicsPicture{surface, cr};
}

void Line(TGraphicsPicture* picture, double x0, double y0, double x1, double y1, TRgb colour) {
    SetColour(picture->cr, colour);
    cairo_move_to(picture->cr, x0, y0);
    cairo_line_to(picture->cr, x1, y1);
    cairo_stroke(picture->cr);
}

void Rectangle(TGraphicsPicture* picture, double left, double top, double width, double height, TRgb colour) {
    SetColour(picture->cr, colour);
    cairo_rectangle(picture->cr, left, top, width, height);
    cairo_stroke(picture->cr);
}

void Text(TGraphicsPicture* picture, const char* fontFile, int emPixels, double x, double y, const char* utf8,
          TRgb colour) {
    cairo_font_face_t* face = nullptr;
    try {
        face = TheFonts().CairoFace(fontFile);
    } catch (const std::exception&) {
    }
    if (!face) return;
    cairo_set_font_face(picture->cr, face);
    cairo_set_font_size(picture->cr, emPixels);
    SetColour(picture->cr, colour);
    cairo_move_to(picture->cr, x, y);
    cairo_show_text(picture->cr, utf8);
}

struct PngSink {
    TGraphicsWrite write;
    void* to;
};

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length) {
    const auto* sink = static_cast<const PngSink*>(closure);
    return sink->write(sink->to, data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// The caller opens the file: it alone knows how a file may be made there.
bool WritePng(TGraphicsPicture* picture, TGraphicsWrite write, void* to, char* error, std::size_t size) {
    PngSink sink{write, to};
    const cairo_status_t status = cairo_surface_write_to_png_stream(picture->surface, WriteToSink, &sink);
    if (status == CAIRO_STATUS_SUCCESS) return true;
    Give(cairo_status_to_string(status), error, size);
    return false;
}

void FreePicture(TGraphicsPicture* picture) {
    cairo_destroy(picture->cr);
    cairo_surface_destroy(picture->surface);
    delete picture;
}

constexpr TGraphicsEntries kEntries{kGraphicsEntriesVersion, MatchFontFile, Face, Advance, NewPicture, Line,
                                    Rectangle, Text, WritePng, FreePicture};

}  // namespace

}  // namespace headless

extern "C" __attribute__((visibility("default"))) const headless::TGraphicsEntries* OmbralGraphicsEntries() {
    return &headless::kEntries;
}
