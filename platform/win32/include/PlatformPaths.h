#pragma once
// How this platform writes file names: folders end in '\', a drive in ':'.
#include <string_view>

namespace platform {
inline constexpr std::string_view kPathDelimiters = "\\:";
}
