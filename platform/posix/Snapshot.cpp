#include <Snapshot.h>

#include <map>
#include <memory>
#include <string>

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <FontMetrics.h>
#include <platform/host/rtl/SysUtils.h>
#include <platform/host/ui/ExtCtrls.h>
#include <platform/host/ui/StdCtrls.h>

namespace headless {

namespace {

struct Rgb {
    double r, g, b;
};

// The colours Wine's default theme gives the system colours the forms use.
Rgb ToRgb(host::TColor color) {
    switch (static_cast<host::Integer>(color)) {
        case host::clBtnFace: return {0.941, 0.941, 0.941};
        case host::clWindowText: return {0, 0, 0};
        case host::clWindow: return {1, 1, 1};
        default: break;
    }
    const auto value = static_cast<std::uint32_t>(color);
    return {(value & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, ((value >> 16) & 0xFF) / 255.0};
}

void SetColor(cairo_t* cr, host::TColor color) {
    const Rgb rgb = ToRgb(color);
    cairo_set_source_rgb(cr, rgb.r, rgb.g, rgb.b);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb rgb) {
    cairo_set_source_rgb(cr, rgb.r, rgb.g, rgb.b);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

// Cairo may keep a face in its cache after the last reference is dropped,
// so the faces, like FreeType's, stay open for the program's life.
cairo_font_face_t* CairoFace(const host::TFont& font) {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        FT_Init_FreeType(&made);
        return made;
    }();
    static std::map<std::string, cairo_font_face_t*> faces;
    const std::string file = FontFile(font.GetName());
    auto& found = faces[file];
    FT_Face face = nullptr;
    if (!found && FT_New_Face(library, file.c_str(), 0, &face) == 0)
        found = cairo_ft_font_face_create_for_ft_face(face, 0);
    return found;
}

// The caption from (left, top), the marked characters and the whole text as
// the font's style asks underlined.
void DrawCaption(cairo_t* cr, const host::TControl& control, int left, int top) {
    const host::TFont& font = *control.GetFont();
    cairo_font_face_t* face = CairoFace(font);
    if (!face) return;
    cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, EmPixels(font));
    const host::TAcceleratedText text = host::StripAccelerators(control.GetCaption());
    const host::TTextExtent extent = MeasureLine(text.Text, font);
    const double baseline = top + AscentPixels(font);
    SetColor(cr, font.GetColor());
    cairo_move_to(cr, left, baseline);
    cairo_show_text(cr, host::AnsiToUtf8(text.Text).c_str());
    cairo_set_line_width(cr, 1);
    const double underline = baseline + 1.5;
    if (font.GetStyle().Contains(host::fsUnderline)) {
        cairo_move_to(cr, left, underline);
        cairo_line_to(cr, left + extent.Width, underline);
        cairo_stroke(cr);
    }
    for (const std::size_t offset : text.Underlined) {
        const int start = MeasureLine(text.Text.substr(0, offset), font).Width;
        const int width = MeasureLine(text.Text.substr(offset, 1), font).Width;
        cairo_move_to(cr, left + start, underline);
        cairo_line_to(cr, left + start + width, underline);
        cairo_stroke(cr);
    }
}

void DrawButton(cairo_t* cr, const host::TButton& button) {
    const double l = button.Left + 0.5, t = button.Top + 0.5, r = button.Left + button.Width - 0.5,
                 b = button.Top + button.Height - 0.5;
    cairo_set_line_width(cr, 1);
    if (button.Default) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_rectangle(cr, l, t, button.Width - 1, button.Height - 1);
        cairo_stroke(cr);
    }
    const double inset = button.Default ? 1 : 0;
    Line(cr, l + inset, t + inset, r - inset, t + inset, {1, 1, 1});
    Line(cr, l + inset, t + inset, l + inset, b - inset, {1, 1, 1});
    Line(cr, l + inset, b - inset, r - inset, b - inset, {0.412, 0.412, 0.412});
    Line(cr, r - inset, t + inset, r - inset, b - inset, {0.412, 0.412, 0.412});
    const host::TTextExtent extent =
        MeasureLine(host::StripAccelerators(button.GetCaption()).Text, *button.GetFont());
    DrawCaption(cr, button, button.Left + (button.Width - extent.Width) / 2,
                button.Top + (button.Height - extent.Height) / 2);
}

// A sunken line: a dark stroke over a light one.
void DrawBevel(cairo_t* cr, const host::TBevel& bevel) {
    cairo_set_line_width(cr, 1);
    Line(cr, bevel.Left, bevel.Top + 0.5, bevel.Left + bevel.Width, bevel.Top + 0.5, {0.627, 0.627, 0.627});
    Line(cr, bevel.Left, bevel.Top + 1.5, bevel.Left + bevel.Width, bevel.Top + 1.5, {1, 1, 1});
}

void DrawControls(cairo_t* cr, const host::TWinControl& parent) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        const host::TControl* control = parent.Controls(i);
        if (const auto* button = dynamic_cast<const host::TButton*>(control))
            DrawButton(cr, *button);
        else if (const auto* bevel = dynamic_cast<const host::TBevel*>(control))
            DrawBevel(cr, *bevel);
        else if (dynamic_cast<const host::TLabel*>(control))
            DrawCaption(cr, *control, control->Left, control->Top);
    }
}

}  // namespace

void DrawSnapshot(const host::TCustomForm& form, const host::String& path) {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, form.ClientWidth, form.ClientHeight), cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()), cairo_destroy);
    SetColor(cr.get(), form.Color);
    cairo_paint(cr.get());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_set_font_options(cr.get(), options);
    cairo_font_options_destroy(options);
    DrawControls(cr.get(), form);
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw host::Exception("cannot write the picture " + path);
}

}  // namespace headless
