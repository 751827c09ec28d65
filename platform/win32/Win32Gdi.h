#pragma once
// The host's fonts, colours and cursors as GDI and user32 objects.

#include <Win32Api.h>

#include "Win32Module.h"

#include <platform/host/ui/Controls.h>
#include <platform/host/ui/Graphics.h>

namespace win32ui {

using win32::ThisModule;

// A system colour as the system paints it now; an RGB colour as it is.
COLORREF ColorRef(host::TColor color);

// A GDI object that is deleted with this holder.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object = nullptr) : object_(object) {}
    GdiObject(GdiObject&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    GdiObject& operator=(GdiObject&& other) noexcept;
    ~GdiObject();
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ Get() const { return object_; }

private:
    HGDIOBJ object_;
};

// The font's height, charset, styles and face as a GDI font.
GdiObject CreateFontOf(const host::TFont& font);

// Selects an object into a DC for the holder's life.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The system cursor a host cursor stands for; null for crNone. The host's
// own cursors (drag, splitters...) show as the arrow.
HCURSOR CursorOf(host::TCursor cursor);

}  // namespace win32ui
