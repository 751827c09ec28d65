#include <Snapshot.h>

#include <memory>
#include <string>

#include <FontMetrics.h>
#include <GraphicsModule.h>
#include <platform/host/rtl/SysUtils.h>
#include <platform/host/ui/ExtCtrls.h>
#include <platform/host/ui/StdCtrls.h>

namespace headless {

namespace {

// The colours Wine's default theme gives the system colours the forms use.
TRgb ToRgb(host::TColor color) {
    switch (static_cast<host::Integer>(color)) {
        case host::clBtnFace: return {0.941, 0.941, 0.941};
        case host::clWindowText: return {0, 0, 0};
        case host::clWindow: return {1, 1, 1};
        default: break;
    }
    const auto value = static_cast<std::uint32_t>(color);
    return {(value & 0xFF) / 255.0, ((value >> 8) & 0xFF) / 255.0, ((value >> 16) & 0xFF) / 255.0};
}

constexpr TRgb kWhite{1, 1, 1}, kBlack{0, 0, 0}, kShadow{0.412, 0.412, 0.412}, kBevelDark{0.627, 0.627, 0.627};

// The caption from (left, top), the marked characters and the whole text as
// the font's style asks underlined.
void DrawCaption(TPicture& picture, const host::TControl& control, int left, int top) {
    const host::TFont& font = *control.GetFont();
    const host::TAcceleratedText text = host::StripAccelerators(control.GetCaption());
    const host::TTextExtent extent = MeasureLine(text.Text, font);
    const double baseline = top + AscentPixels(font);
    const TRgb colour = ToRgb(font.GetColor());
    picture.Text(FontFile(font.GetName()), EmPixels(font), left, baseline, host::AnsiToUtf8(text.Text), colour);
    const double underline = baseline + 1.5;
    if (font.GetStyle().Contains(host::fsUnderline)) picture.Line(left, underline, left + extent.Width, underline, colour);
    for (const std::size_t offset : text.Underlined) {
        const int start = MeasureLine(text.Text.substr(0, offset), font).Width;
        const int width = MeasureLine(text.Text.substr(offset, 1), font).Width;
        picture.Line(left + start, underline, left + start + width, underline, colour);
    }
}

void DrawButton(TPicture& picture, const host::TButton& button) {
    const double l = button.Left + 0.5, t = button.Top + 0.5, r = button.Left + button.Width - 0.5,
                 b = button.Top + button.Height - 0.5;
    if (button.Default) picture.Rectangle(l, t, button.Width - 1, button.Height - 1, kBlack);
    const double inset = button.Default ? 1 : 0;
    picture.Line(l + inset, t + inset, r - inset, t + inset, kWhite);
    picture.Line(l + inset, t + inset, l + inset, b - inset, kWhite);
    picture.Line(l + inset, b - inset, r - inset, b - inset, kShadow);
    picture.Line(r - inset, t + inset, r - inset, b - inset, kShadow);
    const host::TTextExtent extent =
        MeasureLine(host::StripAccelerators(button.GetCaption()).Text, *button.GetFont());
    DrawCaption(picture, button, button.Left + (button.Width - extent.Width) / 2,
                button.Top + (button.Height - extent.Height) / 2);
}

// A sunken line: a dark stroke over a light one.
void DrawBevel(TPicture& picture, const host::TBevel& bevel) {
    picture.Line(bevel.Left, bevel.Top + 0.5, bevel.Left + bevel.Width, bevel.Top + 0.5, kBevelDark);
    picture.Line(bevel.Left, bevel.Top + 1.5, bevel.Left + bevel.Width, bevel.Top + 1.5, kWhite);
}

void DrawControls(TPicture& picture, const host::TWinControl& parent) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        const host::TControl* control = parent.Controls(i);
        if (const auto* button = dynamic_cast<const host::TButton*>(control))
            DrawButton(picture, *button);
        else if (const auto* bevel = dynamic_cast<const host::TBevel*>(control))
            DrawBevel(picture, *bevel);
        else if (dynamic_cast<const host::TLabel*>(control))
            DrawCaption(picture, *control, control->Left, control->Top);
    }
}

}  // namespace

void DrawSnapshot(const host::TCustomForm& form, const host::String& path) {
    const std::unique_ptr<TPicture> picture =
        Graphics().NewPicture(form.ClientWidth, form.ClientHeight, ToRgb(form.Color));
    DrawControls(*picture, form);
    picture->WritePng(path);
}

}  // namespace headless
