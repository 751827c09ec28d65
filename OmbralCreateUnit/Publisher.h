#pragma once
// Who publishes the component: the About box and the package's version block
// both name them, so the two read the same text. ANSI (Windows-1252) text,
// as it is shown; a label takes it through host::WithoutAccelerators.

#include <string_view>

namespace OmbralCreateUnit {

inline constexpr std::string_view kPublisher = "Ombral Software";
inline constexpr std::string_view kCopyrightLine = "Copyright \xA9 2026 Ombral Software";

}  // namespace OmbralCreateUnit
