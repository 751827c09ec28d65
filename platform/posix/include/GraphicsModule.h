#pragma once
// The picture and font code of the headless interface, in a module of its own
// (libombralgraphics.so) that is loaded when a form is first measured or
// drawn: FreeType, fontconfig and cairo, with the X libraries cairo brings,
// are then no part of a program that never shows a form.
//
// The module's entry gives a table of C functions: a program may carry its own
// C++ runtime, and nothing of one runtime (exceptions, strings) then crosses
// into the other. TGraphicsModule is that table as the interface uses it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace headless {

struct TRgb {
    double R, G, B;  // 0 to 1
};

// A font file's vertical metrics in its own units.
struct TFaceMetrics {
    int UnitsPerEm = 0;
    int Ascent = 0, Descent = 0;  // GDI's: the OS/2 table's Windows ascent and descent where there is one
    int CellHeight = 0;           // ascent plus descent, what a positive font height means
};

extern "C" {
struct TGraphicsPicture;
// Takes the next bytes of what is written; false stops the writing as failed.
using TGraphicsWrite = bool (*)(void* to, const unsigned char* data, std::size_t size);
// Each text out parameter is a buffer of the size given, filled with a NUL-terminated text.
struct TGraphicsEntries {
    int Version;
    bool (*MatchFontFile)(const char* name, char* file, std::size_t size);
    bool (*Face)(const char* fontFile, TFaceMetrics* metrics, char* error, std::size_t size);
    int (*Advance)(const char* fontFile, int emPixels, std::uint32_t character);
    TGraphicsPicture* (*NewPicture)(int width, int height, TRgb background);
    void (*Line)(TGraphicsPicture* picture, double x0, double y0, double x1, double y1, TRgb colour);
    void (*Rectangle)(TGraphicsPicture* picture, double left, double top, double width, double height, TRgb colour);
    void (*Text)(TGraphicsPicture* picture, const char* fontFile, int emPixels, double x, double y, const char* utf8,
                 TRgb colour);
    bool (*WritePng)(TGraphicsPicture* picture, TGraphicsWrite write, void* to, char* error, std::size_t size);
    void (*FreePicture)(TGraphicsPicture* picture);
};
}
inline constexpr int kGraphicsEntriesVersion = 2;
inline constexpr const char* kGraphicsModuleFile = "libombralgraphics.so";
inline constexpr const char* kGraphicsModuleEntry = "OmbralGraphicsEntries";

// A picture being drawn: coordinates in pixels from the top left corner.
class TPicture {
public:
    TPicture(const TGraphicsEntries& entries, int width, int height, TRgb background);
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    void Line(double x0, double y0, double x1, double y1, TRgb colour);
    void Rectangle(double left, double top, double width, double height, TRgb colour);
    // UTF-8 text whose baseline starts at (x, y), in the font file at emPixels.
    void Text(const std::string& fontFile, int emPixels, double x, double y, const std::string& utf8, TRgb colour);
    // Writes a new file: one that exists already (a link or a device too) is
    // refused, never written through. host::Exception naming the file and
    // why, when it cannot be written; no part of it is left then.
    void WritePng(const std::string& path);

private:
    const TGraphicsEntries& entries_;
    TGraphicsPicture* picture_;
};

class TGraphicsModule {
public:
    explicit TGraphicsModule(const TGraphicsEntries& entries) : entries_(entries) {}
    // The file fontconfig matches to the font's name, or empty.
    std::string MatchFontFile(const std::string& name) const;
    // host::Exception when the file is no font.
    TFaceMetrics Face(const std::string& fontFile) const;
    // The advance of the character in whole pixels at emPixels; 0 where the font has no glyph for it.
    int Advance(const std::string& fontFile, int emPixels, char32_t character) const;
    std::unique_ptr<TPicture> NewPicture(int width, int height, TRgb background) const;

private:
    const TGraphicsEntries& entries_;
};

// The module, loaded on first use by its absolute path: beside the shared
// library that asks, or beside the running program or in the library folder
// of an installed one; a host::Exception naming the file and what the loader
// said when it cannot be.
const TGraphicsModule& Graphics();

}  // namespace headless
