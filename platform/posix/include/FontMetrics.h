#pragma once
// Text measurement with the font files Wine draws the same requests with, so
// that a caption measures alike on both platforms.

#include <platform/host/ui/Graphics.h>
#include <platform/host/ui/UiBackend.h>

namespace headless {

// The font file drawn for the font's name: Liberation Sans for "Arial" and
// "MS Sans Serif" (Wine's stand-in for both), else fontconfig's match.
std::string FontFile(const host::String& name);

// The font's em size in pixels: a negative height is the em itself, a
// positive one the cell height (ascent plus descent).
int EmPixels(const host::TFont& font);

// The font's ascent in pixels: from the top of a line to its baseline.
int AscentPixels(const host::TFont& font);

// One line of the host's ANSI text.
host::TTextExtent MeasureLine(const host::String& text, const host::TFont& font);

}  // namespace headless
