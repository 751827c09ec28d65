// Captions measure as Wine measures them, on both platforms.

#include <gtest/gtest.h>

#include <platform/host/ui/StdCtrls.h>
#include <platform/host/ui/UiBackend.h>

namespace {

struct WidthCase {
    const char* Text;
    const char* Face;
    int Height;  // the font's Height
    int Width;
    int LineHeight;
};

// Measured under Wine 8 with GetTextExtentPoint32A / DrawText DT_CALCRECT.
const WidthCase kWidths[] = {
    {"TOmbralCreator", "MS Sans Serif", -11, 80, 12},
    {"TOmbralCreator", "Arial", -13, 92, 15},
    {"TOmbralCreator", "Arial", -19, 139, 21},
    {"v1.1.0", "Arial", -19, 53, 21},
    {"by Ombral Software", "Arial", -13, 115, 15},
    {"OK", "MS Sans Serif", -11, 16, 12},
    {"Copyright \xA9 2026 Ombral Software", "Arial", -11, 170, 12},
    {"Copyright (c) 2026 Ombral Software", "Arial", -13, 207, 15},
    {"https://ombral.example.org/creator", "Arial", -13, 199, 15},
    {"About TOmbralCreator v1.1.0", "MS Sans Serif", -11, 144, 12},
    {"W", "Arial", -19, 18, 21},
    {"iiii", "Arial", -13, 12, 15},
};

TEST(TextWidth, MatchesWine) {
    for (const auto& c : kWidths) {
        host::TFont font;
        font.SetName(c.Face);
        font.SetHeight(c.Height);
        const host::TTextExtent extent = host::PlatformUiBackend().MeasureText(c.Text, font);
        EXPECT_EQ(extent.Width, c.Width) << c.Text << " in " << c.Face << ' ' << c.Height;
        EXPECT_EQ(extent.Height, c.LineHeight) << c.Text << " in " << c.Face << ' ' << c.Height;
    }
}

// A label sizes itself to its caption as drawn: a single '&' vanishes, "&&" is one '&'.
TEST(TextWidth, LabelStripsAccelerators) {
    const struct {
        const char* Caption;
        int Width;
    } cases[] = {{"&OK", 16}, {"a&&b", 19}, {"&&", 7}, {"", 3}};
    for (const auto& c : cases) {
        host::TLabel label(nullptr);
        label.SetCaption(c.Caption);
        EXPECT_EQ(label.Width, c.Width) << c.Caption;
        EXPECT_EQ(label.Height, 12) << c.Caption;
    }
}

}  // namespace
