#pragma once
// Pictures of forms, drawn with cairo over the fonts the measurement uses.

#include <platform/host/ui/Forms.h>

namespace headless {

// Writes the form's client area as a PNG file; an Exception when it cannot.
void DrawSnapshot(const host::TCustomForm& form, const host::String& path);

}  // namespace headless
