#pragma once
// How this platform writes file names.
#include <string_view>

namespace platform {
inline constexpr std::string_view kPathDelimiters = "/";
}
